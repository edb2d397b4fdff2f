// The tables shipped beside the program must load in a fresh program folder: complete groups
// of three, valid integers and colours, and every completion file present and non-empty.
#include "core/common/ColorText.h"
#include "core/common/IntText.h"
#include "core/common/LineFile.h"

#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>

using namespace marlix;

namespace {
const QString dataDir = QStringLiteral(MARLIX_SOURCE_DIR "/data/");
}

TEST(DefaultTables, IntellisenseEntriesNameExistingCompletionFiles) {
    const QStringList lines = readTextLines(dataDir + "intellisense.ini");
    ASSERT_GT(lines.size(), 0);
    EXPECT_EQ(lines.size() % 3, 0);
    QSet<QString> triggers;
    for (qsizetype i = 0; i + 2 < lines.size(); i += 3) {
        EXPECT_FALSE(lines[i].isEmpty());
        EXPECT_FALSE(triggers.contains(lines[i].toLower())) << lines[i].toStdString();
        triggers.insert(lines[i].toLower());
        EXPECT_TRUE(parseInt(lines[i + 2]).has_value());
        const QFileInfo file(dataDir + lines[i + 1]);
        EXPECT_TRUE(file.isFile()) << lines[i + 1].toStdString();
        EXPECT_FALSE(readLines(file.filePath()).isEmpty()) << lines[i + 1].toStdString();
    }
    EXPECT_TRUE(triggers.contains("objecttemplate."));
}

TEST(DefaultTables, HighlightingEntriesAreValid) {
    const QStringList lines = readTextLines(dataDir + "highlighting.ini");
    ASSERT_GT(lines.size(), 0);
    EXPECT_EQ(lines.size() % 3, 0);
    bool remToEndOfLine = false;
    for (qsizetype i = 0; i + 2 < lines.size(); i += 3) {
        EXPECT_FALSE(lines[i].isEmpty());
        const std::optional<int> style = parseInt(lines[i + 1]);
        ASSERT_TRUE(style.has_value()) << lines[i + 1].toStdString();
        EXPECT_NO_THROW(StringToColor(lines[i + 2])) << lines[i + 2].toStdString();
        if (lines[i] == "rem" && *style == 1)
            remToEndOfLine = true;
    }
    EXPECT_TRUE(remToEndOfLine);
    // The comment entry comes last so that it paints over keywords inside comments.
    EXPECT_EQ(lines[lines.size() - 3], QStringLiteral("rem"));
}
