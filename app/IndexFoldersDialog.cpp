#include "app/IndexFoldersDialog.h"

#include "platform/Prompts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace marlix {

IndexFoldersDialog::IndexFoldersDialog(const QStringList &folders, const QStringList &baseFolders,
                                       QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("IndexFoldersDialog"));
    setWindowTitle(QStringLiteral("Index Folders"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Go to definition, find references and Check Mod "
                                              "read every script and archive below these "
                                              "folders (the mod folder; tick the game's own "
                                              "folders or archives as the base game):"),
                               this),
                    0, 0, 1, 3);
    folderList = new QListWidget(this);
    folderList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const QString &folder : folders)
        addEntry(folder, false);
    for (const QString &folder : baseFolders)
        addEntry(folder, true);
    grid->addWidget(folderList, 1, 0, 3, 2);
    removeButton = new QPushButton(QStringLiteral("Remove"), this);
    grid->addWidget(removeButton, 1, 2);
    folderBox = new QLineEdit(this);
    folderBox->setPlaceholderText(QStringLiteral("Folder"));
    grid->addWidget(folderBox, 4, 0);
    browseButton = new QPushButton(QStringLiteral("Browse\u2026"), this);
    grid->addWidget(browseButton, 4, 1);
    addButton = new QPushButton(QStringLiteral("Add"), this);
    grid->addWidget(addButton, 4, 2);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    grid->addWidget(buttons, 5, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    resize(560, 320);

    connect(addButton, &QPushButton::clicked, this, [this] { addTypedFolder(); });
    connect(folderBox, &QLineEdit::returnPressed, this, [this] { addTypedFolder(); });
    connect(browseButton, &QPushButton::clicked, this, &IndexFoldersDialog::browse);
    connect(removeButton, &QPushButton::clicked, this, &IndexFoldersDialog::removeChosenFolders);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter in the box adds the folder rather than closing the dialog.
    for (QPushButton *button : buttons->findChildren<QPushButton *>())
        button->setAutoDefault(false);
    addButton->setAutoDefault(false);
}

void IndexFoldersDialog::addEntry(const QString &folder, bool base) {
    auto *item = new QListWidgetItem(QDir::toNativeSeparators(folder), folderList);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(base ? Qt::Checked : Qt::Unchecked);
    item->setToolTip(QStringLiteral("Ticked: the base game (its names count as defined, its "
                                    "problems are not reported)"));
}

QStringList IndexFoldersDialog::entries(bool base) const {
    QStringList result;
    for (int row = 0; row < folderList->count(); ++row)
        if ((folderList->item(row)->checkState() == Qt::Checked) == base)
            result.append(QDir::fromNativeSeparators(folderList->item(row)->text()));
    return result;
}

QStringList IndexFoldersDialog::folders() const {
    return entries(false);
}

QStringList IndexFoldersDialog::baseFolders() const {
    return entries(true);
}

bool IndexFoldersDialog::addTypedFolder() {
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(folderBox->text().trimmed()));
    if (folderBox->text().trimmed().isEmpty())
        return false;
    if (!folders().contains(folder) && !baseFolders().contains(folder))
        addEntry(folder, false);
    folderBox->clear();
    return true;
}

void IndexFoldersDialog::removeChosenFolders() {
    qDeleteAll(folderList->selectedItems());
}

// A folder is chosen by opening it in the file dialog and accepting the name shown there.
void IndexFoldersDialog::browse() {
    FileRequest request;
    request.caption = QStringLiteral("Choose a folder to index");
    request.filter = QStringLiteral("Folders|*.folder");
    request.fileName = QStringLiteral("(this folder)");
    request.nameMustExist = false;
    const FileAnswer answer = Prompts::file(this, request);
    if (!answer.accepted)
        return;
    folderBox->setText(QDir::toNativeSeparators(QFileInfo(answer.fileName).absolutePath()));
    addTypedFolder();
}

} // namespace marlix
