#include "core/script/CommentEdit.h"
#include "core/script/HeaderBlock.h"
#include "core/script/ScriptText.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

QByteArray applied(const QByteArray &line, const std::optional<LineEdit> &edit) {
    if (!edit)
        return line;
    QByteArray result = line;
    result.replace(edit->column, edit->removed, edit->inserted);
    return result;
}

QByteArray commented(const QByteArray &line) {
    return applied(line, commentEdit(line));
}

QByteArray uncommented(const QByteArray &line) {
    return applied(line, uncommentEdit(line));
}

} // namespace

TEST(HeaderBlock, LinesAndRecognition) {
    const QByteArray star = headerStarLine();
    EXPECT_EQ(star.size(), 94);
    EXPECT_TRUE(star.startsWith("rem ***"));
    const QLocale c(QLocale::C);
    const QByteArray date = headerDateLine(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)), c);
    EXPECT_TRUE(date.startsWith("rem ** Last saved date: "));
    EXPECT_TRUE(date.contains("05:06:07")) << date.toStdString();
    EXPECT_EQ(headerBlockText(date), star + "\r\n" + date + "\r\n" + star + "\r\n\r\n");

    EXPECT_TRUE(carriesHeaderBlock(star, date, star));
    EXPECT_TRUE(carriesHeaderBlock(star, headerDatePrefix(), star));
    EXPECT_FALSE(carriesHeaderBlock(star + " ", date, star));
    EXPECT_FALSE(carriesHeaderBlock(star, "rem ** something else", star));
    EXPECT_FALSE(carriesHeaderBlock("rem", date, star));
}

TEST(HeaderBlock, MidnightLeavesOutTheTime) {
    const QLocale c(QLocale::C);
    const QDate day(2026, 12, 9);
    const QString midnight = dateTimeText(QDateTime(day, QTime(0, 0, 0)), c);
    EXPECT_EQ(midnight, c.toString(day, QLocale::ShortFormat));
    const QString later = dateTimeText(QDateTime(day, QTime(0, 0, 1)), c);
    EXPECT_EQ(later, midnight + " 00:00:01");
}

TEST(ScriptText, LinesRoundTripWithTheirLoad) {
    EXPECT_EQ(documentLines(""), QByteArrayList());
    EXPECT_EQ(documentLines("a\r\nb"), (QByteArrayList{"a", "b"}));
    // An empty last line is a line of the document and is written too.
    EXPECT_EQ(documentLines("a\r\nb\r\n"), (QByteArrayList{"a", "b", ""}));
    EXPECT_EQ(documentLines("a\rb\n\r\n"), (QByteArrayList{"a", "b", "", ""}));
}

TEST(CommentEdit, CommentAddsRemUnlessTheWordIsThere) {
    EXPECT_EQ(commented("a"), QByteArray("rem a"));
    EXPECT_EQ(commented(""), QByteArray("rem "));
    EXPECT_EQ(commented("Rem x"), QByteArray("Rem x"));
    EXPECT_EQ(commented("x = 1 REM note"), QByteArray("x = 1 REM note"));
    EXPECT_EQ(commented("remark"), QByteArray("rem remark"));
    EXPECT_EQ(commented("premium"), QByteArray("rem premium"));
}

TEST(CommentEdit, UncommentRemovesTheFirstWordAndOneCharacter) {
    EXPECT_EQ(uncommented("rem rem x"), QByteArray("rem x"));
    EXPECT_EQ(uncommented("x rem y"), QByteArray("x y"));
    EXPECT_EQ(uncommented("remark"), QByteArray("remark"));
    EXPECT_EQ(uncommented("rem.x"), QByteArray("x"));
    // At the end of the line only the word goes; the line end is never taken.
    EXPECT_EQ(uncommented("a rem"), QByteArray("a "));
    EXPECT_EQ(uncommented("rem"), QByteArray(""));
    EXPECT_EQ(uncommentEdit("rem")->removed, 3);
}
