#include "cli/rfapack/Console.h"

#include <QDateTime>
#include <cstdio>
#include <unistd.h>

namespace marlix {

namespace {

// Names from an archive or a folder may hold anything; none reaches the terminal as a control
// character (an escape sequence could rewrite the screen).
QByteArray withoutControls(const QByteArray &bytes) {
    QByteArray shown;
    shown.reserve(bytes.size());
    for (char c : bytes) {
        if (quint8(c) < 0x20 || c == 0x7F)
            shown += "\\x" + QByteArray::number(quint8(c), 16).rightJustified(2, '0').toUpper();
        else
            shown += c;
    }
    return shown;
}

} // namespace

Console::Console() : m_terminal(isatty(STDOUT_FILENO) == 1) {}

void Console::write(const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void Console::line(const QString &text) {
    endProgress();
    // Answers from a file are not echoed: without this, a line would follow its question.
    const QByteArray start = m_afterPrompt && !m_terminal ? "\n" : "";
    m_afterPrompt = false;
    write(start + text.toLocal8Bit() + '\n');
}

void Console::prompt(const QString &text) {
    write(text.toLocal8Bit());
    m_afterPrompt = true;
}

void Console::error(const QString &text) {
    endProgress();
    // Every line of a message that lists several problems carries the program's name.
    QByteArray bytes;
    for (const QString &line : text.split(QLatin1Char('\n')))
        bytes += "marlix-rfapack: " + withoutControls(line.toLocal8Bit()) + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

void Console::rawLine(const QByteArray &bytes) {
    endProgress();
    m_afterPrompt = false;
    write(withoutControls(bytes) + '\n');
}

void Console::progress(int done, int total, const QString &what) {
    if (!m_terminal)
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (done != total && m_lastDraw >= 0 && now - m_lastDraw < 50)
        return;
    m_lastDraw = now;
    const QByteArray text =
        QStringLiteral("%1 %2/%3 files").arg(what).arg(done).arg(total).toLocal8Bit();
    const int blanks = std::max(0, m_drawnWidth - int(text.size()));
    m_drawnWidth = int(text.size());
    write('\r' + text + QByteArray(blanks, ' '));
}

void Console::endProgress() {
    if (m_drawnWidth == 0)
        return;
    write("\r" + QByteArray(m_drawnWidth, ' ') + '\r');
    m_drawnWidth = 0;
    m_lastDraw = -1;
}

void Console::finish() {
    endProgress();
    if (m_afterPrompt && !m_terminal)
        write("\n");
    m_afterPrompt = false;
}

} // namespace marlix
