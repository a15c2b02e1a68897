// The program's start: the statistics window's creation opens the database of
// the work place, falling back to the default data folder and saying so; the
// program itself paints, titles its windows and ends as a Linux desktop
// program should.

#include "app/Program.h"
#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "data/Schema.h"
#include "data/WorkPlace.h"
#include "data/WorkPlaceText.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Form.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "platform/TextFile.h"
#include "registers/Statistics.h"
#include "support/paradoxwriter.h"
#include "support/programtest.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using platform::Path;
using platform::PathKind;

class Startup : public testsupport::ProgramTest {
protected:
    void WriteNetworkFile(const QByteArray& bytes) { testsupport::WriteFile(Path(PathKind::NetworkFile), bytes); }
    // The database file given open, and every data set on it.
    static ::testing::AssertionResult AllOpenOn(const QString& file) {
        if (DataModule1->IBDatabase1.DatabaseName != file)
            return ::testing::AssertionFailure() << "open: " << DataModule1->IBDatabase1.DatabaseName.toStdString();
        for (const data::DataSet* ds : {&DataModule1->cust, &DataModule1->firm, &DataModule1->details, &DataModule1->stock,
                                        &DataModule1->employee, &DataModule1->store, &DataModule1->currency, &DataModule1->user})
            if (!ds->Active()) return ::testing::AssertionFailure() << ds->Name.toStdString() << " closed";
        return ::testing::AssertionSuccess();
    }
    bool WorkPlaceButtonShown() const { return !Main->SpeedButton4->isHidden(); }
};

// Also: the executable an update left behind is removed, the own firms are
// listed in record order, and the first alias line naming tovelx is replaced.
TEST_F(Startup, WithoutAWorkPlaceFileOpensTheDefaultFolderLocally) {
    testsupport::WriteFile(Path(PathKind::OldExecutable), "old");
    testsupport::WriteFile(Path(PathKind::OwnExecutable), "new");
    testsupport::ExecuteOn(defaultFile, "insert into firm (pnom, supplier1) values ('1', 'Алфа ЕООД')");
    testsupport::ExecuteOn(defaultFile, "insert into firm (pnom, supplier1) values ('2', 'Бета АД')");
    testsupport::WriteFile(Path(PathKind::AliasesFile),
                           "# tovelx: the program's database\r\nemployee = /srv/employee.fdb\r\ntovelx = /old/tovelx.fdb\r\n");
    Start();
    EXPECT_TRUE(AllOpenOn(defaultFile));
    EXPECT_TRUE(DataModule1->IBDatabase1.IsEmbedded());
    EXPECT_TRUE(Form8->RadioButton1->isChecked());
    EXPECT_TRUE(WorkPlaceButtonShown());
    EXPECT_EQ(DataModule1->IBDatabase1.Params,
              QStringList({"password=" + TDataModule1::AdminPassword(), "user_name=SYSDBA"}));
    // Qt's own dialogs speak Bulgarian.
    EXPECT_TRUE(platform::Application::PlatformTranslationsLoaded());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Отказ");
    EXPECT_FALSE(QFile::exists(Path(PathKind::OldExecutable)));
    EXPECT_TRUE(QFile::exists(Path(PathKind::OwnExecutable)));
    ASSERT_EQ(StatForm->DBComboBox1->count(), 2);
    EXPECT_EQ(StatForm->DBComboBox1->itemText(0), "Алфа ЕООД");
    EXPECT_EQ(StatForm->DBComboBox1->itemText(1), "Бета АД");
    EXPECT_EQ(DataModule1->firm.RecNo(), 1);
    EXPECT_EQ(testsupport::ReadFile(Path(PathKind::AliasesFile)),
              "tovelx = " + defaultFile.toUtf8() + "\r\nemployee = /srv/employee.fdb\r\ntovelx = /old/tovelx.fdb\r\n");
    // A file that can be read but never written, not even by root, does not stop it.
    platform::DestroyCreatedForms();
    platform::SetPathOverride(PathKind::AliasesFile, QStringLiteral("/proc/version"));
    Start();
    EXPECT_TRUE(AllOpenOn(defaultFile));
}

TEST_F(Startup, TheWorkPlaceFileDecidesWhichDatabaseOpens) {
    testsupport::TempFolder other;
    const QString folder = other.File("Фактури 2013");
    QDir().mkpath(folder);
    const QString otherFile = testsupport::CreateSchemaDatabase(folder);
    struct Case {
        QStringList lines;
        QString opened;
        bool windowShown;
    };
    const std::vector<Case> cases = {
        {{folder, "1"}, otherFile, false},
        {{home.File("DB")}, defaultFile, true},  // the older one-line form: the work-place window opens
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.join('|').toStdString());
        platform::SaveLines(Path(PathKind::NetworkFile), c.lines);  // the program's own file: Windows-1251
        testsupport::WriteFile(Path(PathKind::AliasesFile), "employee = /e.fdb\n");
        Start();
        EXPECT_TRUE(AllOpenOn(c.opened));
        EXPECT_TRUE(Form8->RadioButton1->isChecked());
        EXPECT_EQ(Form8->Edit1->text(), QFileInfo(c.opened).path());
        EXPECT_EQ(Form8->isVisible(), c.windowShown);
        EXPECT_TRUE(WorkPlaceButtonShown());
        // The alias line is appended, in the system's encoding.
        EXPECT_EQ(testsupport::ReadFile(Path(PathKind::AliasesFile)),
                  "employee = /e.fdb\r\ntovelx = " + c.opened.toUtf8() + "\r\n");
        platform::DestroyCreatedForms();
    }
}

TEST_F(Startup, AnUnreachableServerFallsBackToTheDefaultFolderAndIsToldAsNotReachedOnce) {
    for (const auto& [value, mode] : std::vector<std::pair<QString, int>>{{"127.0.0.1/3999", 3}, {"no-such.invalid", 2}}) {
        SCOPED_TRACE(value.toStdString());
        platform::SaveLines(Path(PathKind::NetworkFile), {value, QString::number(mode)});
        platform::ScriptedDialogs dialogs;
        Start();
        EXPECT_TRUE(AllOpenOn(defaultFile));
        EXPECT_TRUE(Form8->RadioButton1->isChecked());
        EXPECT_TRUE(WorkPlaceButtonShown());
        // Which work place failed, why (the error it gives when opened again), which database is open instead.
        const QString told = testsupport::ShownText(dialogs), location = data::LocationText(value, mode);
        EXPECT_TRUE(told.contains(location) && told.contains(defaultFile)) << told.toStdString();
        // A server that never answered was never connected: it is told as not
        // reached, not as a connection that broke.
        const QString server = data::Database::ConnectionString(location);
        EXPECT_TRUE(told.contains("Сървърът на базата данни „" + server + "“ не може да бъде достигнат.")) << told.toStdString();
        EXPECT_FALSE(told.contains("прекъсна")) << told.toStdString();
        (mode == 2 ? Form8->RadioButton2 : Form8->RadioButton3)->setChecked(true);
        try {
            DataModule1->OpenDatabaseLocation(location);
            ADD_FAILURE() << "the work place opened";
        } catch (const platform::Exception& error) {
            EXPECT_TRUE(told.contains(error.Message())) << told.toStdString();
        }
        platform::DestroyCreatedForms();
    }
}

// Also a sound file naming another program's database.
TEST_F(Startup, ADamagedWorkPlaceFileOpensTheDefaultFolderAndSaysSoOnce) {
    testsupport::TempFolder other, foreignFolder;
    testsupport::CreateSchemaDatabase(other.Path());  // what the damaged file would name
    const QString foreign = testsupport::CreateSchemaDatabase(foreignFolder.Path());
    for (const data::TableDef& t : data::SchemaTables()) testsupport::ExecuteOn(foreign, "drop table " + t.UpperName());
    const QString damaged = "„" + Path(PathKind::NetworkFile) + "“ е повреден";
    const struct {
        const char* name;
        std::function<void()> spoil;
        QString told;
    } cases[] = {
        {"binary bytes", [&] { WriteNetworkFile(other.Path().toUtf8() + "\r\n1\r\n" + QByteArray("\0\x01\x02\xff", 4)); }, damaged},
        {"60 MB", [&] { WriteNetworkFile(other.Path().toUtf8() + "\r\n1\r\n" + QByteArray(60 << 20, 'x')); }, damaged},
        {"mode 9", [&] { WriteNetworkFile(other.Path().toUtf8() + "\r\n9\r\n"); }, damaged},
        {"empty", [&] { WriteNetworkFile(""); }, damaged},
        {"another program's", [&] { platform::SaveLines(Path(PathKind::NetworkFile), {foreignFolder.Path(), "1"}); },
         "„" + foreign + "“ не е на тази програма: в нея няма нито една от таблиците ѝ"},
        {"a folder", [&] { QDir().mkpath(Path(PathKind::NetworkFile)); }, damaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(Path(PathKind::NetworkFile)).removeRecursively(), QFile::remove(Path(PathKind::NetworkFile));
        c.spoil();
        platform::ScriptedDialogs dialogs;
        Start();
        EXPECT_TRUE(AllOpenOn(defaultFile));
        EXPECT_TRUE(WorkPlaceButtonShown());
        const QString told = testsupport::ShownText(dialogs);
        EXPECT_TRUE(told.contains(c.told)) << told.toStdString();
        EXPECT_TRUE(told.contains("Отворена е базата данни „" + defaultFile + "“")) << told.toStdString();
        EXPECT_LT(told.size(), 1000);
        platform::DestroyCreatedForms();
    }
    // The file is left for the user to mend with the work-place window.
    EXPECT_TRUE(QFileInfo(Path(PathKind::NetworkFile)).isDir());
}

TEST_F(Startup, AStartWithoutADatabaseSaysWhyAndOffersTheWorkPlaceButton) {
    // A damaged database file, and another program's database, in the default folder.
    testsupport::TempFolder other;
    const QString foreign = testsupport::CreateSchemaDatabase(other.Path());
    for (const data::TableDef& t : data::SchemaTables()) testsupport::ExecuteOn(foreign, "drop table " + t.UpperName());
    const struct {
        const char* name;
        QByteArray bytes;
        QString reason;
    } cases[] = {{"damaged tovelx.fdb", QByteArray(8192, 'x'), defaultFile},
                 {"another program's database", testsupport::ReadFile(foreign), "„" + defaultFile + "“ не е на тази програма"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::WriteFile(defaultFile, c.bytes);
        platform::ScriptedDialogs dialogs;
        Start();
        EXPECT_FALSE(DataModule1->IBDatabase1.Connected());
        EXPECT_FALSE(DataModule1->cust.Active());
        EXPECT_TRUE(WorkPlaceButtonShown());
        EXPECT_EQ(StatForm->DBComboBox1->count(), 0);
        ASSERT_TRUE(testsupport::ShownOnceWith(dialogs, c.reason));
        EXPECT_EQ(dialogs.Shown()[0].kind, platform::DialogKind::MessageBox);
        EXPECT_TRUE(dialogs.Shown()[0].text.contains("Няма отворена база данни."));
        EXPECT_FALSE(dialogs.Shown()[0].text.contains("Отворена е")) << dialogs.Shown()[0].text.toStdString();
        platform::DestroyCreatedForms();
    }
}

// Also: "OK" on a folder, which needs the engine for its database, starts
// the program again, and that start tells what is missing, once.
TEST_F(Startup, WithoutTheDatabaseEngineTheWorkPlaceFileIsDeletedAndTheWorkPlaceWindowShown) {
    platform::SetPathOverride(PathKind::FirebirdEngine, home.File("no-engine.so"));
    WriteNetworkFile(home.File("DB").toUtf8() + "\r\n1\r\n");
    platform::ScriptedDialogs dialogs;
    Start();
    EXPECT_FALSE(QFile::exists(Path(PathKind::NetworkFile)));
    EXPECT_FALSE(DataModule1->IBDatabase1.Connected());
    EXPECT_TRUE(Form8->isVisible());
    const QString missing = "(липсва " + home.File("no-engine.so") + ")";
    ASSERT_TRUE(testsupport::ShownOnceWith(dialogs, missing));
    EXPECT_TRUE(dialogs.Shown()[0].text.contains("Няма отворена база данни."));

    dialogs.Clear();
    platform::RecordedShell shell;
    testsupport::TempFolder fresh;
    Form8->Edit1->selectAll();
    QTest::keyClicks(Form8->Edit1, fresh.Path());
    QTest::mouseClick(Form8->SpeedButton1, Qt::LeftButton);
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].kind, platform::ShellCall::Kind::StartProgram);
    EXPECT_TRUE(dialogs.Shown().empty()) << testsupport::ShownText(dialogs).toStdString();
    platform::DestroyCreatedForms();
    Start();
    EXPECT_TRUE(testsupport::ShownOnceWith(dialogs, missing));
}

// "OK" on a work place whose old tables cannot be moved: the program starts
// again (as after any failed change of work place), the move is tried again
// and fails again, and the user is told once, with what is open instead.
TEST_F(Startup, AFailedMoveChosenInTheWorkPlaceWindowIsToldOnce) {
    testsupport::TempFolder work;
    testsupport::WriteOldDataFolder(work.Path(), {2, 1, 1, 1, 1, 1, 1});
    testsupport::WriteFile(work.File("customer.db"), "");
    platform::ScriptedDialogs dialogs;
    Start();
    Main->Show();
    ASSERT_TRUE(dialogs.Shown().empty()) << testsupport::ShownText(dialogs).toStdString();
    QTest::mouseClick(Main->SpeedButton4, Qt::LeftButton);
    ASSERT_TRUE(Form8->isVisible());
    platform::RecordedShell shell;
    Form8->Edit1->selectAll();
    QTest::keyClicks(Form8->Edit1, work.Path());
    QTest::mouseClick(Form8->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(testsupport::ReadFile(Path(PathKind::NetworkFile)), work.Path().toUtf8() + "\r\n1\r\n");
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].kind, platform::ShellCall::Kind::StartProgram);
    EXPECT_EQ(shell.Calls()[0].target, Path(PathKind::OwnExecutable));
    EXPECT_FALSE(Main->isVisible());

    // The program as it starts again.
    platform::DestroyCreatedForms();
    Start();
    EXPECT_TRUE(AllOpenOn(defaultFile));
    EXPECT_FALSE(QFile::exists(work.File("tovelx.fdb")));
    const QString reason = "„" + work.File("customer.db") + "“ не може да бъде отворена: файлът е празен.";
    int told = 0;
    QString all;
    for (const auto& shown : dialogs.Shown()) {
        told += shown.text.count(reason);
        all += shown.text + "\n--\n";
    }
    EXPECT_EQ(told, 1) << all.toStdString();
    ASSERT_EQ(dialogs.Shown().size(), 1u) << all.toStdString();
    EXPECT_TRUE(all.contains("Базата данни на работното място „" + work.Path() + "“ не може да бъде отворена"))
        << all.toStdString();
    EXPECT_TRUE(all.contains("Отворена е базата данни „" + defaultFile + "“")) << all.toStdString();
}

TEST_F(Startup, AVersionFileThatIsNotANumberIsShownAndTheDatabaseStillOpens) {
    testsupport::TempFolder web;
    testsupport::WriteFile(web.File("TOVELSOFT3/Quillane2013.txt"), "37309\n");
    QProcess server;
    server.setWorkingDirectory(web.Path());
    server.start("python3", {"-u", "-m", "http.server", "--bind", "127.0.0.1", "0"});
    ASSERT_TRUE(server.waitForReadyRead(10000));
    const QString port = QString::fromLatin1(server.readAllStandardOutput()).section(" port ", 1).section(' ', 0, 0);
    qputenv("QUILLANE_UPDATE_HOST", "http://127.0.0.1:" + port.toLatin1());
    platform::ScriptedDialogs dialogs;
    Start();
    qunsetenv("QUILLANE_UPDATE_HOST");
    server.kill(), server.waitForFinished();
    // The message says where it comes from: the update check and the address read.
    const QString told = testsupport::ShownText(dialogs);
    EXPECT_TRUE(told.contains("Проверката за нова версия") && told.contains("„37309\n“") &&
                told.contains("„http://127.0.0.1:" + port + "/TOVELSOFT3/Quillane2013.txt“"))
        << told.toStdString();
    EXPECT_TRUE(AllOpenOn(defaultFile));
    EXPECT_TRUE(WorkPlaceButtonShown());
}

// The first start, whose work place holds old tables that cannot be moved:
// the failure is told, and in the same message that the default folder got a
// new empty database and that it is open; nothing calls that a move.
TEST_F(Startup, AMoveThatFailsAtTheFirstStartIsToldAndTheEmptyDefaultDatabaseIsNotCalledAMove) {
    ASSERT_TRUE(QFile::remove(defaultFile));
    testsupport::TempFolder work;
    testsupport::WriteOldDataFolder(work.Path(), {2, 1, 1, 1, 1, 1, 1});
    testsupport::WriteFile(work.File("customer.db"), "");
    WriteNetworkFile(work.Path().toUtf8() + "\r\n1\r\n");
    platform::ScriptedDialogs dialogs;
    Start();
    EXPECT_TRUE(AllOpenOn(defaultFile));
    EXPECT_TRUE(WorkPlaceButtonShown());
    EXPECT_FALSE(QFile::exists(work.File("tovelx.fdb")));
    QString told;
    for (const auto& shown : dialogs.Shown()) told += shown.text + "\n--\n";
    EXPECT_FALSE(told.contains("успешно")) << told.toStdString();
    // One message: the failure, then what is open instead.
    ASSERT_EQ(dialogs.Shown().size(), 1u) << told.toStdString();
    const QString failure = dialogs.Shown()[0].text, fallback = dialogs.Shown()[0].text;
    EXPECT_TRUE(failure.contains("Старите данни не бяха прехвърлени в SQL базата данни.")) << failure.toStdString();
    EXPECT_TRUE(failure.contains("„" + work.File("customer.db") + "“ не може да бъде отворена: файлът е празен."))
        << failure.toStdString();
    EXPECT_EQ(dialogs.Shown()[0].kind, platform::DialogKind::MessageBox);
    EXPECT_TRUE(fallback.contains("Базата данни на работното място „" + work.Path() + "“ не може да бъде отворена"))
        << fallback.toStdString();
    EXPECT_TRUE(fallback.contains("В папката по подразбиране е създадена нова празна база данни „" + defaultFile + "“ и е отворена"))
        << fallback.toStdString();
    EXPECT_FALSE(fallback.contains("Отворена е базата данни")) << fallback.toStdString();

    // Mended, the next start moves the work place's tables, and says so.
    platform::DestroyCreatedForms();
    testsupport::WriteOldDataFolder(work.Path(), {2, 1, 1, 1, 1, 1, 1});
    dialogs.Clear();
    Start();
    EXPECT_TRUE(AllOpenOn(work.File("tovelx.fdb")));
    EXPECT_TRUE(testsupport::ShownText(dialogs).startsWith("Преминаването към SQL успешно!"))
        << testsupport::ShownText(dialogs).toStdString();
}

// Also in a folder named in Cyrillic; the test after it runs this one again
// under a locale that is not UTF-8.
TEST_F(Startup, TheFirstStartAsksForTheWorkPlaceAndOkMakesTheDatabase) {
    testsupport::TempFolder fresh;
    platform::SetPathOverride(PathKind::InstallFolder, fresh.File("Фактури/Quillane2010"));
    platform::ScriptedDialogs dialogs;
    PrepareInstallFolder();
    Start();
    // Nothing to open yet: the work-place window asks.
    EXPECT_FALSE(DataModule1->IBDatabase1.Connected());
    ASSERT_TRUE(Form8->isVisible());
    EXPECT_EQ(Form8->Edit1->text(), fresh.File("Фактури/Quillane2010/DB"));
    Form8->SpeedButton1->click();
    const QString file = fresh.File("Фактури/Quillane2010/DB/tovelx.fdb");
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, file);
    EXPECT_TRUE(DataModule1->store.Active());
    // No old tables: the new database is told, not a move.
    EXPECT_EQ(testsupport::ShownText(dialogs), "Създадена е нова празна база данни „" + file +
                                                  "“.\nВ папката няма таблици от по-старата версия, които да бъдат прехвърлени.");
    // The next start opens it at once.
    platform::DestroyCreatedForms();
    Start();
    EXPECT_TRUE(AllOpenOn(file));
}

TEST(StartupLocale, TheFirstStartInACyrillicFolderWorksUnderALocaleThatIsNotUtf8) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILLANE_TEST_LC_ALL", "C");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=Startup.TheFirstStartAsksForTheWorkPlaceAndOkMakesTheDatabase"});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("[  PASSED  ] 1 test.")) << out.toStdString();
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
    ASSERT_EQ(testsupport::ShownText(dialogs), "Грешка при създаване");
    EXPECT_EQ(dialogs.Shown()[0].kind, platform::DialogKind::Exception);
    platform::DestroyCreatedForms();
    EXPECT_EQ(Failing, nullptr);
}

// The program itself, started as a user starts it: SIGTERM ends it as closing
// its main window does, offscreen and under an X server, where every window
// title is exactly its caption. The outcome is checked, not the speed: on a
// busy machine the start may take long, so every wait lasts as long as the
// test's own time allows, and a wait that runs out says which it was.
TEST_F(Startup, TheProgramEndsCleanlyOnSigtermAndItsWindowsCarryTheirCaptions) {
    // ctest stops a test after 600 s; what is left of that, less a margin,
    // is shared by the two runs below.
    constexpr qint64 kTestMs = 540000;
    QElapsedTimer testClock;
    testClock.start();
    testsupport::WriteFile(home.File("databases.conf"), "");
    WriteNetworkFile(home.File("DB").toUtf8() + "\r\n");  // the older form: the work-place window opens too
    // $1: the seconds the script may take in all.
    const QString script = QStringLiteral(
        "end=$(( $(date +%s) + $1 ))\n"
        "\"$0\" & pid=$!\n"
        "late() { [ \"$(date +%s)\" -ge \"$end\" ] && echo \"waited out: $1\"; }\n"
        "until grep -q tovelx \"$QUILLANE_FIREBIRD_ALIASES\"; do late 'the alias line of the opened database' && break; sleep 0.1; done\n"
        // The titles of the visible windows, read again until both windows are mapped.
        "if [ -n \"$DISPLAY\" ]; then\n"
        "  while :; do\n"
        "    names=$(for w in $(xdotool search --onlyvisible --name .); do xdotool getwindowname $w; done)\n"
        "    echo \"$names\" | grep -q 'Euro Quillane' && echo \"$names\" | grep -q 'Работно място' && break\n"
        "    late 'both windows mapped' && break; sleep 0.1\n"
        "  done\n"
        "  echo \"$names\"\n"
        "fi\n"
        "kill -TERM $pid\n"
        "while kill -0 $pid 2>/dev/null; do late 'the end of the program after SIGTERM' && kill -KILL $pid && break; sleep 0.1; done\n"
        "wait $pid; echo \"exit $?\"\n");
    const bool x = !QStandardPaths::findExecutable("xvfb-run").isEmpty() &&
                   !QStandardPaths::findExecutable("xdotool").isEmpty();
    for (const QString& platformName : {QStringLiteral("offscreen"), QStringLiteral("xcb")}) {
        SCOPED_TRACE(platformName.toStdString());
        if (platformName == "xcb" && !x) GTEST_SKIP() << "no xvfb-run or xdotool to look at real windows";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", platformName);
        env.insert("QUILLANE_HOME", home.Path());
        env.insert("QUILLANE_FIREBIRD_ALIASES", home.File("databases.conf"));
        env.remove("DISPLAY");
        QProcess program;
        program.setProcessEnvironment(env);
        // The script's waits end 10 s before this run's share of the time, so
        // that it still reports which of them ran out.
        const qint64 leftMs = kTestMs - testClock.elapsed();
        const qint64 shareMs = platformName == "offscreen" ? leftMs / 2 : leftMs;
        const QString seconds = QString::number(std::max<qint64>(shareMs / 1000 - 10, 1));
        const QStringList shell = {"sh", "-c", script, QStringLiteral(QUILLANE_EXECUTABLE), seconds};
        program.start(platformName == "xcb" ? "xvfb-run" : "sh", platformName == "xcb" ? QStringList{"-a"} + shell : shell.mid(1));
        const bool ended = program.waitForFinished(int(shareMs));
        if (!ended) program.kill(), program.waitForFinished(5000);
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const QString err = QString::fromUtf8(program.readAllStandardError());
        ASSERT_TRUE(ended) << "the script itself did not end within " << shareMs << " ms\n" << out.toStdString();
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        const QStringList waitedOut = lines.filter(QRegularExpression("^waited out: "));
        EXPECT_TRUE(waitedOut.isEmpty()) << waitedOut.join('\n').toStdString() << " (after " << seconds.toStdString()
                                         << " s)\n" << err.toStdString();
        EXPECT_EQ(lines.value(lines.size() - 1), "exit 0") << out.toStdString() << err.toStdString();
        QStringList titles = lines.mid(0, lines.size() - 1);
        titles.removeIf([](const QString& line) { return line.startsWith("waited out: "); });
        if (platformName == "xcb") {
            EXPECT_EQ(QSet<QString>(titles.begin(), titles.end()),
                      QSet<QString>({"Quillane 2013 + Euro Quillane 2013 - version 3.7.3.08", "Работно място"}));
        }
    }
}

}  // namespace
