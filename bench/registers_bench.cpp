// The register windows on a busy database, each beside one plain fetch of
// STORE through Firebird's object interface: opening the register (refresh,
// fill, sort, first page), the customer window's fill for one customer, a
// flag toggle in the register (post, commit, refresh, repaint) and the year
// chart of the statistics.

#include "BenchSupport.h"
#include "DataGenerator.h"

#include "data/DataModule.h"
#include "documents/DocumentEditor.h"
#include "registers/CustomerCard.h"
#include "registers/Customers.h"
#include "registers/DocumentRegister.h"
#include "registers/GoodsCard.h"
#include "registers/GoodsList.h"
#include "registers/ListRules.h"
#include "registers/Statistics.h"
#include "registers/StoreRows.h"

#include <benchmark/benchmark.h>
#include <firebird/Interface.h>

#include <QApplication>
#include <QBarSet>
#include <QCheckBox>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

std::string g_file;

void Baseline_FetchStore(benchmark::State& state) { bench::FetchStoreTimed(state, g_file); }

// The windows the fills write into, over the data module.
void OpenWindows(const QString& folder) {
    DataModule1 = new TDataModule1();
    DataModule1->ConnectFirebird(folder);
    Stocks = new TStocks();
    Stocks->FormCreate();
    EditStockForm = new TEditStockForm();
    Sort = new TSort();
    Sort->FormCreate();
    CustForm = new TCustForm();
    CustForm->FormCreate();
    EditCustForm = new TEditCustForm();
    StatForm = new TStatForm();
}

void ShowOnly(platform::Form* window) {
    for (platform::Form* w : {static_cast<platform::Form*>(Sort), static_cast<platform::Form*>(CustForm),
                              static_cast<platform::Form*>(StatForm)})
        if (w != window) w->hide();
    if (window) window->show();
}

void Ours_OpenRegister(benchmark::State& state) {
    ShowOnly(nullptr);
    for (auto _ : state) {
        Sort->Close();
        Sort->Show();  // refresh, fill, sort, first page
    }
    state.counters["rows"] = Sort->StringGrid1->RowCount() - 1;
}

void Ours_CustomerFill(benchmark::State& state) {
    ShowOnly(CustForm);
    int documents = 0;
    for (auto _ : state) {
        DataModule1->cust.SetRecNo(1);  // the busiest customer
        DataModule1->cust.Refresh();
        documents = CustForm->StringGrid1->RowCount() - 1;
    }
    state.counters["documents"] = documents;
}

void Ours_FlagToggle(benchmark::State& state) {
    ShowOnly(Sort);
    Sort->ScrollBar1->setValue(5000);
    QCheckBox* paid = Sort->CheckBox2;
    for (auto _ : state) {
        Sort->CheckBox2MouseDown();
        paid->setChecked(!paid->isChecked());
        Sort->CheckBox2MouseLeave(paid);  // post, commit, refresh, repaint
    }
}

void Ours_YearChart(benchmark::State& state) {
    ShowOnly(StatForm);
    StatForm->DBComboBox1DropDown();
    StatForm->DBComboBox1->setCurrentIndex(0);
    {
        const QSignalBlocker block(StatForm->Edit1);
        StatForm->Edit1->setText(QStringLiteral("2013"));
    }
    for (auto _ : state) Sort->ShowYearIncomeChart();
    double sum = 0;
    for (int i = 0; i < 12; ++i) sum += StatForm->Series1->at(i) + StatForm->Series2->at(i);
    state.counters["income"] = sum;
}

// Parts of the above, for reading the figures: the data module's refresh of
// STORE alone, the register fill alone, and the post of one flag alone (its
// statement finds the row by its key, which no index serves).
void Part_StoreRefresh(benchmark::State& state) {
    ShowOnly(nullptr);
    for (auto _ : state) DataModule1->store.Refresh();
}
void Part_FillRegister(benchmark::State& state) {
    ShowOnly(Sort);
    for (auto _ : state) DataModule1->FillRegister();
}
// The number order alone, as the first fill of a session computes it (later
// fills over the same numbers reuse it).
void Part_LongWholeNumbers(benchmark::State& state) {
    std::vector<std::optional<std::int64_t>> keys;
    for (const auto& row : registers::RecordTexts(DataModule1->store, {QStringLiteral("NUM")}))
        keys.push_back(registers::LongWholeNumber(row[0]));
    for (auto _ : state) benchmark::DoNotOptimize(registers::ExchangeSortOrder(keys).size());
}

void Part_Post(benchmark::State& state) {
    ShowOnly(nullptr);
    data::DataSet& store = DataModule1->store;
    for (auto _ : state) {
        store.SetRecNo(5000);
        store.Edit();
        store.FieldByName("PAIDL").SetAsString(store.FieldByName("PAIDL").AsString() == "True" ? "False" : "True");
        auto after = store.AfterPost;
        store.AfterPost = nullptr;
        store.Post();
        store.AfterPost = after;
        DataModule1->IBTransaction1.CommitRetaining();
    }
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Iteration) {
                // The best of the repetitions: the machine's other load only adds.
                const double s = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
                auto [it, added] = seconds_.emplace(r.run_name.function_name, s);
                if (!added) it->second = std::min(it->second, s);
            }
    }
    void PrintRatios() const {
        const double base = seconds_.count("Baseline_FetchStore") ? seconds_.at("Baseline_FetchStore") : 0;
        std::printf("\nBest real times beside one plain fetch of STORE (%.1f ms):\n", base * 1e3);
        for (const auto& [name, s] : seconds_)
            if (base > 0 && name != "Baseline_FetchStore")
                std::printf("%-22s %8.1f ms  %5.2fx  %s\n", name.c_str(), s * 1e3, s / base,
                            s / base <= 2.0 ? "(goal <= 2x: met)" : "(goal <= 2x: NOT met)");
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    bench::PrepareEnvironment(true);
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    try {
        const bench::BenchDatabase db = bench::EnsureBenchDatabase();
        g_file = db.file.toStdString();
        std::printf("Database: %s\n", g_file.c_str());
        OpenWindows(db.folder);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const std::pair<const char*, void (*)(benchmark::State&)> all[] = {
        {"Baseline_FetchStore", Baseline_FetchStore}, {"Ours_OpenRegister", Ours_OpenRegister},
        {"Ours_CustomerFill", Ours_CustomerFill},     {"Ours_FlagToggle", Ours_FlagToggle},
        {"Part_StoreRefresh", Part_StoreRefresh}, {"Part_FillRegister", Part_FillRegister},
        {"Part_LongWholeNumbers", Part_LongWholeNumbers},   {"Part_Post", Part_Post},
        {"Ours_YearChart", Ours_YearChart}};
    for (const auto& [name, body] : all)
        bench::RegisterGuarded(name, body)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
