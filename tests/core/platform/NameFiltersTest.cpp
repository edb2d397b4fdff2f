#include "core/platform/NameFilters.h"

#include <gtest/gtest.h>

using marlix::qtNameFilters;

TEST(NameFilters, TextWithoutPatternsGetsThemAdded) {
    EXPECT_EQ(
        qtNameFilters(QStringLiteral("Directory|*.|Scripts|*.con;*.bcon")),
        QStringList({QStringLiteral("Directory (*.)"), QStringLiteral("Scripts (*.con *.bcon)")}));
}

TEST(NameFilters, TextEndingInItsOwnPatternsIsKeptAsItStands) {
    EXPECT_EQ(qtNameFilters(
                  QStringLiteral("Marlix Init Files (*.ini)|*.ini|BF1942 Exe Path (*.exe)|*.exe")),
              QStringList({QStringLiteral("Marlix Init Files (*.ini)"),
                           QStringLiteral("BF1942 Exe Path (*.exe)")}));
    // Blanks around the text and either separator inside the brackets still count as the same.
    EXPECT_EQ(qtNameFilters(QStringLiteral(" Scripts (*.con *.bcon) |*.con;*.bcon")),
              QStringList({QStringLiteral("Scripts (*.con *.bcon)")}));
    EXPECT_EQ(qtNameFilters(QStringLiteral("Scripts (*.con;*.bcon)|*.con;*.bcon")),
              QStringList({QStringLiteral("Scripts (*.con;*.bcon)")}));
}

TEST(NameFilters, BracketsNamingOtherPatternsDoNotReplaceTheRealOnes) {
    // The dialog filters by the last brackets, so these must still name the real patterns.
    EXPECT_EQ(qtNameFilters(QStringLiteral("Text (*.txt)|*.con|Pair (*.con)|*.con;*.bcon")),
              QStringList({QStringLiteral("Text (*.txt) (*.con)"),
                           QStringLiteral("Pair (*.con) (*.con *.bcon)")}));
    EXPECT_EQ(qtNameFilters(QStringLiteral("Text (*.CON)|*.con")),
              QStringList({QStringLiteral("Text (*.CON) (*.con)")}));
}

TEST(NameFilters, IncompleteEntriesAreLeftOut) {
    EXPECT_TRUE(qtNameFilters(QString()).isEmpty());
    EXPECT_EQ(qtNameFilters(QStringLiteral("Scripts|*.con|Dangling")),
              QStringList({QStringLiteral("Scripts (*.con)")}));
}

TEST(NameFilters, WindowsPatternsHidLinuxNames) {
    using marlix::listedUnder;
    const QStringList all{QStringLiteral("*.*")};
    EXPECT_TRUE(listedUnder(QStringLiteral("Makefile"), false, all));
    EXPECT_TRUE(listedUnder(QStringLiteral("a.con"), false, all));
    const QStringList exe{QStringLiteral("*.exe")};
    EXPECT_TRUE(listedUnder(QStringLiteral("wrapper"), true, exe));
    EXPECT_TRUE(listedUnder(QStringLiteral("BF1942.EXE"), false, exe)); // case as on Windows
    EXPECT_FALSE(listedUnder(QStringLiteral("notes.txt"), false, exe));
    const QStringList scripts{QStringLiteral("*.con"), QStringLiteral("*.bcon")};
    EXPECT_TRUE(listedUnder(QStringLiteral("x.bcon"), false, scripts));
    EXPECT_FALSE(listedUnder(QStringLiteral("x.con.txt"), false, scripts));
    EXPECT_FALSE(listedUnder(QStringLiteral("run.sh"), true, scripts)); // only for "*.exe"
    const QStringList bare{QStringLiteral("*.")};
    EXPECT_TRUE(listedUnder(QStringLiteral("objects"), false, bare));
    EXPECT_FALSE(listedUnder(QStringLiteral("a.con"), false, bare));
}

TEST(NameFilters, PatternsOfOneEntry) {
    const QString filter = QStringLiteral("Directory|*.|Scripts|*.con;*.bcon");
    EXPECT_EQ(marlix::filterPatterns(filter, 2),
              QStringList({QStringLiteral("*.con"), QStringLiteral("*.bcon")}));
    EXPECT_EQ(marlix::filterPatterns(filter, 1), QStringList({QStringLiteral("*.")}));
    EXPECT_TRUE(marlix::filterPatterns(filter, 3).isEmpty());
    EXPECT_TRUE(marlix::filterPatterns(filter, 0).isEmpty());
}
