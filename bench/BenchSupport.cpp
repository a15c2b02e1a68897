#include "BenchSupport.h"

#include "data/DataModule.h"
#include "platform/Exception.h"

#include <QDir>

#include <cstdio>
#include <unistd.h>

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

}  // namespace bench
