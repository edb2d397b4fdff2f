#include "core/modindex/IndexBuilder.h"

#include <new>

namespace marlix {

IndexBuilder::IndexBuilder(ModIndex &index, QObject *parent) : QObject(parent), m_index(index) {
    qRegisterMetaType<marlix::BuildStats>();
}

IndexBuilder::~IndexBuilder() {
    stop();
}

void IndexBuilder::stop() {
    if (!m_thread)
        return;
    m_control->cancel = true;
    m_thread->wait();
    m_thread.reset();
}

void IndexBuilder::start(const QStringList &folders, const QStringList &baseFolders) {
    stop();
    auto control = std::make_shared<BuildControl>();
    auto lastStep = std::make_shared<std::atomic<int>>(-1);
    control->progress = [this, lastStep](int done, int total) {
        const int step = total > 0 ? done * 100 / total : 100;
        if (lastStep->exchange(step) != step)
            emit progress(done, total);
    };
    m_control = control;
    m_thread.reset(QThread::create([this, control, folders, baseFolders] {
        BuildStats stats;
        try {
            stats = m_index.build(folders, baseFolders, control.get());
        } catch (const std::bad_alloc &) {
            // Out of memory outside the reading of one file: the index stays as it was.
            stats.cancelled = true;
            stats.errors.append(QStringLiteral("Not enough memory to index the mod"));
        }
        emit finished(stats);
    }));
    m_thread->start();
}

void IndexBuilder::cancel() {
    if (m_control)
        m_control->cancel = true;
}

bool IndexBuilder::isRunning() const {
    return m_thread && m_thread->isRunning();
}

} // namespace marlix
