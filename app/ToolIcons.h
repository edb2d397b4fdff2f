#pragma once

#include <QPixmap>

// The tool-bar pictures, drawn in code at 24 x 24. The plain set is muted; the hot set, shown
// while the mouse is over a button, is in full colour.
enum class ToolIcon { New, Open, Save, Undo, Redo, Cut, Copy, Paste, Comment, UnComment, Launch };

constexpr int ToolIconSize = 24;

QPixmap drawToolIcon(ToolIcon icon, bool hot);
