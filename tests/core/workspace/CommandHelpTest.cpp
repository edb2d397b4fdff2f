#include "core/workspace/CommandHelp.h"

#include "core/common/LineFile.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifndef MARLIX_SOURCE_DIR
#error "the shipped table is read from the source tree"
#endif

using namespace marlix;

TEST(CommandHelpTest, ReadsCommandArgumentsAndExplanation) {
    const CommandHelp help = CommandHelp::parse(
        "# a remark\r\n"
        "\r\n"
        "ObjectTemplate.setPosition   x/y/z |  Where the part sits.  \r\n"
        "ObjectTemplate.setObjectTemplate team template|Which vehicle a spawner makes.\n"
        "Game.serverName\n");
    EXPECT_EQ(help.size(), 3);
    const CommandHelpEntry *entry = help.find("objecttemplate.SETPOSITION");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->command, "ObjectTemplate.setPosition");
    EXPECT_EQ(entry->arguments, QByteArrayList{"x/y/z"});
    EXPECT_EQ(entry->explanation, "Where the part sits.");
    entry = help.find("ObjectTemplate.setObjectTemplate");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->arguments, (QByteArrayList{"team", "template"}));
    entry = help.find("game.servername");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->arguments.isEmpty());
    EXPECT_TRUE(entry->explanation.isEmpty());
    EXPECT_EQ(help.find("ObjectTemplate.setPositio"), nullptr);
}

TEST(CommandHelpTest, ALaterLineForTheSameCommandWins) {
    const CommandHelp help = CommandHelp::parse("Object.create name | shipped\n"
                                                "OBJECT.CREATE template | mine\n");
    ASSERT_EQ(help.size(), 1);
    EXPECT_EQ(help.find("object.create")->explanation, "mine");
    EXPECT_EQ(help.find("object.create")->arguments, QByteArrayList{"template"});
}

TEST(CommandHelpTest, DamagedLinesAreSkipped) {
    QByteArray bytes = "| no command\n"
                       "   \t \n";
    bytes += "Bad.nul a" + QByteArray(1, '\0') + "b | x\n";
    bytes += "Too.long " + QByteArray(2000, 'a') + "\n";
    bytes += "Good.one a | fine\n";
    const CommandHelp help = CommandHelp::parse(bytes);
    EXPECT_EQ(help.size(), 1);
    EXPECT_NE(help.find("good.one"), nullptr);
}

TEST(CommandHelpTest, AMissingFileOrAFolderGivesAnEmptyTable) {
    QTemporaryDir dir;
    EXPECT_EQ(CommandHelp::fromFile(dir.filePath("none.txt")).size(), 0);
    EXPECT_EQ(CommandHelp::fromFile(dir.path()).size(), 0);
}

// The shipped table: at least 200 commands, each one the mod check knows and each explained.
TEST(CommandHelpTest, TheShippedTableExplainsKnownCommands) {
    const QByteArray table =
        readJoinedLines(QStringLiteral(MARLIX_SOURCE_DIR "/data/commandhelp.txt"));
    const CommandHelp help = CommandHelp::parse(table);
    EXPECT_GE(help.size(), 200);
    QSet<QByteArray> known;
    for (const QByteArray &line :
         readLines(QStringLiteral(MARLIX_SOURCE_DIR "/data/knowncommands.txt")))
        known.insert(line.trimmed().toLower());
    QStringList unknown, unexplained;
    for (const QByteArray &line : splitLines(table)) {
        const QByteArray command = line.trimmed().split(' ').first().split('|').first();
        if (command.isEmpty() || command.startsWith('#'))
            continue;
        if (!known.contains(command.toLower()))
            unknown.append(QString::fromLatin1(command));
        if (help.find(command)->explanation.isEmpty())
            unexplained.append(QString::fromLatin1(command));
    }
    EXPECT_TRUE(unknown.isEmpty()) << qPrintable(unknown.join(QLatin1Char(' ')));
    EXPECT_TRUE(unexplained.isEmpty()) << qPrintable(unexplained.join(QLatin1Char(' ')));
    const CommandHelpEntry *spawner = help.find("ObjectTemplate.setObjectTemplate");
    ASSERT_NE(spawner, nullptr);
    EXPECT_EQ(spawner->arguments, (QByteArrayList{"team", "template"}));
}

TEST(CommandPlaceTest, FindsTheCommandAndTheArgumentAtTheCaret) {
    CommandPlace place;
    const QByteArray line = "  ObjectTemplate.setObjectTemplate 2 sherman";
    ASSERT_TRUE(commandPlaceAt(line, 10, place));
    EXPECT_EQ(place.command, "ObjectTemplate.setObjectTemplate");
    EXPECT_EQ(place.commandStart, 2);
    EXPECT_EQ(place.commandEnd, 34);
    EXPECT_EQ(place.argument, -1);
    ASSERT_TRUE(commandPlaceAt(line, 34, place));
    EXPECT_EQ(place.argument, -1); // just after the command, before its blank
    ASSERT_TRUE(commandPlaceAt(line, 35, place));
    EXPECT_EQ(place.argument, 0); // after the blank: the first argument's place
    ASSERT_TRUE(commandPlaceAt(line, 36, place));
    EXPECT_EQ(place.argument, 0);
    ASSERT_TRUE(commandPlaceAt(line, 37, place));
    EXPECT_EQ(place.argument, 1);
    ASSERT_TRUE(commandPlaceAt(line, int(line.size()), place));
    EXPECT_EQ(place.argument, 1);
    ASSERT_TRUE(commandPlaceAt(line + "  ", int(line.size()) + 2, place));
    EXPECT_EQ(place.argument, 2);
}

TEST(CommandPlaceTest, RemarksAndEmptyLinesHaveNoCommand) {
    CommandPlace place;
    EXPECT_FALSE(commandPlaceAt("", 0, place));
    EXPECT_FALSE(commandPlaceAt("   \t", 3, place));
    EXPECT_FALSE(commandPlaceAt("rem ObjectTemplate.create a b", 20, place));
    EXPECT_FALSE(commandPlaceAt("REM", 3, place));
    EXPECT_FALSE(commandPlaceAt("  Object.create", 1, place)); // caret before the command
    const QByteArray inline_ = "Object.create Tank rem the tank";
    ASSERT_TRUE(commandPlaceAt(inline_, 16, place));
    EXPECT_EQ(place.argument, 0);
    EXPECT_FALSE(commandPlaceAt(inline_, int(inline_.size()), place));
    // A column past the end counts as the end.
    ASSERT_TRUE(commandPlaceAt("Object.create ", 500, place));
    EXPECT_EQ(place.argument, 0);
}
