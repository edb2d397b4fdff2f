#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class TAdvEdit;

namespace marlix {

// Go to Line: a small field at the bottom of the tab page. Enter goes to the line and gives
// the editor the focus; text that is no line number is said beside the field; Esc closes.
class GoToLineBar : public QWidget {
    Q_OBJECT
public:
    GoToLineBar(TAdvEdit *editor, QWidget *parent);

    static GoToLineBar *ofPage(QWidget *page, TAdvEdit *editor, bool create);

    QLineEdit *lineField;
    QLabel *rangeLabel;  // "Line (1-N):"
    QLabel *statusLabel; // why the text is no line

    void open();
    void close();
    bool go(); // false when the text is no line number

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TAdvEdit *m_editor;
};

} // namespace marlix
