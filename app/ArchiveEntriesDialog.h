#pragma once

#include "core/archive/RfaReader.h"

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;
class QTreeWidget;

namespace marlix {

// The entries of one archive to choose from: typing filters the names (ignoring case), the
// scripts are listed unless all entries are asked for, and several can be chosen at once.
class ArchiveEntriesDialog : public QDialog {
    Q_OBJECT
public:
    ArchiveEntriesDialog(const QString &archiveName, const QList<RfaEntry> &entries,
                         QWidget *parent = nullptr);

    // The indexes into the archive's entries of the chosen ones, in list order.
    QList<int> chosenEntries() const;

    QLineEdit *filterBox;
    QCheckBox *allEntriesBox;
    QTreeWidget *entryList;
    QDialogButtonBox *buttons;

private:
    void refill();

    QList<RfaEntry> m_entries;
};

} // namespace marlix
