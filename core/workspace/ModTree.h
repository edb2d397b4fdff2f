#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// The mod's folders as a tree: the index folders at the top, below them the folders that hold
// scripts, the scripts, and the .rfa archives as folders of their script entries. Folders
// without a script or an archive anywhere below them are left out.
namespace marlix {

struct ModTreeNode {
    enum Kind { Root, Folder, Script, Archive, ArchiveFolder, Entry };
    Kind kind = Folder;
    QString name; // as shown
    // On disk: the full path. For an archive's entries and folders: the archive's path, "/" and
    // the name inside it, as the mod index names an archive entry.
    QString path;
    QString archive;   // the archive a node inside one belongs to
    QString entryName; // an entry's name inside its archive
    QString error;     // an archive that could not be read
    int problems = 0;  // of a script, or of everything below a folder
    ModTreeNode *parent = nullptr;
    std::vector<std::unique_ptr<ModTreeNode>> children;

    bool isContainer() const { return kind != Script && kind != Entry; }
    bool isOnDisk() const {
        return kind == Root || kind == Folder || kind == Script || kind == Archive;
    }
    int row() const;
    ModTreeNode *add(std::unique_ptr<ModTreeNode> child);
};

// Folders and archives first, then by name ignoring case; the order of a folder's children.
bool comesBefore(const ModTreeNode &a, const ModTreeNode &b);

// The tree of the folders (the invisible top node holds one Root per folder that exists).
// Symbolic links to folders are not followed into a folder already on the way down, and the
// tree stops 64 folders deep. `scanned` receives every folder looked into, shown or not: what
// to watch for files coming and going.
std::unique_ptr<ModTreeNode> scanModTree(const QStringList &folders,
                                         QStringList *scanned = nullptr);

// The entries of one archive as folders and entries below `archive` (its children are
// replaced). An archive that cannot be read keeps no children and gets the reason as error.
void readArchiveEntries(ModTreeNode &archive);

} // namespace marlix
