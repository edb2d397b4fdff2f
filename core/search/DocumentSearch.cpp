#include "core/search/DocumentSearch.h"

#include <QDeadlineTimer>
#include <QThread>

namespace marlix {

namespace {

bool cancelled(const std::atomic<bool> *cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

} // namespace

DocumentSearchResult runDocumentSearch(const DocumentSearchRequest &request, const QByteArray &text,
                                       const std::atomic<bool> *cancel) {
    DocumentSearchResult result;
    const TextSearch search(request.pattern, request.options);
    const TextView view = TextView::whole(text);
    switch (request.kind) {
    case DocumentSearchRequest::Next:
    case DocumentSearchRequest::Previous: {
        result.match = request.kind == DocumentSearchRequest::Next
                           ? search.findNext(view, request.from)
                           : search.findPrevious(view, request.from);
        result.stoppedAt = result.match.stoppedAt;
        if (!result.match.found() && result.stoppedAt < 0)
            result.anyMatch = search.findNext(view, 0).found();
        break;
    }
    case DocumentSearchRequest::Marks: {
        result.marks = search.findAll(view, request.markStart, request.markEnd);
        const SearchMatch current = search.matchAt(view, request.selectionStart);
        if (current.found() && current.end() == request.selectionEnd)
            result.current = current;
        result.stoppedAt = search.forEachMatch(
            view, 0, text.size(), [&](const SearchMatch &, const QRegularExpressionMatch *) {
                ++result.count;
                return !cancelled(cancel);
            });
        break;
    }
    case DocumentSearchRequest::ReplaceAll: {
        const Replacement rule(search, request.replacement);
        result.replaced.errorText = !search.isValid() ? search.errorText() : rule.errorText();
        if (!result.replaced.errorText.isEmpty())
            break;
        result.stoppedAt = search.forEachMatch(
            view, 0, text.size(),
            [&](const SearchMatch &match, const QRegularExpressionMatch *groups) {
                result.replaced.edits.append({match.start, match.length, rule.bytesFor(groups)});
                return !cancelled(cancel);
            });
        // The matches before the place given up are not all there are.
        if (result.stoppedAt >= 0 || cancelled(cancel))
            result.replaced.edits.clear();
        break;
    }
    }
    if (result.stoppedAt >= 0) {
        result.stoppedLine = lineNumberAt(view, result.stoppedAt);
        if (request.kind == DocumentSearchRequest::ReplaceAll)
            result.replaced.errorText = searchStoppedText(result.stoppedLine);
    }
    result.cancelled = cancelled(cancel);
    return result;
}

struct DocumentSearchJob::Run {
    DocumentSearchRequest request;
    QByteArray text;
    std::atomic<bool> cancel{false};
    DocumentSearchResult result;
    bool delivered = false; // GUI thread only
};

DocumentSearchJob::DocumentSearchJob(QObject *parent) : QObject(parent) {}

DocumentSearchJob::~DocumentSearchJob() {
    cancel();
}

void DocumentSearchJob::cancel() {
    if (m_run) {
        m_run->cancel = true;
        m_run->delivered = true; // whatever it finds is no longer asked for
    }
    m_run.reset();
    m_running = false;
}

void DocumentSearchJob::deliver(const std::shared_ptr<Run> &run) {
    if (run->delivered || run != m_run)
        return;
    run->delivered = true;
    m_running = false;
    m_run.reset();
    emit finished(run->request, run->result);
}

bool DocumentSearchJob::start(const DocumentSearchRequest &request, const QByteArray &text,
                              int waitMs) {
    cancel();
    auto run = std::make_shared<Run>();
    run->request = request;
    run->text = text;
    m_run = run;
    m_running = true;
    // The thread owns its share of the run: a search the window no longer waits for ends in
    // its own time and takes nothing with it.
    QThread *thread = QThread::create(
        [run] { run->result = runDocumentSearch(run->request, run->text, &run->cancel); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, run] { deliver(run); });
    thread->start();
    if (!thread->wait(QDeadlineTimer(waitMs)))
        return false;
    deliver(run);
    return true;
}

} // namespace marlix
