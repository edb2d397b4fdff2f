#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Finding completion items by parts of their names: what was typed may begin an item, stand
// anywhere in it, or be letters that appear in it in that order ("shrm" in "Sherman"). Letter
// case is ignored throughout.
namespace marlix {

struct ItemMatch {
    int item = 0;       // index into the items
    QList<int> letters; // positions in the item of the typed letters, for showing them
};

// The matching items: first those that begin with `typed`, then those that contain it, then
// those that hold its letters in order, each group in the items' order. An empty `typed`
// matches every item, in order, with no letters.
QList<ItemMatch> matchItems(const QStringList &items, const QString &typed);

} // namespace marlix
