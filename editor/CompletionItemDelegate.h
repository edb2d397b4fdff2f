#pragma once

#include <QStyledItemDelegate>

namespace marlix {

// Draws a completion item with the letters that matched what was typed in bold and
// underlined. The letters' positions are the item's `LettersRole` data (a QList<int>).
class CompletionItemDelegate : public QStyledItemDelegate {
public:
    static constexpr int LettersRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

} // namespace marlix
