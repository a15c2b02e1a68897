// The data module against a plain client on the same database: opening all
// eight data sets (what connecting does), and a refresh of the documents,
// which re-reads the whole STORE table. The plain client is Firebird's object
// interface used directly: prepare, open a cursor, fetch every row and copy
// every value out (blobs read too), with nothing else around it.

#include "BenchSupport.h"
#include "DataGenerator.h"

#include "data/Schema.h"
#include "data/DataModule.h"

#include <benchmark/benchmark.h>
#include <firebird/Interface.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

QString g_folder;     // holds tovelx.fdb
std::string g_file;   // <folder>/tovelx.fdb

// The tables in the order the data module opens them.
const char* const kTables[] = {"CUSTOMER", "FIRM", "DETAILS", "STOCK", "EMPLOYEE", "STORE", "CURRENCY", "USERP"};

// ---------------------------------------------------------------- the plain client

struct RawRow {
    std::vector<std::string> values;
    std::vector<char> nulls;
};
using RawTable = std::vector<RawRow>;

class RawConnection {
public:
    explicit RawConnection(const std::string& file)
        : master_(Firebird::fb_get_master_interface()), status_(master_->getStatus()), st_(status_) {
        using namespace Firebird;
        att_ = bench::AttachAsAdmin(st_, file);
        // The data module's transaction: read committed, record versions, no wait.
        IXpbBuilder* tpb = master_->getUtilInterface()->getXpbBuilder(&st_, IXpbBuilder::TPB, nullptr, 0);
        tpb->insertTag(&st_, isc_tpb_read_committed);
        tpb->insertTag(&st_, isc_tpb_rec_version);
        tpb->insertTag(&st_, isc_tpb_nowait);
        tpb->insertTag(&st_, isc_tpb_write);
        tra_ = att_->startTransaction(&st_, tpb->getBufferLength(&st_), tpb->getBuffer(&st_));
        tpb->dispose();
    }

    ~RawConnection() {
        try {
            tra_->commit(&st_);
            att_->detach(&st_);
        } catch (const Firebird::FbException&) {
        }
        status_->dispose();
    }

    // Runs a select (with at most one text parameter) and appends every row to out.
    void Fetch(const std::string& sql, RawTable& out, const std::string* param = nullptr) {
        using namespace Firebird;
        IStatement* stmt = att_->prepare(&st_, tra_, 0, sql.c_str(), 3, IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata* meta = stmt->getOutputMetadata(&st_);
        const unsigned n = meta->getCount(&st_);
        std::vector<unsigned> types(n), offsets(n), nullOffsets(n), lengths(n);
        for (unsigned i = 0; i < n; ++i) {
            types[i] = meta->getType(&st_, i) & ~1u;
            offsets[i] = meta->getOffset(&st_, i);
            nullOffsets[i] = meta->getNullOffset(&st_, i);
            lengths[i] = meta->getLength(&st_, i);
        }
        std::vector<std::int64_t> buffer(meta->getMessageLength(&st_) / 8 + 1);
        unsigned char* data = reinterpret_cast<unsigned char*>(buffer.data());

        IMessageMetadata* inMeta = nullptr;
        std::vector<std::int64_t> inBuffer;
        if (param) {
            inMeta = stmt->getInputMetadata(&st_);
            inBuffer.assign(inMeta->getMessageLength(&st_) / 8 + 1, 0);
            unsigned char* in = reinterpret_cast<unsigned char*>(inBuffer.data());
            *reinterpret_cast<short*>(in + inMeta->getNullOffset(&st_, 0)) = 0;
            unsigned char* p = in + inMeta->getOffset(&st_, 0);
            *reinterpret_cast<unsigned short*>(p) = static_cast<unsigned short>(param->size());
            std::memcpy(p + 2, param->data(), param->size());
        }
        IResultSet* rs = stmt->openCursor(&st_, tra_, inMeta, inMeta ? inBuffer.data() : nullptr, meta, 0);
        while (rs->fetchNext(&st_, data) == IStatus::RESULT_OK) {
            RawRow row;
            row.values.reserve(n);
            row.nulls.reserve(n);
            for (unsigned i = 0; i < n; ++i) {
                const bool isNull = *reinterpret_cast<const short*>(data + nullOffsets[i]) != 0;
                row.nulls.push_back(isNull);
                if (isNull) {
                    row.values.emplace_back();
                    continue;
                }
                const unsigned char* p = data + offsets[i];
                switch (types[i]) {
                    case SQL_VARYING:
                        row.values.emplace_back(reinterpret_cast<const char*>(p + 2),
                                                *reinterpret_cast<const unsigned short*>(p));
                        break;
                    case SQL_TEXT: row.values.emplace_back(reinterpret_cast<const char*>(p), lengths[i]); break;
                    case SQL_SHORT: row.values.push_back(std::to_string(*reinterpret_cast<const short*>(p))); break;
                    case SQL_LONG: row.values.push_back(std::to_string(*reinterpret_cast<const ISC_LONG*>(p))); break;
                    case SQL_INT64: row.values.push_back(std::to_string(*reinterpret_cast<const ISC_INT64*>(p))); break;
                    case SQL_BLOB: row.values.push_back(ReadBlob(reinterpret_cast<const ISC_QUAD*>(p))); break;
                    default: row.values.emplace_back(); break;
                }
            }
            out.push_back(std::move(row));
        }
        rs->close(&st_);
        if (inMeta) inMeta->release();
        meta->release();
        stmt->free(&st_);
    }

private:
    std::string ReadBlob(const ISC_QUAD* id) {
        using namespace Firebird;
        ISC_QUAD copy = *id;
        IBlob* blob = att_->openBlob(&st_, tra_, &copy, 0, nullptr);
        std::string bytes;
        char chunk[32768];
        for (;;) {
            unsigned got = 0;
            const int rc = blob->getSegment(&st_, sizeof chunk, chunk, &got);
            if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT) break;
            bytes.append(chunk, got);
        }
        blob->close(&st_);
        return bytes;
    }

    Firebird::IMaster* master_;
    Firebird::IStatus* status_;
    Firebird::ThrowStatusWrapper st_;
    Firebird::IAttachment* att_ = nullptr;
    Firebird::ITransaction* tra_ = nullptr;
};

double Megabytes(const std::vector<RawTable>& tables) {
    size_t bytes = 0;
    for (const RawTable& t : tables)
        for (const RawRow& r : t)
            for (const std::string& v : r.values) bytes += v.size();
    return bytes / 1e6;
}

std::string StoreRefreshSql() {
    // The data module's single-row refresh statement of STORE.
    QString sql = data::StatementsFor(data::SchemaTable(QStringLiteral("store"))).refresh;
    return sql.replace(QStringLiteral(":PNOM"), QStringLiteral("?")).toStdString();
}

// ---------------------------------------------------------------- the data module

void Ours_OpenAllEight(benchmark::State& state) {
    long long rows = 0;
    for (auto _ : state) {
        TDataModule1 dm;
        dm.ConnectFirebird(g_folder);
        rows = 0;
        for (data::DataSet* ds : {&dm.cust, &dm.firm, &dm.details, &dm.stock, &dm.employee, &dm.store, &dm.currency,
                                  &dm.user})
            rows += ds->RecordCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void Ours_RefreshStore(benchmark::State& state) {
    TDataModule1 dm;
    dm.ConnectFirebird(g_folder);
    dm.store.SetRecNo(bench::kDocuments / 2);
    for (auto _ : state) {
        dm.store.Refresh();
        benchmark::DoNotOptimize(dm.store.RecordCount());
    }
    if (dm.store.RecNo() != bench::kDocuments / 2) state.SkipWithError("the refresh lost the current record");
    state.counters["rows"] = dm.store.RecordCount();
}

// ---------------------------------------------------------------- the plain client

void Baseline_OpenAllEight(benchmark::State& state) {
    long long rows = 0;
    double mb = 0;
    for (auto _ : state) {
        RawConnection c(g_file);
        std::vector<RawTable> tables(std::size(kTables));
        rows = 0;
        for (size_t i = 0; i < std::size(kTables); ++i) {
            c.Fetch(std::string("select * from ") + kTables[i], tables[i]);
            rows += static_cast<long long>(tables[i].size());
        }
        benchmark::DoNotOptimize(rows);
        mb = Megabytes(tables);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["MB"] = mb;
}

void Baseline_FetchStore(benchmark::State& state) {
    RawConnection c(g_file);
    size_t rows = 0;
    for (auto _ : state) {
        RawTable t;
        c.Fetch("select * from STORE", t);
        rows = t.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// The same work as a refresh of the data module: the current row by its key,
// then the whole table.
void Baseline_RefreshStore(benchmark::State& state) {
    RawConnection c(g_file);
    RawTable all;
    c.Fetch("select * from STORE", all);
    const std::string key = all.at(bench::kDocuments / 2 - 1).values.at(0);
    all.clear();
    const std::string refreshSql = StoreRefreshSql();
    size_t rows = 0;
    for (auto _ : state) {
        RawTable one, t;
        c.Fetch(refreshSql, one, &key);
        c.Fetch("select * from STORE", t);
        rows = t.size();
        benchmark::DoNotOptimize(rows);
        if (one.size() != 1) state.SkipWithError("the current row was not found by its key");
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void Configure(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3);
}

void RegisterAll() {
    const std::pair<const char*, void (*)(benchmark::State&)> all[] = {
        {"Ours_OpenAllEight", Ours_OpenAllEight},         {"Baseline_OpenAllEight", Baseline_OpenAllEight},
        {"Ours_RefreshStore", Ours_RefreshStore},         {"Baseline_FetchStore", Baseline_FetchStore},
        {"Baseline_RefreshStore", Baseline_RefreshStore}};
    for (const auto& [name, body] : all) bench::RegisterGuarded(name, body)->Apply(Configure);
}

class RatioReporter : public bench::MeanTimeReporter {
public:
    void PrintRatio(const char* what, const std::string& ours, const std::string& baseline) const {
        const double a = Mean(ours), b = Mean(baseline);
        if (a <= 0 || b <= 0) return;
        std::printf("%-46s %9.1f ms / %9.1f ms = %5.2fx  %s\n", what, a * 1e3, b * 1e3, a / b,
                    a / b <= 2.0 ? "(goal <= 2x: met)" : "(goal <= 2x: NOT met)");
    }
};

}  // namespace

int main(int argc, char** argv) {
    bench::PrepareEnvironment(false);

    RegisterAll();
    benchmark::Initialize(&argc, argv);
    QCoreApplication app(argc, argv);

    try {
        const bench::BenchDatabase db = bench::EnsureBenchDatabase();
        g_folder = db.folder;
        g_file = db.file.toStdString();
        if (db.reused)
            std::printf("Database: %s (reused)\n", g_file.c_str());
        else
            std::printf("Database: %s (generated in %.1f s)\n", g_file.c_str(), db.seconds);
        // Loads the engine once, so that no benchmark pays for it.
        QElapsedTimer warm;
        warm.start();
        { RawConnection c(g_file); }
        std::printf("Engine warm-up: %lld ms\n", static_cast<long long>(warm.elapsed()));
    } catch (...) {
        std::fprintf(stderr, "%s\n", bench::ErrorText(std::current_exception()).c_str());
        return 1;
    }
    std::fflush(stdout);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nMean real times, data module / plain client:\n");
    reporter.PrintRatio("open all eight data sets", "Ours_OpenAllEight", "Baseline_OpenAllEight");
    reporter.PrintRatio("refresh STORE vs. fetch of STORE", "Ours_RefreshStore", "Baseline_FetchStore");
    reporter.PrintRatio("refresh STORE vs. row refresh + fetch of STORE", "Ours_RefreshStore", "Baseline_RefreshStore");
    benchmark::Shutdown();
    return 0;
}
