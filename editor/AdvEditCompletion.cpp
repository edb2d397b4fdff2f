// The editor's side of code completion: the list widget and the carrying out of what the
// completion session decides.
#include "editor/AdvEdit.h"

#include "core/script/CompletionRules.h"
#include "core/script/TriggerCompletion.h"
#include "editor/CompletionItemDelegate.h"
#include "platform/ErrorDisplay.h"

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <array>
#include <functional>

using namespace marlix;

namespace {

// The widest item in pixels. Shaping each item of a list of thousands of template names takes
// longer than the list may take to open, so every item is first sized by adding up the
// advances of its characters, and only the widest few by that count are measured as drawn.
int widestItem(const QFontMetrics &metrics, const QStringList &items) {
    constexpr qsizetype Measured = 32;
    std::array<int, 256> advances;
    advances.fill(-1);
    QList<std::pair<int, qsizetype>> estimates; // width, item
    estimates.reserve(items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        int width = 0;
        for (const QChar c : items[i]) {
            if (c.unicode() >= advances.size()) {
                width = metrics.horizontalAdvance(items[i]);
                break;
            }
            int &advance = advances[c.unicode()];
            if (advance < 0)
                advance = metrics.horizontalAdvance(c);
            width += advance;
        }
        estimates.append({width, i});
    }
    const auto measured = estimates.begin() + std::min(Measured, estimates.size());
    std::partial_sort(estimates.begin(), measured, estimates.end(), std::greater<>());
    int widest = estimates.isEmpty() ? 0 : estimates.first().first;
    for (auto it = estimates.begin(); it != measured; ++it)
        widest = std::max(widest, metrics.horizontalAdvance(items[it->second]));
    return widest;
}

} // namespace

void TAdvEdit::createCompletionList() {
    CompletionList = new QListWidget(this);
    CompletionList->setFrameShape(QFrame::Box);
    CompletionList->setGeometry(0, 0, completionListSide, completionListSide);
    CompletionList->setSelectionMode(QAbstractItemView::SingleSelection);
    CompletionList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CompletionList->setFocusPolicy(Qt::NoFocus); // typing goes on in the editor
    // Items are lines of one font: the list need not lay out each of thousands of names.
    CompletionList->setUniformItemSizes(true);
    CompletionList->setItemDelegate(new CompletionItemDelegate(CompletionList));
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
        flushEdits();
        setCaretPosition(step.edit->caret);
    }
    if (step.list == CompletionStep::List::Open) {
        const CompletionOffer &offer = m_completion->offer();
        CodeStart = offer.codeStart;
        ActiveCode = offer.code;
        ActiveStyle = offer.style;
        fillCompletionList();
        if (!offer.message.isEmpty())
            showMessage(this, offer.message);
        placeCompletionList();
    } else if (step.list == CompletionStep::List::Close) {
        CompletionList->hide();
    } else if (step.refill && m_completion->isOpen()) {
        fillCompletionList();
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

void TAdvEdit::fillCompletionList() {
    const CompletionOffer &offer = m_completion->offer();
    const QList<ItemMatch> &shown = m_completion->shown();
    CompletionList->setUpdatesEnabled(false);
    {
        const QSignalBlocker blocker(CompletionList);
        CompletionList->clear();
        if (shown.size() == offer.items.size() && (shown.isEmpty() || shown[0].letters.isEmpty())) {
            CompletionList->addItems(offer.items); // the whole offer, in order
        } else {
            for (const ItemMatch &match : shown) {
                auto *item = new QListWidgetItem(offer.items[match.item]);
                item->setData(CompletionItemDelegate::LettersRole,
                              QVariant::fromValue(match.letters));
                CompletionList->addItem(item);
            }
        }
    }
    // The view would keep the place an earlier list was scrolled to.
    CompletionList->scrollToTop();
    CompletionList->setUpdatesEnabled(true);
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
    const int widest =
        widestItem(QFontMetrics(CompletionList->font()), m_completion->offer().items);
    // Item margins, the frame and the vertical scroll bar the list shows when it is long.
    const int margins = 2 * CompletionList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    return widest + margins + 2 * CompletionList->frameWidth() +
           CompletionList->verticalScrollBar()->sizeHint().width();
}
