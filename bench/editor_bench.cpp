// One keystroke in the document editor at 2,000 customers and 1,000 goods:
// type-ahead in the customer's name (the list filled and placed) and the goods
// filter of the description column; each beside a plain loop over the same
// texts held in memory, doing the same match.

#include "DataGenerator.h"

#include "data/DataModule.h"
#include "documents/CalculatorWindow.h"
#include "documents/DocumentEditor.h"
#include "documents/PrintedPage.h"
#include "platform/Exception.h"
#include "platform/Form.h"
#include "platform/Paths.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QListWidget>

#include <cstdio>
#include <map>
#include <unistd.h>

namespace {

// Two prefixes of a customer's name, typed in turn (each a change of the text).
QString g_short, g_long;
QStringList g_names;         // every customer's name, in record order
QStringList g_descriptions;  // every goods description, in record order
QString g_goodsTyped;

void Editor_TypeAheadKeystroke(benchmark::State& state) {
    bool flip = false;
    for (auto _ : state) {
        OrderForm->Edit1->setText((flip = !flip) ? g_long : g_short);
        benchmark::DoNotOptimize(OrderForm->ListBox1->count());
    }
    state.counters["entries"] = OrderForm->ListBox1->count();
}

void Baseline_TypeAheadLoop(benchmark::State& state) {
    bool flip = false;
    int entries = 0;
    for (auto _ : state) {
        const QString typed = ((flip = !flip) ? g_long : g_short).toLower();
        QStringList out;
        for (const QString& name : g_names)
            if (name.left(typed.size()).toLower() == typed) out << name;
        entries = static_cast<int>(out.size());
        benchmark::DoNotOptimize(entries);
    }
    state.counters["entries"] = entries;
}

void Editor_GoodsFilterKeystroke(benchmark::State& state) {
    TOrderForm* e = OrderForm;
    e->StringGrid1->SetCurrentCell(1, 1);
    bool flip = false;
    for (auto _ : state) {
        const QString text = (flip = !flip) ? g_goodsTyped : g_goodsTyped.left(g_goodsTyped.size() - 1);
        e->StringGrid1->SetCell(1, 1, text);
        e->StringGrid1SetEditText(1, 1, text);
        benchmark::DoNotOptimize(e->ListBox1->count());
    }
    state.counters["entries"] = e->ListBox1->count();
}

// The first keystroke of a cell: the goods are read afresh and listed whole.
void Editor_GoodsListOpens(benchmark::State& state) {
    TOrderForm* e = OrderForm;
    e->StringGrid1->SetCurrentCell(1, 1);
    for (auto _ : state) {
        e->ListBox1->hide();
        e->StringGrid1ButtonClick();
        benchmark::DoNotOptimize(e->ListBox1->count());
    }
    state.counters["entries"] = e->ListBox1->count();
}

void Baseline_GoodsFilterLoop(benchmark::State& state) {
    bool flip = false;
    int entries = 0;
    for (auto _ : state) {
        const QString typed =
            ((flip = !flip) ? g_goodsTyped : g_goodsTyped.left(g_goodsTyped.size() - 1)).toLower();
        QStringList out;
        for (qsizetype i = 0; i < g_descriptions.size(); ++i) {
            const QString entry = g_descriptions[i].section(u'\n', 0, 0) + u'~' + QString::number(i + 1);
            if (entry.toLower().contains(typed)) out << entry;
        }
        entries = static_cast<int>(out.size());
        benchmark::DoNotOptimize(entries);
    }
    state.counters["entries"] = entries;
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const bool mean = r.run_type == Run::RT_Aggregate && r.aggregate_name == "mean";
            if (r.error_occurred || (r.run_type != Run::RT_Iteration && !mean)) continue;
            auto& [sum, count] = seconds_[r.run_name.function_name];
            sum += r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
            ++count;
        }
    }
    void PrintRatio(const char* what, const std::string& ours, const std::string& baseline) const {
        const double a = Mean(ours), b = Mean(baseline);
        if (a <= 0 || b <= 0) return;
        const bool met = a * 1e3 <= 10.0 && a / b <= 5.0;
        std::printf("%-28s %8.3f ms / %8.3f ms = %6.2fx  %s\n", what, a * 1e3, b * 1e3, a / b,
                    met ? "(goal <= 10 ms and <= 5x: met)" : "(goal <= 10 ms and <= 5x: NOT met)");
    }

private:
    double Mean(const std::string& name) const {
        auto it = seconds_.find(name);
        return it == seconds_.end() || it->second.second == 0 ? 0 : it->second.first / it->second.second;
    }
    std::map<std::string, std::pair<double, int>> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) qputenv("FIREBIRD_LOCK", "/tmp/quillane-bench-lock");
    QDir().mkpath(qEnvironmentVariable("FIREBIRD_LOCK"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    const std::pair<const char*, void (*)(benchmark::State&)> all[] = {
        {"Editor_TypeAheadKeystroke", Editor_TypeAheadKeystroke},
        {"Baseline_TypeAheadLoop", Baseline_TypeAheadLoop},
        {"Editor_GoodsFilterKeystroke", Editor_GoodsFilterKeystroke},
        {"Baseline_GoodsFilterLoop", Baseline_GoodsFilterLoop},
        {"Editor_GoodsListOpens", Editor_GoodsListOpens}};
    for (const auto& [name, body] : all)
        benchmark::RegisterBenchmark(name, body)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)->Repetitions(3);
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);

    try {
        platform::SetPathOverride(platform::PathKind::AliasesFile,
                                  bench::BenchFolder() + QStringLiteral("/no-aliases/databases.conf"));
        const bench::BenchDatabase db = bench::EnsureBenchDatabase();
        std::printf("Database: %s%s\n", db.file.toLocal8Bit().constData(), db.reused ? " (reused)" : "");
        platform::CreateForm(OrderForm);
        platform::CreateForm(DataModule1);
        platform::CreateForm(Doc);
        platform::CreateForm(Form1);
        DataModule1->ConnectFirebird(db.folder);
        for (int i = 1; i <= DataModule1->cust.RecordCount(); ++i) {
            DataModule1->cust.SetRecNo(i);
            g_names << DataModule1->cust.FieldByName(QStringLiteral("Company1")).AsString();
        }
        for (int i = 1; i <= DataModule1->stock.RecordCount(); ++i) {
            DataModule1->stock.SetRecNo(i);
            g_descriptions << DataModule1->stock.FieldByName(QStringLiteral("Description1")).AsString();
        }
        g_short = g_names.value(0).left(1);
        g_long = g_names.value(0).left(2);
        g_goodsTyped = g_descriptions.value(0).section(u' ', 0, 0).left(4);
        std::printf("%lld customers, %lld goods; typed \"%s\"/\"%s\" and \"%s\"\n",
                    static_cast<long long>(g_names.size()), static_cast<long long>(g_descriptions.size()),
                    g_short.toLocal8Bit().constData(), g_long.toLocal8Bit().constData(),
                    g_goodsTyped.toLocal8Bit().constData());
        OrderForm->Show();
    } catch (const platform::Exception& e) {
        std::fprintf(stderr, "%s\n", e.Message().toLocal8Bit().constData());
        return 1;
    }
    std::fflush(stdout);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nMean real time per keystroke, editor / plain loop in memory:\n");
    reporter.PrintRatio("type-ahead in Edit1", "Editor_TypeAheadKeystroke", "Baseline_TypeAheadLoop");
    reporter.PrintRatio("goods filter", "Editor_GoodsFilterKeystroke", "Baseline_GoodsFilterLoop");
    benchmark::Shutdown();
    platform::DestroyCreatedForms();
    return 0;
}
