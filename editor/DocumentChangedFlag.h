#pragma once

class QsciScintillaBase;

namespace marlix {

// Whether a document's text differs from what was last loaded or saved: the control's own
// state against its save point, so undoing back to that point makes it unchanged again, and
// keys that change no text (caret keys, Esc) never make it changed. Reads as a bool.
//
// Setting it false marks the text as saved. Setting it true on a text that is at its save
// point says the text differs from its file all the same (the file went away on disk): it
// then stays changed until the next save or load. On a text that is already changed, true
// adds nothing, so undoing back to the save point still makes it unchanged.
class DocumentChangedFlag {
public:
    explicit DocumentChangedFlag(QsciScintillaBase &control) : m_control(control) {}
    DocumentChangedFlag(const DocumentChangedFlag &) = delete;

    operator bool() const;
    DocumentChangedFlag &operator=(bool changed);
    DocumentChangedFlag &operator=(const DocumentChangedFlag &other) { return *this = bool(other); }

    // The text was just loaded or saved: unchanged, with nothing held against it.
    void markSaved();

private:
    QsciScintillaBase &m_control;
    bool m_forced = false;
};

} // namespace marlix
