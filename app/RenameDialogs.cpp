#include "app/RenameDialogs.h"

#include "core/script/Windows1252.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace marlix {

namespace {

QString shownPath(const QString &file, const QStringList &folders) {
    for (const QString &folder : folders) {
        const QString clean = QDir::cleanPath(folder);
        if (file.startsWith(clean + QLatin1Char('/')))
            return QDir::toNativeSeparators(file.mid(clean.size() + 1));
    }
    return QDir::toNativeSeparators(file);
}

// The line as shown in the list: its leading blanks left out, so the change stands in view.
QString shownLine(const QByteArray &line) {
    return windows1252Text(line).trimmed();
}

QString counted(qsizetype n, const char *what) {
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(what),
                                                QLatin1String(n == 1 ? "" : "s"));
}

} // namespace

RenameNameDialog::RenameNameDialog(const QString &family, const QString &oldName, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("RenameNameDialog"));
    setWindowTitle(QStringLiteral("Rename Name"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("New name for %1 %2:").arg(family, oldName), this);
    layout->addWidget(label);
    nameField = new QLineEdit(oldName, this);
    nameField->setObjectName(QStringLiteral("newNameEdit"));
    nameField->selectAll();
    label->setBuddy(nameField);
    layout->addWidget(nameField);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton = buttons->button(QDialogButtonBox::Ok);
    okButton->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(420, sizeHint().height());
}

QString RenameNameDialog::newName() const {
    return nameField->text();
}

RenamePreviewDialog::RenamePreviewDialog(const RenamePlan &plan, const QSet<QString> &openScripts,
                                         const QStringList &indexFolders, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("RenamePreviewDialog"));
    const QString oldName = windows1252Text(plan.oldName);
    const QString newName = windows1252Text(plan.newName);
    setWindowTitle(QStringLiteral("Rename %1 to %2").arg(oldName, newName));
    auto *layout = new QVBoxLayout(this);

    const QStringList files = plan.files();
    qsizetype openCount = 0;
    for (const QString &file : files)
        openCount += openScripts.contains(file);
    QString summary =
        QStringLiteral("%1 %2 becomes %3: %4 in %5.")
            .arg(windows1252Text(plan.family), oldName, newName,
                 counted(plan.changes.size(), "change"), counted(files.size(), "script"));
    if (openCount > 0)
        summary += QStringLiteral(" Scripts open in a tab change there and are saved as you "
                                  "save them; the others change on disk.");
    summaryLabel = new QLabel(summary, this);
    summaryLabel->setObjectName(QStringLiteral("renameSummaryLabel"));
    summaryLabel->setWordWrap(true);
    layout->addWidget(summaryLabel);

    changeList = new QTreeWidget(this);
    changeList->setObjectName(QStringLiteral("renameChanges"));
    changeList->setHeaderLabels({QStringLiteral("Script"), QStringLiteral("Line"),
                                 QStringLiteral("Before"), QStringLiteral("After")});
    changeList->setRootIsDecorated(false);
    changeList->setUniformRowHeights(true);
    changeList->setAlternatingRowColors(true);
    QList<QTreeWidgetItem *> rows;
    for (qsizetype i = 0; i < plan.changes.size(); ++i) {
        const RenameChange &change = plan.changes[i];
        // The plan lists each renamed word; a line naming the name twice is one row.
        if (i > 0 && plan.changes[i - 1].file == change.file &&
            plan.changes[i - 1].line == change.line)
            continue;
        QString script = shownPath(change.file, indexFolders);
        if (openScripts.contains(change.file))
            script += QStringLiteral(" (open)");
        auto *row =
            new QTreeWidgetItem({script, QString::number(change.line), shownLine(change.lineBefore),
                                 shownLine(change.lineAfter)});
        row->setData(0, Qt::UserRole, change.file);
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        rows.append(row);
    }
    changeList->addTopLevelItems(rows);
    changeList->header()->setSectionResizeMode(QHeaderView::Interactive);
    // A long path gives up its middle, so that the script's name and "(open)" stay in view.
    changeList->setTextElideMode(Qt::ElideMiddle);
    changeList->resizeColumnToContents(0);
    changeList->setColumnWidth(0, std::clamp(changeList->columnWidth(0), 160, 420));
    changeList->setColumnWidth(1, 50);
    changeList->setColumnWidth(2, 280);
    layout->addWidget(changeList, 1);

    auto *buttons = new QDialogButtonBox(this);
    applyButton = buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::AcceptRole);
    applyButton->setObjectName(QStringLiteral("applyButton"));
    cancelButton = buttons->addButton(QDialogButtonBox::Cancel);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    applyButton->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(900, 420);
}

} // namespace marlix
