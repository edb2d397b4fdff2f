#include "core/prefs/GeneralOptions.h"

#include "core/common/BoolLines.h"

#include <array>

namespace marlix {

namespace {

std::array<bool *, 7> fields(GeneralOptions &o) {
    return {&o.autoPopulate, &o.autoHighlight, &o.darkText,   &o.autoUpdate,
            &o.intellisense, &o.highlighting,  &o.lineNumbers};
}

} // namespace

bool GeneralOptions::operator==(const GeneralOptions &other) const {
    GeneralOptions a = *this, b = other;
    const auto x = fields(a), y = fields(b);
    for (size_t i = 0; i < x.size(); ++i)
        if (*x[i] != *y[i])
            return false;
    return true;
}

void applyOptionLines(const QStringList &lines, GeneralOptions &options) {
    const auto targets = fields(options);
    const qsizetype count = qMin(lines.size(), qsizetype(targets.size()));
    for (qsizetype i = 0; i < count; ++i)
        *targets[size_t(i)] = isOnLine(lines[i]);
}

QStringList optionLines(const GeneralOptions &options) {
    GeneralOptions copy = options;
    QStringList lines;
    for (bool *field : fields(copy))
        lines.append(boolLine(*field));
    if (options.lineNumbers)
        lines.removeLast();
    return lines;
}

} // namespace marlix
