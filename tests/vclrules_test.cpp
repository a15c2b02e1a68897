// Which setters run the windows' handlers: the windows rely on these rules
// (setting a control in code behaves as a user's change would, except for a
// combo box's item index), so each is pinned here against Qt.

#include "platform/Application.h"
#include "platform/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace {

TEST(VclRulesTest, SettingAnEditCheckBoxOrRadioButtonInCodeRunsItsHandlerOnlyOnAChange) {
    // An edit's change handler: the recalculation trigger sets empty, then back.
    QLineEdit edit;
    QStringList changes;
    QObject::connect(&edit, &QLineEdit::textChanged, [&](const QString& t) { changes << t; });
    for (const char* text : {"20%", "20%", "", "20%"}) edit.setText(text);
    EXPECT_EQ(changes, QStringList({"20%", "", "20%"}));

    // A check box's click handler runs through toggled, not clicked; a user's
    // click reaches toggled as well, so one connection serves both.
    QCheckBox box("платено");
    QSignalSpy toggled(&box, &QCheckBox::toggled);
    QSignalSpy clicked(&box, &QCheckBox::clicked);
    for (bool checked : {true, true, false}) box.setChecked(checked);
    EXPECT_EQ(toggled.count(), 2);
    EXPECT_EQ(clicked.count(), 0);
    box.click();
    EXPECT_EQ(toggled.count(), 3);
    EXPECT_TRUE(box.isChecked());

    // Checking a radio button runs its handler and its neighbour's.
    QWidget parent;
    QRadioButton local("локално", &parent), remote("сървър", &parent);
    local.setChecked(true);
    QSignalSpy localToggled(&local, &QRadioButton::toggled);
    QSignalSpy remoteToggled(&remote, &QRadioButton::toggled);
    remote.setChecked(true);
    EXPECT_EQ(remoteToggled.count(), 1);
    EXPECT_EQ(localToggled.count(), 1);
    EXPECT_FALSE(local.isChecked());
}

TEST(VclRulesTest, CombosAreFilledAndSetInCodeWithoutSelectionOrHandler) {
    const QStringList methods = {"по сметка", "в брой", "с карта"};
    QComboBox plain;
    QSignalSpy changed(&plain, &QComboBox::currentIndexChanged);
    plain.addItems(methods);
    EXPECT_EQ(plain.currentIndex(), 0);  // Qt's own behaviour, which the windows must not see
    EXPECT_EQ(changed.count(), 1);

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
        // Qt's own setter would have run the handler.
        combo.setCurrentIndex(0);
        EXPECT_EQ(index.count(), 1);
    }
}

}  // namespace
