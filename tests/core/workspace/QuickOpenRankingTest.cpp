#include "core/workspace/QuickOpenRanking.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

QStringList ranked(const QStringList &candidates, const QString &query, int limit = 50) {
    QuickOpenRanking ranking;
    ranking.setCandidates(candidates);
    QStringList out;
    for (int index : ranking.rank(query, limit))
        out.append(ranking.candidate(index));
    return out;
}

} // namespace

TEST(QuickOpenQueryTest, TellsPathsNamesAndLinesApart) {
    QuickOpenQuery query = parseQuickOpenQuery(QStringLiteral("  tank con "));
    EXPECT_EQ(query.kind, QuickOpenQuery::Path);
    EXPECT_EQ(query.text, QStringLiteral("tankcon"));
    EXPECT_EQ(query.line, 0);

    query = parseQuickOpenQuery(QStringLiteral("objects\\tank:40"));
    EXPECT_EQ(query.kind, QuickOpenQuery::Path);
    EXPECT_EQ(query.text, QStringLiteral("objects/tank"));
    EXPECT_EQ(query.line, 40);

    query = parseQuickOpenQuery(QStringLiteral(":12"));
    EXPECT_EQ(query.kind, QuickOpenQuery::Line);
    EXPECT_EQ(query.line, 12);

    query = parseQuickOpenQuery(QStringLiteral("@Tank_Hull"));
    EXPECT_EQ(query.kind, QuickOpenQuery::Name);
    EXPECT_EQ(query.text, QStringLiteral("Tank_Hull"));
}

TEST(QuickOpenQueryTest, ALineThatIsNoNumberStaysPartOfThePath) {
    // A colon followed by letters is looked for as letters; absurd line numbers are none.
    QuickOpenQuery query = parseQuickOpenQuery(QStringLiteral("c:tank"));
    EXPECT_EQ(query.kind, QuickOpenQuery::Path);
    EXPECT_EQ(query.text, QStringLiteral("c:tank"));
    query = parseQuickOpenQuery(QStringLiteral(":99999999999999"));
    EXPECT_EQ(query.kind, QuickOpenQuery::Path);
    EXPECT_EQ(query.line, 0);
    query = parseQuickOpenQuery(QStringLiteral(":-3"));
    EXPECT_EQ(query.line, 0);
    query = parseQuickOpenQuery(QStringLiteral("tank:"));
    EXPECT_EQ(query.kind, QuickOpenQuery::Path);
    EXPECT_EQ(query.text, QStringLiteral("tank"));
    EXPECT_EQ(query.line, 0);
}

TEST(QuickOpenRankingTest, LettersMustComeInOrderIgnoringCase) {
    const QStringList candidates = {QStringLiteral("objects/Sherman/Objects.con"),
                                    QStringLiteral("objects/Tiger/Objects.con")};
    EXPECT_EQ(ranked(candidates, QStringLiteral("shrm")),
              QStringList{QStringLiteral("objects/Sherman/Objects.con")});
    EXPECT_TRUE(ranked(candidates, QStringLiteral("mrhs")).isEmpty());
    EXPECT_EQ(ranked(candidates, QStringLiteral("TIGER")).size(), 1);
}

TEST(QuickOpenRankingTest, FileNameMatchesComeBeforePathMatchesAndShorterPathsFirst) {
    const QStringList candidates = {
        QStringLiteral("tank/Physics.con"),             // only the folder holds "tank"
        QStringLiteral("objects/vehicles/tank.con"),    // the name begins with it
        QStringLiteral("tank.con"),                     // the same, shorter
        QStringLiteral("objects/bigtank.con"),          // the name holds it whole
        QStringLiteral("objects/t_a_n_k.con"),          // the name holds its letters apart
        QStringLiteral("objects/vehicles/Tanker.inc")}; // begins with it, longer
    EXPECT_EQ(
        ranked(candidates, QStringLiteral("tank")),
        (QStringList{QStringLiteral("tank.con"), QStringLiteral("objects/vehicles/tank.con"),
                     QStringLiteral("objects/vehicles/Tanker.inc"),
                     QStringLiteral("objects/bigtank.con"), QStringLiteral("objects/t_a_n_k.con"),
                     QStringLiteral("tank/Physics.con")}));
}

TEST(QuickOpenRankingTest, AQueryWithAFolderMatchesAlongThePath) {
    const QStringList candidates = {QStringLiteral("objects/tank/tank.con"),
                                    QStringLiteral("objects/jeep/tank.con"),
                                    QStringLiteral("levels/tank/init.con")};
    EXPECT_EQ(ranked(candidates, QStringLiteral("tank/tank")),
              QStringList{QStringLiteral("objects/tank/tank.con")});
}

TEST(QuickOpenRankingTest, TheLimitKeepsTheBestAndAnEmptyQueryListsShortestFirst) {
    QStringList candidates;
    for (int i = 0; i < 200; ++i)
        candidates.append(
            QStringLiteral("folder/%1/part%2.con").arg(QString(i % 7 + 1, 'x')).arg(i));
    const QStringList best = ranked(candidates, QString(), 3);
    ASSERT_EQ(best.size(), 3);
    for (const QString &path : best)
        EXPECT_TRUE(path.startsWith(QStringLiteral("folder/x/"))) << qPrintable(path);
    EXPECT_TRUE(ranked(candidates, QStringLiteral("part"), 0).isEmpty());
    // part1, part10-part19 and part100-part199 begin with it and come before names that only
    // hold its letters (part21).
    const QStringList hits = ranked(candidates, QStringLiteral("part1"), 1000);
    ASSERT_GT(hits.size(), 111);
    for (int i = 0; i < hits.size(); ++i)
        EXPECT_EQ(hits[i].section('/', -1).startsWith(QStringLiteral("part1")), i < 111)
            << qPrintable(hits[i]);
}

TEST(QuickOpenRankingTest, EqualCandidatesKeepAStableOrder) {
    const QStringList candidates = {QStringLiteral("b/Init.con"), QStringLiteral("a/init.con"),
                                    QStringLiteral("c/INIT.con")};
    EXPECT_EQ(ranked(candidates, QStringLiteral("init")),
              (QStringList{QStringLiteral("a/init.con"), QStringLiteral("b/Init.con"),
                           QStringLiteral("c/INIT.con")}));
}
