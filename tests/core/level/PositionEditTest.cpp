#include "core/level/PositionEdit.h"

#include <gtest/gtest.h>

using namespace marlix;

namespace {

QByteArray applied(QByteArray script, const ByteEdit &edit) {
    return script.replace(edit.start, edit.end - edit.start, edit.text);
}

const QByteArray Script = "rem the barn\r\n"
                          "Object.create Barn\r\n"
                          "  Object.absolutePosition\t100.50/30.25/200 rem moved by hand\r\n"
                          "Object.rotation 90/0/0\r\n"
                          "Object.create Pine\r\n"
                          "Object.rotation 0/0/0\r\n"
                          "Object.create Rock\r\n"
                          "Object.absolutePosition -5.1/2/7.25\n";

} // namespace

TEST(PositionEdit, OnlyXAndZChangeAndKeepTheirDecimals) {
    const ByteEdit edit = positionEdit(Script, 2, 321.456, 987.5);
    ASSERT_TRUE(edit.isValid());
    QByteArray expected = Script;
    expected.replace("100.50/30.25/200", "321.46/30.25/988");
    EXPECT_EQ(applied(Script, edit), expected);

    const ByteEdit last = positionEdit(Script, 7, -0.001, 12);
    ASSERT_TRUE(last.isValid());
    expected = Script;
    expected.replace("-5.1/2/7.25", "0.0/2/12.00");
    EXPECT_EQ(applied(Script, last), expected);
}

TEST(PositionEdit, RefusesLinesThatPlaceNothingMovable) {
    // The pine has no position of its own: the rock's below it is not the pine's.
    EXPECT_FALSE(positionEdit(Script, 5, 1, 1).isValid());
    EXPECT_FALSE(positionEdit(Script, 3, 1, 1).isValid()); // not an Object.create line
    EXPECT_FALSE(positionEdit(Script, 1, 1, 1).isValid()); // a remark
    EXPECT_FALSE(positionEdit(Script, 99, 1, 1).isValid());
    // The text changed since the line was read: another object stands there now.
    EXPECT_FALSE(positionEdit(Script, 7, 1, 1, "Barn").isValid());
    EXPECT_TRUE(positionEdit(Script, 7, 1, 1, "ROCK").isValid());
    EXPECT_FALSE(positionEdit("Object.create A\nObject.absolutePosition 1/2\n", 1, 1, 1).isValid());
    EXPECT_FALSE(
        positionEdit("Object.create A\nObject.absolutePosition a/2/3\n", 1, 1, 1).isValid());
    // A position inside a remark block is no position.
    EXPECT_FALSE(positionEdit("Object.create A\nbeginRem\nObject.absolutePosition 1/2/3\n"
                              "endRem\n",
                              1, 5, 5)
                     .isValid());
}
