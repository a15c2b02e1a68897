// Work places sharing one database on the Firebird server at 127.0.0.1: two processes appending
// at once never share a record key, two changing one row lose no change, and a data module whose
// server was restarted connects again by itself and tells truthfully what a post broken by the
// lost server became.

#include "data/DataModule.h"
#include "data/WorkPlace.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/SystemClock.h"
#include "support/testdatabase.h"
#include "support/testserver.h"
#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QString kDatabase = testsupport::ServerTestDatabase(QStringLiteral("workstations"));

// A data module on the server's database, opened as the work place "IP address" opens it.
struct ServerModule : testsupport::ServerWorkPlace {
    using ServerWorkPlace::ServerWorkPlace;
    void AddDocument(const QString& number) {
        dm.store.Append();
        dm.store.FieldByName("num").SetAsString(number);
        dm.store.Post();
    }
    // As a document is saved: its row committed by one commit with whatever else the save writes.
    void SaveDocument(const QString& number) {
        data::HeldCommits oneCommit(dm.IBTransaction1);
        data::PostGuard guard(dm.store);
        dm.store.Append();
        dm.store.FieldByName("num").SetAsString(number);
        guard.Post();
        oneCommit.Commit();
    }
};

// The clock moves in steps of 16 ms, as the system time of many computers
// does: two work places posting at once meet on keys often.
void StepClock() {
    static qint64 tick = 0;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - now % 16 != tick) platform::SetFixedClock(QDateTime::fromMSecsSinceEpoch(tick = now - now % 16, Qt::UTC));
}

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
        testsupport::DropDatabaseAt(kDatabase);
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

using testsupport::ServerPidFile;
using testsupport::StartServerAgain;
const QString kServerScript = QStringLiteral(QUILLANE_SCRIPTS_DIR "/firebird-server.sh");

TEST_F(Workstations, AfterTheServerRestartsTheSameModuleConnectsAgain) {
    SKIP_WITHOUT_OWN_SERVER();
    module->AddDocument("1");
    const QString pid = QString::fromLatin1(testsupport::ReadFile(ServerPidFile())).trimmed();

    ASSERT_EQ(QProcess::execute(kServerScript, {"stop", pid}), 0);
    EXPECT_THROW(module->AddDocument("lost"), data::ConnectionLostError);
    StartServerAgain();
    ASSERT_NE(QString::fromLatin1(testsupport::ReadFile(ServerPidFile())).trimmed(), pid) << "the server did not start again";

    module->dm.OpenDatabaseLocation(kDatabase);
    EXPECT_EQ(module->dm.store.RecordCount(), 1);
    module->AddDocument("2");
    EXPECT_EQ(testsupport::QueryRows(kDatabase, "select num from store order by num"), (QStringList{"1", "2"}));
}

// Run by the test below in a process of its own: another work place posting
// documents "c0", "c1", ... until a file appears, whatever the server does.
// Its clock moves in steps of 16 ms, as the test's own does, so that the two
// work places' keys meet often.
TEST(WorkstationsChild, DISABLED_PostsUntilStopped) {
    ServerModule m(qEnvironmentVariable("QUILLANE_APPEND_DATABASE"));
    const QString stop = qEnvironmentVariable("QUILLANE_POST_STOP");
    std::printf("posting\n");
    std::fflush(stdout);
    for (int i = 0; !QFileInfo::exists(stop); ++i) {
        StepClock();
        try {
            m.AddDocument("c" + QString::number(i));
        } catch (const data::DatabaseError&) {
            // The server is gone for a while: this work place goes on when it is back.
        }
    }
    platform::SetFixedClock(std::nullopt);
}

// The server is killed at a moment of its own while documents are posted one after another (by
// turns alone and as a save does, under one held commit), and started again, while another work
// place posts too, its keys meeting this one's. The same module goes on by itself; every post
// told as done is stored once, every one told as not stored is not, and only one told as unknown
// may be either: the other work place's row under the same key is never taken for this one's.
TEST_F(Workstations, LosingTheServerDuringPostsIsToldTruthfullyAndTheModuleGoesOn) {
    SKIP_WITHOUT_OWN_SERVER();
    const QString pid = QString::fromLatin1(testsupport::ReadFile(ServerPidFile())).trimmed();
    module->AddDocument("first");
    // Whatever happens below, the server runs again at the end.
    struct Restarter {
        ~Restarter() { StartServerAgain(); }
    } restarter;
    testsupport::TempFolder folder;
    const QString stop = folder.File("stop");
    qputenv("QUILLANE_APPEND_DATABASE", kDatabase.toUtf8());
    qputenv("QUILLANE_POST_STOP", stop.toUtf8());
    QProcess other;
    other.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    other.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests", "--gtest_filter=WorkstationsChild.DISABLED_PostsUntilStopped"});
    QByteArray out;
    while (!out.contains("posting") && other.waitForReadyRead(60000)) out += other.readAllStandardOutput();
    ASSERT_TRUE(out.contains("posting")) << out.toStdString();
    struct Stopper {
        QProcess& process;
        QString file;
        ~Stopper() {
            testsupport::WriteFile(file, "");
            process.waitForFinished(60000);
        }
    } stopper{other, stop};
    platform::ScriptedDialogs dialogs;
    QProcess killer;
    killer.start("bash", {"-c", "sleep 0.$(( RANDOM % 5 + 1 )); kill -KILL " + pid});
    QSet<QString> done, notStored, unknown;
    QString told;
    int lost = 0, afterRestart = 0;
    QElapsedTimer running;
    running.start();
    for (int i = 0; afterRestart < 20 && running.elapsed() < 60000; ++i) {
        const QString number = QString::number(i);
        StepClock();
        try {
            i % 2 ? module->SaveDocument(number) : module->AddDocument(number);
            done << number;
            if (lost >= 3) ++afterRestart;
        } catch (const data::ConnectionLostError& e) {
            ASSERT_EQ(afterRestart, 0) << "the module did not go on after the restart: " << e.Message().toStdString();
            told = e.Message();
            (told.contains("Не може да се разбере") ? unknown : notStored) << number;
            if (++lost == 3) StartServerAgain();
        }
    }
    platform::SetFixedClock(std::nullopt);
    killer.waitForFinished();
    // The other work place stops before the rows are counted.
    testsupport::WriteFile(stop, "");
    EXPECT_TRUE(other.waitForFinished(60000));
    EXPECT_EQ(afterRestart, 20);
    EXPECT_TRUE(told.startsWith("Няма връзка със сървъра!") && told.contains(kDatabase)) << told.toStdString();
    QSet<QString> stored;
    for (const QString& n :
         testsupport::QueryRows(kDatabase, "select num from store where num <> 'first' and num not starting with 'c'")) {
        EXPECT_FALSE(stored.contains(n)) << "stored twice: " << n.toStdString();
        stored << n;
    }
    EXPECT_EQ(stored - unknown, done) << "told done: " << done.size() << ", stored: " << stored.size();
    EXPECT_TRUE((stored & notStored).isEmpty());
    // A post left unknown is looked up once connected again, and told.
    int toldStored = 0, toldNotStored = 0;
    for (const platform::DialogRequest& shown : dialogs.Shown())
        ++(shown.text.endsWith("не е записана: направете я отново.") ? toldNotStored : toldStored);
    EXPECT_EQ(toldStored, (unknown & stored).size());
    EXPECT_EQ(toldNotStored, (unknown - stored).size());
    const QString shared = testsupport::QueryRows(
        kDatabase, "select count(*) from store a where a.num not starting with 'c' and exists "
                   "(select 1 from store b where b.num starting with 'c' and b.pnom = a.pnom)").value(0);
    std::printf("posts told done: %lld, not stored: %lld, unknown: %lld, stored: %lld; the other work place's "
                "posts: %s, of which under a key of this one's: %s\n",
                qlonglong(done.size()), qlonglong(notStored.size()), qlonglong(unknown.size()),
                qlonglong(stored.size()),
                qPrintable(testsupport::QueryRows(kDatabase, "select count(*) from store where num starting with 'c'").value(0)),
                qPrintable(shared));
}

// Run by the tests below in a process of its own: another work place
// commits a STORE row with the key and number it is given.
TEST(WorkstationsChild, DISABLED_WritesARow) {
    testsupport::ExecuteOn(qEnvironmentVariable("QUILLANE_APPEND_DATABASE"),
                           QStringLiteral("insert into store (pnom, num) values ('%1', '%2')")
                               .arg(qEnvironmentVariable("QUILLANE_ROW_KEY"), qEnvironmentVariable("QUILLANE_ROW_NUM")));
}

// Another work place, in a process of its own, commits a STORE row.
void AnotherWorkPlaceWrites(const QString& key, const QString& number) {
    qputenv("QUILLANE_APPEND_DATABASE", kDatabase.toUtf8());
    qputenv("QUILLANE_ROW_KEY", key.toUtf8());
    qputenv("QUILLANE_ROW_NUM", number.toUtf8());
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests", "--gtest_filter=WorkstationsChild.DISABLED_WritesARow"});
    ASSERT_TRUE(child.waitForFinished(60000) && child.exitCode() == 0);
}

// What a lost connection's error says became of the change, with its text.
struct Told {
    data::ConnectionLostError::Change change = data::ConnectionLostError::Change::None;
    QString text;
    bool thrown = false;
};
template <class Work>
Told LostWhile(Work work) {
    Told told;
    try {
        work();
    } catch (const data::ConnectionLostError& e) {
        told = {e.WhatBecame(), e.Message(), true};
    }
    return told;
}

// Another work place writes the key of this one's post in the same
// millisecond, and the server goes before this post is committed: the row
// found by that key is not taken for this post, neither at once nor when the
// server comes back only later.
TEST_F(Workstations, AnotherWorkPlacesRowOfTheSameKeyIsNotTakenForALostPost) {
    SKIP_WITHOUT_OWN_SERVER();
    const testsupport::ServerRunsAtEnd serverRuns;
    platform::ScriptedDialogs dialogs;
    using Change = data::ConnectionLostError::Change;
    data::DataSet& store = module->dm.store;
    for (const bool backAtOnce : {true, false}) {
        SCOPED_TRACE(backAtOnce ? "the server is back at once" : "the server is back later");
        const QString mine = backAtOnce ? "mine" : "mine later";
        platform::SetFixedClock(QDateTime(QDate(2013, 5, backAtOnce ? 5 : 6), QTime(10, 0, 0, 0), Qt::UTC));
        data::HeldCommits oneCommit(module->dm.IBTransaction1);
        {
            data::PostGuard guard(store);
            store.Append();
            store.FieldByName("num").SetAsString(mine);
            guard.Post();
        }
        const QString key = store.FieldByName("pnom").AsString();
        AnotherWorkPlaceWrites(key, backAtOnce ? "theirs" : "theirs later");
        ASSERT_TRUE(testsupport::KillServer());
        if (backAtOnce) StartServerAgain();
        const Told told = LostWhile([&] { oneCommit.Commit(); });
        EXPECT_TRUE(told.thrown);
        EXPECT_EQ(told.change, backAtOnce ? Change::NotStored : Change::Unknown) << told.text.toStdString();
        if (!backAtOnce) {
            StartServerAgain();
            // The next action connects again and looks the post up.
            store.Refresh();
            ASSERT_EQ(dialogs.Shown().size(), 1u);
            EXPECT_TRUE(dialogs.Shown().back().text.endsWith("не е записана: направете я отново."))
                << dialogs.Shown().back().text.toStdString();
        }
        EXPECT_EQ(testsupport::QueryRows(kDatabase, QStringLiteral("select num from store where pnom = '%1'").arg(key)),
                  QStringList{backAtOnce ? "theirs" : "theirs later"});
    }
    platform::SetFixedClock(std::nullopt);
}

// The work-place window shows another option, chosen but not confirmed with
// OK, when the server goes: the connection is made again to the database
// that was open, and the server's alias line is left as it is.
TEST_F(Workstations, AfterALostServerTheDatabaseThatWasOpenIsReachedAgain) {
    SKIP_WITHOUT_OWN_SERVER();
    const testsupport::ServerRunsAtEnd serverRuns;
    // An alias file of this test's own.
    const testsupport::TempFolder home;
    const QString aliases = home.File("databases.conf");
    platform::SetPathOverride(platform::PathKind::AliasesFile, aliases);
    struct OverrideGoes {
        ~OverrideGoes() { platform::ClearPathOverrides(); }
    } overrideGoes;
    const QByteArray aliasLines = "tovelx = /srv/elsewhere/tovelx.fdb\r\n";
    testsupport::WriteFile(aliases, aliasLines);
    module->AddDocument("1");
    // This computer's folder is chosen, and the window closed without OK.
    module->form.Show();
    QRadioButton* here = module->form.RadioButton1;
    QTest::mouseClick(here, Qt::LeftButton, {}, QPoint(5, here->height() / 2));
    ASSERT_TRUE(here->isChecked());
    module->form.close();
    ASSERT_TRUE(testsupport::StopServer());
    StartServerAgain();
    module->dm.store.Refresh();  // read once more after connecting again
    EXPECT_EQ(module->dm.IBDatabase1.DatabaseName, kDatabase);
    module->AddDocument("2");
    EXPECT_EQ(testsupport::QueryRows(kDatabase, "select num from store order by num"), (QStringList{"1", "2"}));
    EXPECT_EQ(testsupport::ReadFile(aliases), aliasLines);
}

}  // namespace
