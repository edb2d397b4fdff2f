#pragma once

#include <QValidator>

// Keeps an edit field to text that one line of a table file can hold. A line break would
// split the cell into two lines and shift every entry after it, so pasted text with one is
// refused. For codes and phrases, characters beyond the 8-bit range are refused too, as the
// file could only store them as "?"; file names from the file dialog may hold any character.
namespace marlix {

class TableTextValidator : public QValidator {
public:
    enum Range { EightBit, AnyCharacter };
    TableTextValidator(Range range, QObject *parent) : QValidator(parent), m_range(range) {}

    State validate(QString &input, int &pos) const override;

private:
    Range m_range;
};

} // namespace marlix
