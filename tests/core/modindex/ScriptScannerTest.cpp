#include "core/modindex/ScriptScanner.h"
#include "tests/core/modindex/ModTree.h"

#include "core/common/Error.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

const CommandTable &tables() {
    static const CommandTable table = ModTree::shippedTables();
    return table;
}

ScriptScan scan(const QByteArray &text) {
    return scanScript(text, tables());
}

} // namespace

TEST(ScriptScanner, DefinitionsCarryFamilyTypeNameLineAndColumn) {
    const ScriptScan s = scan("rem x\r\nObjectTemplate.create Bundle Tank_Hull\r\n"
                              "  GeometryTemplate.create StandardMesh \"Tank_M1\"\r\n"
                              "NetworkableInfo.createNewInfo TankInfo\n"
                              "ObjectTemplate.create Bundle\n");
    ASSERT_EQ(s.definitions.size(), 3);
    EXPECT_EQ(s.definitions[0].family, "ObjectTemplate");
    EXPECT_EQ(s.definitions[0].type, "Bundle");
    EXPECT_EQ(s.definitions[0].name, "Tank_Hull");
    EXPECT_EQ(s.definitions[0].line, 2);
    EXPECT_EQ(s.definitions[0].column, 29);
    EXPECT_EQ(s.definitions[1].name, "Tank_M1"); // quotes are not part of the name
    EXPECT_EQ(s.definitions[1].column, 40);
    EXPECT_EQ(s.definitions[2].family, "NetworkableInfo");
    EXPECT_TRUE(s.definitions[2].type.isEmpty());
}

TEST(ScriptScanner, ReferencesNameTheFamilyReferredToAndIgnoreLetterCase) {
    const ScriptScan s = scan("OBJECT.CREATE Tank\tmore\r\nobjecttemplate.geometry Tank_M1\r"
                              "MaterialManager.setEffectTemplate 0 1 e_Sparks\n"
                              "ObjectTemplate.setTeamGeometry 1\n");
    ASSERT_EQ(s.references.size(), 3);
    EXPECT_EQ(s.references[0].family, "ObjectTemplate");
    EXPECT_EQ(s.references[0].command, "OBJECT.CREATE");
    EXPECT_EQ(s.references[0].name, "Tank");
    EXPECT_EQ(s.references[1].family, "GeometryTemplate");
    EXPECT_EQ(s.references[1].line, 2);
    EXPECT_EQ(s.references[2].name, "e_Sparks");
    EXPECT_EQ(s.references[2].line, 3);
    EXPECT_TRUE(s.unknownCommands.isEmpty());
}

TEST(ScriptScanner, RemLinesRemBlocksAndTextAfterRemAreNotCode) {
    const ScriptScan s = scan("rem ObjectTemplate.addTemplate A\n"
                              "REM ObjectTemplate.addTemplate B\n"
                              "beginrem\nObjectTemplate.addTemplate C\nnotACommand.atAll\n"
                              "ENDREM\n"
                              "ObjectTemplate.addTemplate D rem ObjectTemplate.addTemplate E\n"
                              "ObjectTemplate.addTemplate Remy\n");
    ASSERT_EQ(s.references.size(), 2);
    EXPECT_EQ(s.references[0].name, "D");
    EXPECT_EQ(s.references[0].line, 7);
    EXPECT_EQ(s.references[1].name, "Remy");
    EXPECT_TRUE(s.unknownCommands.isEmpty());
}

TEST(ScriptScanner, UnclosedRemBlockRunsToTheEnd) {
    EXPECT_TRUE(scan("beginRem\nObjectTemplate.addTemplate X\n").references.isEmpty());
}

TEST(ScriptScanner, IncludeAndRunPathsUseSlashesAndRunAddsCon) {
    const ScriptScan s = scan("include ..\\common\\Tank.inc\r\nrun sub/Sounds\r\n"
                              "run Setup.con v_arg1\r\nrun ..\\dotted.dir\\name\r\ninclude\r\n");
    ASSERT_EQ(s.files.size(), 4);
    EXPECT_EQ(s.files[0].path, "../common/Tank.inc");
    EXPECT_FALSE(s.files[0].run);
    EXPECT_EQ(s.files[0].column, 8);
    EXPECT_EQ(s.files[1].path, "sub/Sounds.con");
    EXPECT_TRUE(s.files[1].run);
    EXPECT_EQ(s.files[2].path, "Setup.con");
    EXPECT_EQ(s.files[3].path, "../dotted.dir/name.con");
}

TEST(ScriptScanner, UnknownCommandsAreReportedOnceALine) {
    const ScriptScan s = scan("ObjectTemplate.setMaxSped 10\nObjectTemplate.SETMAXSPEED 10\n"
                              "var v_x\nif v_x == 1\nendIf\n  \n42 lonely numbers\n");
    ASSERT_EQ(s.unknownCommands.size(), 1);
    EXPECT_EQ(s.unknownCommands[0].command, "ObjectTemplate.setMaxSped");
    EXPECT_EQ(s.unknownCommands[0].line, 1);
}

TEST(ScriptScanner, LineEndsOfEveryKindCountLines) {
    const ScriptScan s = scan("a.b\r\n\rc.d\n\nObject.create X\r\n");
    ASSERT_EQ(s.references.size(), 1);
    EXPECT_EQ(s.references[0].line, 5);
}

TEST(ScriptScanner, SymbolAtFindsNamesPathsAndNothingInRemarks) {
    const QByteArray text = "ObjectTemplate.create Bundle Tank_Hull\r\n"
                            "ObjectTemplate.addTemplate Tank_Turret\r\n"
                            "run Sounds\r\n"
                            "beginRem\r\nObject.create Hidden\r\nendRem\r\n";
    ScriptSymbol at = symbolAt(text, 30, tables());
    EXPECT_EQ(at.kind, ScriptSymbol::Definition);
    EXPECT_EQ(at.name, "Tank_Hull");
    EXPECT_EQ(at.family, "ObjectTemplate");
    EXPECT_EQ(at.line, 1);
    at = symbolAt(text, 40 + 38, tables()); // just after the name
    EXPECT_EQ(at.kind, ScriptSymbol::Reference);
    EXPECT_EQ(at.name, "Tank_Turret");
    EXPECT_EQ(at.column, 27);
    at = symbolAt(text, 80 + 5, tables());
    EXPECT_EQ(at.kind, ScriptSymbol::File);
    EXPECT_EQ(at.name, "Sounds.con");
    EXPECT_EQ(symbolAt(text, 3, tables()).kind, ScriptSymbol::None); // on the command
    EXPECT_EQ(symbolAt(text, text.indexOf("Hidden"), tables()).kind, ScriptSymbol::None);
}

TEST(ScriptScanner, NameCompletionOnlyInTheNameArgumentOfAReference) {
    NameCompletion c;
    ASSERT_TRUE(nameCompletionAt("ObjectTemplate.addTemplate ", 27, tables(), c));
    EXPECT_EQ(c.family, "ObjectTemplate");
    EXPECT_EQ(c.prefix, "");
    EXPECT_EQ(c.start, 27);
    ASSERT_TRUE(nameCompletionAt("  objecttemplate.GEOMETRY Tank_ rest", 31, tables(), c));
    EXPECT_EQ(c.family, "GeometryTemplate");
    EXPECT_EQ(c.prefix, "Tank_");
    EXPECT_EQ(c.start, 26);
    ASSERT_TRUE(nameCompletionAt("ObjectTemplate.setTeamGeometry 1 Ta", 35, tables(), c));
    EXPECT_EQ(c.prefix, "Ta");
    EXPECT_FALSE(nameCompletionAt("ObjectTemplate.setTeamGeometry 1", 32, tables(), c));
    EXPECT_FALSE(nameCompletionAt("ObjectTemplate.addTemplate", 26, tables(), c));
    EXPECT_FALSE(nameCompletionAt("ObjectTemplate.addTemplate A B", 30, tables(), c));
    EXPECT_FALSE(nameCompletionAt("ObjectTemplate.create Bundle ", 29, tables(), c));
    EXPECT_FALSE(nameCompletionAt("rem ObjectTemplate.addTemplate ", 31, tables(), c));
}

TEST(CommandTable, LaterRulesReplaceEarlierOnesAndBadLinesNameTheirPlace) {
    CommandTable table;
    table.addRules("# remark\n\ndefine My.make MyThing 1\nrefer My.use MyThing 2\n"
                   "define my.MAKE MyThing 2 1\n");
    const CommandRule *make = table.rule("my.make");
    ASSERT_NE(make, nullptr);
    EXPECT_EQ(make->nameArgument, 2);
    EXPECT_EQ(make->typeArgument, 1);
    EXPECT_EQ(table.rule("my.use")->kind, CommandRule::Refer);
    EXPECT_TRUE(table.isKnown("my.use")); // a command with a rule exists
    try {
        table.addRules("define Only.two\n", "modcommands.txt");
        FAIL() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(e.text(), "modcommands.txt:1: not a command rule: define Only.two");
    }
    EXPECT_THROW(table.addRules("refer A.b Fam 0\n"), Error);
    EXPECT_THROW(table.addRules("call A.b Fam 1\n"), Error);
}

TEST(CommandTable, ShippedTablesHoldTheDefinitionsOfTheGame) {
    for (const char *command :
         {"objecttemplate.create", "objecttemplate.createnotingrid", "geometrytemplate.create",
          "aitemplate.create", "networkableinfo.createnewinfo",
          "animationstatemachine.createstate"}) {
        const CommandRule *rule = tables().rule(command);
        ASSERT_NE(rule, nullptr) << command;
        EXPECT_EQ(rule->kind, CommandRule::Define) << command;
    }
    EXPECT_TRUE(tables().isKnown("objecttemplate.setmaxspeed"));
    EXPECT_FALSE(tables().isKnown("geometriytemplate.setloddistance"));
}

TEST(CommandTable, AReferMayNameSeveralFamiliesAndAKnownLineMayCoverAWholeObject) {
    CommandTable table;
    table.addRules("refer Thing.use FamA FamB 2\n");
    const CommandRule *use = table.rule("thing.use");
    ASSERT_NE(use, nullptr);
    EXPECT_EQ(use->families, (QByteArrayList{"FamA", "FamB"}));
    EXPECT_EQ(use->family, "FamA");
    EXPECT_EQ(use->nameArgument, 2);
    EXPECT_THROW(table.addRules("refer Thing.use FamA FamB\n"), Error);
    table.addKnownCommands("Score.*\n");
    EXPECT_TRUE(table.isKnown("score.setkillpoints"));
    EXPECT_FALSE(table.isKnown("score."));
    EXPECT_FALSE(table.isKnown("scoremanager.x"));
    // The console commands real mods use.
    for (const char *command :
         {"echo", "game.addmodpath", "renderer.playbink", "scoremanager.setkillpoints"})
        EXPECT_TRUE(tables().isKnown(command)) << command;
}
