// The main window's side of start-up: the file named on the command line and the hand-off
// from a later start, as the window's events reach them.
#include "app/frmMain.h"

#include "app/StartupHandOff.h"

void TFormMain::FormActivate() {
    m_startup->activate();
}

void TFormMain::FormPaint() {
    m_startup->takeHandOff();
}

void TFormMain::filesHandedOver(const QStringList &files) {
    m_startup->filesHandedOver(files);
}

void TFormMain::handOffRequested() {
    m_startup->bringForward();
}

void TFormMain::paintEvent(QPaintEvent *event) {
    QMainWindow::paintEvent(event);
    m_startup->painted();
}

void TFormMain::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    m_startup->shown();
}
