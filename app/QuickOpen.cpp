#include "app/QuickOpen.h"

#include "app/DocumentHost.h"
#include "app/IndexTools.h"
#include "editor/AdvEdit.h"
#include "platform/ErrorDisplay.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QVBoxLayout>

namespace marlix {

namespace {

constexpr int ShownLimit = 50;

QStringList shownTexts(const QList<QuickOpenTarget> &targets) {
    QStringList texts;
    texts.reserve(targets.size());
    for (const QuickOpenTarget &target : targets)
        texts.append(target.shown);
    return texts;
}

} // namespace

QuickOpen::QuickOpen(DocumentHost &host, IndexTools *tools)
    : QFrame(host.hostWindow()), m_host(host), m_window(host.hostWindow()), m_tools(tools) {
    setObjectName(QStringLiteral("quickOpen"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    input = new QLineEdit(this);
    input->setObjectName(QStringLiteral("quickOpenInput"));
    input->setPlaceholderText(
        QStringLiteral("Script name, @name for a definition, :number for a line"));
    list = new QListWidget(this);
    list->setObjectName(QStringLiteral("quickOpenList"));
    list->setFocusPolicy(Qt::NoFocus);
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("quickOpenStatus"));
    layout->addWidget(input);
    layout->addWidget(list);
    layout->addWidget(status);
    input->installEventFilter(this);
    connect(input, &QLineEdit::textChanged, this, &QuickOpen::search);
    connect(list, &QListWidget::itemClicked, this,
            [this] { guarded(m_window, [this] { accept(); }); });
    hide();
}

void QuickOpen::place() {
    const int width = std::min(640, std::max(300, m_window->width() - 40));
    const int top = m_window->menuBar()->isVisible() ? m_window->menuBar()->height() + 4 : 4;
    setGeometry((m_window->width() - width) / 2, top, width,
                std::min(420, std::max(160, m_window->height() - top - 20)));
}

void QuickOpen::open() {
    m_targets = {};
    if (ModIndex *index = m_tools->index())
        m_targets = quickOpenTargets(*index);
    m_scripts.setCandidates(shownTexts(m_targets.scripts));
    m_names.setCandidates(shownTexts(m_targets.names));
    place();
    show();
    raise();
    input->clear();
    search();
    input->setFocus();
}

void QuickOpen::search() {
    const QuickOpenQuery query = parseQuickOpenQuery(input->text());
    list->clear();
    m_shown.clear();
    if (query.kind == QuickOpenQuery::Line) {
        status->setText(query.line > 0 ? QStringLiteral("Go to line %1").arg(query.line)
                                       : QStringLiteral("Type a line number"));
        return;
    }
    const bool names = query.kind == QuickOpenQuery::Name;
    const QuickOpenRanking &ranking = names ? m_names : m_scripts;
    const QList<QuickOpenTarget> &targets = names ? m_targets.names : m_targets.scripts;
    for (int index : ranking.rank(query.text, ShownLimit)) {
        const QuickOpenTarget &target = targets[index];
        m_shown.append(&target);
        list->addItem(names ? QStringLiteral("%1    %2").arg(target.shown, target.detail)
                            : target.shown);
    }
    if (!m_shown.isEmpty())
        list->setCurrentRow(0);
    QString text = QStringLiteral("%1 of %2 %3")
                       .arg(m_shown.size())
                       .arg(targets.size())
                       .arg(names ? QStringLiteral("definitions") : QStringLiteral("scripts"));
    if (!m_tools->index())
        text = QStringLiteral("The mod index is not available");
    else if (m_tools->isBuilding())
        text += QStringLiteral(" (still indexing)");
    status->setText(text);
}

void QuickOpen::accept() {
    const QuickOpenQuery query = parseQuickOpenQuery(input->text());
    if (query.kind == QuickOpenQuery::Line) {
        TAdvEdit *editor = m_host.activeEditor();
        if (!editor || query.line <= 0)
            return;
        hide();
        const int last = editor->lines() - 1;
        const int row = std::min(query.line - 1, std::max(last, 0));
        editor->setCursorPosition(row, 0);
        editor->ensureLineVisible(row);
        editor->setFocus();
        return;
    }
    const int row = list->currentRow();
    if (row < 0 || row >= m_shown.size())
        return;
    const QuickOpenTarget target = *m_shown[row];
    hide();
    const int line = target.line > 0 ? target.line : query.line;
    if (line > 0 || !QFileInfo(target.path).isFile())
        m_host.openDocumentAt(target.path, std::max(line, 1));
    else
        m_host.OpenDocumentFile(target.path);
}

bool QuickOpen::eventFilter(QObject *watched, QEvent *event) {
    if (watched == input && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int count = list->count();
        switch (key->key()) {
        case Qt::Key_Escape:
            hide();
            if (TAdvEdit *editor = m_host.activeEditor())
                editor->setFocus();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            guarded(m_window, [this] { accept(); });
            return true;
        case Qt::Key_Down:
            if (count > 0)
                list->setCurrentRow((list->currentRow() + 1) % count);
            return true;
        case Qt::Key_Up:
            if (count > 0)
                list->setCurrentRow((list->currentRow() + count - 1) % count);
            return true;
        default:
            break;
        }
    }
    if (watched == input && event->type() == QEvent::FocusOut && isVisible() && !list->underMouse())
        hide();
    return QFrame::eventFilter(watched, event);
}

} // namespace marlix
