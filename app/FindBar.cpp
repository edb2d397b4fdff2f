#include "app/FindBar.h"

#include "app/PageBars.h"
#include "core/script/TextReplace.h"
#include "core/script/Windows1252.h"
#include "editor/AdvEdit.h"
#include "editor/EditorView.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace marlix {

namespace {

// Scintilla leaves indicators 8 to 31 to its containers.
constexpr int matchIndicator = 8;
constexpr int currentIndicator = 9;
// How long the window waits for a search before it goes on and lets the search report later:
// short enough that the window never stands still for long, long enough that a usual search
// has its answer at once.
constexpr int searchWaitMs = 40;

QString matchCount(qsizetype n) {
    if (n == 0)
        return QStringLiteral("No matches");
    return n == 1 ? QStringLiteral("1 match") : QStringLiteral("%1 matches").arg(n);
}

} // namespace

FindBar::FindBar(TAdvEdit *editor, QWidget *parent) : QWidget(parent), m_editor(editor) {
    setObjectName(QStringLiteral("FindBar"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 2, 4, 2);
    column->setSpacing(2);

    auto *findRow = new QHBoxLayout;
    findRow->addWidget(new QLabel(QStringLiteral("Find:"), this));
    findField = new QLineEdit(this);
    findField->setObjectName(QStringLiteral("findField"));
    findRow->addWidget(findField, 1);
    const auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    nextButton = button(QStringLiteral("Next"), "nextButton");
    previousButton = button(QStringLiteral("Previous"), "previousButton");
    findRow->addWidget(nextButton);
    findRow->addWidget(previousButton);
    const auto option = [this, findRow](const QString &caption, const char *name) {
        auto *box = new QCheckBox(caption, this);
        box->setObjectName(QLatin1String(name));
        box->setFocusPolicy(Qt::TabFocus);
        findRow->addWidget(box);
        connect(box, &QCheckBox::toggled, this, &FindBar::searchChanged);
        return box;
    };
    matchCase = option(QStringLiteral("Match case"), "matchCase");
    wholeWord = option(QStringLiteral("Whole word"), "wholeWord");
    regularExpression = option(QStringLiteral("Regular expression"), "regularExpression");
    wrapAround = option(QStringLiteral("Wrap around"), "wrapAround");
    wrapAround->setChecked(true);
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setMinimumWidth(160);
    findRow->addWidget(statusLabel);
    inFilesButton = button(QStringLiteral("In Files"), "inFilesButton");
    inFilesButton->setToolTip(QStringLiteral("Find in every script of the index folders"));
    findRow->addWidget(inFilesButton);
    closeButton = button(QStringLiteral("Close"), "closeButton");
    findRow->addWidget(closeButton);
    column->addLayout(findRow);

    replaceRow = new QWidget(this);
    auto *replaceLayout = new QHBoxLayout(replaceRow);
    replaceLayout->setContentsMargins(0, 0, 0, 0);
    replaceLayout->addWidget(new QLabel(QStringLiteral("Replace:"), replaceRow));
    replaceField = new QLineEdit(replaceRow);
    replaceField->setObjectName(QStringLiteral("replaceField"));
    replaceLayout->addWidget(replaceField, 1);
    replaceButton = button(QStringLiteral("Replace"), "replaceButton");
    replaceAllButton = button(QStringLiteral("Replace All"), "replaceAllButton");
    replaceButton->setParent(replaceRow);
    replaceAllButton->setParent(replaceRow);
    replaceLayout->addWidget(replaceButton);
    replaceLayout->addWidget(replaceAllButton);
    replaceLayout->addStretch(1);
    column->addWidget(replaceRow);
    replaceRow->hide();

    findField->installEventFilter(this);
    replaceField->installEventFilter(this);
    connect(findField, &QLineEdit::textEdited, this, [this] {
        find(true, true);
        scheduleRefresh();
    });
    connect(nextButton, &QPushButton::clicked, this, &FindBar::findNext);
    connect(previousButton, &QPushButton::clicked, this, &FindBar::findPrevious);
    connect(replaceButton, &QPushButton::clicked, this, &FindBar::replace);
    connect(replaceAllButton, &QPushButton::clicked, this, &FindBar::replaceAll);
    connect(closeButton, &QPushButton::clicked, this, &FindBar::close);
    connect(inFilesButton, &QPushButton::clicked, this, &FindBar::requestFiles);

    m_actions = new DocumentSearchJob(this);
    m_marks = new DocumentSearchJob(this);
    connect(m_actions, &DocumentSearchJob::finished, this, &FindBar::searchFinished);
    connect(m_marks, &DocumentSearchJob::finished, this, &FindBar::searchFinished);

    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(0);
    connect(m_refresh, &QTimer::timeout, this, &FindBar::refresh);
    // Scrolling and every change of the text move what is in view and what matches. The
    // marks themselves are content too: only text changes (the editor asks for nothing else)
    // and the scroll position start a new pass, never the pass's own marks.
    connect(m_editor, &QsciScintillaBase::SCN_MODIFIED, this, &FindBar::scheduleRefresh);
    connect(m_editor, &QsciScintillaBase::SCN_MODIFIED, this, [this](int, int type) {
        if (type & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT))
            ++m_revision;
    });
    connect(m_editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated &
            (QsciScintillaBase::SC_UPDATE_V_SCROLL | QsciScintillaBase::SC_UPDATE_SELECTION))
            scheduleRefresh();
    });

    EditorView view(m_editor);
    view.setMarkShape(matchIndicator, EditorView::MarkShape::RoundBox, true);
    view.setMarkColor(matchIndicator, 0x00D7FF, 110, 110);
    view.setMarkShape(currentIndicator, EditorView::MarkShape::StraightBox, true);
    view.setMarkColor(currentIndicator, 0x0080FF, 160, 255);
}

FindBar *FindBar::ofPage(QWidget *page, TAdvEdit *editor, bool create) {
    if (auto *bar = page->findChild<FindBar *>(QString(), Qt::FindDirectChildrenOnly))
        return bar;
    if (!create)
        return nullptr;
    auto *bar = new FindBar(editor, page);
    pageBottomArea(page)->addWidget(bar);
    return bar;
}

void FindBar::open(bool withReplace, bool inFiles) {
    m_inFiles = inFiles;
    const EditorView view(m_editor);
    const qsizetype from = view.selectionStart();
    const qsizetype to = view.selectionEnd();
    if (to > from) {
        const QByteArray selected(documentView().data + from, to - from);
        if (!selected.contains('\n') && !selected.contains('\r')) {
            findField->setText(windows1252Text(selected));
            searchChanged();
        }
    }
    replaceRow->setVisible(withReplace);
    show();
    findField->setFocus();
    findField->selectAll();
    scheduleRefresh();
}

void FindBar::close() {
    m_refresh->stop();
    m_actions->cancel();
    m_marks->cancel();
    emit closed();
    clearMarks();
    hide();
    m_editor->setFocus();
}

void FindBar::requestFiles() {
    const TextSearch s = search();
    if (!s.isValid()) {
        setStatus(s.errorText(), true);
        return;
    }
    emit findInFilesRequested(s.pattern(), s.options());
}

TextSearch FindBar::search() const {
    SearchOptions options;
    options.matchCase = matchCase->isChecked();
    options.wholeWord = wholeWord->isChecked();
    options.regularExpression = regularExpression->isChecked();
    options.wrapAround = wrapAround->isChecked();
    // Text that no byte stands for cannot occur in the document; as Latin-1 it finds nothing.
    const QString text = findField->text();
    return TextSearch(windows1252Bytes(text).value_or(text.toLatin1()), options);
}

TextView FindBar::documentView() const {
    return EditorView(m_editor).text();
}

bool FindBar::isSearching() const {
    return m_actions->isRunning() || m_marks->isRunning();
}

QByteArray FindBar::documentBytes() const {
    const TextView view = documentView();
    return QByteArray(view.data, view.size);
}

DocumentSearchRequest FindBar::request(DocumentSearchRequest::Kind kind) const {
    const TextSearch s = search();
    DocumentSearchRequest r;
    r.kind = kind;
    r.pattern = s.pattern();
    r.options = s.options();
    const EditorView view(m_editor);
    r.selectionStart = view.selectionStart();
    r.selectionEnd = view.selectionEnd();
    return r;
}

void FindBar::startSearch(DocumentSearchJob *job, const DocumentSearchRequest &r) {
    (job == m_actions ? m_actionsRevision : m_marksRevision) = m_revision;
    if (!job->start(r, documentBytes(), searchWaitMs))
        setStatus(QStringLiteral("Searching... (Esc stops)"), false);
}

void FindBar::searchFinished(const DocumentSearchRequest &r, const DocumentSearchResult &result) {
    switch (r.kind) {
    case DocumentSearchRequest::Marks:
        // Marks for a text that has changed since would sit in the wrong places.
        if (m_marksRevision != m_revision) {
            scheduleRefresh();
            return;
        }
        showMarks(result);
        return;
    case DocumentSearchRequest::ReplaceAll:
        applyReplaceAll(result);
        return;
    case DocumentSearchRequest::Next:
    case DocumentSearchRequest::Previous:
        break;
    }
    // A place found in a text that has changed since is not the place it names now.
    if (m_actionsRevision != m_revision)
        return;
    if (result.stoppedAt >= 0) {
        m_note = searchStoppedText(result.stoppedLine);
    } else if (!result.match.found()) {
        m_note = result.anyMatch ? QStringLiteral("no more matches") : QString();
    } else {
        if (result.match.wrapped)
            m_note = QStringLiteral("wrapped around");
        showMatch(result.match);
        m_foundAtOnce = true;
    }
    refresh();
}

bool FindBar::findNext() {
    return find(true, false);
}

bool FindBar::findPrevious() {
    return find(false, false);
}

bool FindBar::find(bool forward, bool fromSelectionStart) {
    m_note.clear();
    if (!search().isValid()) {
        refresh();
        return false;
    }
    DocumentSearchRequest r =
        request(forward ? DocumentSearchRequest::Next : DocumentSearchRequest::Previous);
    r.from = forward && !fromSelectionStart ? r.selectionEnd : r.selectionStart;
    m_foundAtOnce = false;
    startSearch(m_actions, r);
    return m_foundAtOnce;
}

void FindBar::showMatch(const SearchMatch &match) {
    EditorView view(m_editor);
    view.select(match.start, match.end());
    view.scrollToCaret();
}

void FindBar::replace() {
    const TextSearch s = search();
    const QByteArray replacementText =
        windows1252Bytes(replaceField->text()).value_or(replaceField->text().toLatin1());
    const Replacement check(s, replacementText);
    if (s.isValid() && !check.isValid()) {
        setStatus(check.errorText(), true);
        return;
    }
    EditorView view(m_editor);
    const qsizetype selStart = view.selectionStart();
    const qsizetype selEnd = view.selectionEnd();
    const std::optional<TextEdit> edit = replaceAt(s, view.text(), selStart, replacementText);
    if (edit && edit->start + edit->length == selEnd) {
        view.replace(edit->start, edit->start + edit->length, edit->bytes);
        const qsizetype end = edit->start + edit->bytes.size();
        view.select(end, end);
    }
    findNext();
}

qsizetype FindBar::replaceAll() {
    DocumentSearchRequest r = request(DocumentSearchRequest::ReplaceAll);
    r.replacement =
        windows1252Bytes(replaceField->text()).value_or(replaceField->text().toLatin1());
    m_note.clear();
    m_replacedAtOnce = -1;
    startSearch(m_actions, r);
    return m_replacedAtOnce;
}

void FindBar::applyReplaceAll(const DocumentSearchResult &found) {
    const ReplaceAllResult &result = found.replaced;
    if (!result.errorText.isEmpty()) {
        setStatus(result.errorText, true);
        return;
    }
    // The edits name places in the text the search was given.
    if (m_actionsRevision != m_revision) {
        setStatus(QStringLiteral("The script changed during the search: nothing was replaced"),
                  true);
        return;
    }
    const TextView view = documentView();
    if (result.count() > 0) {
        // One change: fast to make and to undo, and one step of Undo.
        const TextEdit edit = combinedEdit(view, result.edits);
        EditorView editorView(m_editor);
        editorView.replace(edit.start, edit.start + edit.length, edit.bytes);
        editorView.goTo(edit.start);
    }
    refresh();
    setStatus(result.count() == 1 ? QStringLiteral("Replaced 1 match")
                                  : QStringLiteral("Replaced %1 matches").arg(result.count()),
              false);
    m_replacedAtOnce = result.count();
}

void FindBar::searchChanged() {
    m_note.clear();
    scheduleRefresh();
}

void FindBar::scheduleRefresh() {
    if (!isHidden())
        m_refresh->start();
}

void FindBar::clearMarks() {
    EditorView view(m_editor);
    for (int indicator : {matchIndicator, currentIndicator})
        view.clearMark(indicator);
}

void FindBar::refresh() {
    if (isHidden()) {
        clearMarks();
        return;
    }
    const TextSearch s = search();
    if (!s.isValid()) {
        m_marks->cancel();
        clearMarks();
        setStatus(s.errorText(), true);
        return;
    }
    // Only the lines in view are marked: a search for "e" in a large script stays fast.
    const EditorView view(m_editor);
    DocumentSearchRequest r = request(DocumentSearchRequest::Marks);
    r.markStart = view.viewStart();
    r.markEnd = view.viewEnd() + 1;
    startSearch(m_marks, r);
}

void FindBar::showMarks(const DocumentSearchResult &result) {
    clearMarks();
    EditorView view(m_editor);
    for (const SearchMatch &match : result.marks)
        view.fillMark(matchIndicator, match.start, match.length);
    if (result.current.found())
        view.fillMark(currentIndicator, result.current.start, result.current.length);
    // A search the engine gave up on has no count to give: "No matches" would be untrue.
    if (result.stoppedAt >= 0) {
        setStatus(searchStoppedText(result.stoppedLine), true);
        return;
    }
    QString text = matchCount(result.count);
    if (!m_note.isEmpty())
        text += QStringLiteral(", ") + m_note;
    setStatus(text, result.count == 0);
}

void FindBar::setStatus(const QString &text, bool problem) {
    statusLabel->setText(text);
    statusLabel->setStyleSheet(problem ? QStringLiteral("color: #B00000;") : QString());
}

bool FindBar::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress && (watched == findField || watched == replaceField)) {
        auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
            close();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (m_inFiles && watched == findField)
                requestFiles();
            else if (mods == Qt::ShiftModifier)
                findPrevious();
            else if (mods == Qt::NoModifier)
                findNext();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::keyPressEvent(QKeyEvent *event) {
    // Esc from anywhere in the bar, its buttons and boxes too, closes it (and stops what it
    // searches); the keys a control does not use come here.
    if (event->key() == Qt::Key_Escape &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace marlix
