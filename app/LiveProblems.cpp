#include "app/LiveProblems.h"

#include "app/DocumentHost.h"
#include "app/IndexTools.h"
#include "app/PageControl.h"
#include "app/ResultsPanel.h"
#include "core/modindex/IndexPaths.h"
#include "core/modindex/ModCheck.h"
#include "core/modindex/ScriptProblems.h"
#include "editor/AdvEdit.h"
#include "editor/ProblemMarks.h"
#include "platform/ErrorDisplay.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <memory>

namespace marlix {

namespace {

// Whether the index speaks for the script: one it holds, or a new one in its folders. A script
// of another mod checked against this one would show every name it uses as undefined.
bool indexCovers(const ModIndex &index, const QStringList &folders, const QString &path) {
    if (index.contains(path))
        return true;
    for (const QString &folder : folders) {
        const QString clean = QDir::cleanPath(folder);
        if (path.startsWith(clean + QLatin1Char('/'), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

LiveProblems::LiveProblems(DocumentHost &host, IndexTools *tools)
    : QObject(host.hostWindow()), m_host(host), m_window(host.hostWindow()), m_tools(tools) {
    QMenu *menu = host.toolsMenu();
    const auto entry = [&](const QString &caption, const QKeySequence &key, const char *name,
                           bool forward) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        connect(action, &QAction::triggered, this,
                [this, forward] { guarded(m_window, [&] { step(forward); }); });
        return action;
    };
    nextProblemAction =
        entry(QStringLiteral("Next Problem"), QKeySequence(Qt::Key_F8), "nextProblemAction", true);
    previousProblemAction =
        entry(QStringLiteral("Previous Problem"), QKeySequence(Qt::ShiftModifier | Qt::Key_F8),
              "previousProblemAction", false);

    problemCount = new QLabel(m_window);
    problemCount->setObjectName(QStringLiteral("problemsLabel"));
    problemCount->setContentsMargins(6, 0, 6, 0);
    m_window->statusBar()->addPermanentWidget(problemCount);

    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    connect(m_pause, &QTimer::timeout, this, [this] { guarded(m_window, [&] { startCheck(); }); });

    connect(tools, &IndexTools::buildFinished, this, [this] { schedule(0); });
    connect(tools, &IndexTools::indexChanged, this, [this] { schedule(0); });
    connect(tools, &IndexTools::problemsShown, this, &LiveProblems::panelFilled);
    // The index goes with the tools: no check may still read it.
    connect(tools, &IndexTools::closing, this, &LiveProblems::stopWorker);
}

LiveProblems::~LiveProblems() {
    stopWorker();
}

void LiveProblems::activeDocumentChanged() {
    attach(m_host.activeEditor());
    schedule(0);
}

void LiveProblems::stopWorker() {
    m_pause->stop();
    if (m_worker) {
        m_worker->disconnect(this);
        m_worker->wait();
        delete m_worker;
        m_worker = nullptr;
    }
}

void LiveProblems::attach(TAdvEdit *editor) {
    m_attached.removeAll(nullptr);
    if (!editor || m_attached.contains(editor))
        return;
    m_attached.append(editor);
    // Once per key or command, undo and redo included.
    connect(editor, &TAdvEdit::edited, this, [this, editor] {
        ++m_generation;
        if (editor == m_host.activeEditor())
            schedule(pauseMilliseconds);
    });
    // Loaded or saved: the text is what the file holds, and is checked at once.
    connect(editor, &QsciScintilla::modificationChanged, this, [this, editor](bool modified) {
        if (!modified && editor == m_host.activeEditor())
            schedule(0);
    });
}

ProblemMarks *LiveProblems::marksOf(TAdvEdit *editor) const {
    return editor ? editor->findChild<ProblemMarks *>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

ProblemMarks *LiveProblems::ensureMarks(TAdvEdit *editor) {
    attach(editor);
    ProblemMarks *marks = marksOf(editor);
    return marks ? marks : new ProblemMarks(editor);
}

void LiveProblems::schedule(int delay) {
    // An edit puts the check off until the typing rests, but never one due at once.
    if (delay > 0 && m_pause->isActive() && m_pause->interval() == 0)
        return;
    m_pause->start(delay);
}

void LiveProblems::startCheck() {
    if (m_worker) {
        // One check at a time; the next one starts when it is done, over the text as it is then.
        m_checkAgain = true;
        return;
    }
    TAdvEdit *editor = m_host.activeEditor();
    const TTabSheet *page = m_host.activePage();
    ModIndex *index = m_tools->index();
    const QString path = page ? page->caption() : QString();
    if (!editor || !index || path.isEmpty() || m_tools->isBuilding() ||
        !indexCovers(*index, m_tools->indexedFolders(), path)) {
        clearView();
        return;
    }
    attach(editor);
    const QByteArray text = editor->documentBytes();
    const quint64 generation = ++m_generation;
    auto problems = std::make_shared<QList<ModProblem>>();
    m_worker = QThread::create(
        [index, path, text, problems] { *problems = checkScript(*index, path, text); });
    QPointer<TAdvEdit> target(editor);
    connect(m_worker, &QThread::finished, this, [=] {
        // Told just before the thread ends: it is let end before it goes.
        m_worker->wait();
        delete m_worker;
        m_worker = nullptr;
        guarded(m_window, [&] { checkDone(target, path, generation, text, *problems); });
        if (std::exchange(m_checkAgain, false))
            schedule(0);
    });
    m_worker->start(QThread::LowPriority);
}

void LiveProblems::checkDone(TAdvEdit *editor, const QString &path, quint64 generation,
                             const QByteArray &text, const QList<ModProblem> &problems) {
    // The text changed, or another script came to the front, while it was checked: a newer
    // check is on its way.
    const TTabSheet *page = m_host.activePage();
    if (generation != m_generation || !editor || editor != m_host.activeEditor() || !page ||
        page->caption() != path)
        return;
    show(editor, text, problems);
    followInPanel(path, problems);
    emit problemsShown();
}

void LiveProblems::show(TAdvEdit *editor, const QByteArray &text,
                        const QList<ModProblem> &problems) {
    ensureMarks(editor)->setProblems(placeProblems(text, problems));
    problemCount->setText(problemCountText(problems));
}

void LiveProblems::clearView() {
    if (ProblemMarks *marks = marksOf(m_host.activeEditor()))
        marks->setProblems({});
    problemCount->clear();
    emit problemsShown();
}

void LiveProblems::step(bool forward) {
    TAdvEdit *editor = m_host.activeEditor();
    ProblemMarks *marks = marksOf(editor);
    if (!marks || !marks->goToProblem(forward))
        m_window->statusBar()->showMessage(QStringLiteral("No problems in this script"), 4000);
}

// The panel's rows

void LiveProblems::panelFilled(const QList<ModProblem> &problems) {
    m_panelProblems = problems;
    m_panelSummary = m_host.results()->summary();
    m_panelFollows = true;
}

// Until another command (Find References, Find in Files) fills the panel with its own rows.
bool LiveProblems::panelShowsCheck() const {
    const ResultsPanel *panel = m_host.results();
    return m_panelFollows && panel->summary() == m_panelSummary &&
           panel->resultCount() == m_panelProblems.size();
}

void LiveProblems::followInPanel(const QString &path, const QList<ModProblem> &problems) {
    if (!panelShowsCheck()) {
        m_panelFollows = false;
        return;
    }
    m_panelProblems = replaceScriptProblems(m_panelProblems, path, problems);
    fillPanel();
}

void LiveProblems::fillPanel() {
    ResultsPanel *panel = m_host.results();
    panel->clear();
    for (const ModProblem &problem : std::as_const(m_panelProblems))
        panel->addResult(problem.file, problem.line, problemRowText(problem));
    panel->setSummary(problemSummary(m_panelProblems));
    m_panelSummary = panel->summary();
}

} // namespace marlix
