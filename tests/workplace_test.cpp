// The work-place window and the opening of a database at a location: a
// folder on this computer, or a server reached by a computer name or an
// address (those run against the Firebird server on 127.0.0.1, when one runs).

#include "app/Program.h"
#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "data/DataFolderSetUp.h"
#include "data/WorkPlace.h"
#include "data/Firebird.h"
#include "data/Schema.h"
#include "data/WorkPlaceText.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Form.h"
#include "platform/Handlers.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "platform/TextFile.h"
#include "support/paradoxwriter.h"
#include "support/programtest.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using platform::Path;
using platform::PathKind;

class WorkPlace : public testsupport::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Start();
    }
    QString NetworkFile() const { return Path(PathKind::NetworkFile); }
    void WriteNetworkFile(const QByteArray& bytes) { testsupport::WriteFile(NetworkFile(), bytes); }
    // Chooses an option of the window, writes its value and presses OK.
    static void ChooseAndOk(QRadioButton* option, QLineEdit* edit, const QString& value) {
        Form8->Show();
        option->setChecked(true);
        edit->setText(value);
        Form8->SpeedButton1->click();
    }
};

TEST_F(WorkPlace, ShowingTheWindowReadsTheWorkPlaceFileAndADamagedOneIsToldAndChangesNothing) {
    struct Case {
        QByteArray file;
        QRadioButton* TForm8::*checked;
        QLineEdit* TForm8::*edit;
        QString value;
    };
    const std::vector<Case> cases = {
        {"server-pc\r\n2\r\n", &TForm8::RadioButton2, &TForm8::Edit2, "server-pc"},
        {"10.0.0.5\r\n3\r\n", &TForm8::RadioButton3, &TForm8::Edit3, "10.0.0.5"},
        {"/srv/quillane\r\n1\r\n", &TForm8::RadioButton1, &TForm8::Edit1, "/srv/quillane"},
        {"/old/folder\r\n", &TForm8::RadioButton1, &TForm8::Edit1, "/old/folder"},  // the older one-line form
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        Form8->Close();
        WriteNetworkFile(c.file);
        Form8->Show();
        EXPECT_TRUE((Form8->*c.checked)->isChecked());
        EXPECT_EQ((Form8->*c.edit)->text(), c.value);
        EXPECT_TRUE((Form8->*c.edit)->isEnabled());
    }
    // A damaged file is told, with its name, and changes nothing.
    for (const QByteArray& bytes : {QByteArray("somewhere\r\nдве\r\n"), QByteArray(""), QByteArray("x\r\n9\r\n"),
                                    QByteArray("x\0\x01\r\n1\r\n", 8)}) {
        SCOPED_TRACE(bytes.toStdString());
        Form8->Close();
        WriteNetworkFile(bytes);
        QString error;
        try {
            Form8->Show();
        } catch (const platform::EFileError& e) {
            error = e.Message();
        }
        EXPECT_TRUE(error.contains(NetworkFile())) << error.toStdString();
        EXPECT_TRUE(Form8->RadioButton1->isChecked());
        EXPECT_EQ(Form8->Edit1->text(), "/old/folder");
    }
}

TEST_F(WorkPlace, OkWithAnEmptyFieldIsRefusedAndTheWindowStays) {
    platform::ScriptedDialogs dialogs;
    Form8->Show();
    struct Case {
        QRadioButton* option;
        QLineEdit* edit;
        QString told;
    };
    for (const Case& c : {Case{Form8->RadioButton1, Form8->Edit1, "Изберете директорията"},
                          Case{Form8->RadioButton3, Form8->Edit3, "IP адреса"}}) {
        SCOPED_TRACE(c.told.toStdString());
        dialogs.Clear();
        QTest::mouseClick(c.option, Qt::LeftButton, {}, QPoint(8, c.option->height() / 2));
        ASSERT_TRUE(c.option->isChecked());
        // The user empties the field, leaving a blank, and presses OK.
        c.edit->setFocus();
        QTest::keyClick(c.edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(c.edit, Qt::Key_Delete);
        QTest::keyClick(c.edit, Qt::Key_Space);
        QTest::mouseClick(Form8->SpeedButton1, Qt::LeftButton);
        EXPECT_TRUE(testsupport::ShownOnceWith(dialogs, c.told));
        EXPECT_TRUE(Form8->isVisible());
        EXPECT_FALSE(QFile::exists(NetworkFile()));
        EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, defaultFile);
        EXPECT_TRUE(DataModule1->store.Active());
    }
}

TEST_F(WorkPlace, OptionsEnableTheirOwnEdits) {
    Form8->RadioButton2->setChecked(true);
    EXPECT_TRUE(Form8->Edit2->isEnabled());
    EXPECT_FALSE(Form8->Edit1->isEnabled());
    EXPECT_FALSE(Form8->SpeedButton2->isEnabled());
    Form8->RadioButton3->setChecked(true);
    EXPECT_TRUE(Form8->Edit3->isEnabled());
    EXPECT_FALSE(Form8->Edit1->isEnabled());
    EXPECT_FALSE(Form8->Edit2->isEnabled());
    // Going back to this computer leaves the address edit as it was.
    Form8->RadioButton1->setChecked(true);
    EXPECT_TRUE(Form8->Edit1->isEnabled());
    EXPECT_TRUE(Form8->SpeedButton2->isEnabled());
    EXPECT_FALSE(Form8->Edit2->isEnabled());
    EXPECT_TRUE(Form8->Edit3->isEnabled());
}

TEST_F(WorkPlace, OkWritesTheChoiceAndOpensItsDatabase) {
    testsupport::TempFolder other;
    const QString file = testsupport::CreateSchemaDatabase(other.Path());
    // A work-place file that cannot be written stops it with an error.
    QDir().mkpath(NetworkFile());  // a folder where the file should be
    EXPECT_THROW(Form8->Show(), platform::EFileError);
    Form8->RadioButton1->setChecked(true);
    Form8->Edit1->setText(other.Path());
    EXPECT_THROW(platform::Click(Form8->SpeedButton1), platform::EFileError);
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, defaultFile);

    QDir().rmdir(NetworkFile());
    Form8->SpeedButton1->click();
    EXPECT_FALSE(Form8->isVisible());
    EXPECT_EQ(testsupport::ReadFile(NetworkFile()), other.Path().toUtf8() + "\r\n1\r\n");
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, file);
    EXPECT_TRUE(DataModule1->store.Active());
}

// Another option clicked in the window, which is then closed without OK:
// connecting again (as after a lost connection) reaches the database that
// was open, and leaves the server's alias line as it is.
TEST_F(WorkPlace, ConnectingAgainReachesTheDatabaseThatWasOpenWhateverTheWindowShows) {
    const QByteArray aliasLines = "tovelx = /srv/elsewhere/tovelx.fdb\r\n";
    testsupport::WriteFile(Path(PathKind::AliasesFile), aliasLines);
    Form8->Show();
    QTest::mouseClick(Form8->RadioButton3, Qt::LeftButton, {}, QPoint(5, Form8->RadioButton3->height() / 2));
    ASSERT_TRUE(Form8->RadioButton3->isChecked());
    Form8->close();
    QString why;
    EXPECT_TRUE(DataModule1->IBDatabase1.ConnectAgain(&why)) << why.toStdString();
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, defaultFile);
    EXPECT_TRUE(DataModule1->store.Active());
    EXPECT_EQ(testsupport::ReadFile(Path(PathKind::AliasesFile)), aliasLines);
}

TEST_F(WorkPlace, OkOnAnUnreachableServerRestartsTheProgram) {
    platform::RecordedShell shell;
    Main->Show();
    ChooseAndOk(Form8->RadioButton3, Form8->Edit3, "127.0.0.1/3999");
    EXPECT_EQ(testsupport::ReadFile(NetworkFile()), "127.0.0.1/3999\r\n3\r\n");
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].kind, platform::ShellCall::Kind::StartProgram);
    EXPECT_EQ(shell.Calls()[0].target, Path(PathKind::OwnExecutable));
    EXPECT_FALSE(Main->isVisible());
}

TEST_F(WorkPlace, TheFolderButtonWritesTheFolderAndOpensIt) {
    testsupport::TempFolder other;
    const QString file = testsupport::CreateSchemaDatabase(other.Path());
    platform::ScriptedDialogs dialogs;
    dialogs.Answer(platform::DialogResponse::Path(other.Path()));
    Form8->Show();
    Form8->SpeedButton2->click();
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].kind, platform::DialogKind::Folder);
    EXPECT_EQ(dialogs.Shown()[0].title, "Изберете директория, където ще работите с Вашите база данни:");
    EXPECT_EQ(dialogs.Shown()[0].root, "Работно място");
    EXPECT_EQ(dialogs.Shown()[0].startFolder, home.File("DB"));
    EXPECT_EQ(testsupport::ReadFile(NetworkFile()), other.Path().toUtf8() + "\r\n1\r\n");
    EXPECT_EQ(Form8->Edit1->text(), other.Path());
    EXPECT_TRUE(Form8->isVisible());
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, file);

    // A cancelled dialog changes nothing.
    dialogs.Answer(platform::DialogResponse::Cancel());
    Form8->SpeedButton2->click();
    EXPECT_EQ(Form8->Edit1->text(), other.Path());
}

// Another program's database: all of the tables missing, or some.
QString ForeignDatabase(const QString& folder, const QStringList& kept) {
    const QString file = testsupport::CreateSchemaDatabase(folder);
    for (const data::TableDef& t : data::SchemaTables())
        if (!kept.contains(t.UpperName())) testsupport::ExecuteOn(file, "drop table " + t.UpperName());
    return file;
}

TEST_F(WorkPlace, AnotherProgramsDatabaseIsToldAsSuchAndLeftClosed) {
    platform::ScriptedDialogs dialogs;
    for (const QStringList& kept : {QStringList(), QStringList{"CUSTOMER", "STORE"}}) {
        testsupport::TempFolder other;
        const QString file = ForeignDatabase(other.Path(), kept);
        dialogs.Answer(platform::DialogResponse::Path(other.Path()));
        Form8->Show();
        QString told;
        try {
            platform::Click(Form8->SpeedButton2);
        } catch (const platform::Exception& e) {
            told = e.Message();
        }
        EXPECT_TRUE(told.contains("„" + file + "“ не е на тази програма")) << told.toStdString();
        EXPECT_EQ(told.contains("липсват таблиците FIRM, CURRENCY, DETAILS, STOCK, EMPLOYEE, USERP."), !kept.isEmpty()) << told.toStdString();
        EXPECT_TRUE(told.endsWith("Няма отворена база данни.")) << told.toStdString();
        EXPECT_FALSE(DataModule1->IBDatabase1.Connected());
    }
}

TEST_F(WorkPlace, AFolderIsOpenedAfterItsEnglishFirmTableOrGoesToTheSetUpOrTheWorkPlaceWindow) {
    testsupport::TempFolder old;
    testsupport::TempFolder empty;
    testsupport::WriteParadoxTable(old.File("customer.db"), {{"Фирма", testsupport::PxKind::Alpha, 40}},
                                   {{QStringLiteral("Алфа ООД")}});
    const QString file = testsupport::CreateSchemaDatabase(old.Path());
    DataModule1->OpenDatabaseLocation(old.Path());
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, file);
    EXPECT_EQ(DataModule1->Tcust.DatabaseName(), old.Path());
    data::TTable ae(QStringLiteral("ae.db"));
    ae.SetDatabaseName(old.Path());
    ae.Open();
    EXPECT_EQ(ae.FieldNames(), QStringList({"VOP", "Supplier", "Address", "Resp.Person", "Place of publishment", "logo"}));
    EXPECT_EQ(ae.RecordCount(), 0);

    // No database there and no network.txt: the work-place window.
    DataModule1->OpenDatabaseLocation(empty.Path());
    EXPECT_FALSE(QFile::exists(empty.File("ae.db")));
    EXPECT_TRUE(Form8->isVisible());
    // A two-line network.txt: the set-up, which makes the database.
    Form8->Close();
    platform::ScriptedDialogs dialogs;
    WriteNetworkFile(empty.Path().toUtf8() + "\r\n1\r\n");
    DataModule1->OpenDatabaseLocation(empty.Path());
    EXPECT_FALSE(Form8->isVisible());
    EXPECT_EQ(testsupport::ShownText(dialogs), "Създадена е нова празна база данни „" + empty.File("tovelx.fdb") +
                                                  "“.\nВ папката няма таблици от по-старата версия, които да бъдат прехвърлени.");
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, empty.File("tovelx.fdb"));
}

// ---------------------------------------------------------------- through the server

bool ServerAnswers() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(3050);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

// The server's own alias file names this database as tovelx; the test
// script writes that line before it starts the server.
const QString kServerFile = QStringLiteral("/tmp/quillane-server/tovelx.fdb");

bool ServerHasAlias() {
    try {
        return platform::LoadLines(QStringLiteral("/etc/firebird/3.0/databases.conf"))
            .contains(QStringLiteral("tovelx = ") + kServerFile);
    } catch (const platform::Exception&) {
        return false;
    }
}

// The server's database stays from one test to the next and is emptied
// each time.
class ServerWorkPlace : public WorkPlace {
protected:
    void SetUp() override {
        WorkPlace::SetUp();
        if (!ServerAnswers()) GTEST_SKIP() << "no Firebird server on 127.0.0.1:3050";
        if (!ServerHasAlias()) GTEST_SKIP() << "the server has no alias tovelx (scripts/quillane.sh test gives it one)";
        const QString direct = QStringLiteral("127.0.0.1:") + kServerFile;
        if (QFile::exists(kServerFile)) {
            for (const data::TableDef& t : data::SchemaTables())
                testsupport::ExecuteOn(direct, QStringLiteral("delete from ") + t.UpperName());
        } else {
            // Made by the server itself, so that the file is its own.
            testsupport::CreateSchemaDatabaseAt(direct);
        }
    }
    void TearDown() override {
        if (DataModule1) DataModule1->IBDatabase1.Close();
        WorkPlace::TearDown();
    }
    void OpenThroughOk(QRadioButton* radio, QLineEdit* edit, const QString& value) {
        platform::RecordedShell shell;
        ChooseAndOk(radio, edit, value);
        EXPECT_TRUE(shell.Calls().empty()) << "the program was restarted: the server refused";
    }
    void ExpectServerDatabaseOpen(const QString& location) {
        EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, location);
        EXPECT_FALSE(DataModule1->IBDatabase1.IsEmbedded());
        for (const data::DataSet* ds : {&DataModule1->cust, &DataModule1->firm, &DataModule1->details, &DataModule1->stock,
                                        &DataModule1->employee, &DataModule1->store, &DataModule1->currency, &DataModule1->user})
            EXPECT_TRUE(ds->Active()) << ds->Name.toStdString();
        // Rows written over the network are read back by the server's own file.
        const int before = DataModule1->cust.RecordCount();
        DataModule1->cust.Append();
        DataModule1->cust.FieldByName("Company1").SetAsString("Сървър ООД");
        DataModule1->cust.Post();
        DataModule1->cust.Refresh();
        EXPECT_EQ(DataModule1->cust.RecordCount(), before + 1);
        EXPECT_EQ(DataModule1->cust.FieldByName("Company1").AsString(), "Сървър ООД");
    }
};

TEST_F(ServerWorkPlace, AnAddressOpensTheServersDatabaseNowAndAtTheNextStart) {
    OpenThroughOk(Form8->RadioButton3, Form8->Edit3, "127.0.0.1");
    EXPECT_EQ(testsupport::ReadFile(NetworkFile()), "127.0.0.1\r\n3\r\n");
    ExpectServerDatabaseOpen("127.0.0.1:tovelx");

    platform::DestroyCreatedForms();
    Start();
    ExpectServerDatabaseOpen("127.0.0.1:tovelx");
    EXPECT_TRUE(Form8->RadioButton3->isChecked());
}

TEST_F(ServerWorkPlace, AComputerNameOpensTheServersDatabase) {
    const QByteArray homeAliases = "employee = /x.fdb\r\n";
    testsupport::WriteFile(Path(PathKind::AliasesFile), homeAliases);
    OpenThroughOk(Form8->RadioButton2, Form8->Edit2, "localhost");
    EXPECT_EQ(testsupport::ReadFile(NetworkFile()), "localhost\r\n2\r\n");
    ExpectServerDatabaseOpen("\\\\localhost\\tovelx");
    // Only a local connection writes the alias line.
    EXPECT_EQ(testsupport::ReadFile(Path(PathKind::AliasesFile)), homeAliases);
}

}  // namespace
