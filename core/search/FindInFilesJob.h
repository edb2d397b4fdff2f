#pragma once

#include "core/search/FindInFiles.h"

#include <QObject>
#include <atomic>
#include <memory>

class QThread;

// Find in Files off the GUI thread: the search runs on a thread of its own and its result
// comes back as a signal on the thread that owns the job. A new search cancels the one still
// running, whose result is then dropped.
namespace marlix {

class FindInFilesJob : public QObject {
    Q_OBJECT
public:
    explicit FindInFilesJob(QObject *parent = nullptr);
    ~FindInFilesJob() override; // cancels a running search and waits for its thread

    void start(const QStringList &paths, const QByteArray &pattern, const SearchOptions &options,
               int threads = 0);
    void cancel();
    bool isRunning() const { return m_thread != nullptr; }

signals:
    void finished(const marlix::FindInFilesResult &result);

private:
    void stopThread();

    QThread *m_thread = nullptr;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    quint64 m_generation = 0;
};

} // namespace marlix
