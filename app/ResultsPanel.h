#pragma once

#include <QWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The list of results below the tabs: one row per place in a script (file, line, the line's
// text) under a line that sums them up. Choosing a row (Enter or a double-click) asks for that
// place to be opened; the panel itself opens nothing.
namespace marlix {

class ResultsPanel : public QWidget {
    Q_OBJECT
public:
    explicit ResultsPanel(QWidget *parent = nullptr);

    void clear();
    // Lines count from 1. The text is shown as one line, its tabs and line ends as blanks.
    void addResult(const QString &file, int line, const QString &text);
    void setSummary(const QString &summary);
    // Shows the panel, brings the first row into view and gives it the keyboard focus.
    void present();

    int resultCount() const;
    QString summary() const;
    QString resultFile(int row) const;
    int resultLine(int row) const;
    QString resultText(int row) const;
    // Chooses a row as Enter or a double-click would.
    void chooseResult(int row);

    QTreeWidget *list = nullptr;
    QLabel *summaryLabel = nullptr;

signals:
    void resultChosen(const QString &file, int line);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void itemChosen(QTreeWidgetItem *item);
};

} // namespace marlix
