#pragma once

#include "core/prefs/RecentFiles.h"

#include <QString>
#include <array>
#include <functional>

class QAction;

namespace marlix {

// File > Open Recent: its entries follow recent.ini in the program folder, newest first, and
// choosing one opens that file.
class RecentFilesMenu {
public:
    using Entries = std::array<QAction *, RecentFilesLimit>;
    // Opens a file as a document; mayOpen says whether another document may open at all.
    RecentFilesMenu(const QString &programFolder, const Entries &entries,
                    std::function<void(const QString &)> open, std::function<bool()> mayOpen);

    // Shows an entry for each line of recent.ini; without the file the menu stays as it is.
    void load();
    // Puts the path at the top of recent.ini and shows the list again.
    void add(const QString &path);
    // The entry at index (from 0) was chosen.
    void choose(int index);

private:
    QString m_fileName;
    Entries m_entries;
    std::function<void(const QString &)> m_open;
    std::function<bool()> m_mayOpen;
};

} // namespace marlix
