#pragma once

class QsciScintillaBase;

namespace marlix {

// Makes the control cheaper to tell many fold levels in a row, for as long as it lives.
//
// After each fold level the control works out which part of the fold margin to repaint: from
// the changed line down, which means finding the line's place on screen from its position, a
// search over all the lines of the document. With the margin's block highlight switched on it
// repaints the whole margin instead and skips that search, two thirds of what a level costs on
// a large script. The highlight is only ever drawn when the control paints, which it does not
// do while the levels are told, and it is switched off again afterwards: the editor never
// shows it.
class ManyFoldLevels {
public:
    explicit ManyFoldLevels(QsciScintillaBase &control);
    ~ManyFoldLevels();
    ManyFoldLevels(const ManyFoldLevels &) = delete;
    ManyFoldLevels &operator=(const ManyFoldLevels &) = delete;

private:
    QsciScintillaBase &m_control;
};

} // namespace marlix
