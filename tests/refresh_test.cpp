// A refresh after other work places' changes, with two processes on the Firebird server at
// 127.0.0.1: the refreshed data set holds exactly the rows that a fetch of all of them gives
// beside it, row for row and in order, after inserts, changes, deletes, rows inserted into
// places that deleted rows had freed, and this work place's own changes undone by a rollback
// while the other work place changed the table; and it reads whole only the rows that are new
// or changed.

#include "data/DataModule.h"
#include "data/WorkPlace.h"
#include "support/testdatabase.h"
#include "support/testserver.h"
#include "support/testsupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

const QString kDatabase = testsupport::ServerTestDatabase(QStringLiteral("refresh"));

// A data module on the server's database, opened as the work place "IP address" opens it.
struct ServerModule : testsupport::ServerWorkPlace {
    using ServerWorkPlace::ServerWorkPlace;
    void Add(const QString& number) {
        dm.store.Append();
        dm.store.FieldByName("num").SetAsString(number);
        dm.store.FieldByName("total").SetAsString("0");
        dm.store.Post();
    }
    // The row whose number is given becomes current; false when there is none.
    bool Find(const QString& number) {
        for (int i = 1; i <= dm.store.RecordCount(); ++i) {
            dm.store.SetRecNo(i);
            if (dm.store.FieldByName("num").AsString() == number) return true;
        }
        return false;
    }
    void SetTotal(const QString& number, const QString& total) {
        if (!Find(number)) throw std::runtime_error("no row numbered " + number.toStdString());
        dm.store.Edit();
        dm.store.FieldByName("total").SetAsString(total);
        dm.store.Post();
    }
    void Remove(const QString& number) {
        if (!Find(number)) throw std::runtime_error("no row numbered " + number.toStdString());
        dm.store.Delete();
    }
    // The places (RDB$DB_KEY) of the rows with the given numbers, as this connection reads them.
    QSet<QByteArray> Places(const QStringList& numbers) {
        data::Statement s(&dm.IBDatabase1, &dm.IBTransaction1,
                          QStringLiteral("select RDB$DB_KEY from STORE where NUM = :NUM"));
        QSet<QByteArray> places;
        for (const QString& n : numbers)
            s.Fetch({data::ParamValue::Text(n)}, [&](data::ResultRow& r) { places << r.values.at(0); });
        return places;
    }
    void Run(const QString& sql, const QString& number) {
        data::Statement s(&dm.IBDatabase1, &dm.IBTransaction1, sql);
        s.Execute({data::ParamValue::Text(number)});
        dm.IBTransaction1.CommitRetaining();
    }
};

QStringList Numbers(const char* prefix, int from, int count) {
    QStringList out;
    for (int i = from; i < from + count; ++i) out << QString::fromLatin1(prefix) + QString::number(i);
    return out;
}

// One step of the other work place; its answer is the line it prints.
QString Step(ServerModule& m, const QString& step) {
    if (step == "insert") {
        for (const QString& n : Numbers("d", 1, 40)) m.Add(n);
        return "inserted";
    }
    if (step == "change") {
        // Three rows as the program changes them (each gets a new record key), one by a
        // statement that leaves its record key as it is.
        for (const char* n : {"d2", "d17", "d39"}) m.SetTotal(n, "changed " + QString(n));
        m.Run("update STORE set TOTAL = 'by a statement' where NUM = :NUM", "d25");
        return "changed";
    }
    if (step == "twice") {
        // Two changes of one row in one transaction, committed once.
        data::HeldCommits oneCommit(m.dm.IBTransaction1);
        m.SetTotal("d5", "first");
        m.SetTotal("d5", "second");
        oneCommit.Commit();
        return "changed twice";
    }
    if (step == "delete") {
        for (const char* n : {"d1", "d10", "d11", "d30", "d40"}) m.Remove(n);
        // and two of the rows written before the work places began
        for (const char* n : {"p3", "p17"}) m.Remove(n);
        return "deleted";
    }
    if (step == "add") {
        for (const QString& n : Numbers("f", 1, 4)) m.Add(n);
        return "added";
    }
    if (step == "free") {
        for (const QString& n : Numbers("f", 1, 4)) m.Remove(n);
        return "freed";
    }
    if (step == "reuse") {
        // The deleted rows are collected once no transaction begun before their delete is
        // left (a commit that keeps the transaction open keeps it as old as it began): this
        // work place begins its transaction again, and a read of every row collects them.
        m.dm.IBTransaction1.Commit();
        m.dm.IBTransaction1.StartTransaction();
        data::Statement count(&m.dm.IBDatabase1, &m.dm.IBTransaction1, QStringLiteral("select count(*) from STORE"));
        count.Fetch({}, [](data::ResultRow&) {});
        m.dm.store.Open();
        for (const QString& n : Numbers("r", 1, 4)) m.Add(n);
        return "reused";
    }
    // One row: "change row p5" (by a statement, which keeps its record key), "delete row p5",
    // "add row g1".
    static const QRegularExpression oneRow(QStringLiteral("^(change|delete|add) row (\\S+)$"));
    if (const QRegularExpressionMatch match = oneRow.match(step); match.hasMatch()) {
        const QString verb = match.captured(1), number = match.captured(2);
        if (verb == "change")
            m.Run("update STORE set TOTAL = 'by the other work place' where NUM = :NUM", number);
        else if (verb == "delete")
            m.Run("delete from STORE where NUM = :NUM", number);
        else
            m.Add(number);
        return "done: " + step;
    }
    if (step == "delete and insert") {
        // One transaction deletes a row and inserts another.
        data::HeldCommits oneCommit(m.dm.IBTransaction1);
        m.Remove("d20");
        m.Add("n1");
        oneCommit.Commit();
        return "deleted and inserted";
    }
    return "unknown step " + step;
}

// Run by the test below in a process of its own: the other work place, taking one step
// for each line it reads.
TEST(RefreshChild, DISABLED_ChangesOnCommand) {
    ServerModule m(qEnvironmentVariable("QUILLANE_REFRESH_DATABASE"));
    std::string line;
    while (std::getline(std::cin, line) && line != "quit") {
        QString answer;
        try {
            answer = Step(m, QString::fromStdString(line));
        } catch (const platform::Exception& e) {
            answer = QStringLiteral("failed: ") + e.Message();
        } catch (const std::exception& e) {
            answer = QStringLiteral("failed: ") + QString::fromUtf8(e.what());
        }
        std::printf("step: %s\n", answer.toUtf8().constData());
        std::fflush(stdout);
    }
}

// Every row's texts, in order.
QStringList RowsOf(data::DataSet& ds) {
    QStringList rows;
    for (int r = 0; r < ds.DisplayRowCount(); ++r) {
        QStringList texts;
        for (int c = 0; c < ds.FieldCount(); ++c) texts << ds.DisplayText(r, c);
        rows << texts.join(u'|');
    }
    return rows;
}

class Refresh : public ::testing::Test {
protected:
    void SetUp() override {
        try {
            testsupport::CreateSchemaDatabaseAt(kDatabase);
        } catch (const data::DatabaseError& e) {
            GTEST_SKIP() << "no database through the server on 127.0.0.1: " << e.Message().toStdString();
        }
        // Rows written before either work place began.
        testsupport::ExecuteOn(kDatabase, "insert into store (pnom, num, total) select first 30 "
                                          "'1.1.2013 0:0:0.' || rdb$relation_id, 'p' || rdb$relation_id, '0' "
                                          "from rdb$relations");
        module = std::make_unique<ServerModule>(kDatabase);
        qputenv("QUILLANE_REFRESH_DATABASE", kDatabase.toUtf8());
        other.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        other.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_also_run_disabled_tests", "--gtest_filter=RefreshChild.DISABLED_ChangesOnCommand"});
        ASSERT_TRUE(other.waitForStarted());
    }
    void TearDown() override {
        if (!module) return;
        other.write("quit\n");
        other.closeWriteChannel();
        if (!other.waitForFinished(60000)) other.kill();
        module.reset();
        testsupport::DropDatabaseAt(kDatabase);
    }
    // The other work place takes a step; its answer.
    QString OtherTakes(const QString& step) {
        other.write(step.toUtf8() + '\n');
        while (other.state() == QProcess::Running || other.canReadLine()) {
            while (other.canReadLine()) {
                const QString line = QString::fromUtf8(other.readLine()).trimmed();
                if (line.startsWith("step: ")) return line.mid(6);
            }
            other.waitForReadyRead(1000);
        }
        return "the other work place ended";
    }
    // A fetch of every row beside the refreshed data set, on the same connection.
    QStringList FetchedWhole() {
        data::DataSet all;
        all.Name = QStringLiteral("STORE");
        all.SelectSQL = module->dm.store.SelectSQL;
        all.SetDatabase(&module->dm.IBDatabase1);
        all.SetTransaction(&module->dm.IBTransaction1);
        all.Open();
        return RowsOf(all);
    }
    // Refreshed as the program refreshes it: equal to a fetch of every row, having read
    // whole the given number of rows (at most that many, when `atMost`); the current
    // record stays where it was.
    void ExpectRefreshed(int readWhole, const char* after, bool atMost = false) {
        SCOPED_TRACE(after);
        data::DataSet& store = module->dm.store;
        const int recNo = std::min(3, store.RecordCount());
        if (recNo > 0) store.SetRecNo(recNo);
        store.Refresh();
        const QStringList whole = FetchedWhole();
        EXPECT_EQ(RowsOf(store), whole);
        if (atMost) {
            EXPECT_LE(store.RowsReadWhole(), readWhole);
        } else {
            EXPECT_EQ(store.RowsReadWhole(), readWhole);
        }
        if (recNo > 0) {
            EXPECT_EQ(store.RecNo(), recNo);
        }
        EXPECT_EQ(whole.size(), testsupport::QueryRows(kDatabase, "select count(*) from store").value(0).toInt());
    }
    std::unique_ptr<ServerModule> module;
    QProcess other;
};

TEST_F(Refresh, AfterEveryChangeOfAnotherWorkPlaceEqualsAFetchOfEveryRow) {
    ExpectRefreshed(0, "nothing changed");
    ASSERT_EQ(OtherTakes("insert"), "inserted");
    ExpectRefreshed(70, "forty rows inserted (so many that every row is read whole)");
    // Nothing changed: the rows are the same (a list filled from them need not be filled again),
    // and the rows written before this work place began are not even listed again.
    const unsigned long long changes = module->dm.store.Changes();
    ExpectRefreshed(0, "nothing changed since");
    EXPECT_EQ(module->dm.store.Changes(), changes);
    EXPECT_LT(module->dm.store.PlacesRead(), 70);

    ASSERT_EQ(OtherTakes("change"), "changed");
    ExpectRefreshed(4, "four rows changed, one of them keeping its record key");
    EXPECT_GT(module->dm.store.Changes(), changes);
    EXPECT_TRUE(RowsOf(module->dm.store).filter("by a statement").size() == 1);

    ASSERT_EQ(OtherTakes("twice"), "changed twice");
    ExpectRefreshed(1, "one row changed twice in one transaction");
    EXPECT_TRUE(RowsOf(module->dm.store).filter("|second|").size() == 1);

    ASSERT_EQ(OtherTakes("delete"), "deleted");
    ExpectRefreshed(0, "seven rows deleted, two of them written before this work place began");

    ASSERT_EQ(OtherTakes("delete and insert"), "deleted and inserted");
    ExpectRefreshed(1, "a row deleted and another inserted in one transaction");
}

// Rows deleted while this work place holds them, their places freed and taken by new rows
// before it reads again. Places are freed only once every transaction begun before the
// delete has ended, so here the held rows go over to a new transaction, as the rows of
// a work place that began its transaction again would.
TEST_F(Refresh, AfterRowsAreDeletedAndTheirPlacesTakenEqualsAFetchOfEveryRow) {
    data::Database& db = module->dm.IBDatabase1;
    ASSERT_EQ(OtherTakes("insert"), "inserted");
    ASSERT_EQ(OtherTakes("add"), "added");  // the rows added last stand where the next rows are put
    auto first = std::make_unique<data::Transaction>(&db), second = std::make_unique<data::Transaction>(&db);
    first->Params = second->Params = module->dm.IBTransaction1.Params;
    first->StartTransaction();
    data::DataSet held;
    held.Name = QStringLiteral("STORE");
    held.SelectSQL = module->dm.store.SelectSQL;
    held.SetDatabase(&db);
    held.SetTransaction(first.get());
    held.Open();
    ASSERT_EQ(held.RecordCount(), 74);
    const QSet<QByteArray> freed = module->Places(Numbers("f", 1, 4));
    ASSERT_EQ(freed.size(), 4);

    ASSERT_EQ(OtherTakes("free"), "freed");
    second->StartTransaction();
    held.SetTransaction(second.get());
    first->Commit();
    module->dm.IBTransaction1.Commit();
    module->dm.IBTransaction1.StartTransaction();
    ASSERT_EQ(OtherTakes("reuse"), "reused");
    ASSERT_EQ(module->Places(Numbers("r", 1, 4)), freed) << "the new rows did not take the freed places";

    held.FetchAgain();
    data::DataSet whole;
    whole.SelectSQL = held.SelectSQL;
    whole.SetDatabase(&db);
    whole.SetTransaction(second.get());
    whole.Open();
    EXPECT_EQ(RowsOf(held), RowsOf(whole));
    EXPECT_EQ(held.RowsReadWhole(), 4);
    EXPECT_EQ(RowsOf(held).filter("|r").size(), 4);
    EXPECT_TRUE(RowsOf(held).filter("|f").isEmpty());
}

TEST_F(Refresh, AfterThisWorkPlacesOwnChangesEqualsAFetchOfEveryRow) {
    ASSERT_EQ(OtherTakes("insert"), "inserted");
    ExpectRefreshed(70, "forty rows inserted (so many that every row is read whole)");

    // A post refreshes the data set at once: the posted row is read whole again.
    module->SetTotal("d7", "mine");
    EXPECT_EQ(module->dm.store.RowsReadWhole(), 1);
    // A row this work place wrote may be read once more: when its key had to be moved off
    // a key another row holds, or when the engine numbered the commit's transaction so
    // that the row's version could not yet be told from the open transaction's own.
    ExpectRefreshed(1, "this work place's change, committed and read since", true);

    // Two changes of one row and a new row under one commit, refreshed after it.
    {
        data::HeldCommits oneCommit(module->dm.IBTransaction1);
        module->SetTotal("d8", "first");
        module->SetTotal("d8", "second");
        module->Add("mine");
        oneCommit.Commit();
    }
    // (Each post of the span refreshes once it is committed: the first reads the two rows.)
    EXPECT_EQ(RowsOf(module->dm.store), FetchedWhole());
    ExpectRefreshed(2, "two changes of one row and a new row under one commit", true);

    // A row changed twice by this work place's open transaction, refreshed in between.
    {
        data::HeldCommits oneCommit(module->dm.IBTransaction1);
        module->Run("update STORE set TOTAL = 'once' where NUM = :NUM", "d10");
        ExpectRefreshed(1, "a row changed by this work place's open transaction");
        module->Run("update STORE set TOTAL = 'twice' where NUM = :NUM", "d10");
        ExpectRefreshed(1, "the same row changed again by the same open transaction");
        EXPECT_EQ(RowsOf(module->dm.store).filter("|twice|").size(), 1);
        oneCommit.Commit();
    }
    ExpectRefreshed(1, "the two changes committed");

    // Changed here and by the other work place, and refreshed in between.
    module->Run("update STORE set TOTAL = 'here' where NUM = :NUM", "d9");
    ASSERT_EQ(OtherTakes("change"), "changed");
    ExpectRefreshed(5, "rows changed here and by the other work place");
    module->Remove("d3");
    ExpectRefreshed(0, "a row deleted here");
}

// This work place's own change, made under held commits (the data set refreshed inside the
// span, as a post refreshes it) and then rolled back, as a refused save rolls back the
// counter it raised; the other work place changes, deletes or adds one other row, before or
// after the rollback. A rolled-back row is back under its old version, older than what the
// last refresh had seen, and the other work place's change can make the table's count come
// out as held: every refresh must still give what a fetch of every row gives.
TEST_F(Refresh, AfterThisWorkPlacesOwnChangesAreRolledBackEqualsAFetchOfEveryRow) {
    ASSERT_EQ(OtherTakes("insert"), "inserted");
    ExpectRefreshed(70, "forty rows inserted (so many that every row is read whole)");
    data::Transaction& tr = module->dm.IBTransaction1;
    // The rows written before either work place began, for the other work place to change or delete.
    QStringList older = testsupport::QueryRows(kDatabase, "select num from store where num starting with 'p'");
    ASSERT_GE(older.size(), 12);
    int own = 0, added = 0;
    for (const char* mine : {"change", "delete", "insert"}) {
        for (const char* theirs : {"change", "delete", "add"}) {
            for (const bool duringSpan : {false, true}) {
                const QString ownRow = QStringLiteral("d%1").arg(++own);
                const QString otherRow =
                    QString(theirs) == "add" ? QStringLiteral("g%1").arg(++added) : older.takeFirst();
                const QString step = QStringLiteral("%1 row %2").arg(theirs, otherRow);
                const std::string round = QStringLiteral("own %1 of %2 rolled back, the other's %3 %4 the span")
                                              .arg(mine, ownRow, step, duringSpan ? "inside" : "after")
                                              .toStdString();
                SCOPED_TRACE(round);
                {
                    data::HeldCommits span(tr);
                    if (QString(mine) == "change")
                        module->SetTotal(ownRow, "undone");
                    else if (QString(mine) == "delete")
                        module->Remove(ownRow);
                    else
                        module->Add(QStringLiteral("undone%1").arg(own));
                    if (duringSpan) {
                        ASSERT_EQ(OtherTakes(step), "done: " + step);
                    }
                    span.Rollback();
                }
                if (!duringSpan) {
                    ASSERT_EQ(OtherTakes(step), "done: " + step);
                }
                ExpectRefreshed(2, round.c_str(), true);
                EXPECT_TRUE(RowsOf(module->dm.store).filter("undone").isEmpty());
                // And once more, nothing having changed since.
                ExpectRefreshed(0, (round + ", refreshed again").c_str());
            }
        }
    }
}

}  // namespace
