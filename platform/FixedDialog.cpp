#include "platform/FixedDialog.h"

#include "platform/ErrorDisplay.h"

#include <QShowEvent>

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

void FixedDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    // Only the program's own showing opens the dialog, not a restore by the window system.
    if (!event->spontaneous())
        guarded(this, [this] { FormShow(); });
}

} // namespace marlix
