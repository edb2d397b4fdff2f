#pragma once

#include "core/script/PartMatch.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <utility>

// Code completion as a session over the document, without a window: key facts go in, edits of
// the text and commands for the list come out. The editor only carries them out.
namespace marlix {

// What a session reads of the document: the caret and the bytes around it.
class CompletionText {
public:
    virtual ~CompletionText() = default;
    virtual qsizetype caret() const = 0;
    virtual qsizetype size() const = 0;
    // The bytes from `from` to `to`, clipped to the text.
    virtual QByteArray bytes(qsizetype from, qsizetype to) const = 0;
    // Whether the position stands in a remark (Remarks.h); this reads the text before it.
    virtual bool inRemark(qsizetype pos) const;
};

// A list a source offers at the caret: the trigger it saw, where that begins, and the items.
struct CompletionOffer {
    qsizetype codeStart = -1;
    QString code; // the trigger as the source knows it; what is typed after it is the prefix
    // 0: an accepted item replaces what was typed after the trigger; otherwise the trigger too.
    std::int32_t style = 0;
    QStringList items; // in list order
    QString message;   // told to the user when the items could not be had
};

// Something that can open the list: the language table's triggers, and any other index of
// names (template names after a reference command, say). Sources are asked in the order they
// were added; the first that sees a trigger opens the list.
class CompletionSource {
public:
    virtual ~CompletionSource() = default;
    virtual std::optional<CompletionOffer> offerAt(const CompletionText &text) = 0;
};

// What the editor is to do after a key or an accept.
struct CompletionStep {
    struct Edit {
        qsizetype from = 0;
        qsizetype to = 0;
        QByteArray text;
        qsizetype caret = 0; // where the caret goes after the replacement
    };
    enum class List { Keep, Open, Close };

    List list = List::Keep;
    std::optional<int> row; // the list's current row; -1 selects none
    bool scrollToRow = false;
    std::optional<Edit> edit;
    QString message;
    bool withhold = false; // the pressed character does not reach the text
    bool refill = false;   // the list shows other items now (CompletionSession::shown)
};

// The character code of a pressed key: 13 Enter, 27 Esc, 8 Backspace, 127 Delete, 9 Tab, else
// the first character the key types; 0 for a key that types nothing.
int completionCharacter(int qtKey, const QString &text);

// Whether a pressed character changes the text as typing does (Backspace and Delete included):
// only such a key looks for a trigger at its release. Esc and control characters do not.
bool typesText(int character);

// A release made with Shift held changes nothing: the phrase or trigger is looked at when
// Shift itself comes up, so one whose last character needs Shift still counts.
bool releaseCounts(int qtKey, Qt::KeyboardModifiers modifiers);

class CompletionSession {
public:
    explicit CompletionSession(const CompletionText &text);

    // Not owned; must outlive the session or be removed.
    void addSource(CompletionSource *source);
    void removeSource(CompletionSource *source);

    bool isOpen() const { return m_open; }
    const CompletionOffer &offer() const { return m_offer; }
    // The items the list shows: all of the offer's until something is typed after the
    // trigger, then those that match it by parts (PartMatch.h), best first; all again when
    // none matches.
    const QList<ItemMatch> &shown() const { return m_shown; }
    // The row of `shown` that is selected; -1 none.
    int currentRow() const { return m_row; }
    // The user picked a row in the list itself.
    void setCurrentRow(int row);

    // A character key was pressed (completionCharacter) while the editor has the keyboard.
    CompletionStep press(int character);
    // A key came up after its press reached the editor, and it counts (releaseCounts). A list
    // opens only when a key typed text since the last counted release: moving the caret onto
    // a trigger that is already in the text opens nothing.
    CompletionStep release(int qtKey);
    // Whether a key typed text since the last counted release; the question counts as one.
    bool takeTyped() { return std::exchange(m_typed, false); }
    // The sources are asked for a list at the caret; none opens inside a remark.
    CompletionStep checkTrigger();
    CompletionStep open(CompletionOffer offer);
    // The list's item goes in for what was typed: the selected one, or the first when nothing
    // was typed after the trigger. Nothing goes in when the list is empty, the caret left the
    // place the completion was for, or what was typed begins no item and none was chosen: the
    // completion is given up, so a command the list does not know stays as it was typed.
    CompletionStep accept();
    CompletionStep trackPrefix();
    CompletionStep close();

private:
    qsizetype typedFrom() const;

    // The list Esc closed, and where the caret stood: the same list at the same place stays
    // closed (the release of that Esc would otherwise open it again at once).
    struct Dismissed {
        qsizetype codeStart = -1;
        QString code;
        qsizetype caret = -1;
    };

    const CompletionText &m_text;
    Dismissed m_dismissed;
    QList<CompletionSource *> m_sources;
    CompletionOffer m_offer;
    bool m_open = false;
    bool m_typed = false; // a key typed text since the last counted release
    int m_row = -1;
    QList<ItemMatch> m_shown;
    QString m_shownFor; // what was typed when `m_shown` was made
};

} // namespace marlix
