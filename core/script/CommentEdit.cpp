#include "core/script/CommentEdit.h"

#include "core/script/WordSearch.h"

namespace marlix {

namespace {

qsizetype findRem(const QByteArray &lineText) {
    return findWholeWord(TextView::whole(lineText), QByteArrayLiteral("rem"), 0, lineText.size());
}

} // namespace

std::optional<LineEdit> commentEdit(const QByteArray &lineText) {
    if (findRem(lineText) >= 0)
        return std::nullopt;
    return LineEdit{0, 0, QByteArrayLiteral("rem ")};
}

std::optional<LineEdit> uncommentEdit(const QByteArray &lineText) {
    const qsizetype c = findRem(lineText);
    if (c < 0)
        return std::nullopt;
    return LineEdit{c, std::min<qsizetype>(4, lineText.size() - c), QByteArray()};
}

} // namespace marlix
