#include "BenchSupport.h"
#include "DataGenerator.h"

#include "data/DataModule.h"
#include "data/Login.h"
#include "documents/RememberedChoices.h"
#include "platform/Paths.h"
#include "platform/Exception.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

void PrepareEnvironment(bool widgets) {
    if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) qputenv("FIREBIRD_LOCK", "/tmp/quillane-bench-lock");
    QDir().mkpath(qEnvironmentVariable("FIREBIRD_LOCK"));
    if (widgets && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

std::string ErrorText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const platform::Exception& e) {
        return e.Message().toStdString();
    } catch (const Firebird::FbException& e) {
        char text[1024];
        Firebird::fb_get_master_interface()->getUtilInterface()->formatStatus(text, sizeof text, e.getStatus());
        return text;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an unknown error";
    }
}

void Guarded(benchmark::State& state, const std::function<void()>& body) {
    try {
        body();
    } catch (...) {
        state.SkipWithError(ErrorText(std::current_exception()).c_str());
    }
}

benchmark::internal::Benchmark* RegisterGuarded(const char* name, void (*body)(benchmark::State&)) {
    return benchmark::RegisterBenchmark(name, [body](benchmark::State& state) { Guarded(state, [&] { body(state); }); });
}

Firebird::IAttachment* AttachAsAdmin(Firebird::ThrowStatusWrapper& st, const std::string& file, bool create) {
    using namespace Firebird;
    IMaster* master = fb_get_master_interface();
    IXpbBuilder* dpb = master->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
    dpb->insertString(&st, isc_dpb_password, TDataModule1::AdminPassword().toLatin1().constData());
    dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
    if (create) dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1251");
    IProvider* provider = master->getDispatcher();
    IAttachment* att =
        create ? provider->createDatabase(&st, file.c_str(), dpb->getBufferLength(&st), dpb->getBuffer(&st))
               : provider->attachDatabase(&st, file.c_str(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
    provider->release();
    dpb->dispose();
    return att;
}

MeanTimeReporter::MeanTimeReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

void MeanTimeReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
        const bool mean = r.run_type == Run::RT_Aggregate && r.aggregate_name == "mean";
        if (r.error_occurred || (r.run_type != Run::RT_Iteration && !mean)) continue;
        auto& [sum, count] = seconds_[r.run_name.function_name];
        sum += r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
        ++count;
    }
}

double MeanTimeReporter::Mean(const std::string& name) const {
    auto it = seconds_.find(name);
    return it == seconds_.end() || it->second.second == 0 ? 0 : it->second.first / it->second.second;
}

size_t PlainFetchOfStore(Firebird::IAttachment* att, Firebird::ITransaction* tra, Firebird::ThrowStatusWrapper& st) {
    using namespace Firebird;
    IStatement* stmt = att->prepare(&st, tra, 0, "select * from STORE", 3, IStatement::PREPARE_PREFETCH_METADATA);
    IMessageMetadata* meta = stmt->getOutputMetadata(&st);
    const unsigned n = meta->getCount(&st);
    std::vector<unsigned> offsets(n), nullOffsets(n);
    for (unsigned i = 0; i < n; ++i) {
        offsets[i] = meta->getOffset(&st, i);
        nullOffsets[i] = meta->getNullOffset(&st, i);
    }
    std::vector<std::int64_t> buffer(meta->getMessageLength(&st) / 8 + 1);
    auto* data = reinterpret_cast<unsigned char*>(buffer.data());
    IResultSet* rs = stmt->openCursor(&st, tra, nullptr, nullptr, meta, 0);
    std::vector<std::vector<std::string>> rows;
    while (rs->fetchNext(&st, data) == IStatus::RESULT_OK) {
        std::vector<std::string> row(n);
        for (unsigned i = 0; i < n; ++i)  // every STORE column is a VARCHAR
            if (*reinterpret_cast<short*>(data + nullOffsets[i]) == 0)
                row[i].assign(reinterpret_cast<const char*>(data + offsets[i] + 2),
                              *reinterpret_cast<unsigned short*>(data + offsets[i]));
        rows.push_back(std::move(row));
    }
    rs->close(&st);
    meta->release();
    stmt->free(&st);
    return rows.size();
}


std::string InstallDatabaseCopy(const QString& home, int documents) {
    using platform::PathKind;
    const QDir dir(home);
    platform::SetPathOverride(PathKind::AliasesFile, dir.filePath(QStringLiteral("databases.conf")));
    const BenchDatabase db = EnsureBenchDatabase(documents);
    if (!db.reused) std::printf("generated %s in %.0f s\n", db.file.toLocal8Bit().constData(), db.seconds);
    platform::SetPathOverride(PathKind::InstallFolder, home);
    platform::SetPathOverride(PathKind::OwnExecutable, dir.filePath(QStringLiteral("bin/quillane")));
    QDir().mkpath(dir.filePath(QStringLiteral("DB")));
    const QString copy = dir.filePath(QStringLiteral("DB/tovelx.fdb"));
    if (!QFile::copy(db.file, copy)) throw std::runtime_error("the database could not be copied");
    QFile(platform::Path(PathKind::NoPasswordMarker)).open(QIODevice::WriteOnly);
    StartupDir() = home;
    return copy.toStdString();
}

void FetchStoreTimed(benchmark::State& state, const std::string& file) {
    using namespace Firebird;
    IMaster* master = fb_get_master_interface();
    IStatus* status = master->getStatus();
    ThrowStatusWrapper st(status);
    IAttachment* att = AttachAsAdmin(st, file);
    ITransaction* tra = att->startTransaction(&st, 0, nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(PlainFetchOfStore(att, tra, st));
    tra->commit(&st);
    att->detach(&st);
    status->dispose();
}

void LogInAsOwnerOf(int recNo) {
    data::DataSet& store = DataModule1->store;
    store.SetRecNo(recNo);
    Form9->LoggedUser = store.FieldByName(QStringLiteral("us")).AsString();
    if (Form9->LoggedUser.isEmpty() && DataModule1->user.RecordCount() > 0) {
        DataModule1->user.SetRecNo(1);
        Form9->LoggedUser = DataModule1->user.FieldByName(QStringLiteral("us")).AsString();
    }
}

}  // namespace bench
