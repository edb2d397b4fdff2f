#pragma once

#include "core/script/WordSearch.h"

#include <QByteArrayList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

// The rules of code completion that need no window: which trigger ends at the caret, where
// its completion file is, the order of the items, which item a typed prefix selects and where
// the list opens.
namespace marlix {

// The side of the completion list for the default font, in pixels: its width at least, and its
// height before the editor font's line height scales it.
constexpr int completionListSide = 150;

// The first trigger, in table order, that ends exactly at `caret` as a whole word (letter case
// ignored). Returns its index and sets `codeStart` to its position, or returns -1 with
// `codeStart` -1. `foldedTriggers` are the triggers in folded form (foldWord).
int findTriggerAtCaret(const TextView &text, const QByteArrayList &foldedTriggers, qsizetype caret,
                       qsizetype &codeStart);

// The completion file as written (absolute, or relative to the current directory), else the
// file of that name in the program folder; empty when neither exists.
QString completionFilePath(const QString &fileName, const QString &programFolder);

// The items in alphabetical order, letter case ignored; equal items keep their file order.
QStringList sortCompletionItems(QStringList items);

// The item a typed prefix selects: the first that begins with it (letter case ignored),
// searching from the second item to the last and then the first. -1 when none begins with it.
int selectByPrefix(const QStringList &items, const QString &prefix);

// The top edge of a list `height` pixels tall for a caret line whose top is at `t` in the
// parent's coordinates: just below the line, or above it when the line is low in the editor.
int completionTop(int t, int height = completionListSide);

// The list's size. Wide enough for `contentWidth` (its longest item with frame and scroll bar),
// at least completionListSide pixels and at most the text area's width, so no item hides behind a
// horizontal scroll bar; completionListSide pixels tall for the default font, scaled by the editor
// font's line height, so a large font still shows about as many items.
QSize completionListSize(int contentWidth, int areaWidth, int lineHeight, int defaultLineHeight);

// Where a list of `size` goes for a caret line whose top-left is at (x, t), in a text area that
// ends at `right` and `bottom`: at x + 1 and completionTop(t), unless that cuts the list off.
// Then it moves left to keep its right edge in the area, and above the line when there is room
// for it there.
QPoint completionPlace(int x, int t, QSize size, int right, int bottom);

} // namespace marlix
