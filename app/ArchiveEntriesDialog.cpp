#include "app/ArchiveEntriesDialog.h"

#include "core/archive/EntryFilter.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace marlix {

ArchiveEntriesDialog::ArchiveEntriesDialog(const QString &archiveName,
                                           const QList<RfaEntry> &entries, QWidget *parent)
    : QDialog(parent), m_entries(entries) {
    setWindowTitle(QStringLiteral("Open from Archive - %1").arg(archiveName));
    resize(560, 480);

    filterBox = new QLineEdit(this);
    filterBox->setPlaceholderText(QStringLiteral("Type to filter by name"));
    filterBox->setClearButtonEnabled(true);
    allEntriesBox =
        new QCheckBox(QStringLiteral("Show all entries, not only .con, .inc and .bak"), this);
    entryList = new QTreeWidget(this);
    entryList->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Size")});
    entryList->setRootIsDecorated(false);
    entryList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    entryList->setUniformRowHeights(true);
    entryList->header()->setStretchLastSection(false);
    entryList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    entryList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filterBox);
    layout->addWidget(allEntriesBox);
    layout->addWidget(entryList);
    layout->addWidget(buttons);

    connect(filterBox, &QLineEdit::textChanged, this, &ArchiveEntriesDialog::refill);
    connect(allEntriesBox, &QCheckBox::toggled, this, &ArchiveEntriesDialog::refill);
    connect(entryList, &QTreeWidget::itemSelectionChanged, this, [this] {
        buttons->button(QDialogButtonBox::Open)->setEnabled(!entryList->selectedItems().isEmpty());
    });
    connect(entryList, &QTreeWidget::itemActivated, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    refill();
    filterBox->setFocus();
}

void ArchiveEntriesDialog::refill() {
    entryList->clear();
    QList<QTreeWidgetItem *> items;
    for (int index : filterEntries(m_entries, filterBox->text(), allEntriesBox->isChecked())) {
        const RfaEntry &entry = m_entries[index];
        auto *item = new QTreeWidgetItem({entry.name, QString::number(entry.originalSize)});
        item->setData(0, Qt::UserRole, index);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    entryList->addTopLevelItems(items);
    // The first match stands chosen, so typing a part of a name and Enter opens it.
    if (!items.isEmpty())
        entryList->setCurrentItem(items.first());
    buttons->button(QDialogButtonBox::Open)->setEnabled(!items.isEmpty());
}

QList<int> ArchiveEntriesDialog::chosenEntries() const {
    QList<int> chosen;
    for (int row = 0; row < entryList->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = entryList->topLevelItem(row);
        if (item->isSelected())
            chosen.append(item->data(0, Qt::UserRole).toInt());
    }
    return chosen;
}

} // namespace marlix
