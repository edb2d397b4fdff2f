#include "core/startup/HandOffQueue.h"

namespace marlix {

void HandOffQueue::takenFromFile(const QStringList &files) {
    m_paintTaken = files;
    m_files.append(files);
}

void HandOffQueue::handedOver(const QStringList &files, bool fileWasItsOwn) {
    const bool alreadyTaken = !fileWasItsOwn && m_paintTaken == files;
    m_paintTaken.reset();
    if (!alreadyTaken)
        m_files.append(files);
}

void HandOffQueue::openAll(const std::function<void(const QString &)> &open) {
    if (m_opening)
        return;
    m_opening = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{m_opening};
    while (!m_files.isEmpty())
        open(m_files.takeFirst());
}

} // namespace marlix
