// Users and login: the login window's two states, registering, logging in,
// deleting a user, working without passwords, and the main window's gate as
// users come and go.

#include "app/Program.h"
#include "app/MainWindow.h"
#include "data/PasswordShift.h"
#include "data/DataModule.h"
#include "data/Login.h"
#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "platform/Paths.h"
#include "registers/DocumentRegister.h"
#include "support/programtest.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <tuple>

namespace {

using platform::DialogKind;
using platform::Path;
using platform::PathKind;

class Login : public testsupport::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Start();
        ASSERT_TRUE(DataModule1->user.Active());
    }

    QString Marker() const { return Path(PathKind::NoPasswordMarker); }

    // The main window's "Документи": true when the register opened.
    bool GuardedCommandRuns() {
        Sort->Close();
        Form9->Close();
        Main->ReportBtn->click();
        EXPECT_NE(Sort->isVisible(), Form9->isVisible());
        return Sort->isVisible();
    }

    void OpenLoginWindow() {
        Form9->Close();
        Main->N3->trigger();
        ASSERT_TRUE(Form9->isVisible());
    }
    void Type(const QString& name, const QString& password) {
        Form9->ComboBox1->setEditText(name);
        Form9->Edit2->setText(password);
    }
    // Opens the window from the menu, types and presses its first button.
    void Submit(const QString& name, const QString& password) {
        OpenLoginWindow();
        Type(name, password);
        Form9->BitBtn1->click();
    }

    bool InLoginState() const {
        return Form9->BitBtn1->text() == "Вход" && Form9->BitBtn2->isHidden() && Form9->BitBtn3->isHidden();
    }
    bool InRegistrationState() const {
        return Form9->BitBtn1->text() == "Регистрация" && !Form9->BitBtn2->isHidden();
    }
    QStringList Users() const { return testsupport::QueryRows(defaultFile, "select us from userp"); }
};

TEST_F(Login, TheWindowOpensCentredOnTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(Form9->pos(), QPoint(screen.x() + (screen.width() - Form9->width()) / 2,
                                   screen.y() + (screen.height() - Form9->height()) / 2));
}

TEST_F(Login, NotWantingPasswordsWritesTheMarkerAndOpensTheGate) {
    OpenLoginWindow();
    // Without users the window registers, with all three buttons.
    EXPECT_TRUE(InRegistrationState());
    EXPECT_FALSE(Form9->BitBtn3->isHidden());
    {
        // The installation folder is a plain file here: nothing can be made in it.
        testsupport::WriteFile(home.File("not-a-folder"), "x");
        platform::SetPathOverride(PathKind::InstallFolder, home.File("not-a-folder"));
        platform::ScriptedDialogs dialogs;
        Form9->BitBtn3->click();
        EXPECT_TRUE(Form9->isVisible());
        ASSERT_TRUE(testsupport::ShownOnceWith(dialogs, "bezparola.txt"));
        EXPECT_EQ(dialogs.Shown()[0].kind, DialogKind::Exception);
    }
    platform::SetPathOverride(PathKind::InstallFolder, home.Path());
    testsupport::WriteFile(Marker(), "old contents");
    OpenLoginWindow();
    Form9->BitBtn3->click();
    EXPECT_FALSE(Form9->isVisible());
    ASSERT_TRUE(QFile::exists(Marker()));
    EXPECT_EQ(testsupport::ReadFile(Marker()), QByteArray());
    EXPECT_TRUE(GuardedCommandRuns());
    EXPECT_TRUE(Users().isEmpty());
}

TEST_F(Login, RegisteringTheFirstUserStoresTheShiftedPasswordAndRemovesTheMarker) {
    testsupport::WriteFile(Marker(), "");
    Submit("Иван", "жZ9");
    EXPECT_FALSE(Form9->isVisible());
    EXPECT_FALSE(QFile::exists(Marker()));
    EXPECT_EQ(Users(), QStringList{"Иван"});

    DataModule1->user.Refresh();
    DataModule1->user.SetRecNo(1);
    EXPECT_EQ(DataModule1->user.FieldByName("pas").AsBytes(), data::StoredPassword("жZ9"));
    EXPECT_FALSE(DataModule1->user.FieldByName("pnom").AsString().isEmpty());

    // Registering does not log the new user in.
    EXPECT_TRUE(Form9->LoggedUser.isEmpty());
    EXPECT_FALSE(GuardedCommandRuns());
    EXPECT_TRUE(InLoginState());
    EXPECT_EQ(Form9->ComboBox1->count(), 1);
    EXPECT_EQ(Form9->ComboBox1->itemText(0), "Иван");
    EXPECT_EQ(Form9->ComboBox1->currentText(), "");
}

TEST_F(Login, LoggingInChecksNameAndPasswordExactlyAgainstTheFirstUserOfThatName) {
    Submit("Иван", "Тайна1");
    struct Attempt {
        QString name, password;
        bool ok;
    };
    const std::vector<Attempt> attempts = {
        {"Иван", "тайна1", false},  // the same letters in another case
        {"иван", "Тайна1", false},  // names too are compared exactly
        {"Иван ", "Тайна1", false},
        {"Петър", "Тайна1", false},
        {"Иван", "", false},
        {"Иван", "Тайна1", true},
    };
    for (const Attempt& a : attempts) {
        SCOPED_TRACE((a.name + " / " + a.password).toStdString());
        platform::ScriptedDialogs dialogs;
        OpenLoginWindow();
        ASSERT_TRUE(InLoginState());
        Type(a.name, a.password);
        QTest::keyClick(Form9->Edit2, Qt::Key_Return);  // Enter after the password presses "Вход"
        EXPECT_EQ(Form9->isVisible(), !a.ok);
        EXPECT_EQ(Form9->LoggedUser, a.ok ? "Иван" : "");
        if (a.ok) {
            EXPECT_TRUE(dialogs.Shown().empty());
            EXPECT_EQ(Form9->LoggedPassword, "Тайна1");
        } else {
            ASSERT_EQ(testsupport::ShownText(dialogs), "Грешно име или парола.");
            EXPECT_EQ(dialogs.Shown()[0].kind, DialogKind::Message);
            // The window keeps what was typed.
            EXPECT_EQ(Form9->ComboBox1->currentText(), a.name);
            EXPECT_EQ(Form9->Edit2->text(), a.password);
        }
    }
    EXPECT_TRUE(GuardedCommandRuns());

    // Of two users with one name only the first is tried.
    Submit("Иван", "втора");
    ASSERT_EQ(Users(), QStringList({"Иван", "Иван"}));
    Main->N11->trigger();
    platform::ScriptedDialogs dialogs;
    Submit("Иван", "втора");
    EXPECT_TRUE(Form9->isVisible());
    EXPECT_TRUE(Form9->LoggedUser.isEmpty());
    EXPECT_EQ(testsupport::ShownText(dialogs), "Грешно име или парола.");
}

TEST_F(Login, RegisteringWhileLoggedInKeepsTheLoggedInUserAndDeletingNeedsThePassword) {
    Submit("Анна", "а1");
    Submit("Анна", "а1");
    OpenLoginWindow();
    // Somebody is logged in: the window registers; "Не желая" keeps the
    // visibility it had, hidden by the login state before.
    EXPECT_TRUE(InRegistrationState());
    EXPECT_TRUE(Form9->BitBtn3->isHidden());
    Type("Борис", "б2");
    Form9->BitBtn1->click();
    EXPECT_FALSE(Form9->isVisible());
    EXPECT_EQ(Users(), QStringList({"Анна", "Борис"}));
    EXPECT_EQ(Form9->LoggedUser, "Анна");
    EXPECT_EQ(Form9->LoggedPassword, "а1");
    // The list offers every name in record order.
    OpenLoginWindow();
    ASSERT_EQ(Form9->ComboBox1->count(), 2);
    EXPECT_EQ(Form9->ComboBox1->itemText(0), "Анна");
    EXPECT_EQ(Form9->ComboBox1->itemText(1), "Борис");
    Form9->Close();

    // Nobody logged in while the window is open: no further user is registered.
    OpenLoginWindow();
    Main->N11->trigger();
    Type("Натрапник", "x");
    Form9->BitBtn1->click();
    EXPECT_FALSE(Form9->isVisible());
    EXPECT_EQ(Users(), QStringList({"Анна", "Борис"}));

    // Deleting needs the user's password.
    Submit("Анна", "а1");
    {
        platform::ScriptedDialogs dialogs;
        OpenLoginWindow();
        Type("Борис", "грешна");
        Form9->BitBtn2->click();
        EXPECT_TRUE(Form9->isVisible());
        EXPECT_EQ(testsupport::ShownText(dialogs), "Грешно име или парола.");
        EXPECT_EQ(Users(), QStringList({"Анна", "Борис"}));
    }
    // The right password logs that user in and deletes the user's row; the
    // next command finds nobody logged in.
    OpenLoginWindow();
    Type("Анна", "а1");
    Form9->BitBtn2->click();
    EXPECT_FALSE(Form9->isVisible());
    EXPECT_EQ(Users(), QStringList{"Борис"});
    EXPECT_FALSE(GuardedCommandRuns());
    EXPECT_TRUE(InLoginState());
}

TEST_F(Login, UsersRegisteredOrDeletedAtAnotherWorkstationCountAtOnce) {
    testsupport::WriteFile(Marker(), "");
    EXPECT_TRUE(GuardedCommandRuns());
    testsupport::ExecuteOn(defaultFile, "insert into userp (pnom, us, pas) values ('1.1.2013 0:0:0.0', 'Друг', '')");
    EXPECT_FALSE(GuardedCommandRuns());
    EXPECT_TRUE(InLoginState());
    Submit("Друг", "");
    EXPECT_TRUE(GuardedCommandRuns());
    testsupport::ExecuteOn(defaultFile, "delete from userp");
    QFile::remove(Marker());
    EXPECT_FALSE(GuardedCommandRuns());
    // With no users left and no marker the window registers again.
    EXPECT_TRUE(InRegistrationState());
    EXPECT_FALSE(Form9->BitBtn3->isHidden());
}

// Key presses that each type one character, as a Bulgarian keyboard layout
// gives them (QTest's own typing knows only Latin keys).
void TypeKeys(QWidget* widget, const QString& text) {
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// The stored form other workstations and existing databases hold, worked
// out by hand: byte i of the Windows-1251 text plus byte i mod 64 of the key
// "w816nhlb4nykt,9q1...", modulo 256 ("П" 0xCF + "w" 0x77 = 0x46).
TEST_F(Login, PasswordsAreStoredAndCheckedInTheFormOtherWorkstationsHold) {
    OpenLoginWindow();
    ASSERT_TRUE(InRegistrationState());
    TypeKeys(Form9->ComboBox1, "Мария");
    TypeKeys(Form9->Edit2, "Парола");
    QTest::mouseClick(Form9->BitBtn1, Qt::LeftButton);
    ASSERT_FALSE(Form9->isVisible());
    DataModule1->user.Refresh();
    ASSERT_EQ(DataModule1->user.RecordCount(), 1);
    DataModule1->user.SetRecNo(1);
    EXPECT_EQ(DataModule1->user.FieldByName("us").AsString(), "Мария");
    EXPECT_EQ(DataModule1->user.FieldByName("pas").AsBytes().toHex(' '), QByteArray("46 18 21 24 59 48"));

    // A user another workstation stored: "№ €ё" is stored as 30 58 B9 EE.
    testsupport::ExecuteOn(defaultFile, "insert into userp (pnom, us, pas) values ('2', 'Иван', x'3058B9EE')");
    for (const auto& [name, password, ok] : {std::tuple{"Иван", "№ €ё", true}, std::tuple{"Иван", "№ €е", false},
                                             std::tuple{"Мария", "Парола", true}, std::tuple{"Мария", "парола", false}}) {
        SCOPED_TRACE(name + std::string(" / ") + password);
        platform::ScriptedDialogs dialogs;
        Main->N11->trigger();  // logged out
        OpenLoginWindow();
        ASSERT_TRUE(InLoginState());
        TypeKeys(Form9->ComboBox1, QString::fromUtf8(name));
        TypeKeys(Form9->Edit2, QString::fromUtf8(password));
        QTest::mouseClick(Form9->BitBtn1, Qt::LeftButton);
        EXPECT_EQ(Form9->LoggedUser, ok ? QString::fromUtf8(name) : QString());
        EXPECT_EQ(dialogs.Shown().empty(), ok);
    }
}

TEST_F(Login, ANameOrPasswordThatCannotBeStoredIsRefusedWithAMessage) {
    struct Case {
        QString name, password, message;
    };
    const std::vector<Case> cases = {
        {"Иван 漢", "1", "漢"},
        {"Иван", "ключ✓", "✓"},
        {QString(256, QChar(u'ж')), "1", "Името може да има най-много 255 знака."},
        {"Иван", QString(256, QChar(u'1')), "Паролата може да има най-много 255 знака."},
    };
    for (const Case& c : cases) {
        platform::ScriptedDialogs dialogs;
        Submit(c.name, c.password);
        EXPECT_TRUE(Form9->isVisible());
        EXPECT_TRUE(testsupport::ShownOnceWith(dialogs, c.message));
        EXPECT_EQ(Form9->ComboBox1->currentText(), c.name);
        EXPECT_TRUE(Users().isEmpty());
        EXPECT_EQ(DataModule1->user.GetState(), data::DataSet::State::Browse);
    }
    // The longest that fits is stored.
    Submit(QString(255, QChar(u'ж')), QString(255, QChar(u'я')));
    EXPECT_EQ(Users(), QStringList{QString(255, QChar(u'ж'))});
    Submit(QString(255, QChar(u'ж')), QString(255, QChar(u'я')));
    EXPECT_EQ(Form9->LoggedUser, QString(255, QChar(u'ж')));
    // And the shortest: an empty password is an empty text and checks out.
    Main->N11->trigger();
    testsupport::ExecuteOn(defaultFile, "delete from userp");
    Submit("Гост", "");
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select us, pas from userp"), QStringList{"Гост|"});
    Submit("Гост", "");
    EXPECT_EQ(Form9->LoggedUser, "Гост");
    EXPECT_TRUE(GuardedCommandRuns());
}

}  // namespace
