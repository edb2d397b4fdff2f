#pragma once

#include <QString>

namespace marlix {

// Standard output of the packer: plain lines, and one progress line that is redrawn in place
// when the output is a terminal and left out otherwise (a line per file is too much for a
// folder of thousands).
class Console {
public:
    Console();

    void line(const QString &text);
    // A line of bytes written as they are (names are the file system's bytes), with control
    // characters shown as \xNN.
    void rawLine(const QByteArray &bytes);
    void prompt(const QString &text);
    void error(const QString &text);
    // Redraws the progress line, at most every few tens of milliseconds.
    void progress(int done, int total, const QString &what);
    // Ends the progress line, so the next line starts on a fresh one.
    void endProgress();
    // Ends an unanswered question's line before the program ends.
    void finish();

private:
    void write(const QByteArray &bytes);

    bool m_terminal = false;
    qint64 m_lastDraw = -1;
    int m_drawnWidth = 0;
    bool m_afterPrompt = false;
};

} // namespace marlix
