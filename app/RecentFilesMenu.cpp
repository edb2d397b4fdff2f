#include "app/RecentFilesMenu.h"

#include "core/common/MnemonicText.h"

#include <QAction>
#include <QFileInfo>

namespace marlix {

RecentFilesMenu::RecentFilesMenu(const QString &programFolder, const Entries &entries,
                                 std::function<void(const QString &)> open,
                                 std::function<bool()> mayOpen)
    : m_fileName(programFolder + QStringLiteral("recent.ini")), m_entries(entries),
      m_open(std::move(open)), m_mayOpen(std::move(mayOpen)) {}

void RecentFilesMenu::load() {
    if (!QFileInfo::exists(m_fileName))
        return;
    const QStringList lines = readRecentFile(m_fileName);
    for (int k = 0; k < RecentFilesLimit && k < lines.size(); ++k) {
        m_entries[k]->setText(mnemonicFree(lines[k]));
        m_entries[k]->setVisible(true);
    }
}

void RecentFilesMenu::add(const QString &path) {
    addToRecentFile(m_fileName, path);
    load();
}

void RecentFilesMenu::choose(int index) {
    if (index < 0 || index >= RecentFilesLimit || !m_mayOpen())
        return;
    m_open(recentEntryPath(m_entries[index]->text()));
}

} // namespace marlix
