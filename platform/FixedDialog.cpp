#include "platform/FixedDialog.h"

#include "platform/ErrorDisplay.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

namespace marlix {

FixedDialog::FixedDialog(QWidget *parent, const QString &caption, const QSize &size,
                         Qt::WindowFlags extraFlags)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | extraFlags) {
    setWindowTitle(caption);
    setFixedSize(size);
    QFont face(QStringLiteral("Verdana"));
    face.setPixelSize(11);
    setFont(face);
}

void centreOnScreen(QWidget *window) {
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The client area is placed, so the result does not depend on whether the window system
    // has told us the frame's size yet; once it has, the frame as a whole is centred.
    const QMargins frame =
        window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    const QPoint centre = screen->availableGeometry().center();
    const QPoint topLeft(centre.x() - window->width() / 2 + (frame.left() - frame.right()) / 2,
                         centre.y() - window->height() / 2 + (frame.top() - frame.bottom()) / 2);
    window->setGeometry(QRect(topLeft, window->size()));
}

void FixedDialog::showEvent(QShowEvent *event) {
    // Centred on the screen at every showing, not over the parent, wherever it was left.
    if (!event->spontaneous())
        centreOnScreen(this);
    QDialog::showEvent(event);
    // Only the program's own showing opens the dialog, not a restore by the window system.
    if (!event->spontaneous())
        guarded(this, [this] { FormShow(); });
}

} // namespace marlix
