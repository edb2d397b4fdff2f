#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace marlix {

// A small console for the packer's output, as the batch run's own console window would be: it
// opens when a batch run starts, shows what the packer prints, closes when the run ends well,
// and stays open, with the exit status in its title, when the packer failed, so the author can
// read why.
class PackerConsole : public QWidget {
    Q_OBJECT
public:
    explicit PackerConsole(QWidget *parent = nullptr);

    // Forgets the last "Compile and Run"'s output and closes.
    void reset();
    void beginRun(const QString &category);
    void append(const QByteArray &bytes);
    // -1 stands for a packer that was ended by a signal (stopped, or killed).
    void endRun(int exitStatus);
    // A ticked category that was not packed, and why: the console opens, and stays open
    // after the run so that the author sees it.
    void skipped(const QString &category, const QString &reason);

    QPlainTextEdit *text() const { return m_text; }

private:
    void placeBelowOwner();

    QPlainTextEdit *m_text;
    QString m_failedTitle; // the title of the last failed run of this "Compile and Run"
};

} // namespace marlix
