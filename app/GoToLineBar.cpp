#include "app/GoToLineBar.h"

#include "app/PageBars.h"
#include "core/script/GoToLine.h"
#include "editor/AdvEdit.h"
#include "editor/EditorView.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace marlix {

GoToLineBar::GoToLineBar(TAdvEdit *editor, QWidget *parent) : QWidget(parent), m_editor(editor) {
    setObjectName(QStringLiteral("GoToLineBar"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    rangeLabel = new QLabel(this);
    row->addWidget(rangeLabel);
    lineField = new QLineEdit(this);
    lineField->setObjectName(QStringLiteral("lineField"));
    lineField->setMaximumWidth(120);
    row->addWidget(lineField);
    auto *goButton = new QPushButton(QStringLiteral("Go"), this);
    goButton->setAutoDefault(false);
    goButton->setFocusPolicy(Qt::TabFocus);
    row->addWidget(goButton);
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setStyleSheet(QStringLiteral("color: #B00000;"));
    row->addWidget(statusLabel, 1);
    lineField->installEventFilter(this);
    connect(goButton, &QPushButton::clicked, this, &GoToLineBar::go);
    connect(lineField, &QLineEdit::textEdited, statusLabel, &QLabel::clear);
}

GoToLineBar *GoToLineBar::ofPage(QWidget *page, TAdvEdit *editor, bool create) {
    if (auto *bar = page->findChild<GoToLineBar *>(QString(), Qt::FindDirectChildrenOnly))
        return bar;
    if (!create)
        return nullptr;
    auto *bar = new GoToLineBar(editor, page);
    pageBottomArea(page)->addWidget(bar);
    return bar;
}

void GoToLineBar::open() {
    rangeLabel->setText(QStringLiteral("Go to line (1-%1):").arg(m_editor->lines()));
    statusLabel->clear();
    show();
    lineField->setFocus();
    lineField->selectAll();
}

void GoToLineBar::close() {
    hide();
    m_editor->setFocus();
}

bool GoToLineBar::go() {
    const LineJump jump = parseGoToLine(lineField->text(), m_editor->lines());
    if (!jump.ok()) {
        statusLabel->setText(jump.error);
        return false;
    }
    EditorView view(m_editor);
    view.goTo(view.lineStart(jump.line - 1));
    view.scrollToCaret();
    close();
    return true;
}

bool GoToLineBar::eventFilter(QObject *watched, QEvent *event) {
    if (watched == lineField && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            close();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            go();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace marlix
