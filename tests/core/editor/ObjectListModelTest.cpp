#include "core/document/ObjectListModel.h"
#include "core/script/Windows1252.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

QString shown(const ObjectListModel &model, int row, int column) {
    return model.index(row, column).data().toString();
}

} // namespace

TEST(ObjectListModel, RowsOfTheTextAndNoneWithoutObjects) {
    ObjectListModel model;
    EXPECT_EQ(model.rowCount(), 0); // before any fill
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Object Type"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Object Name"));

    const QByteArray text = "ObjectTemplate.create Vehicle Scout\r\n"
                            "rem\r\n"
                            "objecttemplate.create Weapon ScoutCannon\r\n";
    const std::optional<ObjectLine> last = model.fill(TextView::whole(text));
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(shown(model, 0, 0), QStringLiteral("Vehicle "));
    EXPECT_EQ(shown(model, 0, 1), QStringLiteral("Scout"));
    EXPECT_EQ(shown(model, 1, 0), QStringLiteral("Weapon "));
    EXPECT_EQ(model.index(1, 1).data(Qt::EditRole).toString(), QStringLiteral("ScoutCannon"));
    ASSERT_TRUE(last);
    EXPECT_EQ(text.mid(last->textStart, last->lineEnd - last->textStart), "Weapon ScoutCannon");
    // The type column can be neither selected nor edited.
    EXPECT_EQ(model.index(0, 0).flags(), Qt::ItemIsEnabled);
    EXPECT_TRUE(model.index(0, 1).flags() & Qt::ItemIsEditable);

    // A list with a blank row offered a name that finds no line.
    EXPECT_FALSE(model.fill(TextView::whole(QByteArray("no objects"))));
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.cellBytes(0, 1), QByteArray());
}

TEST(ObjectListModel, EditsStayInTheirCellUntilTheNextFill) {
    ObjectListModel model;
    const QByteArray text = "objecttemplate.create Vehicle Scout\nobjecttemplate.create Wheel";
    model.fill(TextView::whole(text));
    int changes = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&] { ++changes; });

    EXPECT_TRUE(model.setData(model.index(0, 1), QStringLiteral("Renamed")));
    EXPECT_EQ(shown(model, 0, 1), QStringLiteral("Renamed"));
    EXPECT_EQ(model.cellBytes(0, 1), "Renamed");
    EXPECT_EQ(model.cellBytes(0, 0), "Vehicle ");
    EXPECT_EQ(shown(model, 1, 1), QStringLiteral("Wheel"));
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(model.setData(model.index(0, 1), QStringLiteral("Renamed")));
    EXPECT_EQ(changes, 1); // the same text again changes nothing

    // A Windows-1252 character is searched as its byte; one that no byte stands for as '?'.
    model.setData(model.index(1, 1), QStringLiteral("Wh\u20ACel"));
    EXPECT_EQ(shown(model, 1, 1), QStringLiteral("Wh\u20ACel"));
    EXPECT_EQ(model.cellBytes(1, 1), "Wh\x80"
                                     "el");
    model.setData(model.index(1, 1), QStringLiteral("Wh\u0416el"));
    EXPECT_EQ(model.cellBytes(1, 1), "Wh?el");

    model.fill(TextView::whole(text));
    EXPECT_EQ(shown(model, 0, 1), QStringLiteral("Scout"));
    EXPECT_EQ(shown(model, 1, 1), QStringLiteral("Wheel"));

    // A text without objects has no row to edit.
    model.fill(TextView::whole(QByteArray("rem")));
    EXPECT_FALSE(model.setData(model.index(0, 1), QStringLiteral("beyond the rows")));
}

TEST(ObjectListModel, EveryByteValueComesBackForTheSearch) {
    QByteArray name;
    for (int b = 0x80; b <= 0xFF; ++b)
        name.append(char(b));
    ObjectListModel model;
    model.fill(TextView::whole("objecttemplate.create T " + name));
    EXPECT_EQ(shown(model, 0, 1), windows1252Text(name));
    EXPECT_EQ(model.cellBytes(0, 1), name);
    // A name typed back as shown finds the same bytes.
    model.setData(model.index(0, 1), windows1252Text(name) + QStringLiteral(" "));
    EXPECT_EQ(model.cellBytes(0, 1), name + ' ');
}

// Each row's name is the rest of its line: a copy per row grew with the square of the line.
TEST(ObjectListModel, KeywordsSharingALineKeepThatLineOnce) {
    const QByteArray line = "objecttemplate.create A b objecttemplate.create C d "
                            "objecttemplate.create E f";
    ObjectListModel model;
    model.fill(TextView::whole("x\n" + line + "\nobjecttemplate.create G h"));
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.cellBytes(0, 0), "A ");
    EXPECT_EQ(model.cellBytes(0, 1), "b objecttemplate.create C d objecttemplate.create E f");
    EXPECT_EQ(model.cellBytes(1, 0), "C ");
    EXPECT_EQ(model.cellBytes(1, 1), "d objecttemplate.create E f");
    EXPECT_EQ(model.cellBytes(2, 0), "E ");
    EXPECT_EQ(model.cellBytes(2, 1), "f");
    EXPECT_EQ(model.cellBytes(3, 1), "h");
    EXPECT_EQ(model.storedBytes(), line.size() - 22 + 3);

    QByteArray many;
    for (int i = 0; i < 5000; ++i)
        many += "objecttemplate.create T n" + QByteArray::number(i) + ' ';
    model.fill(TextView::whole(many));
    EXPECT_EQ(model.rowCount(), 5000);
    EXPECT_EQ(model.cellBytes(4999, 1), "n4999 ");
    EXPECT_LE(model.storedBytes(), many.size());
}

// A name that is the rest of a megabyte line kept the view laying out text for seconds.
TEST(ObjectListModel, AVeryLongNameIsShownShortButEditedAndSearchedWhole) {
    const QByteArray name = QByteArray(300000, 'n');
    ObjectListModel model;
    model.fill(TextView::whole("objecttemplate.create T " + name));
    const QString shownName = shown(model, 0, 1);
    EXPECT_LT(shownName.size(), 2000);
    EXPECT_TRUE(QString::fromLatin1(name).startsWith(shownName));
    EXPECT_EQ(model.index(0, 1).data(Qt::EditRole).toString().size(), name.size());
    EXPECT_EQ(model.cellBytes(0, 1), name);
}
