#pragma once

#include "core/modindex/Rename.h"

#include <QDialog>
#include <QSet>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace marlix {

// Asks for the new name of a name being renamed, the old one given and selected.
class RenameNameDialog : public QDialog {
    Q_OBJECT
public:
    RenameNameDialog(const QString &family, const QString &oldName, QWidget *parent);

    QString newName() const;

    QLineEdit *nameField;
    QPushButton *okButton;
};

// Every change a rename would make, one row per line changed (script, line, the line before
// and after), with Apply and Cancel.
class RenamePreviewDialog : public QDialog {
    Q_OBJECT
public:
    // Scripts open in a tab are marked: they change in their tab, not on disk. Paths are
    // shown relative to the index folder that holds them.
    RenamePreviewDialog(const RenamePlan &plan, const QSet<QString> &openScripts,
                        const QStringList &indexFolders, QWidget *parent);

    QLabel *summaryLabel;
    QTreeWidget *changeList;
    QPushButton *applyButton;
    QPushButton *cancelButton;
};

} // namespace marlix
