// Work places appending documents to one database on the Firebird server at
// 127.0.0.1: one process alone, and two processes at once, each appending its
// rows through the data module (a STORE row per post, as a saved document
// is). Reports rows per second and how many distinct record keys the table
// holds afterwards. The appending processes are this program run again.

#include "BenchSupport.h"

#include "data/DataModule.h"
#include "data/Schema.h"
#include "data/WorkPlace.h"
#include "platform/Application.h"
#include "platform/Paths.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

const char kChild[] = "--append-child";
const QString kDatabase = QStringLiteral("127.0.0.1:/tmp/quillane-server/workstations-bench.fdb");

QStringList AdminParams() {
    return {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + TDataModule1::AdminPassword()};
}

// Runs work on a connection of its own, in one committed transaction.
template <class Work>
void WithConnection(bool create, Work work) {
    data::Database db;
    db.DatabaseName = kDatabase;
    if (create) {
        db.CreateDatabase(data::DatabaseCreationParams(QStringLiteral("SYSDBA"), TDataModule1::AdminPassword()));
    } else {
        db.Params = AdminParams();
        db.Open();
    }
    data::Transaction tr(&db);
    tr.StartTransaction();
    work(db, tr);
    tr.Commit();
}

void CreateDatabase() {
    WithConnection(true, [](data::Database& db, data::Transaction& tr) {
        data::SqlStatement sql;
        sql.DatabaseRef = &db;
        sql.TransactionRef = &tr;
        data::CreateSchemaTables(sql);
    });
}

void DropDatabase() {
    data::Database db;
    db.DatabaseName = kDatabase;
    db.Params = AdminParams();
    db.Open();
    db.DropDatabase();
}

// Rows and distinct keys of STORE.
std::pair<long long, long long> CountStore() {
    std::pair<long long, long long> counts;
    WithConnection(false, [&](data::Database& db, data::Transaction& tr) {
        data::Statement s(&db, &tr, QStringLiteral("select count(*), count(distinct pnom) from store"));
        s.Fetch({}, [&](data::ResultRow& r) { counts = {r.values[0].toLongLong(), r.values[1].toLongLong()}; });
    });
    return counts;
}

// The appending process: opens the server's database as the work place
// "IP address" does, waits for the common start and appends its rows.
int AppendChild(int argc, char** argv) {
    if (argc < 4) return 2;
    const int count = std::atoi(argv[2]);
    const qint64 start = std::atoll(argv[3]);
    platform::Application app(argc, argv);
    try {
        TForm8 form;
        Form8 = &form;
        form.RadioButton3->setChecked(true);
        TDataModule1 dm;
        dm.OpenDatabaseLocation(kDatabase);
        QThread::msleep(static_cast<unsigned long>(std::max<qint64>(0, start - QDateTime::currentMSecsSinceEpoch())));
        for (int i = 0; i < count; ++i) {
            dm.store.Append();
            dm.store.FieldByName(QStringLiteral("num")).SetAsString(QString::number(i + 1).rightJustified(10, '0'));
            dm.store.FieldByName(QStringLiteral("document")).SetAsString(QStringLiteral("ФАКТУРА"));
            dm.store.Post();
        }
        Form8 = nullptr;
    } catch (const platform::Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

void AppendsOnServer(benchmark::State& state);

// The server's folder must be there before a database can be made in it.
const QString kServerFolder = QStringLiteral("/tmp/quillane-server");

// processes × appends each, on a fresh database every iteration. Without a
// server that answers (or without its folder) the benchmark is reported as
// skipped with the reason, and the others go on.
void Appends(benchmark::State& state) {
    if (!QDir(kServerFolder).exists()) {
        state.SkipWithError(("the folder " + kServerFolder.toStdString() +
                             " is missing: start the test server first (scripts/firebird-server.sh start)").c_str());
        return;
    }
    try {
        AppendsOnServer(state);
    } catch (...) {
        const std::string reason = bench::ErrorText(std::current_exception());
        std::fprintf(stderr, "workstations_bench: %s\n", reason.c_str());
        state.SkipWithError(("the server at 127.0.0.1 could not be used: " + reason).c_str());
        try {
            DropDatabase();
        } catch (...) {
            // Nothing was made, or the server is gone: nothing to drop.
        }
    }
}

void AppendsOnServer(benchmark::State& state) {
    const int processes = static_cast<int>(state.range(0));
    const int appends = static_cast<int>(state.range(1));
    long long rows = 0, keys = 0;
    double seconds = 0;
    for (auto _ : state) {
        CreateDatabase();
        const qint64 start = QDateTime::currentMSecsSinceEpoch() + 1500;
        std::vector<std::unique_ptr<QProcess>> children;
        for (int i = 0; i < processes; ++i) {
            children.push_back(std::make_unique<QProcess>());
            children.back()->setProcessChannelMode(QProcess::ForwardedChannels);
            children.back()->start(QCoreApplication::applicationFilePath(),
                                   {kChild, QString::number(appends), QString::number(start)});
        }
        bool ok = true;
        for (auto& child : children)
            ok = child->waitForFinished(600000) && child->exitStatus() == QProcess::NormalExit &&
                 child->exitCode() == 0 && ok;
        const double elapsed = (QDateTime::currentMSecsSinceEpoch() - start) / 1000.0;
        const auto counts = CountStore();
        DropDatabase();
        if (!ok) {
            state.SkipWithError("an appending process failed");
            return;
        }
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        rows += counts.first;
        keys += counts.second;
    }
    if (seconds <= 0) return;
    state.counters["rows_per_s"] = benchmark::Counter(static_cast<double>(rows) / seconds);
    state.counters["rows"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kAvgIterations);
    state.counters["distinct_keys"] = benchmark::Counter(static_cast<double>(keys), benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(Appends)
    ->ArgNames({"processes", "appends"})
    ->Args({1, 200})
    ->Args({1, 400})
    ->Args({2, 200})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Opening the database by address writes no alias; the machine's file is left alone all the same.
    qputenv("QUILLANE_FIREBIRD_ALIASES", QDir::tempPath().toLocal8Bit() + "/quillane-bench-no-aliases/databases.conf");
    if (argc > 1 && std::strcmp(argv[1], kChild) == 0) return AppendChild(argc, argv);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
