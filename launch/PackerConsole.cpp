#include "launch/PackerConsole.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace marlix {

namespace {
QString runTitle(const QString &category) {
    return QStringLiteral("RFA Packer - %1").arg(category);
}
} // namespace

PackerConsole::PackerConsole(QWidget *parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("packerConsole"));
    resize(560, 260);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
}

void PackerConsole::reset() {
    m_failedTitle.clear();
    m_text->clear();
    hide();
}

void PackerConsole::beginRun(const QString &category) {
    // A failed run's output stays in view; the next category's follows below it.
    if (m_failedTitle.isEmpty())
        m_text->clear();
    else
        m_text->appendPlainText(QString());
    setWindowTitle(runTitle(category));
    if (!isVisible())
        placeBelowOwner();
    show();
}

void PackerConsole::placeBelowOwner() {
    QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!owner || !screen)
        return;
    // Below the dialog, centred under it, and moved up as far as needed to stay on the screen.
    const QRect frame = owner->frameGeometry();
    const QRect room = screen->availableGeometry();
    const QSize outer = frameGeometry().size(); // with the frame, once the window system told it
    QRect place(QPoint(frame.center().x() - outer.width() / 2, frame.bottom() + 1), outer);
    place.moveBottom(qMin(place.bottom(), room.bottom()));
    place.moveLeft(
        qBound(room.left(), place.left(), qMax(room.left(), room.right() + 1 - outer.width())));
    move(place.topLeft());
}

void PackerConsole::append(const QByteArray &bytes) {
    QTextCursor end(m_text->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromLocal8Bit(bytes));
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
}

void PackerConsole::endRun(int exitStatus) {
    if (exitStatus == 0) {
        if (m_failedTitle.isEmpty())
            hide();
        else
            setWindowTitle(m_failedTitle);
        return;
    }
    m_failedTitle =
        windowTitle() + (exitStatus < 0 ? QStringLiteral(" (ended by a signal)")
                                        : QStringLiteral(" (exit status %1)").arg(exitStatus));
    setWindowTitle(m_failedTitle);
}

void PackerConsole::skipped(const QString &category, const QString &reason) {
    if (m_failedTitle.isEmpty())
        m_text->clear();
    else
        m_text->appendPlainText(QString());
    m_text->appendPlainText(reason);
    m_failedTitle = runTitle(category) + QStringLiteral(" (skipped)");
    setWindowTitle(m_failedTitle);
    if (!isVisible())
        placeBelowOwner();
    show();
}

} // namespace marlix
