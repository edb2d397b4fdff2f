#include "platform/NameFilters.h"

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
