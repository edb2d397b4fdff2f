#include "core/script/CompletionSession.h"

#include "core/script/CompletionRules.h"
#include "core/script/Remarks.h"

#include <algorithm>
#include <utility>

namespace marlix {

int completionCharacter(int qtKey, const QString &text) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Delete:
        return 127;
    case Qt::Key_Tab:
        return 9;
    default:
        return text.isEmpty() ? 0 : text.at(0).unicode();
    }
}

bool typesText(int character) {
    return character == 8 || character == 9 || character == 13 || character >= 32;
}

bool CompletionText::inRemark(qsizetype pos) const {
    const QByteArray before = bytes(0, std::min(size(), pos + 1));
    return marlix::inRemark(TextView::whole(before), pos);
}

bool releaseCounts(int qtKey, Qt::KeyboardModifiers modifiers) {
    return !(modifiers & Qt::ShiftModifier) || qtKey == Qt::Key_Shift;
}

CompletionSession::CompletionSession(const CompletionText &text) : m_text(text) {}

void CompletionSession::addSource(CompletionSource *source) {
    if (source && !m_sources.contains(source))
        m_sources.append(source);
}

void CompletionSession::removeSource(CompletionSource *source) {
    m_sources.removeAll(source);
}

void CompletionSession::setCurrentRow(int row) {
    m_row = std::clamp(row, -1, int(m_shown.size()) - 1);
}

qsizetype CompletionSession::typedFrom() const {
    return m_offer.codeStart + m_offer.code.toLatin1().size();
}

CompletionStep CompletionSession::press(int character) {
    CompletionStep step;
    if (typesText(character))
        m_typed = true;
    if (!m_open)
        return step;
    if (character == 13) {
        // Enter is withheld only when it put the item in; otherwise it breaks the line.
        step = accept();
        step.withhold = step.edit.has_value();
    } else if (character == ' ' || character == '.') {
        step = accept();
    } else if (character == 27) {
        step = close();
        m_dismissed = {m_offer.codeStart, m_offer.code, m_text.caret()};
    }
    return step;
}

CompletionStep CompletionSession::release(int qtKey) {
    if (!m_open)
        return takeTyped() ? checkTrigger() : CompletionStep();
    m_typed = false;
    CompletionStep step;
    if (qtKey == Qt::Key_Down) {
        m_row = std::min(m_row + 1, int(m_shown.size()) - 1);
        step.row = m_row;
    } else if (qtKey == Qt::Key_Up) {
        m_row = std::max(m_row - 1, -1);
        step.row = m_row;
    } else {
        step = trackPrefix();
    }
    return step;
}

CompletionStep CompletionSession::checkTrigger() {
    const Dismissed dismissed = std::exchange(m_dismissed, {});
    for (CompletionSource *source : std::as_const(m_sources)) {
        std::optional<CompletionOffer> offer = source->offerAt(m_text);
        if (!offer)
            continue;
        if (m_text.inRemark(offer->codeStart))
            return CompletionStep();
        if (offer->codeStart == dismissed.codeStart && offer->code == dismissed.code &&
            m_text.caret() == dismissed.caret) {
            m_dismissed = dismissed;
            return CompletionStep();
        }
        return open(std::move(*offer));
    }
    return CompletionStep();
}

CompletionStep CompletionSession::open(CompletionOffer offer) {
    m_offer = std::move(offer);
    m_row = -1;
    m_shown = matchItems(m_offer.items, QString());
    m_shownFor.clear();
    // An empty list stays hidden, so the next key looks for a trigger again.
    m_open = !m_offer.items.isEmpty();
    CompletionStep step;
    step.list = CompletionStep::List::Open;
    step.row = -1;
    step.message = m_offer.message;
    return step;
}

CompletionStep CompletionSession::trackPrefix() {
    const qsizetype caret = m_text.caret();
    const QString prefix = QString::fromLatin1(m_text.bytes(typedFrom(), caret));
    CompletionStep step;
    if (prefix != m_shownFor) {
        m_shown = matchItems(m_offer.items, prefix);
        // Nothing matches: the whole list stays in view, none selected, so the user may still
        // choose an item with Up and Down.
        if (m_shown.isEmpty())
            m_shown = matchItems(m_offer.items, QString());
        m_shownFor = prefix;
        step.refill = true;
    }
    // Among the items that begin with the prefix, the one the prefix has always selected;
    // else the best match by parts. None when nothing matches: the completion is then given
    // up at the next accept.
    const int item = selectByPrefix(m_offer.items, prefix);
    const bool matched = !m_shown.isEmpty() && (prefix.isEmpty() || !m_shown[0].letters.isEmpty());
    m_row = matched ? 0 : -1;
    if (item >= 0)
        for (qsizetype r = 0; r < m_shown.size(); ++r)
            if (m_shown[r].item == item)
                m_row = int(r);
    step.row = m_row;
    step.scrollToRow = m_row >= 0;
    return step;
}

CompletionStep CompletionSession::accept() {
    CompletionStep step = close();
    if (m_offer.items.isEmpty())
        return step;
    const qsizetype caret = m_text.caret();
    const qsizetype from = typedFrom();
    // The list stays open while the caret goes elsewhere (a click, Page Down). The item
    // replaces what was typed after the trigger, never the lines between trigger and caret:
    // once a line end lies between them, the completion is given up and nothing is replaced.
    // A caret moved back over the trigger (Left, Home, a click) gives it up too: replacing from
    // there would eat the trigger or the text before it.
    if (caret < from)
        return step;
    const QByteArray between = m_text.bytes(from, caret);
    if (between.contains('\r') || between.contains('\n'))
        return step;
    // An item is chosen by the prefix or by the user; an empty prefix takes the first.
    if (m_row < 0 && caret > from)
        return step;
    if (m_shown.isEmpty())
        return step;
    const int row = m_shown.at(m_row < 0 ? 0 : m_row).item;
    const QByteArray item = m_offer.items.at(row).toLatin1();
    const qsizetype start = m_offer.style == 0 ? from : m_offer.codeStart;
    step.edit = CompletionStep::Edit{start, caret, item, start + item.size()};
    return step;
}

CompletionStep CompletionSession::close() {
    m_open = false;
    CompletionStep step;
    step.list = CompletionStep::List::Close;
    return step;
}

} // namespace marlix
