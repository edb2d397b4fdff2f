#include "app/IndexTools.h"

#include "app/DocumentHost.h"
#include "app/IndexFoldersDialog.h"
#include "app/PageControl.h"
#include "app/ResultsPanel.h"
#include "app/SchemeColors.h"
#include "core/document/DocumentSlots.h"
#include "core/modindex/IndexBuilder.h"
#include "core/modindex/IndexFolders.h"
#include "core/modindex/IndexPaths.h"
#include "core/modindex/IndexWatch.h"
#include "core/modindex/ModCheck.h"
#include "core/modindex/NameCompletionSource.h"
#include "core/modindex/ScriptProblems.h"
#include "core/script/Windows1252.h"
#include "editor/AdvEdit.h"
#include "editor/EditorView.h"
#include "platform/ErrorDisplay.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

namespace marlix {

namespace {

constexpr int BackLimit = 50;
constexpr int DwellMilliseconds = 500;
constexpr int MessageMilliseconds = 6000;

QString nameText(const QByteArray &bytes) {
    return windows1252Text(bytes);
}

QString placeText(const IndexEntry &entry) {
    return QStringLiteral("%1:%2").arg(QDir::toNativeSeparators(entry.file)).arg(entry.line);
}

// Several definitions of one name: the user picks one; -1 when the list is dismissed.
int chooseDefinition(QWidget *parent, const QList<IndexEntry> &definitions, bool darkScheme) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("DefinitionChooser"));
    dialog.setWindowTitle(QStringLiteral("Definitions of %1").arg(nameText(definitions[0].name)));
    auto *layout = new QVBoxLayout(&dialog);
    auto *list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("definitionList"));
    for (const IndexEntry &entry : definitions)
        list->addItem(QStringLiteral("%1   %2 %3 %4")
                          .arg(placeText(entry), nameText(entry.family), nameText(entry.type),
                               nameText(entry.name)));
    list->setCurrentRow(0);
    // The list of places is a panel of the index, in the editors' scheme.
    applyPanelScheme(list, darkScheme);
    layout->addWidget(list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    dialog.resize(560, 220);
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return list->currentRow();
}

bool byPlace(const IndexEntry &a, const IndexEntry &b) {
    if (a.file != b.file)
        return a.file < b.file;
    return a.line != b.line ? a.line < b.line : a.column < b.column;
}

} // namespace

IndexTools::IndexTools(DocumentHost &host)
    : QObject(host.hostWindow()), m_host(host), m_window(host.hostWindow()) {
    try {
        m_index = std::make_unique<ModIndex>(CommandTable::fromProgramFolder(host.ProgramFolder()));
        m_index->setCacheFile(indexCachePath(host.ProgramFolder()));
        m_names = std::make_unique<NameCompletionSource>(*m_index);
        m_builder = new IndexBuilder(*m_index, this);
        connect(m_builder, &IndexBuilder::progress, this, &IndexTools::buildProgress);
        connect(m_builder, &IndexBuilder::finished, this, &IndexTools::buildDone);
    } catch (const Error &error) {
        // The editor works on without the index; its commands say why there is none.
        m_tableError = error.text();
    }

    QMenu *tools = host.toolsMenu();
    tools->addSeparator();
    const auto entry = [&](const QString &caption, const QKeySequence &key, const char *name,
                           void (IndexTools::*handler)()) {
        QAction *action = tools->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        connect(action, &QAction::triggered, this,
                [this, handler] { guarded(m_window, [&] { (this->*handler)(); }); });
        return action;
    };
    indexFoldersAction = entry(QStringLiteral("Index Folders\u2026"), {}, "indexFoldersAction",
                               &IndexTools::indexFoldersClick);
    goToDefinitionAction = entry(QStringLiteral("Go to Definition"), QKeySequence(Qt::Key_F12),
                                 "goToDefinitionAction", &IndexTools::goToDefinitionClick);
    goBackAction = entry(QStringLiteral("Go Back"), QKeySequence(Qt::AltModifier | Qt::Key_Left),
                         "goBackAction", &IndexTools::goBackClick);
    findReferencesAction =
        entry(QStringLiteral("Find References"), QKeySequence(Qt::ShiftModifier | Qt::Key_F12),
              "findReferencesAction", &IndexTools::findReferencesClick);
    checkModAction =
        entry(QStringLiteral("Check Mod"), {}, "checkModAction", &IndexTools::checkModClick);

    progressBar = new QProgressBar(m_window);
    progressBar->setObjectName(QStringLiteral("indexProgress"));
    progressBar->setMaximumWidth(200);
    progressBar->setFormat(QStringLiteral("Indexing %p%"));
    progressBar->hide();
    indexStatus = new QLabel(m_window);
    indexStatus->setObjectName(QStringLiteral("indexStatus"));
    m_window->statusBar()->addPermanentWidget(indexStatus);
    m_window->statusBar()->addPermanentWidget(progressBar);

    m_watch = new IndexWatch(this);
    connect(m_watch, &IndexWatch::fileChanged, this, &IndexTools::fileChanged);
    // A script changed after the build read it and before its watch was set.
    connect(m_watch, &IndexWatch::filesWatched, this, [this](const QStringList &files) {
        for (const QString &file : files)
            if (m_index && m_index->contains(file) && !m_index->readAsOnDisk(file))
                fileChanged(file);
    });
    // A script added, removed or saved by renaming shows as a change of its folder: the
    // cache keeps the rebuild to the files that changed.
    m_folderChange = new QTimer(this);
    m_folderChange->setSingleShot(true);
    m_folderChange->setInterval(400);
    connect(m_watch, &IndexWatch::folderChanged, m_folderChange, qOverload<>(&QTimer::start));
    connect(m_folderChange, &QTimer::timeout, this, &IndexTools::rebuild);

    // After the window is up, so the start is not held up by the index.
    QTimer::singleShot(0, this, &IndexTools::rebuild);
}

// The builder's threads read the index: they are stopped before the index goes. Editors
// that outlive the tools stop asking for names.
IndexTools::~IndexTools() {
    emit closing();
    if (m_check)
        m_check->wait();
    delete m_builder;
    for (TAdvEdit *editor : std::as_const(m_editors))
        if (editor)
            editor->completion().removeSource(m_names.get());
}

bool IndexTools::isBuilding() const {
    return m_builder && m_builder->isRunning();
}

bool IndexTools::noIndex() {
    if (m_index)
        return false;
    showMessage(m_window, QStringLiteral("The mod index is not available: %1").arg(m_tableError));
    return true;
}

QString IndexTools::activeScript() const {
    const TTabSheet *page = m_host.activePage();
    return page ? page->caption() : QString();
}

void IndexTools::rebuild() {
    if (!m_index)
        return;
    const QStringList folders = effectiveIndexFolders(m_host.ProgramFolder(), activeScript());
    m_folders = folders;
    // Lines of indexfolders.ini left out are named in the status's tip.
    m_notes.clear();
    readIndexFolders(m_host.ProgramFolder(), &m_notes);
    const QStringList base = readBaseFolders(m_host.ProgramFolder(), &m_notes);
    indexStatus->setToolTip(m_notes.join(QLatin1Char('\n')));
    if (folders.isEmpty()) {
        indexStatus->setText(QStringLiteral("No index folders"));
        return;
    }
    progressBar->setValue(0);
    progressBar->show();
    m_builder->start(folders, base);
}

// Without a list of folders the index follows the mod of the script in view.
void IndexTools::updateFoldersFor(TAdvEdit *editor) {
    if (!m_index || editor != m_host.activeEditor())
        return;
    const QStringList folders = effectiveIndexFolders(m_host.ProgramFolder(), activeScript());
    if (folders != m_folders)
        rebuild();
}

void IndexTools::buildProgress(int done, int total) {
    progressBar->setMaximum(std::max(total, 1));
    progressBar->setValue(done);
}

void IndexTools::buildDone(const BuildStats &stats) {
    if (stats.cancelled)
        return; // a newer build is on its way
    progressBar->hide();
    QString status = QStringLiteral("Index: %1 scripts").arg(stats.files);
    if (!stats.errors.isEmpty())
        status += QStringLiteral(", %1 unreadable").arg(stats.errors.size());
    indexStatus->setText(status);
    indexStatus->setToolTip((stats.errors + stats.notes + m_notes).join(QLatin1Char('\n')));
    const QSet<QString> pending = std::exchange(m_rereadAfterBuild, {});
    for (const QString &path : pending)
        m_index->rereadFile(path);
    watchIndexedFiles();
    emit buildFinished();
}

void IndexTools::watchIndexedFiles() {
    const QStringList files = m_index->scriptFiles();
    QStringList folders = m_folders;
    QSet<QString> seen(folders.begin(), folders.end());
    for (const QString &file : files) {
        const QString folder = folderOf(file);
        if (!seen.contains(folder)) {
            seen.insert(folder);
            folders.append(folder);
        }
    }
    m_watch->watch(files, folders);
}

void IndexTools::fileChanged(const QString &path) {
    if (!m_index)
        return;
    if (isBuilding()) {
        // The running build may have read the file before the change.
        m_rereadAfterBuild.insert(path);
        return;
    }
    m_index->rereadFile(path);
    m_watch->rewatch(path);
    emit indexChanged();
}

void IndexTools::attachEditor(TAdvEdit *editor) {
    EditorView(editor).setRestTime(DwellMilliseconds);
    connect(editor, &QsciScintillaBase::SCN_DWELLSTART, this,
            [this, editor](int position, int x, int y) {
                if (position < 0)
                    return;
                const QString tip = tipAt(editor, position);
                if (!tip.isEmpty())
                    QToolTip::showText(editor->viewport()->mapToGlobal(QPoint(x, y + 12)), tip,
                                       editor);
            });
    connect(editor, &QsciScintillaBase::SCN_DWELLEND, this, [] { QToolTip::hideText(); });
    editor->viewport()->installEventFilter(this);
    if (m_names) {
        // After the language table's triggers, so a trigger typed still opens its own list.
        editor->completion().addSource(m_names.get());
        m_editors.removeAll(nullptr);
        m_editors.append(editor);
    }
    // The page's caption is set after the editor is made.
    QTimer::singleShot(0, editor, [this, editor] { updateFoldersFor(editor); });
}

bool IndexTools::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        auto *editor = qobject_cast<TAdvEdit *>(watched->parent());
        if (editor && mouse->button() == Qt::LeftButton &&
            (mouse->modifiers() & Qt::ControlModifier)) {
            const QPoint at = mouse->position().toPoint();
            const qsizetype position = EditorView(editor).positionAt(at);
            // After the click has been handled, as the jump may switch tabs.
            if (position >= 0)
                QTimer::singleShot(0, this, [this, position] {
                    guarded(m_window, [&] { goToDefinitionAt(position); });
                });
        }
    }
    return QObject::eventFilter(watched, event);
}

QString IndexTools::tipAt(TAdvEdit *editor, qsizetype position) const {
    if (!m_index)
        return {};
    const ScriptSymbol symbol = m_index->symbolAt(editor->documentBytes(), position);
    if (symbol.kind == ScriptSymbol::None)
        return {};
    if (symbol.kind == ScriptSymbol::File) {
        const QString target = m_index->resolveFile(activeScript(), symbol.name);
        return target.isEmpty() ? QStringLiteral("%1: no such script").arg(nameText(symbol.name))
                                : QDir::toNativeSeparators(target);
    }
    const QList<IndexEntry> definitions = m_index->definitions(symbol.name, symbol.families);
    QStringList families;
    for (const QByteArray &family : symbol.families)
        families.append(nameText(m_index->commandTable().familyName(family.toLower())));
    if (definitions.isEmpty())
        return QStringLiteral("%1 %2: not defined in the indexed folders")
            .arg(families.join(QStringLiteral(" or ")), nameText(symbol.name));
    const IndexEntry &first = definitions.first();
    QStringList what{nameText(first.family), nameText(first.type), nameText(first.name)};
    what.removeAll(QString());
    QString tip = what.join(QLatin1Char(' ')) + QStringLiteral("\nDefined in ") + placeText(first);
    if (definitions.size() > 1)
        tip += QStringLiteral("\nand %1 more").arg(definitions.size() - 1);
    return tip;
}

IndexTools::Place IndexTools::currentPlace() const {
    Place place;
    const TTabSheet *page = m_host.activePage();
    TAdvEdit *editor = m_host.activeEditor();
    if (!page || !editor)
        return place;
    place.file = page->caption();
    place.display = page->displayText();
    place.position = EditorView(editor).caret();
    return place;
}

bool IndexTools::jumpTo(const QString &file, int line) {
    const Place from = currentPlace();
    if (!m_host.openDocumentAt(file, line))
        return false;
    if (!from.display.isEmpty()) {
        m_back.append(from);
        if (m_back.size() > BackLimit)
            m_back.removeFirst();
    }
    return true;
}

void IndexTools::goToDefinitionClick() {
    if (TAdvEdit *editor = m_host.activeEditor())
        goToDefinitionAt(EditorView(editor).caret());
}

void IndexTools::goToDefinitionAt(qsizetype position) {
    TAdvEdit *editor = m_host.activeEditor();
    if (!editor || noIndex())
        return;
    const ScriptSymbol symbol = m_index->symbolAt(editor->documentBytes(), position);
    QStatusBar *status = m_window->statusBar();
    switch (symbol.kind) {
    case ScriptSymbol::None:
        status->showMessage(QStringLiteral("No name here to go to"), MessageMilliseconds);
        return;
    case ScriptSymbol::File: {
        const QString target = m_index->resolveFile(activeScript(), symbol.name);
        if (target.isEmpty())
            status->showMessage(QStringLiteral("No script %1 was found").arg(nameText(symbol.name)),
                                MessageMilliseconds);
        else
            jumpTo(target, 1);
        return;
    }
    default:
        break;
    }
    const QList<IndexEntry> definitions = m_index->definitions(symbol.name, symbol.families);
    if (definitions.isEmpty()) {
        status->showMessage(
            QStringLiteral("%1 is defined nowhere in the indexed folders%2")
                .arg(nameText(symbol.name),
                     isBuilding() ? QStringLiteral(" (still indexing)") : QString()),
            MessageMilliseconds);
        return;
    }
    const int chosen =
        definitions.size() == 1 ? 0 : chooseDefinition(m_window, definitions, m_host.darkScheme());
    if (chosen >= 0)
        jumpTo(definitions[chosen].file, definitions[chosen].line);
}

void IndexTools::goBackClick() {
    while (!m_back.isEmpty()) {
        const Place place = m_back.takeLast();
        TTabSheet *found = nullptr;
        const QList<TTabSheet *> pages = m_host.pages();
        for (qsizetype i = 0; i < pages.size() && !found; ++i) {
            TTabSheet *page = pages[i];
            if (place.file.isEmpty()
                    ? page->caption().isEmpty() && page->displayText() == place.display
                    : page->caption() == place.file)
                found = page;
        }
        if (!found && !place.file.isEmpty() && QFileInfo(place.file).isFile()) {
            m_host.OpenDocumentFile(place.file);
            found = m_host.activePage();
            if (found && !marlix::sameDocument(found->caption(), place.file))
                found = nullptr;
        }
        if (!found)
            continue; // that document is closed and cannot be opened again
        m_host.showPage(found);
        TAdvEdit *editor = m_host.editorOfSlot(found->Tag);
        EditorView(editor).goTo(place.position);
        editor->setFocus();
        return;
    }
}

void IndexTools::findReferencesClick() {
    TAdvEdit *editor = m_host.activeEditor();
    if (!editor || noIndex())
        return;
    const ScriptSymbol symbol =
        m_index->symbolAt(editor->documentBytes(), EditorView(editor).caret());
    if (symbol.kind != ScriptSymbol::Definition && symbol.kind != ScriptSymbol::Reference) {
        m_window->statusBar()->showMessage(QStringLiteral("No name here to find"),
                                           MessageMilliseconds);
        return;
    }
    const QList<IndexEntry> definitions = m_index->definitions(symbol.name, symbol.families);
    // A name a command may take of several families is looked for in each of them.
    QList<IndexEntry> references;
    for (const QByteArray &family :
         symbol.families.isEmpty() ? QByteArrayList{symbol.family} : symbol.families)
        for (const IndexEntry &entry : m_index->references(symbol.name, family))
            if (std::none_of(references.cbegin(), references.cend(), [&](const IndexEntry &e) {
                    return e.file == entry.file && e.line == entry.line && e.column == entry.column;
                }))
                references.append(entry);
    QList<IndexEntry> places = definitions + references;
    std::sort(places.begin(), places.end(), byPlace);
    ResultsPanel *panel = m_host.results();
    panel->clear();
    for (const IndexEntry &entry : places)
        panel->addResult(entry.file, entry.line,
                         nameText(m_index->lineText(entry.file, entry.line)));
    const auto count = [](qsizetype n, const char *what) {
        return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(what)).arg(n == 1 ? "" : "s");
    };
    panel->setSummary(QStringLiteral("%1: %2, %3")
                          .arg(nameText(symbol.name), count(definitions.size(), "definition"),
                               count(references.size(), "reference")));
    panel->present();
}

// The check runs on a thread of its own, so a large mod never holds the window; the panel is
// filled when it is done.
void IndexTools::checkModClick() {
    if (noIndex() || m_check)
        return;
    auto problems = std::make_shared<QList<ModProblem>>();
    ModIndex *index = m_index.get();
    m_check = QThread::create([index, problems] { *problems = checkMod(*index); });
    connect(m_check, &QThread::finished, this, [this, problems] {
        m_check->deleteLater();
        m_check = nullptr;
        showProblems(*problems);
    });
    m_host.results()->setSummary(QStringLiteral("Checking the mod\u2026"));
    m_check->start();
}

void IndexTools::showProblems(const QList<ModProblem> &problems) {
    ResultsPanel *panel = m_host.results();
    panel->clear();
    for (const ModProblem &problem : problems)
        panel->addResult(problem.file, problem.line, problemRowText(problem));
    QString summary = problemSummary(problems);
    if (isBuilding())
        summary += QStringLiteral(" (the index is still being built)");
    else if (m_folders.isEmpty())
        summary = QStringLiteral("No folders to check: choose them in Tools > Index Folders");
    panel->setSummary(summary);
    panel->present();
    emit problemsShown(problems);
}

void IndexTools::indexFoldersClick() {
    if (noIndex())
        return;
    IndexFoldersDialog dialog(readIndexFolders(m_host.ProgramFolder()),
                              readBaseFolders(m_host.ProgramFolder()), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    writeIndexFolders(m_host.ProgramFolder(), dialog.folders(), dialog.baseFolders());
    rebuild();
}

} // namespace marlix
