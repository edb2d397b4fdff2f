#pragma once

#include "core/script/TextReplace.h"
#include "core/script/TextSearch.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <atomic>
#include <memory>

// The find bar's searches of one document, run off the GUI thread: a regular expression can
// take seconds over a script, and the window must go on answering meanwhile.
namespace marlix {

struct DocumentSearchRequest {
    enum Kind { Next, Previous, Marks, ReplaceAll };
    Kind kind = Next;
    QByteArray pattern;
    SearchOptions options;
    qsizetype from = 0; // Next: the first place to look; Previous: the place to look before
    // Marks: the range in view, and the selection, which is the current match if one is there.
    qsizetype markStart = 0, markEnd = 0;
    qsizetype selectionStart = 0, selectionEnd = 0;
    QByteArray replacement; // ReplaceAll
};

struct DocumentSearchResult {
    SearchMatch match;         // Next, Previous
    bool anyMatch = false;     // Next, Previous without a match: the text has one elsewhere
    QList<SearchMatch> marks;  // Marks
    SearchMatch current;       // Marks: the selection, when it is a match
    qsizetype count = 0;       // Marks: the matches of the whole text
    qsizetype stoppedAt = -1;  // where the engine gave up, or -1
    int stoppedLine = 0;       // its line, counted from 1
    ReplaceAllResult replaced; // ReplaceAll
    bool cancelled = false;
};

// One search, on the calling thread. `cancel`, set from any thread, ends it between matches.
DocumentSearchResult runDocumentSearch(const DocumentSearchRequest &request, const QByteArray &text,
                                       const std::atomic<bool> *cancel = nullptr);

// Runs one search at a time on a thread of its own. A search that ends within the time the
// caller may wait reports at once, inside start(); a longer one reports later through the
// event loop. A new search, or cancel(), drops the one before: its result never arrives.
class DocumentSearchJob : public QObject {
    Q_OBJECT
public:
    explicit DocumentSearchJob(QObject *parent = nullptr);
    ~DocumentSearchJob() override;

    // Returns true when finished() was emitted before it returned.
    bool start(const DocumentSearchRequest &request, const QByteArray &text, int waitMs);
    void cancel();
    bool isRunning() const { return m_running; }

signals:
    void finished(const marlix::DocumentSearchRequest &request,
                  const marlix::DocumentSearchResult &result);

private:
    struct Run;
    void deliver(const std::shared_ptr<Run> &run);

    std::shared_ptr<Run> m_run;
    bool m_running = false;
};

} // namespace marlix
