// Saving and opening a document of 20 lines in the whole program on a busy
// database, each beside one plain fetch of STORE through Firebird's object
// interface: the save from SaveClick to its end (customer write-back, firm
// and STORE refreshes, the search, the posts, the commit and the refresh of
// STORE after it), a new invoice saved with networked numbering (counter and
// document committed as one), and the load of a stored document into the editor.

#include "BenchSupport.h"
#include "DataGenerator.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "data/DataModule.h"
#include "documents/DocumentEditor.h"
#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "platform/TextFile.h"

#include <benchmark/benchmark.h>
#include <firebird/Interface.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

std::string g_file;  // the private copy the program works on
constexpr int kDocument = bench::kDocuments / 2;

// One fetch of every row and column of STORE, values copied out as text.
void Baseline_FetchStore(benchmark::State& state) { bench::FetchStoreTimed(state, g_file); }

void Ours_Save(benchmark::State& state) {
    OrderForm->LoadDocument(kDocument);
    bench::LogInAsOwnerOf(kDocument);
    for (auto _ : state) OrderForm->SaveClick();  // as printing saves: the stored record is overwritten
    if (DataModule1->store.RecordCount() != bench::kDocuments) state.SkipWithError("the save added a record");
}

// A new invoice saved with networked numbering: the counter raised and the
// document stored, committed together by one commit.
void Ours_SaveNew(benchmark::State& state) {
    OrderForm->LoadDocument(kDocument);
    OrderForm->CheckBox9->setChecked(true);
    const int before = DataModule1->store.RecordCount();
    for (auto _ : state) OrderForm->SaveClick();
    OrderForm->CheckBox9->setChecked(false);
    if (DataModule1->store.RecordCount() != before + static_cast<int>(state.iterations()))
        state.SkipWithError("a save stored no record");
}

void Ours_Load(benchmark::State& state) {
    for (auto _ : state) OrderForm->LoadDocument(kDocument);
    if (OrderForm->StringGrid1->RowCount() < 2) state.SkipWithError("no lines were loaded");
}

// For reading the figures: the data module's refresh of STORE, which a save
// runs twice (before its search and after its post) and a load once.
void Part_StoreRefresh(benchmark::State& state) {
    for (auto _ : state) DataModule1->store.Refresh();
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {  // single runs, or the means of repetitions
            const bool mean = r.run_type == Run::RT_Aggregate && r.aggregate_name == "mean";
            if (!r.error_occurred && (r.run_type == Run::RT_Iteration || mean))
                seconds_[r.run_name.function_name] = r.GetAdjustedRealTime();
        }
    }
    void PrintRatio(const char* what, const char* ours, double goal) {
        const double a = seconds_[ours], b = seconds_["Baseline_FetchStore"];
        if (a > 0 && b > 0)
            std::printf("%-36s %8.1f ms / %8.1f ms = %5.2fx (goal <= %.0fx: %s)\n", what, a, b, a / b, goal,
                        a / b <= goal ? "met" : "NOT met");
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) qputenv("FIREBIRD_LOCK", "/tmp/quillane-bench-lock");
    QDir().mkpath(qEnvironmentVariable("FIREBIRD_LOCK"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    QTemporaryDir home;  // the program's installation folder, with a copy of the database
    try {
        g_file = bench::InstallDatabaseCopy(home.path(), bench::kDocuments);
        CreateAllForms();
        Main->OrderBtn->click();
        std::printf("Database: %s, %d documents\n", g_file.c_str(), DataModule1->store.RecordCount());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const std::pair<const char*, void (*)(benchmark::State&)> all[] = {
        {"Baseline_FetchStore", Baseline_FetchStore}, {"Ours_Save", Ours_Save}, {"Ours_Load", Ours_Load},
        {"Part_StoreRefresh", Part_StoreRefresh}, {"Ours_SaveNew", Ours_SaveNew}};
    for (const auto& [name, body] : all)
        benchmark::RegisterBenchmark(name, [body = body](benchmark::State& state) {
            try {
                body(state);
            } catch (const std::exception& e) {
                state.SkipWithError(e.what());
            }
        })->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
    // A message box would wait for a user: any one shown ends the benchmark.
    platform::DialogGate::SetResponder([](const platform::DialogRequest& r) -> platform::DialogResponse {
        std::fprintf(stderr, "Message shown: %s\n", r.text.toLocal8Bit().constData());
        std::exit(2);
    });
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("save vs. one fetch of STORE", "Ours_Save", 3);
    reporter.PrintRatio("new networked save vs. one fetch", "Ours_SaveNew", 3);
    reporter.PrintRatio("load vs. one fetch of STORE", "Ours_Load", 2);
    benchmark::Shutdown();
    platform::DestroyCreatedForms();
    return 0;
}
