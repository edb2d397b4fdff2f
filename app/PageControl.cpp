#include "app/PageControl.h"

#include "core/common/MnemonicText.h"
#include "core/document/DocumentCaption.h"
#include "core/document/DocumentSlots.h"

#include <QHBoxLayout>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QStyleOptionTab>
#include <QTextDocument>
#include <QToolTip>
#include <QVBoxLayout>

namespace {
constexpr int EmptyTabWidth = 40;
} // namespace

TTabSheet::TTabSheet(marlix::PageControl *owner) : QWidget(nullptr), m_owner(owner) {
    if (owner)
        owner->addPage(this);
}

TTabSheet::~TTabSheet() {
    if (m_owner)
        m_owner->removePage(this);
}

void TTabSheet::setCaption(const QString &caption) {
    if (caption == m_caption && m_display.isEmpty())
        return;
    m_caption = caption;
    m_display.clear();
    if (m_owner)
        m_owner->captionChanged();
}

QString TTabSheet::displayText() const {
    return marlix::documentCaption(m_display.isEmpty() ? m_caption : m_display, m_changed);
}

void TTabSheet::setContent(QWidget *editor, QWidget *panel) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(editor, 1);
    if (panel)
        layout->addWidget(panel);
    layout->activate(); // sized at once, as the editor measures its width for wrapping
}

void TTabSheet::setChanged(bool changed) {
    if (changed == m_changed)
        return;
    m_changed = changed;
    if (m_owner)
        m_owner->captionChanged();
}

void TTabSheet::setDisplayText(const QString &text) {
    m_display = text;
    if (m_owner)
        m_owner->captionChanged();
}

// --- tab row ---

marlix::TabRow::TabRow(QWidget *parent) : QWidget(parent) {
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
}

void marlix::TabRow::setCaptions(const QStringList &captions) {
    m_captions = captions;
    if (m_current >= m_captions.size())
        m_current = -1;
    m_hot = -1;
    relayout();
}

void marlix::TabRow::setToolTips(const QStringList &tips) {
    m_tips = tips;
}

bool marlix::TabRow::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = m_tips.value(tabAt(help->pos()));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            // A file name is plain text, even one that looks like markup.
            QToolTip::showText(
                help->globalPos(),
                Qt::mightBeRichText(tip)
                    ? QStringLiteral("<p style='white-space:pre'>%1</p>").arg(tip.toHtmlEscaped())
                    : tip,
                this, tabRect(tabAt(help->pos())));
        return true;
    }
    return QWidget::event(event);
}

void marlix::TabRow::setCurrent(int index) {
    m_current = index;
    update();
}

int marlix::TabRow::rowHeight() const {
    return fontMetrics().height() + 10;
}

int marlix::TabRow::tabWidth(const QString &caption, int available) const {
    int natural = EmptyTabWidth;
    if (!caption.isEmpty()) {
        // As wide as the style needs to draw the whole caption: its own margins, not ours.
        const QStyleOptionTab option = captionOption(caption);
        const int text = fontMetrics().size(Qt::TextShowMnemonic, option.text).width();
        const int margins = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
        natural = style()
                      ->sizeFromContents(QStyle::CT_TabBarTab, &option,
                                         QSize(text + margins, rowHeight()), this)
                      .width();
    }
    return qMax(1, qMin(natural, available));
}

QList<QRect> marlix::TabRow::layoutFor(int width) const {
    QList<QRect> rects;
    rects.reserve(m_captions.size());
    const int height = rowHeight();
    int x = 0;
    int row = 0;
    for (const QString &caption : m_captions) {
        const int w = tabWidth(caption, qMax(width, 1));
        if (x > 0 && x + w > width) {
            x = 0;
            ++row;
        }
        rects.append(QRect(x, row * height, w, height));
        x += w;
    }
    return rects;
}

void marlix::TabRow::relayout() {
    m_rects = layoutFor(width());
    updateGeometry();
    update();
}

int marlix::TabRow::rowCount() const {
    return m_rects.isEmpty() ? 0 : m_rects.constLast().bottom() / rowHeight() + 1;
}

QRect marlix::TabRow::tabRect(int index) const {
    return m_rects.value(index);
}

int marlix::TabRow::tabAt(const QPoint &point) const {
    for (int i = 0; i < m_rects.size(); ++i)
        if (m_rects[i].contains(point))
            return i;
    return -1;
}

int marlix::TabRow::heightForWidth(int width) const {
    const QList<QRect> rects = layoutFor(width);
    return rects.isEmpty() ? 0 : rects.constLast().bottom() + 1;
}

QSize marlix::TabRow::sizeHint() const {
    return QSize(200, heightForWidth(width() > 0 ? width() : 200));
}

QSize marlix::TabRow::minimumSizeHint() const {
    return QSize(EmptyTabWidth, m_captions.isEmpty() ? 0 : rowHeight());
}

QStyleOptionTab marlix::TabRow::captionOption(const QString &caption) const {
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    option.text = marlix::mnemonicFree(caption);
    return option;
}

QStyleOptionTab marlix::TabRow::tabOption(int index) const {
    QStyleOptionTab option = captionOption(m_captions.value(index));
    option.rect = m_rects.value(index);
    // Only a caption wider than the whole row is cut, in the middle, to the room the style
    // leaves for the text.
    const int room = style()->subElementRect(QStyle::SE_TabBarTabText, &option, this).width();
    option.text =
        fontMetrics().elidedText(option.text, Qt::ElideMiddle, room, Qt::TextShowMnemonic);
    return option;
}

void marlix::TabRow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    for (int i = 0; i < m_rects.size(); ++i) {
        QStyleOptionTab option = tabOption(i);
        option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
        if (i == m_current)
            option.state |= QStyle::State_Selected;
        if (i == m_hot)
            option.state |= QStyle::State_MouseOver;
        const bool rowStart = m_rects[i].x() == 0;
        const bool rowEnd = i + 1 == m_rects.size() || m_rects[i + 1].x() == 0;
        option.position = rowStart && rowEnd ? QStyleOptionTab::OnlyOneTab
                          : rowStart         ? QStyleOptionTab::Beginning
                          : rowEnd           ? QStyleOptionTab::End
                                             : QStyleOptionTab::Middle;
        style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
        if (i == m_hot && i != m_current) {
            // Hot-tracking as the user knows it: the caption of the tab under the mouse in the
            // highlight colour, whatever the style draws for hover.
            painter.save();
            painter.setPen(palette().color(QPalette::Highlight));
            painter.drawText(style()->subElementRect(QStyle::SE_TabBarTabText, &option, this),
                             Qt::AlignCenter | Qt::TextShowMnemonic, option.text);
            painter.restore();
        }
    }
}

void marlix::TabRow::mousePressEvent(QMouseEvent *event) {
    const int index = tabAt(event->position().toPoint());
    if (index < 0)
        return;
    if (event->button() == Qt::LeftButton)
        emit tabClicked(index);
    else if (event->button() == Qt::MiddleButton)
        emit tabMiddleClicked(index);
}

void marlix::TabRow::mouseMoveEvent(QMouseEvent *event) {
    const int index = tabAt(event->position().toPoint());
    if (index != m_hot) {
        m_hot = index;
        update();
    }
}

void marlix::TabRow::leaveEvent(QEvent *) {
    if (m_hot != -1) {
        m_hot = -1;
        update();
    }
}

void marlix::TabRow::resizeEvent(QResizeEvent *) {
    const int before = rowCount();
    m_rects = layoutFor(width());
    if (rowCount() != before)
        updateGeometry();
}

void marlix::TabRow::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        relayout();
    QWidget::changeEvent(event);
}

// --- page control ---

marlix::PageControl::PageControl(QWidget *parent)
    : QWidget(parent), m_row(new marlix::TabRow(this)), m_stack(new QStackedWidget(this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_row);
    layout->addWidget(m_stack, 1);
    connect(m_row, &marlix::TabRow::tabClicked, this, &marlix::PageControl::rowClicked);
}

marlix::PageControl::~PageControl() {
    // The pages go with the stack after this body; they must not call back into a control
    // that is half gone.
    for (TTabSheet *page : std::as_const(m_pages))
        page->m_owner = nullptr;
}

int marlix::PageControl::indexOf(const TTabSheet *page) const {
    return int(m_pages.indexOf(const_cast<TTabSheet *>(page)));
}

TTabSheet *marlix::PageControl::ActivePage() const {
    return m_active;
}

void marlix::PageControl::setActivePage(TTabSheet *page) {
    const int index = indexOf(page);
    if (index < 0)
        return;
    m_active = page;
    m_stack->setCurrentWidget(page);
    m_row->setCurrent(index);
    emit activePageChanged();
}

void marlix::PageControl::addPage(TTabSheet *page) {
    m_pages.append(page);
    m_stack->addWidget(page);
    captionChanged();
    if (!m_active)
        setActivePage(page);
}

void marlix::PageControl::removePage(TTabSheet *page) {
    const int index = indexOf(page);
    if (index < 0)
        return;
    const int count = pageCount();
    m_pages.removeAt(index);
    m_stack->removeWidget(page);
    captionChanged();
    if (page == m_active) {
        m_active = nullptr;
        const int next = marlix::tabActiveAfterRemoval(index, count);
        if (next >= 0)
            setActivePage(m_pages[next]);
        else
            m_row->setCurrent(-1);
        if (!m_active)
            emit activePageChanged();
    } else {
        m_row->setCurrent(indexOf(m_active));
    }
}

void marlix::PageControl::captionChanged() {
    QStringList paths;
    paths.reserve(m_pages.size());
    for (const TTabSheet *page : std::as_const(m_pages))
        paths.append(page->m_display.isEmpty() ? page->m_caption : QString());
    const QStringList names = marlix::tabNames(paths);
    QStringList captions, tips;
    captions.reserve(m_pages.size());
    tips.reserve(m_pages.size());
    for (int i = 0; i < m_pages.size(); ++i) {
        TTabSheet *page = m_pages[i];
        const bool file = page->m_display.isEmpty();
        page->m_tabText =
            marlix::documentCaption(file ? names[i] : page->m_display, page->m_changed);
        captions.append(page->m_tabText);
        tips.append(file ? page->m_caption : page->m_display);
    }
    m_row->setCaptions(captions);
    m_row->setToolTips(tips);
    m_row->setCurrent(indexOf(m_active));
}

void marlix::PageControl::rowClicked(int index) {
    TTabSheet *page = m_pages.value(index);
    if (!page || page == m_active)
        return;
    setActivePage(page);
    emit changed();
}
