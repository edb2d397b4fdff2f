#pragma once

// A document without a view for completion sessions: typing goes through the session as the
// editor's keys would.
#include "core/script/CompletionSession.h"

#include <QStringList>
#include <algorithm>

namespace marlix {

class TypedText : public CompletionText {
public:
    QByteArray text;
    qsizetype at = 0;

    qsizetype caret() const override { return at; }
    qsizetype size() const override { return text.size(); }
    QByteArray bytes(qsizetype from, qsizetype to) const override {
        from = std::clamp<qsizetype>(from, 0, text.size());
        to = std::clamp<qsizetype>(to, 0, text.size());
        return to > from ? text.mid(from, to - from) : QByteArray();
    }

    void apply(const CompletionStep &step) {
        if (step.edit) {
            text.replace(step.edit->from, step.edit->to - step.edit->from, step.edit->text);
            at = step.edit->caret;
        }
        if (!step.message.isEmpty())
            messages.append(step.message);
    }
    QStringList messages;
};

// Every character is pressed, goes in unless withheld, and comes up again.
inline void type(CompletionSession &session, TypedText &doc, const QByteArray &keys) {
    for (char c : keys) {
        const int qtKey = c == '\r' ? int(Qt::Key_Return) : int(QChar(c).toUpper().unicode());
        const CompletionStep step = session.press(completionCharacter(qtKey, QString(QChar(c))));
        doc.apply(step);
        if (!step.withhold) {
            doc.text.insert(doc.at, c);
            ++doc.at;
        }
        doc.apply(session.release(qtKey));
    }
}

inline void key(CompletionSession &session, TypedText &doc, Qt::Key qtKey) {
    doc.apply(session.press(completionCharacter(qtKey, QString())));
    doc.apply(session.release(qtKey));
}

} // namespace marlix
