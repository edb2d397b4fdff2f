#pragma once

#include <QString>

// Go to Line: what the typed text asks for.
namespace marlix {

struct LineJump {
    int line = 0;  // counted from 1, within the document; 0 when the text is no line number
    QString error; // why not, for the dialog: empty text, or not a number

    bool ok() const { return error.isEmpty(); }
};

// Blanks around the number are ignored; a number past the end goes to the last line and one
// below 1 (0 or negative) to the first, as the user most likely meant.
LineJump parseGoToLine(const QString &text, int lineCount);

} // namespace marlix
