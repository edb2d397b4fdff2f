#include "core/modindex/ProblemReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace marlix;

namespace {

ModProblem duplicate() {
    ModProblem p;
    p.kind = ModProblem::DuplicateName;
    p.severity = ModProblem::Warning;
    p.file = "objects/a.con";
    p.line = 7;
    p.column = 35;
    p.endColumn = 40;
    p.name = "Tiger";
    p.message = "ObjectTemplate Tiger is defined again (first at objects/b.con:2)";
    p.relatedFile = "objects/b.con";
    p.relatedLine = 2;
    return p;
}

} // namespace

TEST(ProblemReport, JsonHoldsTheKeysToolsReadAndRelatedOnlyForDuplicatesAndOverrides) {
    ModProblem missing;
    missing.kind = ModProblem::MissingFile;
    missing.file = "a\x1b[31m.con";
    missing.line = 1;
    missing.column = 4;
    missing.endColumn = 9;
    missing.name = "x\x9b";
    missing.message = "run names no file: x";
    const QByteArray json = problemsJson({duplicate(), missing});
    // No raw control character reaches a terminal, C1 ones included.
    EXPECT_FALSE(json.contains('\x1b'));
    EXPECT_FALSE(json.contains("\xc2\x9b"));
    const QJsonArray array = QJsonDocument::fromJson(json).array();
    ASSERT_EQ(array.size(), 2);
    const QJsonObject first = array[0].toObject();
    EXPECT_EQ(first.keys(), (QStringList{"column", "endColumn", "file", "kind", "line", "message",
                                         "name", "related", "severity", "suggestions"}));
    EXPECT_EQ(first["kind"].toString(), "duplicate-name");
    EXPECT_EQ(first["severity"].toString(), "warning");
    EXPECT_EQ(first["column"].toInt(), 36);
    EXPECT_EQ(first["endColumn"].toInt(), 41);
    EXPECT_EQ(first["related"].toObject()["file"].toString(), "objects/b.con");
    EXPECT_EQ(first["related"].toObject()["line"].toInt(), 2);
    const QJsonObject second = array[1].toObject();
    EXPECT_FALSE(second.contains("related"));
    EXPECT_EQ(second["kind"].toString(), "missing-file");
    EXPECT_EQ(second["severity"].toString(), "error");
    EXPECT_EQ(second["file"].toString(), "a\x1b[31m.con");
    EXPECT_EQ(second["name"].toString(), "x\\x9b");
}

TEST(ProblemReport, SarifIsOneRunOfVersion210WithRulesLevelsAndRegions) {
    ModProblem info = duplicate();
    info.kind = ModProblem::Override;
    info.severity = ModProblem::Information;
    info.file = "/abs/Mod Dir/x.con";
    const QJsonObject log =
        QJsonDocument::fromJson(problemsSarif({duplicate(), info}, "3.0.3.0")).object();
    EXPECT_EQ(log["version"].toString(), "2.1.0");
    const QJsonObject run = log["runs"].toArray()[0].toObject();
    EXPECT_EQ(run["tool"].toObject()["driver"].toObject()["name"].toString(), "marlix-modcheck");
    EXPECT_EQ(run["tool"].toObject()["driver"].toObject()["rules"].toArray().size(), 5);
    const QJsonArray results = run["results"].toArray();
    ASSERT_EQ(results.size(), 2);
    const QJsonObject first = results[0].toObject();
    EXPECT_EQ(first["ruleId"].toString(), "duplicate-name");
    EXPECT_EQ(first["level"].toString(), "warning");
    const QJsonObject location =
        first["locations"].toArray()[0].toObject()["physicalLocation"].toObject();
    EXPECT_EQ(location["artifactLocation"].toObject()["uri"].toString(), "objects/a.con");
    EXPECT_EQ(location["region"].toObject()["startLine"].toInt(), 7);
    EXPECT_EQ(location["region"].toObject()["startColumn"].toInt(), 36);
    EXPECT_EQ(first["relatedLocations"].toArray().size(), 1);
    const QJsonObject second = results[1].toObject();
    EXPECT_EQ(second["level"].toString(), "note");
    EXPECT_EQ(second["locations"]
                  .toArray()[0]
                  .toObject()["physicalLocation"]
                  .toObject()["artifactLocation"]
                  .toObject()["uri"]
                  .toString(),
              "file:///abs/Mod%20Dir/x.con");
}

TEST(ProblemReport, ABaselineMatchesScriptKindNameAndLineTextNotTheLineNumber) {
    Baseline recorded;
    ModProblem p = duplicate();
    recorded.add("objects/a.con", p, "  ObjectTemplate.create Bundle Tiger\t ");
    recorded.add("objects/a.con", p, "ObjectTemplate.create Bundle Tiger");
    Baseline baseline;
    ASSERT_TRUE(baseline.fromBytes(recorded.toBytes()));
    EXPECT_EQ(baseline.size(), 2);
    p.line = 70; // lines added above it
    EXPECT_TRUE(baseline.take("objects/a.con", p, "ObjectTemplate.create Bundle Tiger"));
    EXPECT_FALSE(baseline.take("objects/b.con", p, "ObjectTemplate.create Bundle Tiger"));
    EXPECT_FALSE(baseline.take("objects/a.con", p, "ObjectTemplate.create Bundle Tiger2"));
    ModProblem other = p;
    other.kind = ModProblem::Override;
    EXPECT_FALSE(baseline.take("objects/a.con", other, "ObjectTemplate.create Bundle Tiger"));
    // Each recorded problem silences one: a third copy is new.
    EXPECT_TRUE(baseline.take("objects/a.con", p, "ObjectTemplate.create Bundle Tiger"));
    EXPECT_FALSE(baseline.take("objects/a.con", p, "ObjectTemplate.create Bundle Tiger"));
    // Tabs and line ends inside a field cannot break the file apart.
    Baseline odd;
    p.name = "a\tb\nc\\";
    odd.add("x.con", p, "line\twith\ttabs");
    Baseline back;
    ASSERT_TRUE(back.fromBytes(odd.toBytes()));
    EXPECT_TRUE(back.take("x.con", p, "line\twith\ttabs"));
    EXPECT_FALSE(back.fromBytes("not\ta baseline\n"));
}

TEST(ProblemReport, PrintableTextEscapesControlCharactersOnly) {
    EXPECT_EQ(printableText(QByteArray("a\x1b[2Jb\x7f\x9b\xe9")), "a\\x1b[2Jb\\x7f\\x9b\u00e9");
    EXPECT_EQ(printableText(QStringLiteral("plain text")), "plain text");
}
