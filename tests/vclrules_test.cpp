// A combo box filled or set in code keeps no selection and runs no handler,
// unlike Qt's own setters. Enter and Escape click a window's default and
// cancel buttons; a window is kept inside the screen's free area.

#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace {

TEST(VclRulesTest, CombosAreFilledAndSetInCodeWithoutSelectionOrHandler) {
    const QStringList methods = {"по сметка", "в брой", "с карта"};
    for (bool editable : {false, true}) {
        QComboBox combo;
        combo.setEditable(editable);
        combo.addItem("стар");
        if (editable) combo.setEditText("написано");
        QSignalSpy index(&combo, &QComboBox::currentIndexChanged);
        QSignalSpy text(&combo, &QComboBox::currentTextChanged);
        QSignalSpy edit(&combo, &QComboBox::editTextChanged);
        platform::FillComboKeepingNoSelection(&combo, methods);
        EXPECT_EQ(combo.currentIndex(), -1) << editable;
        EXPECT_EQ(combo.count(), 3);
        EXPECT_EQ(combo.itemText(2), "с карта");
        EXPECT_EQ(combo.currentText(), editable ? "написано" : "") << editable;

        // Setting the index in code shows the item but runs no handler.
        platform::SetComboIndexSilently(&combo, 1);
        EXPECT_EQ(combo.currentIndex(), 1);
        EXPECT_EQ(combo.currentText(), "в брой");
        platform::SetComboIndexSilently(&combo, -1);
        EXPECT_EQ(combo.currentIndex(), -1);
        EXPECT_EQ(index.count() + text.count() + edit.count(), 0) << editable;
    }
}

TEST(VclRulesTest, EnterClicksTheDefaultButtonAndEscapeTheCancelButton) {
    using platform::ButtonForKey;
    QWidget window;
    QPushButton ok("OK", &window), cancel("Cancel", &window), other("Нов запис", &window);
    QLineEdit edit(&window);
    QCheckBox box(&window);
    window.show();
    EXPECT_EQ(ButtonForKey(Qt::Key_Return, Qt::NoModifier, &edit, &ok, &cancel), &ok);
    EXPECT_EQ(ButtonForKey(Qt::Key_Enter, Qt::KeypadModifier, &box, &ok, &cancel), &ok);
    EXPECT_EQ(ButtonForKey(Qt::Key_Return, Qt::NoModifier, &other, &ok, &cancel), &other);  // a push button with the focus
    EXPECT_EQ(ButtonForKey(Qt::Key_Escape, Qt::NoModifier, &other, &ok, &cancel), &cancel);
    EXPECT_EQ(ButtonForKey(Qt::Key_Escape, Qt::NoModifier, &edit, &ok, nullptr), nullptr);
    EXPECT_EQ(ButtonForKey(Qt::Key_Return, Qt::ControlModifier, &edit, &ok, &cancel), nullptr);
    EXPECT_EQ(ButtonForKey(Qt::Key_Escape, Qt::ShiftModifier, &edit, &ok, &cancel), nullptr);
    EXPECT_EQ(ButtonForKey(Qt::Key_Tab, Qt::NoModifier, &edit, &ok, &cancel), nullptr);
    ok.setEnabled(false);  // a disabled or hidden button is not clicked
    cancel.hide();
    EXPECT_EQ(ButtonForKey(Qt::Key_Return, Qt::NoModifier, &edit, &ok, &cancel), nullptr);
    EXPECT_EQ(ButtonForKey(Qt::Key_Escape, Qt::NoModifier, &edit, &ok, &cancel), nullptr);
}

TEST(VclRulesTest, AWindowIsKeptInsideTheScreensFreeArea) {
    using platform::KeepInside;
    const QRect area(0, 0, 1366, 740);
    EXPECT_EQ(KeepInside(QRect(100, 40, 450, 560), area), QRect(100, 40, 450, 560));  // it fits where it is
    EXPECT_EQ(KeepInside(QRect(300, 300, 450, 560), area), QRect(300, 180, 450, 560));  // up as far as it takes
    EXPECT_EQ(KeepInside(QRect(1200, -10, 450, 100), area), QRect(916, 0, 450, 100));
    EXPECT_EQ(KeepInside(QRect(50, 50, 2000, 900), area).topLeft(), QPoint(0, 0));  // larger: its top left inside
}

}  // namespace
