#include "app/StatusInfo.h"

#include "app/DocumentHost.h"
#include "app/PageControl.h"
#include "core/document/DocumentSlots.h"
#include "editor/AdvEdit.h"
#include "editor/EditorView.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>

namespace marlix {

namespace {
constexpr int NoteMs = 10000;

QLabel *addField(QStatusBar *bar, const char *name) {
    auto *label = new QLabel(bar);
    label->setObjectName(QLatin1String(name));
    label->setContentsMargins(6, 0, 6, 0);
    bar->addPermanentWidget(label);
    return label;
}
} // namespace

DocumentStatus::DocumentStatus(DocumentHost &host)
    : QObject(host.hostWindow()), m_host(host), m_window(host.hostWindow()) {
    QStatusBar *bar = m_window->statusBar();
    bar->setObjectName(QStringLiteral("stbMain"));
    caret = addField(bar, "caretLabel");
    selection = addField(bar, "selectionLabel");
    lines = addField(bar, "linesLabel");
    changed = addField(bar, "changedLabel");
}

void DocumentStatus::watch(TAdvEdit *editor) {
    if (m_watched.contains(editor))
        return;
    m_watched.insert(editor);
    connect(editor, &QObject::destroyed, this, [this, editor] {
        m_watched.remove(editor);
        scheduleRefresh();
    });
    connect(editor, &QsciScintilla::cursorPositionChanged, this, &DocumentStatus::scheduleRefresh);
    connect(editor, &QsciScintilla::selectionChanged, this, &DocumentStatus::scheduleRefresh);
    connect(editor, &QsciScintilla::textChanged, this, &DocumentStatus::scheduleRefresh);
    connect(editor, &QsciScintilla::modificationChanged, this, [this, editor](bool modified) {
        if (!modified)
            emit savePointReached(editor);
        scheduleRefresh();
    });
    emit editorFound(editor);
}

void DocumentStatus::scheduleRefresh() {
    if (m_queued)
        return;
    m_queued = true;
    QTimer::singleShot(0, this, [this] {
        m_queued = false;
        refresh();
    });
}

void DocumentStatus::refresh() {
    for (int slot = 0; slot < DocumentSlotCount; ++slot) {
        TAdvEdit *editor = m_host.editorOfSlot(slot);
        TTabSheet *page = m_host.pageOfSlot(slot);
        if (!editor || !page)
            continue;
        watch(editor);
        page->setChanged(editor->DocChanged);
    }
    emit documentsRefreshed();
    TAdvEdit *editor = m_host.activeEditor();
    if (!editor) {
        for (QLabel *field : {caret, selection, lines, changed})
            field->clear();
        return;
    }
    const EditorView view(editor);
    const qsizetype position = view.caret();
    const int line = view.lineOf(position);
    const int column = view.columnOf(position);
    const qsizetype selected = view.selectionEnd() - view.selectionStart();
    const int count = view.lineCount();
    caret->setText(tr("Ln %1, Col %2").arg(line + 1).arg(column + 1));
    selection->setText(tr("Sel %1").arg(selected));
    lines->setText(count == 1 ? tr("1 line") : tr("%1 lines").arg(count));
    changed->setText(editor->DocChanged ? tr("Modified") : QString());
}

void DocumentStatus::showNote(const QString &text) {
    m_window->statusBar()->showMessage(text, NoteMs);
}

} // namespace marlix
