// Which setters run the windows' handlers: the windows rely on these rules
// (setting a control in code behaves as a user's change would, except for a
// combo box's item index), so each is pinned here against Qt.

#include "platform/Application.h"
#include "platform/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace {

class VclRulesTest : public ::testing::Test {
protected:
};

TEST_F(VclRulesTest, SettingAnEditsTextRunsItsChangeHandlerOnlyWhenTheTextChanges) {
    QLineEdit edit;
    QStringList changes;
    QObject::connect(&edit, &QLineEdit::textChanged, [&](const QString& t) { changes << t; });
    edit.setText("20%");
    edit.setText("20%");
    // The recalculation trigger: empty, then back.
    edit.setText("");
    edit.setText("20%");
    EXPECT_EQ(changes, QStringList({"20%", "", "20%"}));
}

TEST_F(VclRulesTest, SettingACheckBoxRunsItsClickHandlerThroughToggledNotClicked) {
    QCheckBox box("платено");
    QSignalSpy toggled(&box, &QCheckBox::toggled);
    QSignalSpy clicked(&box, &QCheckBox::clicked);
    box.setChecked(true);
    box.setChecked(true);
    box.setChecked(false);
    EXPECT_EQ(toggled.count(), 2);
    EXPECT_EQ(clicked.count(), 0);
    // A user's click reaches toggled as well, so one connection serves both.
    box.click();
    EXPECT_EQ(toggled.count(), 3);
    EXPECT_TRUE(box.isChecked());
}

TEST_F(VclRulesTest, CheckingARadioButtonRunsItsHandlerAndUnchecksItsNeighbour) {
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

TEST_F(VclRulesTest, AClickInCodeRunsTheButtonsClickHandler) {
    QPushButton button("Нов Документ");
    QSignalSpy clicked(&button, &QPushButton::clicked);
    button.click();
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(VclRulesTest, QtJumpsToTheFirstItemWhenAComboIsFilledButTheHelperKeepsNoSelection) {
    const QStringList methods = {"по сметка", "в брой", "с карта"};
    {
        QComboBox plain;
        QSignalSpy changed(&plain, &QComboBox::currentIndexChanged);
        plain.addItems(methods);
        EXPECT_EQ(plain.currentIndex(), 0);  // Qt's own behaviour, which the windows must not see
        EXPECT_EQ(changed.count(), 1);
    }
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
        EXPECT_EQ(index.count() + text.count() + edit.count(), 0) << editable;
    }
}

TEST_F(VclRulesTest, SettingAComboIndexInCodeRunsNoHandlerButShowsTheItem) {
    for (bool editable : {false, true}) {
        QComboBox combo;
        combo.setEditable(editable);
        platform::FillComboKeepingNoSelection(&combo, {"ФАКТУРА", "ПРОФОРМА"});
        QSignalSpy index(&combo, &QComboBox::currentIndexChanged);
        QSignalSpy text(&combo, &QComboBox::currentTextChanged);
        QSignalSpy edit(&combo, &QComboBox::editTextChanged);
        platform::SetComboIndexSilently(&combo, 1);
        EXPECT_EQ(combo.currentIndex(), 1);
        EXPECT_EQ(combo.currentText(), "ПРОФОРМА");
        platform::SetComboIndexSilently(&combo, -1);
        EXPECT_EQ(combo.currentIndex(), -1);
        EXPECT_EQ(index.count() + text.count() + edit.count(), 0) << editable;
        // Qt's own setter would have run the handler.
        combo.setCurrentIndex(0);
        EXPECT_EQ(index.count(), 1);
    }
}

}  // namespace
