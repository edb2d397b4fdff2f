#include "editor/DocumentChangedFlag.h"

#include <Qsci/qsciscintillabase.h>

namespace marlix {

DocumentChangedFlag::operator bool() const {
    return m_forced || m_control.SendScintilla(QsciScintillaBase::SCI_GETMODIFY) != 0;
}

DocumentChangedFlag &DocumentChangedFlag::operator=(bool changed) {
    if (!changed) {
        markSaved();
    } else if (!*this) {
        m_forced = true;
        // Whoever shows the state hears of it as of a change of the control's own.
        emit m_control.SCN_SAVEPOINTLEFT();
    }
    return *this;
}

void DocumentChangedFlag::markSaved() {
    const bool wasForced = m_forced;
    m_forced = false;
    m_control.SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    if (wasForced && !m_control.SendScintilla(QsciScintillaBase::SCI_GETMODIFY))
        emit m_control.SCN_SAVEPOINTREACHED();
}

} // namespace marlix
