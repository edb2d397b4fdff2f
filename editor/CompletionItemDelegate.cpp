#include "editor/CompletionItemDelegate.h"

#include <QApplication>
#include <QPainter>

namespace marlix {

void CompletionItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const {
    const QList<int> letters = index.data(LettersRole).value<QList<int>>();
    if (letters.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget); // ground and focus
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    QFont plain = opt.font;
    QFont marked = plain;
    marked.setBold(true);
    marked.setUnderline(true);
    const QPalette::ColorRole role =
        opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setPen(opt.palette.color(role));
    painter->setClipRect(area);
    int x = area.left() + 2;
    // Runs of plain and matched letters, each drawn in its font.
    qsizetype i = 0;
    while (i < text.size()) {
        const bool match = letters.contains(int(i));
        qsizetype end = i + 1;
        while (end < text.size() && letters.contains(int(end)) == match)
            ++end;
        const QString part = text.mid(i, end - i);
        painter->setFont(match ? marked : plain);
        painter->drawText(QRect(x, area.top(), area.right() - x + 1, area.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, part);
        x += QFontMetrics(match ? marked : plain).horizontalAdvance(part);
        i = end;
    }
    painter->restore();
}

} // namespace marlix
