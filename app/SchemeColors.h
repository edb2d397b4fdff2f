#pragma once

#include <QPalette>

class QWidget;
class TAdvEdit;

// The colours the main window puts over and beside the text of its editors, for the light
// and the dark scheme: the selection, the marks of the find bar, and the panels beside the
// text (object lists, the results of searches and of the mod index). Whatever text stands
// on them keeps at least 4.5:1 against what lies behind it.
namespace marlix {

// The selection: one background and one text colour for all selected text, whatever colour
// its phrases have.
void applySelectionColors(TAdvEdit *editor, bool dark);

// The find bar's marks of every match and of the current one, which lie under the text.
void applyFindMarkColors(TAdvEdit *editor, bool dark);

// A panel in the scheme: dark colours, or the desktop's own for the light scheme.
QPalette panelPalette(bool dark);
void applyPanelScheme(QWidget *panel, bool dark);

} // namespace marlix
