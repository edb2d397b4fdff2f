#include "core/modindex/ScriptProblems.h"
#include "core/modindex/ModCheck.h"
#include "core/modindex/ScriptScanner.h"
#include "tests/core/modindex/LayoutModTree.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

ModProblem problemAt(int line, int column, int endColumn, const QByteArray &name = {}) {
    ModProblem problem;
    problem.line = line;
    problem.column = column;
    problem.endColumn = endColumn;
    problem.name = name;
    return problem;
}

QByteArray covered(const QByteArray &text, const PlacedProblem &placed) {
    return text.mid(placed.start, placed.end - placed.start);
}

ModProblem inFile(const QString &file, int line, const QString &message) {
    ModProblem problem = problemAt(line, 0, 1);
    problem.file = file;
    problem.message = message;
    return problem;
}

} // namespace

TEST(ScriptProblems, PlacesEachProblemOnItsWordWhateverTheLineEnds) {
    // CR LF, a lone LF and a lone CR: the check counts each as one line end.
    const QByteArray text =
        "rem x\r\nObjectTemplate.addTemplate Gun\nGeometriyTemplate.a 1\rrun b\r\n";
    const QList<PlacedProblem> placed =
        placeProblems(text, {problemAt(4, 4, 5), problemAt(2, 27, 30), problemAt(3, 0, 19)});
    ASSERT_EQ(placed.size(), 3);
    // In the order of the text, not of the list.
    EXPECT_EQ(covered(text, placed[0]), "Gun");
    EXPECT_EQ(covered(text, placed[1]), "GeometriyTemplate.a");
    EXPECT_EQ(covered(text, placed[2]), "b");
    EXPECT_EQ(placed[2].problem.line, 4);
}

TEST(ScriptProblems, ARangeOfAnotherTextStaysOnItsLineAndCoversSomething) {
    const QByteArray text = "abc\r\nde\r\n\r\n";
    // Past the line's end: cut there, and at least the last byte covered.
    const QList<PlacedProblem> placed =
        placeProblems(text, {problemAt(1, 1, 40), problemAt(2, 5, 9), problemAt(3, 0, 4),
                             problemAt(9, 0, 2), problemAt(1, 0, 0, "ab")});
    ASSERT_EQ(placed.size(), 5);
    QList<QByteArray> words;
    for (const PlacedProblem &p : placed)
        words.append(covered(text, p));
    // No end column: the name's length decides.
    EXPECT_EQ(words, (QList<QByteArray>{"ab", "bc", "e", "", ""}));
    // An empty line or a line past the text: nothing to underline, but still in the text.
    for (const PlacedProblem &p : placed)
        EXPECT_LE(p.end, text.size());
}

TEST(ScriptProblems, StepsGoToTheNextOrPreviousStartAndWrapRound) {
    const QList<qsizetype> starts{10, 20, 30};
    EXPECT_EQ(nextProblem(starts, 0), 0);
    EXPECT_EQ(nextProblem(starts, 10), 1); // the caret on a problem goes on to the next one
    EXPECT_EQ(nextProblem(starts, 25), 2);
    EXPECT_EQ(nextProblem(starts, 30), 0);
    EXPECT_EQ(previousProblem(starts, 30), 1);
    EXPECT_EQ(previousProblem(starts, 31), 2);
    EXPECT_EQ(previousProblem(starts, 10), 2);
    EXPECT_EQ(previousProblem(starts, 0), 2);
    EXPECT_EQ(nextProblem({}, 5), -1);
    EXPECT_EQ(previousProblem({}, 5), -1);
    EXPECT_EQ(nextProblem({7}, 7), 0);
}

TEST(ScriptProblems, TheIgnoreLineKeepsTheIndentationAndIsReadAsSilencingTheNextLine) {
    EXPECT_EQ(ignoreLine("\t  Object.create X", ModProblem::UndefinedName, "\r\n"),
              "\t  rem marlix: ignore undefined-name\r\n");
    EXPECT_EQ(ignoreLine("Frob.x 1", ModProblem::UnknownCommand, "\n"),
              "rem marlix: ignore unknown-command\n");

    // The scanner reads the line it writes as the silencing of that kind on the next line.
    const QByteArray problemLine = "  Object.create Nowhere";
    const ScriptScan scan = scanScript(
        "rem\r\n" + ignoreLine(problemLine, ModProblem::UndefinedName, "\r\n") + problemLine,
        ModTree::shippedTables());
    ASSERT_EQ(scan.ignores.size(), 1);
    EXPECT_EQ(scan.ignores[0].line, 3);
    EXPECT_EQ(scan.ignores[0].kinds, QByteArrayList{"undefined-name"});
}

TEST(ScriptProblems, CountsErrorsAndWarningsOnly) {
    QList<ModProblem> problems;
    EXPECT_EQ(problemCountText(problems), "");
    ModProblem info;
    info.severity = ModProblem::Information;
    problems.append(info);
    EXPECT_EQ(problemCountText(problems), "");
    ModProblem warning;
    warning.severity = ModProblem::Warning;
    problems.append(warning);
    EXPECT_EQ(problemCountText(problems), "1 warning");
    problems.append(ModProblem{}); // an error
    EXPECT_EQ(problemCountText(problems), "1 error, 1 warning");
    problems.append(ModProblem{});
    problems.append(warning);
    EXPECT_EQ(problemCountText(problems), "2 errors, 2 warnings");
}

TEST(ScriptProblems, AScriptsRowsAreReplacedInPlaceAndTheOthersKept) {
    const QList<ModProblem> shown{inFile("/m/a.con", 1, "a1"), inFile("/m/b.con", 1, "b1"),
                                  inFile("/m/b.con", 5, "b5"), inFile("/m/c.con", 2, "c2")};
    const auto messages = [](const QList<ModProblem> &problems) {
        QStringList list;
        for (const ModProblem &p : problems)
            list.append(p.message);
        return list.join(' ');
    };
    EXPECT_EQ(messages(replaceScriptProblems(shown, "/m/b.con", {inFile("/m/b.con", 3, "new")})),
              "a1 new c2");
    // Mended: its rows go.
    EXPECT_EQ(messages(replaceScriptProblems(shown, "/m/b.con", {})), "a1 c2");
    // A script without rows before gets them where its file sorts.
    EXPECT_EQ(messages(replaceScriptProblems(shown, "/m/bb.con", {inFile("/m/bb.con", 1, "x")})),
              "a1 b1 b5 x c2");
    EXPECT_EQ(messages(replaceScriptProblems(shown, "/m/z.con", {inFile("/m/z.con", 1, "z")})),
              "a1 b1 b5 c2 z");
}

// The editor's path: the unsaved text of one script of a mod laid out as real ones, its
// problems placed on the words they are about.
TEST(ScriptProblems, TheCheckOfUnsavedTextIsPlacedOnTheMisspeltWords) {
    LayoutModTree tree;
    ModIndex index(ModTree::shippedTables());
    index.build({tree.mod});
    const QString tank = tree.path("objects/tanks/tank.con");
    const QByteArray text = "ObjectTemplate.create Bundle Tiger\r\n"
                            "  ObjectTemplate.aiTemplate TigerGnu\r\n"
                            "GeometriyTemplate.setLodDistance 0 50\r\n";
    const QList<PlacedProblem> placed = placeProblems(text, checkScript(index, tank, text));
    ASSERT_EQ(placed.size(), 2);
    EXPECT_EQ(covered(text, placed[0]), "TigerGnu");
    EXPECT_EQ(placed[0].problem.suggestions, QStringList{"TigerGun"});
    EXPECT_EQ(covered(text, placed[1]), "GeometriyTemplate.setLodDistance");
    EXPECT_EQ(placed[1].problem.severity, ModProblem::Error);
    EXPECT_EQ(problemCountText(checkScript(index, tank, text)), "2 errors");

    // With the ignore line above it, the typo is silenced, the other problem stays.
    const QByteArray ignored =
        "ObjectTemplate.create Bundle Tiger\r\n  ObjectTemplate.aiTemplate TigerGnu\r\n" +
        ignoreLine("GeometriyTemplate.setLodDistance 0 50", ModProblem::UnknownCommand, "\r\n") +
        "GeometriyTemplate.setLodDistance 0 50\r\n";
    const QList<ModProblem> left = checkScript(index, tank, ignored);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].kind, ModProblem::UndefinedName);
}
