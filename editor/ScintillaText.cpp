#include "editor/ScintillaText.h"

#include "core/script/Remarks.h"

#include <Qsci/qsciscintillabase.h>

#include <algorithm>
#include <tuple>
#include <utility>

namespace marlix {

qsizetype ScintillaText::caret() const {
    return m_control.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
}

qsizetype ScintillaText::size() const {
    return m_control.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
}

namespace {

// The range ordered and within the text; empty when nothing of it is.
std::pair<qsizetype, qsizetype> clamped(qsizetype from, qsizetype to, qsizetype size) {
    if (to < from)
        std::swap(from, to);
    return {std::max<qsizetype>(from, 0), std::min<qsizetype>(to, size)};
}

} // namespace

QByteArray ScintillaText::bytes(qsizetype from, qsizetype to) const {
    std::tie(from, to) = clamped(from, to, size());
    if (to <= from)
        return QByteArray();
    // The range pointer moves the gap only when the range straddles it, unlike the
    // character pointer, which moves the whole text after the gap.
    const auto *data = reinterpret_cast<const char *>(m_control.SendScintilla(
        QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), long(to - from)));
    return QByteArray(data, to - from);
}

QByteArray ScintillaText::styles(qsizetype from, qsizetype to) const {
    std::tie(from, to) = clamped(from, to, size());
    if (to <= from)
        return QByteArray();
    // The control hands over characters and styles in turn, and a closing pair of zeros.
    QByteArray pairs(2 * (to - from) + 2, Qt::Uninitialized);
    m_control.SendScintilla(QsciScintillaBase::SCI_GETSTYLEDTEXT, long(from), long(to),
                            pairs.data());
    QByteArray styles(to - from, Qt::Uninitialized);
    for (qsizetype i = 0; i < styles.size(); ++i)
        styles[i] = pairs.at(2 * i + 1);
    return styles;
}

bool ScintillaText::inRemark(qsizetype pos) const {
    using S = QsciScintillaBase;
    const long line =
        m_control.SendScintilla(S::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
    const qsizetype start =
        m_control.SendScintilla(S::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const qsizetype end =
        m_control.SendScintilla(S::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    const bool openBefore =
        line > 0 &&
        (m_control.SendScintilla(S::SCI_GETLINESTATE, static_cast<unsigned long>(line - 1)) &
         remBlockOpenState);
    const QByteArray text = bytes(start, end);
    return lineInBlock(openBefore, blockMarkOf(text.constData(), text.size())) ||
           remBeforeColumn(text.constData(), text.size(), pos - start);
}

TextView ScintillaText::whole() const {
    const auto *data = static_cast<const char *>(
        m_control.SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return TextView::whole(data, size());
}

} // namespace marlix
