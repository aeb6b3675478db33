#include "ui/Widgets.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace kadenzo;

namespace {

TEST(UpDown, StepsTheBuddysNumberWithinItsRangeAsPlainDigits) {
    QLineEdit edit("1");
    UpDown spin;
    spin.setBuddy(&edit);
    spin.setRange(1, 32767);
    spin.setPosition(1);

    spin.stepDown();
    EXPECT_EQ(edit.text(), "1") << "no wrap below the minimum";
    edit.setText("999");
    spin.stepUp();
    EXPECT_EQ(edit.text(), "1000") << "no thousands separator";
    edit.setText("45000");
    spin.stepUp();
    EXPECT_EQ(edit.text(), "32767") << "a typed number above the range comes back to it";
    edit.setText("");
    spin.stepUp();
    EXPECT_EQ(edit.text(), "32767") << "without a number the position is used";

    spin.setEnabled(false);
    edit.setText("5");
    spin.stepUp();
    EXPECT_EQ(edit.text(), "5") << "a disabled spin button does nothing";
}

TEST(KeyPress, FiltersCharactersAndLetsEditingKeysThrough) {
    QLineEdit edit;
    std::vector<char16_t> seen;
    installKeyPress(&edit, [&](char16_t& key) {
        seen.push_back(key);
        if (key != 8 && (key < '0' || key > '9'))
            key = 0;
    });
    edit.show();
    QTest::keyClicks(&edit, "1a2");
    EXPECT_EQ(edit.text(), "12");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "1");
    EXPECT_EQ(seen, (std::vector<char16_t>{'1', 'a', '2', 8}));

    // Delete and the arrows are no characters: the filter never sees them. X11 gives
    // Delete the text 0x7f, which must not be taken for a character to discard.
    edit.setText("123");
    edit.setCursorPosition(0);
    seen.clear();
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
    QApplication::sendEvent(&edit, &del);
    EXPECT_EQ(edit.text(), "23");
    QTest::keyClick(&edit, Qt::Key_Right);
    EXPECT_TRUE(seen.empty());
}

} // namespace
