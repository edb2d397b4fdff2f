#pragma once

#include "core/modindex/ModIndex.h"

#include <QObject>
#include <QThread>
#include <memory>

// Builds a mod index in the background for a window: progress and the end of the build
// arrive as signals in the thread that owns the builder, so the window never waits.
namespace marlix {

class IndexBuilder : public QObject {
    Q_OBJECT
public:
    explicit IndexBuilder(ModIndex &index, QObject *parent = nullptr);
    // Cancels a running build and waits for its threads.
    ~IndexBuilder() override;

    // Starts building from the folders; a build still running is cancelled first.
    void start(const QStringList &folders, const QStringList &baseFolders = {});
    // Asks the running build to stop; `finished` then reports it as cancelled and the index
    // stays as it was.
    void cancel();
    bool isRunning() const;

signals:
    // At most about a hundred times a build.
    void progress(int done, int total);
    void finished(const marlix::BuildStats &stats);

private:
    void stop();

    ModIndex &m_index;
    std::unique_ptr<QThread> m_thread;
    std::shared_ptr<BuildControl> m_control;
};

} // namespace marlix
