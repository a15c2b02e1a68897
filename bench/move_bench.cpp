// The set-up's move of the older version's Paradox tables into a new
// database, at 2,000, 10,000 and 20,000 old records (half customers, half
// goods, one record in each other table), against a plain client that
// inserts the same rows through Firebird's object interface in one
// transaction. The move is timed whole, as the user waits for it: the
// database and its tables created, the old tables read, the rows exchanged
// and written, the data sets fetched. The plain insert is timed from its
// transaction's start to its commit, in a database that already has its
// tables; the set-up of a folder without old tables shows what creating the
// database costs by itself.

#include "data/DataFolderSetUp.h"
#include "data/DataModule.h"
#include "data/Schema.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "support/paradoxwriter.h"

#include <benchmark/benchmark.h>
#include <firebird/Interface.h>

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace Firebird;

const int kSizes[] = {2000, 10000, 20000};

QString g_root;  // the benchmark's own folder

// One old data folder of the given size, written once.
QString OldFolder(int records) {
    const QString dir = g_root + QStringLiteral("/old-%1").arg(records);
    if (!QFile::exists(dir + QStringLiteral("/customer.db"))) {
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        testsupport::WriteOldDataFolder(dir, {records / 2, 1, 1, records - records / 2, 1, 1, 1});
    }
    return dir;
}

// The set-up of a folder, run as the program runs it.
void RunSetUp(const QString& folder) {
    TDataModule1* dm = DataModule1;
    dm->IBTransaction1.SetActive(false);
    dm->IBDatabase1.Close();
    QFile::remove(folder + QStringLiteral("/tovelx.fdb"));
    for (data::TTable* t : dm->ParadoxTables()) {
        t->Close();
        t->SetDatabaseName(folder);
    }
    Form7->Show();
    Form7->MoveToSql(folder);
}

// ---------------------------------------------------------------- the plain client

class Client {
public:
    Client() : master_(fb_get_master_interface()), st_(master_->getStatus()) {}
    ~Client() { st_.dispose(); }

    IAttachment* Attach(const std::string& file, bool create) {
        IXpbBuilder* dpb = master_->getUtilInterface()->getXpbBuilder(&st_, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&st_, isc_dpb_user_name, "SYSDBA");
        dpb->insertString(&st_, isc_dpb_password, TDataModule1::AdminPassword().toLatin1().constData());
        dpb->insertInt(&st_, isc_dpb_sql_dialect, 3);
        if (create) dpb->insertString(&st_, isc_dpb_set_db_charset, "WIN1251");
        IProvider* provider = master_->getDispatcher();
        IAttachment* att = create ? provider->createDatabase(&st_, file.c_str(), dpb->getBufferLength(&st_),
                                                            dpb->getBuffer(&st_))
                                  : provider->attachDatabase(&st_, file.c_str(), dpb->getBufferLength(&st_),
                                                            dpb->getBuffer(&st_));
        provider->release();
        dpb->dispose();
        return att;
    }

    // A new database with the program's eight tables.
    IAttachment* CreateWithTables(const std::string& file) {
        QFile::remove(QString::fromStdString(file));
        IAttachment* att = Attach(file, true);
        ITransaction* tra = att->startTransaction(&st_, 0, nullptr);
        for (const QString& text : data::SchemaTexts())
            att->execute(&st_, tra, 0, text.toLatin1().constData(), 3, nullptr, nullptr, nullptr, nullptr);
        tra->commit(&st_);
        return att;
    }

    static std::string InsertText(const data::TableDef& t) {
        std::string marks;
        for (size_t i = 0; i < t.columns.size(); ++i) marks += i ? ",?" : "?";
        return "insert into " + std::string(t.name) + " values (" + marks + ")";
    }

    ThrowStatusWrapper& St() { return st_; }

private:
    IMaster* master_;
    ThrowStatusWrapper st_;
};

// The rows of every table of a database, as the input messages of its inserts.
struct TableRows {
    const data::TableDef* table;
    unsigned length = 0;
    std::vector<std::vector<unsigned char>> messages;
};

std::vector<TableRows> ReadRows(Client& c, const std::string& source, const std::string& scratch) {
    ThrowStatusWrapper& st = c.St();
    IAttachment* from = c.Attach(source, false);
    IAttachment* to = c.CreateWithTables(scratch);
    ITransaction* readTra = from->startTransaction(&st, 0, nullptr);
    ITransaction* toTra = to->startTransaction(&st, 0, nullptr);
    std::vector<TableRows> all;
    for (const data::TableDef& t : data::SchemaTables()) {
        IStatement* insert = to->prepare(&st, toTra, 0, Client::InsertText(t).c_str(), 3, 0);
        IMessageMetadata* meta = insert->getInputMetadata(&st);
        TableRows rows{&t, meta->getMessageLength(&st), {}};
        std::vector<unsigned> blobNulls;
        for (unsigned i = 0; i < meta->getCount(&st); ++i)
            if ((meta->getType(&st, i) & ~1u) == SQL_BLOB) blobNulls.push_back(meta->getNullOffset(&st, i));
        const std::string select = "select * from " + std::string(t.name);
        IResultSet* rs = from->openCursor(&st, readTra, 0, select.c_str(), 3, nullptr, nullptr, meta, nullptr, 0);
        std::vector<unsigned char> buffer(rows.length);
        while (rs->fetchNext(&st, buffer.data()) == IStatus::RESULT_OK) {
            // Pictures stay behind: their ids belong to the other database.
            for (unsigned off : blobNulls) *reinterpret_cast<short*>(buffer.data() + off) = -1;
            rows.messages.push_back(buffer);
        }
        rs->close(&st);
        meta->release();
        insert->free(&st);
        all.push_back(std::move(rows));
    }
    readTra->commit(&st);
    toTra->commit(&st);
    from->detach(&st);
    to->detach(&st);
    return all;
}

// ---------------------------------------------------------------- benchmarks

std::map<int, std::vector<TableRows>> g_rows;  // by size

void Move(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    const QString folder = OldFolder(records);
    for (auto _ : state) RunSetUp(folder);
    if (DataModule1->cust.RecordCount() + DataModule1->stock.RecordCount() != records)
        state.SkipWithError("not every old record was moved");
    state.counters["records"] = records;
    state.counters["records/s"] = benchmark::Counter(records, benchmark::Counter::kIsIterationInvariantRate);

    // The moved rows, for the plain client's insert.
    DataModule1->IBTransaction1.SetActive(false);
    DataModule1->IBDatabase1.Close();
    if (!g_rows.count(records)) {
        Client c;
        g_rows[records] = ReadRows(c, (folder + QStringLiteral("/tovelx.fdb")).toStdString(),
                                   (g_root + QStringLiteral("/scratch.fdb")).toStdString());
    }
}

void PlainInsert(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    auto found = g_rows.find(records);
    if (found == g_rows.end()) {
        state.SkipWithError("run with the move of the same size first");
        return;
    }
    Client c;
    ThrowStatusWrapper& st = c.St();
    const std::string file = (g_root + QStringLiteral("/plain.fdb")).toStdString();
    long long rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        IAttachment* att = c.CreateWithTables(file);
        state.ResumeTiming();
        ITransaction* tra = att->startTransaction(&st, 0, nullptr);
        rows = 0;
        for (const TableRows& t : found->second) {
            IStatement* insert = att->prepare(&st, tra, 0, Client::InsertText(*t.table).c_str(), 3, 0);
            IMessageMetadata* meta = insert->getInputMetadata(&st);
            if (meta->getMessageLength(&st) != t.length) throw std::runtime_error("message layout changed");
            for (const auto& message : t.messages) insert->execute(&st, tra, meta, const_cast<unsigned char*>(message.data()), nullptr, nullptr);
            rows += static_cast<long long>(t.messages.size());
            meta->release();
            insert->free(&st);
        }
        tra->commit(&st);
        state.PauseTiming();
        att->detach(&st);
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["records/s"] = benchmark::Counter(records, benchmark::Counter::kIsIterationInvariantRate);
}

void EmptyFolderSetUp(benchmark::State& state) {
    const QString folder = g_root + QStringLiteral("/empty");
    QDir().mkpath(folder);
    for (auto _ : state) RunSetUp(folder);
}

void Guarded(benchmark::State& state, void (*body)(benchmark::State&)) {
    try {
        body(state);
    } catch (const platform::Exception& e) {
        state.SkipWithError(e.Message().toStdString().c_str());
    } catch (const FbException& e) {
        char text[1024];
        fb_get_master_interface()->getUtilInterface()->formatStatus(text, sizeof text, e.getStatus());
        state.SkipWithError(text);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

void RegisterAll() {
    auto configure = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
    };
    for (int size : kSizes) {
        benchmark::RegisterBenchmark("Move", [](benchmark::State& s) { Guarded(s, Move); })->Arg(size)->Apply(configure);
        benchmark::RegisterBenchmark("PlainInsert", [](benchmark::State& s) { Guarded(s, PlainInsert); })
            ->Arg(size)
            ->Apply(configure);
    }
    benchmark::RegisterBenchmark("EmptyFolderSetUp", [](benchmark::State& s) { Guarded(s, EmptyFolderSetUp); })
        ->Apply(configure);
}

}  // namespace

int main(int argc, char** argv) {
    // A private lock folder keeps the embedded engine apart from any server here.
    if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) qputenv("FIREBIRD_LOCK", "/tmp/quillane-bench-lock");
    QDir().mkpath(qEnvironmentVariable("FIREBIRD_LOCK"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    RegisterAll();
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);

    g_root = qEnvironmentVariable("QUILLANE_BENCH_DIR", QStringLiteral("/tmp/quillane-bench")) + QStringLiteral("/move");
    QDir().mkpath(g_root);
    // The set-up writes the alias and the installation's files: here, never the machine's.
    platform::SetPathOverride(platform::PathKind::InstallFolder, g_root + QStringLiteral("/home"));
    platform::SetPathOverride(platform::PathKind::AliasesFile, g_root + QStringLiteral("/databases.conf"));
    // The success message is answered at once.
    platform::DialogGate::SetResponder([](const platform::DialogRequest&) { return platform::DialogResponse::Ok(); });
    DataModule1 = new TDataModule1;
    Form7 = new TForm7;
    for (int size : kSizes) OldFolder(size);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete Form7;
    delete DataModule1;
    return 0;
}
