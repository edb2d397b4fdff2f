#include "core/search/FindInFilesJob.h"

#include <QPointer>
#include <QThread>

namespace marlix {

FindInFilesJob::FindInFilesJob(QObject *parent) : QObject(parent) {}

FindInFilesJob::~FindInFilesJob() {
    stopThread();
}

void FindInFilesJob::cancel() {
    if (m_cancel)
        m_cancel->store(true);
}

void FindInFilesJob::stopThread() {
    cancel();
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
}

void FindInFilesJob::start(const QStringList &paths, const QByteArray &pattern,
                           const SearchOptions &options, int threads) {
    stopThread();
    const quint64 generation = ++m_generation;
    auto cancelFlag = std::make_shared<std::atomic<bool>>(false);
    m_cancel = cancelFlag;
    QPointer<FindInFilesJob> self(this);
    m_thread = QThread::create([=] {
        FindInFilesOptions run;
        run.threads = threads;
        run.cancel = cancelFlag.get();
        FindInFilesResult result = findInFiles(paths, pattern, options, run);
        // Back on the job's own thread; a job that is gone or has started anew drops it.
        QMetaObject::invokeMethod(
            self.data(),
            [self, generation, result = std::move(result)] {
                if (!self || self->m_generation != generation)
                    return;
                self->stopThread();
                emit self->finished(result);
            },
            Qt::QueuedConnection);
    });
    m_thread->start();
}

} // namespace marlix
