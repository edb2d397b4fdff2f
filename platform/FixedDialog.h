#pragma once

#include <QDialog>

namespace marlix {

// Puts a window in the middle of its screen's available area.
void centreOnScreen(QWidget *window);

// What the program's fixed-size dialogs share: a title bar with a close button and no
// resizing, the dialogs' Verdana 11 px face, a place in the middle of the screen, and FormShow
// run each time the program shows the dialog. The closing stays with each dialog, as each refuses
// or allows it in its own way.
class FixedDialog : public QDialog {
    Q_OBJECT
public:
    // Fills the controls for this showing. An error it throws goes to the error display, and
    // the dialog still shows.
    virtual void FormShow() = 0;

protected:
    FixedDialog(QWidget *parent, const QString &caption, const QSize &size,
                Qt::WindowFlags extraFlags = {});
    void showEvent(QShowEvent *event) override;
};

} // namespace marlix
