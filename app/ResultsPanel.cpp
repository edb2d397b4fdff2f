#include "app/ResultsPanel.h"

#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace marlix {

namespace {
enum Column { FileColumn, LineColumn, TextColumn };
constexpr int PathRole = Qt::UserRole;
} // namespace

ResultsPanel::ResultsPanel(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("resultsPanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    auto *top = new QHBoxLayout;
    summaryLabel = new QLabel(this);
    summaryLabel->setObjectName(QStringLiteral("resultsSummary"));
    top->addWidget(summaryLabel, 1);
    auto *closeButton = new QToolButton(this);
    closeButton->setText(QStringLiteral("\u2715"));
    closeButton->setToolTip(QStringLiteral("Close the results"));
    closeButton->setAutoRaise(true);
    connect(closeButton, &QToolButton::clicked, this, &QWidget::hide);
    top->addWidget(closeButton);
    layout->addLayout(top);

    list = new QTreeWidget(this);
    list->setObjectName(QStringLiteral("resultsList"));
    list->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Line"), QStringLiteral("Text")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->header()->setStretchLastSection(true);
    list->installEventFilter(this);
    connect(list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { itemChosen(item); });
    layout->addWidget(list, 1);
    setMinimumHeight(120);
    hide();
}

void ResultsPanel::clear() {
    list->clear();
    summaryLabel->clear();
}

void ResultsPanel::addResult(const QString &file, int line, const QString &text) {
    QString shown = text;
    shown.replace(QLatin1Char('\t'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    auto *item = new QTreeWidgetItem(
        list, {QDir::toNativeSeparators(file), QString::number(line), shown.trimmed()});
    item->setData(FileColumn, PathRole, file);
    item->setData(LineColumn, PathRole, line);
    item->setToolTip(FileColumn, QDir::toNativeSeparators(file));
}

void ResultsPanel::setSummary(const QString &summary) {
    summaryLabel->setText(summary);
}

void ResultsPanel::present() {
    show();
    list->resizeColumnToContents(FileColumn);
    list->resizeColumnToContents(LineColumn);
    if (list->topLevelItemCount() > 0 && !list->currentItem())
        list->setCurrentItem(list->topLevelItem(0));
    list->setFocus();
}

int ResultsPanel::resultCount() const {
    return list->topLevelItemCount();
}
QString ResultsPanel::summary() const {
    return summaryLabel->text();
}
QString ResultsPanel::resultFile(int row) const {
    const QTreeWidgetItem *item = list->topLevelItem(row);
    return item ? item->data(FileColumn, PathRole).toString() : QString();
}
int ResultsPanel::resultLine(int row) const {
    const QTreeWidgetItem *item = list->topLevelItem(row);
    return item ? item->data(LineColumn, PathRole).toInt() : 0;
}
QString ResultsPanel::resultText(int row) const {
    const QTreeWidgetItem *item = list->topLevelItem(row);
    return item ? item->text(TextColumn) : QString();
}

void ResultsPanel::chooseResult(int row) {
    if (QTreeWidgetItem *item = list->topLevelItem(row)) {
        list->setCurrentItem(item);
        itemChosen(item);
    }
}

void ResultsPanel::itemChosen(QTreeWidgetItem *item) {
    if (item)
        emit resultChosen(item->data(FileColumn, PathRole).toString(),
                          item->data(LineColumn, PathRole).toInt());
}

bool ResultsPanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched == list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            itemChosen(list->currentItem());
            return true;
        }
        if (key == Qt::Key_Escape) {
            hide();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace marlix
