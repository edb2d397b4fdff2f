#pragma once

class QBoxLayout;
class QWidget;

namespace marlix {

// The area at the bottom of a document's tab page, under the editor and its object list, where
// the find bar and the Go to Line bar sit. The page's row of editor and object list moves into
// a column the first time a bar is wanted.
QBoxLayout *pageBottomArea(QWidget *page);

} // namespace marlix
