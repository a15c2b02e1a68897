// A combo box filled or set in code keeps no selection and runs no handler,
// unlike Qt's own setters.

#include "platform/Application.h"
#include "platform/Controls.h"

#include <QComboBox>
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

}  // namespace
