#include "core/script/CompletionRules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

int trigger(const QByteArray &text, const QList<QByteArray> &triggers, qsizetype caret,
            qsizetype *start = nullptr) {
    QByteArrayList folded;
    for (const QByteArray &t : triggers)
        folded.append(foldWord(t));
    qsizetype codeStart = -2;
    const int entry = findTriggerAtCaret(TextView::whole(text), folded, caret, codeStart);
    if (start)
        *start = codeStart;
    return entry;
}

} // namespace

TEST(CompletionRules, TriggerMustEndAtTheCaretAsAWholeWord) {
    qsizetype start = 0;
    EXPECT_EQ(trigger("x ObjectTemplate.", {"ObjectTemplate."}, 17, &start), 0);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(trigger("objecttemplate.", {"ObjectTemplate."}, 15), 0);
    EXPECT_EQ(trigger("MyObject.", {"Object."}, 9, &start), -1);
    EXPECT_EQ(start, -1);
    EXPECT_EQ(trigger("Object.x", {"Object."}, 7), -1);  // a word character follows
    EXPECT_EQ(trigger("Object. x", {"Object."}, 8), -1); // does not end at the caret
    EXPECT_EQ(trigger("ect.", {"Object."}, 4), -1);      // caret too near the start
    // The first entry in table order wins when several end at the caret.
    EXPECT_EQ(trigger("a.b.", {"c.", "b.", "a.b."}, 4, &start), 1);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(trigger("a.b.", {"a.b.", "b."}, 4, &start), 0);
    EXPECT_EQ(start, 0);
}

TEST(CompletionRules, ItemsSortIgnoringCase) {
    EXPECT_EQ(sortCompletionItems({"delete", "Create", "active", "", "B"}),
              (QStringList{"", "active", "B", "Create", "delete"}));
    EXPECT_EQ(sortCompletionItems({"b", "A", "a"}), (QStringList{"A", "a", "b"}));
}

TEST(CompletionRules, PrefixSelectsFromTheSecondItemOn) {
    const QStringList items{"active", "create", "createComponent", "delete"};
    EXPECT_EQ(selectByPrefix(items, "cr"), 1);
    EXPECT_EQ(selectByPrefix(items, "CREATEc"), 2);
    EXPECT_EQ(selectByPrefix(items, "a"), 0); // searched last
    EXPECT_EQ(selectByPrefix(items, "x"), -1);
    EXPECT_EQ(selectByPrefix(items, ""), 1);
    EXPECT_EQ(selectByPrefix({"only"}, ""), 0);
    EXPECT_EQ(selectByPrefix({}, ""), -1);
    const QString longPrefix = QString(300, QLatin1Char('x'));
    EXPECT_EQ(selectByPrefix({"a", longPrefix + "y"}, longPrefix), 1); // no length limit
}

TEST(CompletionRules, FileAsWrittenThenInTheProgramFolder) {
    QTemporaryDir program, work;
    const QString folder = program.path() + "/";
    QFile(folder + "codes.txt").open(QIODevice::WriteOnly);
    EXPECT_EQ(completionFilePath("codes.txt", folder), folder + "codes.txt");
    EXPECT_EQ(completionFilePath(folder + "codes.txt", "/nowhere/"), folder + "codes.txt");
    EXPECT_EQ(completionFilePath("missing.txt", folder), QString());
    EXPECT_EQ(completionFilePath("", folder), QString()); // the folder itself is no file

    const QString old = QDir::currentPath();
    QDir::setCurrent(work.path());
    QFile("codes.txt").open(QIODevice::WriteOnly);
    EXPECT_EQ(completionFilePath("codes.txt", folder), QStringLiteral("codes.txt"));
    QDir::setCurrent(old);
}

TEST(CompletionRules, ListOpensBelowOrAboveTheLine) {
    EXPECT_EQ(completionTop(0), 13);
    EXPECT_EQ(completionTop(400), 413);
    EXPECT_EQ(completionTop(401), 251);
}

TEST(CompletionRules, ListIsMovedOnlyWhereItWouldBeCutOff) {
    // Room enough: the place described by the caret.
    EXPECT_EQ(completionPlace(100, 200, QSize(150, 150), 700, 900), QPoint(101, 213));
    EXPECT_EQ(completionPlace(100, 600, QSize(150, 150), 700, 900), QPoint(101, 450));
    // Near the right edge of the text area the list moves left, never past the left edge.
    EXPECT_EQ(completionPlace(650, 200, QSize(150, 150), 700, 900), QPoint(550, 213));
    EXPECT_EQ(completionPlace(50, 200, QSize(150, 150), 100, 900), QPoint(0, 213));
    // A short text area: below the line it would be cut off, so it opens above when it fits.
    EXPECT_EQ(completionPlace(100, 250, QSize(150, 150), 700, 315), QPoint(101, 100));
    EXPECT_EQ(completionPlace(100, 100, QSize(150, 150), 700, 200), QPoint(101, 113));
}

// A list of 150 pixels cut its long items off behind a horizontal scroll bar and showed three
// items of a large editor font.
TEST(CompletionRules, ListSizeFollowsLongestItemAndFontHeight) {
    EXPECT_EQ(completionListSize(90, 800, 14, 14), QSize(150, 150));
    EXPECT_EQ(completionListSize(420, 800, 14, 14), QSize(420, 150));
    EXPECT_EQ(completionListSize(2000, 800, 14, 14), QSize(800, 150));
    EXPECT_EQ(completionListSize(90, 800, 42, 14), QSize(150, 450));
    EXPECT_EQ(completionListSize(90, 800, 0, 0), QSize(150, 150));
    // A taller list opened low in the editor still ends at the top of the caret's line.
    EXPECT_EQ(completionTop(500, 450), 50);
    EXPECT_EQ(completionPlace(100, 600, QSize(420, 450), 1000, 900), QPoint(101, 150));
}
