// Work places sharing one database on the Firebird server at 127.0.0.1: two processes appending
// at once never share a record key, two changing one row lose no change, and a data module whose
// server was restarted connects again.

#include "data/DataModule.h"
#include "data/WorkPlace.h"
#include "platform/SystemClock.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Of this test program alone: other test runs on this computer may share the server.
const QString kDatabase =
    QStringLiteral("127.0.0.1:/tmp/quillane-server/workstations-%1.fdb").arg(QCoreApplication::applicationPid());

// A data module on the server's database, opened as the work place "IP address" opens it.
struct ServerModule {
    explicit ServerModule(const QString& database) {
        Form8 = &form;
        form.RadioButton3->setChecked(true);
        dm.OpenDatabaseLocation(database);
    }
    ~ServerModule() { Form8 = nullptr; }
    void AddDocument(const QString& number) {
        dm.store.Append();
        dm.store.FieldByName("num").SetAsString(number);
        dm.store.Post();
    }
    TForm8 form;
    TDataModule1 dm;
};

class Workstations : public ::testing::Test {
protected:
    void SetUp() override {
        try {
            testsupport::CreateSchemaDatabaseAt(kDatabase);
        } catch (const data::DatabaseError& e) {
            GTEST_SKIP() << "no database through the server on 127.0.0.1: " << e.Message().toStdString();
        }
        module = std::make_unique<ServerModule>(kDatabase);
    }
    void TearDown() override {
        if (!module) return;
        module.reset();
        data::Database db;
        db.DatabaseName = kDatabase;
        db.Params = {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + TDataModule1::AdminPassword()};
        db.Open();
        db.DropDatabase();
    }
    std::unique_ptr<ServerModule> module;
};

// Run by the test below in processes of their own.
TEST(WorkstationsChild, DISABLED_AppendsDocuments) {
    ServerModule m(qEnvironmentVariable("QUILLANE_APPEND_DATABASE"));
    // Both processes begin at the same moment, so that their keys meet.
    const qint64 start = qEnvironmentVariable("QUILLANE_APPEND_START").toLongLong();
    QThread::msleep(static_cast<unsigned long>(std::max<qint64>(0, start - QDateTime::currentMSecsSinceEpoch())));
    for (int i = 0; i < 200; ++i) m.AddDocument(QString::number(i));
}

TEST_F(Workstations, TwoProcessesAppendingAtOnceGiveEveryRowItsOwnKey) {
    qputenv("QUILLANE_APPEND_DATABASE", kDatabase.toUtf8());
    qputenv("QUILLANE_APPEND_START", QByteArray::number(QDateTime::currentMSecsSinceEpoch() + 2000));
    QProcess children[2];
    for (QProcess& child : children) {
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_also_run_disabled_tests", "--gtest_filter=WorkstationsChild.DISABLED_AppendsDocuments"});
    }
    for (QProcess& child : children) ASSERT_TRUE(child.waitForFinished(300000) && child.exitCode() == 0);
    EXPECT_EQ(testsupport::QueryRows(kDatabase, "select count(*), count(distinct pnom) from store"), QStringList{"400|400"});

    // A post refreshes: the other processes' documents show up at once.
    module->AddDocument("mine");
    data::DataSet& store = module->dm.store;
    EXPECT_EQ(store.RecordCount(), 401);
    // Each row is reached alone: an edit and a delete touch one row each.
    store.SetRecNo(123);
    store.Edit();
    store.FieldByName("num").SetAsString("edited");
    store.Post();
    store.SetRecNo(321);
    store.Delete();
    EXPECT_EQ(store.RecordCount(), 400);
    EXPECT_EQ(testsupport::QueryRows(kDatabase, "select count(*), count(distinct pnom), sum(iif(num = 'edited', 1, 0)) from store"),
              QStringList{"400|400|1"});
}

// Run by the test below in processes of their own: adds one to the number of
// the one STORE row, reading it again and trying again whenever refused.
TEST(WorkstationsChild, DISABLED_AddsOneToACounter) {
    ServerModule m(qEnvironmentVariable("QUILLANE_APPEND_DATABASE"));
    const qint64 start = qEnvironmentVariable("QUILLANE_APPEND_START").toLongLong();
    QThread::msleep(static_cast<unsigned long>(std::max<qint64>(0, start - QDateTime::currentMSecsSinceEpoch())));
    data::DataSet& store = m.dm.store;
    int done = 0, refused = 0;
    qint64 tick = 0;
    while (done < 500) {
        // The clock moves in steps of 16 ms, as the system time of many
        // computers does: the two processes' keys meet often.
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (now - now % 16 != tick) platform::SetFixedClock(QDateTime::fromMSecsSinceEpoch(tick = now - now % 16, Qt::UTC));
        try {
            store.Refresh();
            store.Edit();
            data::Field num = store.FieldByName("num");
            num.SetAsString(QString::number(num.AsString().toInt() + 1));
            store.Post();
            ++done;
        } catch (const data::RecordChangedError&) {
            ++refused;
            store.Cancel();
        } catch (const data::RecordInUseError&) {
            ++refused;
            store.Cancel();
        }
    }
    platform::SetFixedClock(std::nullopt);
    std::printf("done=%d refused=%d\n", done, refused);
}

// Two processes change one row as fast as they can: no change is overwritten
// by the other's, so the row counts every post reported as done.
TEST_F(Workstations, TwoProcessesCountingOnOneRowLoseNoChange) {
    testsupport::ExecuteOn(kDatabase, "insert into store (pnom, num) values ('1.1.2013 0:0:0.0', '0')");
    qputenv("QUILLANE_APPEND_DATABASE", kDatabase.toUtf8());
    qputenv("QUILLANE_APPEND_START", QByteArray::number(QDateTime::currentMSecsSinceEpoch() + 2000));
    QProcess children[2];
    for (QProcess& child : children) {
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_also_run_disabled_tests", "--gtest_filter=WorkstationsChild.DISABLED_AddsOneToACounter"});
    }
    int done = 0, refused = 0;
    for (QProcess& child : children) {
        ASSERT_TRUE(child.waitForFinished(300000));
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        ASSERT_EQ(child.exitCode(), 0) << out.toStdString();
        done += out.section(QStringLiteral("done="), 1).section(u' ', 0, 0).toInt();
        refused += out.section(QStringLiteral("refused="), 1).section(u'\n', 0, 0).toInt();
    }
    const QStringList counted = testsupport::QueryRows(kDatabase, "select num from store");
    std::printf("posts done: %d, refused and tried again: %d, counted: %s\n", done, refused,
                qPrintable(counted.value(0)));
    EXPECT_EQ(done, 1000);
    EXPECT_EQ(counted, QStringList{QString::number(done)});
}

TEST_F(Workstations, AfterTheServerRestartsTheSameModuleConnectsAgain) {
    const QString pidFile = qEnvironmentVariable("QUILLANE_TEST_SERVER_PID_FILE");
    if (pidFile.isEmpty())
        GTEST_SKIP() << "no server of the tests' own to restart: QUILLANE_TEST_SERVER_PID_FILE names the file "
                        "holding its process id (scripts/quillane.sh test sets it when it starts the server)";
    const QString script = QStringLiteral(QUILLANE_SCRIPTS_DIR "/firebird-server.sh");
    module->AddDocument("1");

    ASSERT_EQ(QProcess::execute(script, {"stop", QString::fromLatin1(testsupport::ReadFile(pidFile)).trimmed()}), 0);
    EXPECT_THROW(module->AddDocument("lost"), data::DatabaseError);
    QProcess start;
    start.start(script, {"start"});
    ASSERT_TRUE(start.waitForFinished(30000));
    const QByteArray pid = start.readAllStandardOutput().trimmed();
    ASSERT_FALSE(pid.isEmpty()) << "the server did not start again";
    testsupport::WriteFile(pidFile, pid + '\n');

    module->dm.OpenDatabaseLocation(kDatabase);
    EXPECT_EQ(module->dm.store.RecordCount(), 1);
    module->AddDocument("2");
    EXPECT_EQ(testsupport::QueryRows(kDatabase, "select num from store order by num"), (QStringList{"1", "2"}));
}

}  // namespace
