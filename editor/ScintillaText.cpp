#include "editor/ScintillaText.h"

#include <Qsci/qsciscintillabase.h>

#include <algorithm>

namespace marlix {

qsizetype ScintillaText::caret() const {
    return m_control.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
}

qsizetype ScintillaText::size() const {
    return m_control.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
}

QByteArray ScintillaText::bytes(qsizetype from, qsizetype to) const {
    if (to < from)
        std::swap(from, to);
    from = std::max<qsizetype>(from, 0);
    to = std::min<qsizetype>(to, size());
    if (to <= from)
        return QByteArray();
    // The range pointer moves the gap only when the range straddles it, unlike the
    // character pointer, which moves the whole text after the gap.
    const auto *data = reinterpret_cast<const char *>(m_control.SendScintilla(
        QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), long(to - from)));
    return QByteArray(data, to - from);
}

TextView ScintillaText::whole() const {
    const auto *data = static_cast<const char *>(
        m_control.SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return TextView::whole(data, size());
}

} // namespace marlix
