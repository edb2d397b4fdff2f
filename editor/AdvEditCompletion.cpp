// The editor's side of code completion: the list widget and the carrying out of what the
// completion session decides.
#include "editor/AdvEdit.h"

#include "editor/CompletionRules.h"
#include "editor/TriggerCompletion.h"
#include "platform/ErrorDisplay.h"

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>

using namespace marlix;

void TAdvEdit::createCompletionList() {
    CompletionList = new QListWidget(this);
    CompletionList->setFrameShape(QFrame::Box);
    CompletionList->setGeometry(0, 0, completionListSide, completionListSide);
    CompletionList->setSelectionMode(QAbstractItemView::SingleSelection);
    CompletionList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CompletionList->setFocusPolicy(Qt::NoFocus); // typing goes on in the editor
    CompletionList->hide();
    // A row clicked in the list is the one an accept puts in.
    connect(CompletionList, &QListWidget::currentRowChanged, this,
            [this](int row) { m_completion->setCurrentRow(row); });
    connect(CompletionList, &QListWidget::itemDoubleClicked, this, [this] {
        guarded(this, [&] { AcceptCompletion(); });
        setFocus();
    });
}

void TAdvEdit::CheckTrigger() {
    m_triggers->setProgramFolder(ProgramFolder);
    const CompletionStep step = m_completion->checkTrigger();
    if (step.list != CompletionStep::List::Open)
        CodeStart = -1; // the last search found no trigger
    applyCompletion(step);
}

void TAdvEdit::OpenCompletion(const QString &FileName, const QString &Code, std::int32_t Style) {
    applyCompletion(m_completion->open(
        TriggerCompletion::offerFor(FileName, Code, Style, CodeStart, ProgramFolder)));
}

void TAdvEdit::TrackPrefix() {
    applyCompletion(m_completion->trackPrefix());
}

bool TAdvEdit::AcceptCompletion() {
    const CompletionStep step = m_completion->accept();
    applyCompletion(step);
    return step.edit.has_value();
}

void TAdvEdit::applyCompletion(const CompletionStep &step) {
    if (step.edit) {
        replaceRange(step.edit->from, step.edit->to, step.edit->text);
        setCaretPosition(step.edit->caret);
    }
    if (step.list == CompletionStep::List::Open) {
        const CompletionOffer &offer = m_completion->offer();
        CodeStart = offer.codeStart;
        ActiveCode = offer.code;
        ActiveStyle = offer.style;
        CompletionList->setUpdatesEnabled(false);
        {
            const QSignalBlocker blocker(CompletionList);
            CompletionList->clear();
            CompletionList->addItems(offer.items);
        }
        // The view would keep the place an earlier list was scrolled to.
        CompletionList->scrollToTop();
        CompletionList->setUpdatesEnabled(true);
        if (!offer.message.isEmpty())
            showMessage(this, offer.message);
        placeCompletionList();
    } else if (step.list == CompletionStep::List::Close) {
        CompletionList->hide();
    }
    if (step.row) {
        const QSignalBlocker blocker(CompletionList);
        CompletionList->setCurrentRow(*step.row);
        if (*step.row < 0)
            CompletionList->clearSelection();
        else if (step.scrollToRow)
            CompletionList->scrollToItem(CompletionList->item(*step.row));
        CompletionList->update();
    }
}

void TAdvEdit::placeCompletionList() {
    const qsizetype caret = caretPosition();
    const int x = int(SendScintilla(SCI_POINTXFROMPOSITION, 0UL, long(caret)));
    const int y = int(SendScintilla(SCI_POINTYFROMPOSITION, 0UL, long(caret)));
    // The list is a child of the editor; the text area starts inside the editor's frame.
    const QPoint inEditor = viewport()->pos() + QPoint(x, y);
    const int t = inEditor.y() + pos().y();
    const QRect area = viewport()->geometry().translated(pos());
    const QSize size = completionListSize(completionContentWidth(), area.width(),
                                          int(SendScintilla(SCI_TEXTHEIGHT, 0UL)),
                                          QFontMetrics(QApplication::font(this)).lineSpacing());
    CompletionList->resize(size);
    CompletionList->move(
        completionPlace(inEditor.x() + pos().x(), t, size, area.right() + 1, area.bottom() + 1));
    if (m_completion->isOpen()) {
        CompletionList->show();
        CompletionList->raise();
    } else {
        CompletionList->hide();
    }
}

int TAdvEdit::completionContentWidth() const {
    const QFontMetrics metrics(CompletionList->font());
    int widest = 0;
    for (const QString &item : m_completion->offer().items)
        widest = std::max(widest, metrics.horizontalAdvance(item));
    // Item margins, the frame and the vertical scroll bar the list shows when it is long.
    const int margins = 2 * CompletionList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    return widest + margins + 2 * CompletionList->frameWidth() +
           CompletionList->verticalScrollBar()->sizeHint().width();
}
