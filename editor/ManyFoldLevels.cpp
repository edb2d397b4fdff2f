#include "editor/ManyFoldLevels.h"

#include <Qsci/qsciscintillabase.h>

namespace marlix {

ManyFoldLevels::ManyFoldLevels(QsciScintillaBase &control) : m_control(control) {
    m_control.SendScintilla(QsciScintillaBase::SCI_MARKERENABLEHIGHLIGHT, 1UL);
}

ManyFoldLevels::~ManyFoldLevels() {
    m_control.SendScintilla(QsciScintillaBase::SCI_MARKERENABLEHIGHLIGHT, 0UL);
}

} // namespace marlix
