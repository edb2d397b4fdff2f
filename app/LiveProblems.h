#pragma once

#include "core/modindex/ModProblem.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QLabel;
class QMainWindow;
class QThread;
class QTimer;
class TAdvEdit;

namespace marlix {

class DocumentHost;
class IndexTools;
class ProblemMarks;

// The mod check of the script in view as it is typed: its unsaved text is checked after a
// pause in the typing (at once when it is opened, saved, brought to the front or when the index
// changes), on a thread of its own over a copy of the text, and a result that the text has
// outrun is dropped. The problems are drawn in the editor (ProblemMarks), counted in the status
// bar, stepped through with F8 and Shift+F8, and replace the script's rows in the results of
// Tools > Check Mod while the panel shows them.
class LiveProblems : public QObject {
    Q_OBJECT
public:
    // Adds its entries to the Tools menu and its count to the window's status bar.
    LiveProblems(DocumentHost &host, IndexTools *tools);
    ~LiveProblems() override;

    // Another tab came to the front, or none is left: its script is checked at once.
    void activeDocumentChanged();

    QAction *nextProblemAction, *previousProblemAction;
    QLabel *problemCount;

    // The marks of an editor; null before its first check.
    ProblemMarks *marksOf(TAdvEdit *editor) const;
    // The time the typing must rest before the script is checked.
    static constexpr int pauseMilliseconds = 300;

signals:
    // The problems of the script in view are shown (tests and benchmarks wait for this).
    void problemsShown();

private:
    void attach(TAdvEdit *editor);
    ProblemMarks *ensureMarks(TAdvEdit *editor);
    void schedule(int delay);
    void startCheck();
    void checkDone(TAdvEdit *editor, const QString &path, quint64 generation,
                   const QByteArray &text, const QList<ModProblem> &problems);
    void show(TAdvEdit *editor, const QByteArray &text, const QList<ModProblem> &problems);
    void clearView();
    void panelFilled(const QList<ModProblem> &problems);
    void followInPanel(const QString &path, const QList<ModProblem> &problems);
    void fillPanel();
    bool panelShowsCheck() const;
    void step(bool forward);
    void stopWorker();

    DocumentHost &m_host;
    QMainWindow *m_window; // the status bar and its messages
    IndexTools *m_tools;
    QTimer *m_pause;
    QThread *m_worker = nullptr;
    bool m_checkAgain = false;
    quint64 m_generation = 0; // counts the changes that outdate a running check
    QList<QPointer<TAdvEdit>> m_attached;
    // The results of Tools > Check Mod as the panel shows them, while it does.
    QList<ModProblem> m_panelProblems;
    QString m_panelSummary;
    bool m_panelFollows = false;
};

} // namespace marlix
