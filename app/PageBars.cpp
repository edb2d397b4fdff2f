#include "app/PageBars.h"

#include <QBoxLayout>
#include <QWidget>

namespace marlix {

namespace {
const char *const bottomAreaProperty = "marlixBottomArea";
}

QBoxLayout *pageBottomArea(QWidget *page) {
    if (auto *area = page->property(bottomAreaProperty).value<QBoxLayout *>())
        return area;
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    if (QLayout *old = page->layout()) {
        // The editor keeps its stretch: the items move as they are.
        auto *oldBox = qobject_cast<QBoxLayout *>(old);
        while (old->count() > 0) {
            const int stretch = oldBox ? oldBox->stretch(0) : 0;
            QLayoutItem *item = old->takeAt(0);
            if (QWidget *widget = item->widget()) {
                row->addWidget(widget, stretch);
                delete item;
            } else {
                row->addItem(item);
            }
        }
        delete old;
    }
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(row, 1);
    auto *area = new QVBoxLayout;
    area->setContentsMargins(0, 0, 0, 0);
    area->setSpacing(0);
    column->addLayout(area);
    page->setProperty(bottomAreaProperty, QVariant::fromValue(area));
    return area;
}

} // namespace marlix
