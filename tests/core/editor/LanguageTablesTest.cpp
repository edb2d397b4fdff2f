#include "core/script/LanguageTables.h"
#include "core/common/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

QStringList lines(std::initializer_list<const char *> items) {
    QStringList result;
    for (const char *item : items)
        result.append(QString::fromLatin1(item));
    return result;
}

} // namespace

TEST(LanguageTables, EntriesAreCompleteGroupsOfThree) {
    IntellisenseTable table;
    fillIntellisenseTable({}, table);
    EXPECT_EQ(table.count, 0);

    fillIntellisenseTable(lines({"Object.", "object.txt", "0", "stray"}), table);
    ASSERT_EQ(table.count, 1);
    EXPECT_EQ(table.triggers, QStringList{"Object."});
    EXPECT_EQ(table.files, QStringList{"object.txt"});

    fillIntellisenseTable(lines({"a.", "a.txt", "01", "", "b.txt", " 0"}), table);
    ASSERT_EQ(table.count, 2);
    EXPECT_EQ(table.styles, (QList<std::int32_t>{1, 0}));
    EXPECT_EQ(table.triggers[1], QString()); // a blank line is an empty value
}

TEST(LanguageTables, HighlightingHasStyleBeforeColor) {
    HighlightTable table;
    fillHighlightTable(
        lines({"rem", "1", "clGreen", "Scout", "0", "$000000FF", " x ", "2", "CLRED"}), table);
    ASSERT_EQ(table.count, 3);
    EXPECT_EQ(table.phrases, lines({"rem", "Scout", " x "})); // verbatim, blanks kept
    EXPECT_EQ(table.styles, (QList<std::int32_t>{1, 0, 2}));
    EXPECT_EQ(table.colors, (QList<TColor>{0x008000, 0x0000FF, 0x0000FF}));
}

TEST(LanguageTables, RejectedLineKeepsEarlierEntries) {
    HighlightTable table;
    try {
        fillHighlightTable(lines({"if", "0", "clBlue", "else", "0", "red", "end", "0", "clRed"}),
                           table);
        FAIL() << "the colour red is no colour text";
    } catch (const Error &error) {
        EXPECT_EQ(error.text(), QStringLiteral("'red' is not a valid integer value"));
    }
    ASSERT_EQ(table.count, 3);
    EXPECT_EQ(table.phrases, lines({"if", "else", ""}));
    EXPECT_EQ(table.colors, (QList<TColor>{0xFF0000, 0, 0}));

    IntellisenseTable codes;
    EXPECT_THROW(fillIntellisenseTable(lines({"a.", "a.txt", ""}), codes), Error);
    EXPECT_EQ(codes.triggers, QStringList{"a."});
    EXPECT_THROW(fillIntellisenseTable(lines({"a.", "a.txt", "1 "}), codes), Error);
}

TEST(LanguageTables, ReadsFilesWithAnyLineEnd) {
    QTemporaryDir dir;
    const QString path = dir.filePath("highlighting.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("r\xE9m\r1\nclGreen\r\nb\r\n0\r\n255");
    file.close();
    HighlightTable table;
    readHighlightTable(path, table);
    ASSERT_EQ(table.count, 2);
    EXPECT_EQ(table.phrases[0], QString::fromLatin1("r\xE9m"));
    EXPECT_EQ(table.colors[1], TColor(255));

    try {
        readHighlightTable(dir.filePath("missing.ini"), table);
        FAIL() << "a missing table must be reported";
    } catch (const Error &error) {
        EXPECT_EQ(error.text(), "Cannot open file " + dir.filePath("missing.ini"));
    }
    EXPECT_EQ(table.count, 0);
}
