#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace marlix {

// Tools > Index Folders: the folders whose scripts and archives the mod index reads. A folder
// is typed or browsed for, then added; the list is only kept when the dialog is accepted. A
// ticked entry is the base game: the game's own folder or archive.
class IndexFoldersDialog : public QDialog {
    Q_OBJECT
public:
    explicit IndexFoldersDialog(const QStringList &folders, const QStringList &baseFolders = {},
                                QWidget *parent = nullptr);

    // The entries not ticked, and the ticked ones (the base game).
    QStringList folders() const;
    QStringList baseFolders() const;
    // Adds the folder in the box unless the list holds it already; false for an empty box.
    bool addTypedFolder();
    void removeChosenFolders();

    QLineEdit *folderBox;
    QListWidget *folderList;
    QPushButton *addButton, *browseButton, *removeButton;

private:
    void browse();
    void addEntry(const QString &folder, bool base);
    QStringList entries(bool base) const;
};

} // namespace marlix
