// The program's start: the windows are created in order, and the statistics
// window's creation opens the database of the work place, falling back to the
// default data folder.

#include "app/Program.h"
#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "data/WorkPlace.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Form.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "registers/Statistics.h"
#include "support/programtest.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using platform::Path;
using platform::PathKind;

class Startup : public testsupport::ProgramTest {
protected:
    void WriteNetworkFile(const QByteArray& bytes) { testsupport::WriteFile(Path(PathKind::NetworkFile), bytes); }
    bool AllOpen() const {
        for (const data::DataSet* ds : {&DataModule1->cust, &DataModule1->firm, &DataModule1->details, &DataModule1->stock,
                                        &DataModule1->employee, &DataModule1->store, &DataModule1->currency, &DataModule1->user})
            if (!ds->Active()) return false;
        return true;
    }
    bool WorkPlaceButtonShown() const { return !Main->SpeedButton4->isHidden(); }

};

TEST_F(Startup, CreatesEveryWindowAndTheDataModuleInOrder) {
    Start();
    ASSERT_NE(Main, nullptr);
    ASSERT_NE(DataModule1, nullptr);
    ASSERT_NE(StatForm, nullptr);
    EXPECT_EQ(Main->windowTitle(), "Quillane 2013 + Euro Quillane 2013 - version 3.7.3.08");
    EXPECT_EQ(Form8->windowTitle(), "Работно място");
}

TEST_F(Startup, WithoutAWorkPlaceFileOpensTheDefaultFolderLocally) {
    Start();
    EXPECT_TRUE(AllOpen());
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, defaultFile);
    EXPECT_TRUE(DataModule1->IBDatabase1.IsEmbedded());
    EXPECT_TRUE(Form8->RadioButton1->isChecked());
    EXPECT_TRUE(WorkPlaceButtonShown());
    EXPECT_EQ(DataModule1->IBDatabase1.Params,
              QStringList({"password=" + TDataModule1::AdminPassword(), "user_name=SYSDBA"}));
}

TEST_F(Startup, AFolderWorkPlaceOpensThatFolder) {
    testsupport::TempFolder other;
    const QString file = testsupport::CreateSchemaDatabase(other.Path());
    WriteNetworkFile(other.Path().toUtf8() + "\r\n1\r\n");
    Start();
    EXPECT_TRUE(AllOpen());
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, file);
    EXPECT_EQ(Form8->Edit1->text(), other.Path());
    EXPECT_TRUE(WorkPlaceButtonShown());
}

TEST_F(Startup, AnUnreachableServerFallsBackToTheDefaultFolderWithoutAMessage) {
    struct Case {
        QByteArray file;
        QRadioButton* TForm8::*radio;
        QLineEdit* TForm8::*edit;
        QString value;
    };
    const std::vector<Case> cases = {
        {"127.0.0.1/3999\r\n3\r\n", &TForm8::RadioButton3, &TForm8::Edit3, "127.0.0.1/3999"},
        {"no-such-computer.invalid\r\n2\r\n", &TForm8::RadioButton2, &TForm8::Edit2, "no-such-computer.invalid"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        WriteNetworkFile(c.file);
        Start();
        EXPECT_EQ((Form8->*c.edit)->text(), c.value);
        EXPECT_TRUE(AllOpen());
        EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, defaultFile);
        EXPECT_TRUE(Form8->RadioButton1->isChecked());
        EXPECT_TRUE(WorkPlaceButtonShown());
        platform::DestroyCreatedForms();
    }
}

TEST_F(Startup, TheOlderOneLineFileShowsTheWorkPlaceWindow) {
    WriteNetworkFile(home.File("DB").toUtf8() + "\r\n");
    Start();
    EXPECT_TRUE(Form8->isVisible());
    EXPECT_TRUE(AllOpen());
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, defaultFile);
}

TEST_F(Startup, AnUnknownModeLeavesTheOptionsAsTheyStand) {
    WriteNetworkFile("/nowhere\r\n7\r\n");
    Start();
    EXPECT_TRUE(Form8->RadioButton1->isChecked());
    EXPECT_EQ(Form8->Edit1->text(), home.File("DB"));
    EXPECT_TRUE(AllOpen());
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, defaultFile);
}

TEST_F(Startup, AnEmptyWorkPlaceFileLeavesTheDatabaseClosedAndTheButtonHidden) {
    WriteNetworkFile("");
    Start();
    EXPECT_FALSE(DataModule1->IBDatabase1.Connected());
    EXPECT_FALSE(DataModule1->cust.Active());
    EXPECT_FALSE(WorkPlaceButtonShown());
    EXPECT_EQ(StatForm->DBComboBox1->count(), 0);
    EXPECT_TRUE(QFile::exists(Path(PathKind::NetworkFile)));
}

TEST_F(Startup, WithoutTheDatabaseEngineTheWorkPlaceFileIsDeletedAndTheWorkPlaceWindowShown) {
    platform::SetPathOverride(PathKind::FirebirdEngine, home.File("no-engine.so"));
    WriteNetworkFile(home.File("DB").toUtf8() + "\r\n1\r\n");
    Start();
    EXPECT_FALSE(QFile::exists(Path(PathKind::NetworkFile)));
    EXPECT_FALSE(DataModule1->IBDatabase1.Connected());
    EXPECT_TRUE(Form8->isVisible());
}

TEST_F(Startup, RemovesTheExecutableAnUpdateLeftBehind) {
    testsupport::WriteFile(Path(PathKind::OldExecutable), "old");
    testsupport::WriteFile(Path(PathKind::OwnExecutable), "new");
    Start();
    EXPECT_FALSE(QFile::exists(Path(PathKind::OldExecutable)));
    EXPECT_TRUE(QFile::exists(Path(PathKind::OwnExecutable)));
}

TEST_F(Startup, ListsTheOwnFirmsInRecordOrderAndKeepsTheCurrentFirm) {
    testsupport::ExecuteOn(defaultFile, "insert into firm (pnom, supplier1) values ('1', 'Алфа ЕООД')");
    testsupport::ExecuteOn(defaultFile, "insert into firm (pnom, supplier1) values ('2', 'Бета АД')");
    Start();
    ASSERT_EQ(StatForm->DBComboBox1->count(), 2);
    EXPECT_EQ(StatForm->DBComboBox1->itemText(0), "Алфа ЕООД");
    EXPECT_EQ(StatForm->DBComboBox1->itemText(1), "Бета АД");
    EXPECT_EQ(DataModule1->firm.RecNo(), 1);
}

TEST_F(Startup, ALocalConnectionWritesTheAliasLine) {
    testsupport::WriteFile(Path(PathKind::AliasesFile),
                           "# tovelx: the program's database\r\nemployee = /srv/employee.fdb\r\ntovelx = /old/tovelx.fdb\r\n");
    Start();
    EXPECT_EQ(testsupport::ReadFile(Path(PathKind::AliasesFile)),
              "tovelx = " + defaultFile.toUtf8() + "\r\nemployee = /srv/employee.fdb\r\ntovelx = /old/tovelx.fdb\r\n");
}

TEST_F(Startup, AnAliasFileWithoutTheLineGetsItAppended) {
    testsupport::WriteFile(Path(PathKind::AliasesFile), "employee = /srv/employee.fdb\n");
    Start();
    EXPECT_EQ(testsupport::ReadFile(Path(PathKind::AliasesFile)),
              "employee = /srv/employee.fdb\r\ntovelx = " + defaultFile.toUtf8() + "\r\n");
}

}  // namespace

namespace {

TEST_F(Startup, AnAliasFileThatCannotBeWrittenDoesNotStopALocalConnection) {
    // A file that exists and can be read but never written, not even by root.
    platform::SetPathOverride(PathKind::AliasesFile, QStringLiteral("/proc/version"));
    Start();
    EXPECT_TRUE(AllOpen());
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, defaultFile);
    EXPECT_TRUE(WorkPlaceButtonShown());
}

}  // namespace

namespace {

TEST_F(Startup, TheFirstStartAsksForTheWorkPlaceAndOkMakesTheDatabase) {
    testsupport::TempFolder fresh;
    platform::SetPathOverride(PathKind::InstallFolder, fresh.File("Quillane2010"));
    platform::ScriptedDialogs dialogs;
    PrepareInstallFolder();
    Start();
    // Nothing to open yet: the work-place window asks.
    EXPECT_FALSE(DataModule1->IBDatabase1.Connected());
    ASSERT_TRUE(Form8->isVisible());
    EXPECT_EQ(Form8->Edit1->text(), fresh.File("Quillane2010/DB"));
    Form8->SpeedButton1->click();
    const QString file = fresh.File("Quillane2010/DB/tovelx.fdb");
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, file);
    EXPECT_TRUE(DataModule1->store.Active());
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].text, "Преминаването към SQL успешно!");
    // The next start opens it at once.
    platform::DestroyCreatedForms();
    Start();
    EXPECT_TRUE(AllOpen());
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, file);
}

}  // namespace

namespace {

TEST_F(Startup, TheAliasLineNamesAFolderInTheSystemsEncoding) {
    testsupport::TempFolder other;
    const QString folder = other.File("Фактури 2013");
    QDir().mkpath(folder);
    const QString file = testsupport::CreateSchemaDatabase(folder);
    testsupport::WriteFile(Path(PathKind::AliasesFile), "employee = /e.fdb\n");
    platform::SaveLines(Path(PathKind::NetworkFile), {folder, "1"});  // the program's own file: Windows-1251
    Start();
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, file);
    EXPECT_EQ(testsupport::ReadFile(Path(PathKind::AliasesFile)),
              "employee = /e.fdb\r\ntovelx = " + file.toUtf8() + "\r\n");
}

// A window whose creation handler fails.
class FailingWindow : public platform::Form {
public:
    void FormCreate() override { throw platform::Exception(QStringLiteral("Грешка при създаване")); }
};
FailingWindow* Failing = nullptr;

TEST(CreateForm, AnErrorOfACreationHandlerIsShownAndCreationGoesOn) {
    platform::ScriptedDialogs dialogs;
    platform::CreateForm(Failing);
    ASSERT_NE(Failing, nullptr);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].kind, platform::DialogKind::Exception);
    EXPECT_EQ(dialogs.Shown()[0].text, "Грешка при създаване");
    platform::DestroyCreatedForms();
    EXPECT_EQ(Failing, nullptr);
}

}  // namespace
