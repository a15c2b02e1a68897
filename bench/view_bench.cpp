// A 20-line bilingual document from the editor to a JPEG: the whole view
// rebuild (recalculation, texts, grids, words, both layout passes, render)
// and the JPEG encoding, beside libjpeg encoding the same bitmap alone.

#include "app/MainWindow.h"
#include "documents/CalculatorWindow.h"
#include "documents/DocumentEditor.h"
#include "documents/JpegFile.h"
#include "documents/PrintOptions.h"
#include "documents/PrintedPage.h"
#include "platform/Form.h"
#include "platform/LocaleText.h"

#include <QApplication>
#include <QSignalBlocker>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

void FillBilingualDocument() {
    TOrderForm* e = OrderForm;
    e->RadioButton3->click();
    Doc->CurrencyPrefix = QStringLiteral("EUR");
    Doc->CurrencyRate = 1.95583;
    // The party edits' look-ups are left out: there is no database here.
    const auto put = [](QLabel* label, const QString& text) { label->setText(text); };
    const auto edit = [](QLineEdit* edit, const QString& text) {
        const QSignalBlocker quiet(edit);
        edit->setText(text);
    };
    edit(e->Edit1, QStringLiteral("„Търговска къща Балканска звезда – Пловдив“ ЕООД"));
    edit(e->Edit12, QStringLiteral("Balkan Star Trading House - Plovdiv Ltd."));
    edit(e->Edit3, QStringLiteral("гр. Пловдив 4000, бул. „Цар Борис III Обединител“ № 134"));
    edit(e->Edit13, QStringLiteral("134 Tsar Boris III Blvd, 4000 Plovdiv"));
    put(e->DBText1, QStringLiteral("„Северозападна строителна компания Дунав“ АД"));
    put(e->DBText8, QStringLiteral("гр. Видин 3700, ул. „Широка“ № 12, вх. Б"));
    e->StringGrid1->SetRowCount(21);
    for (int r = 1; r <= 20; ++r)
        e->StringGrid1->SetRowTexts(r, {"", QStringLiteral("Доставка и монтаж на дограма"), "бр.", "2", "125,50"});
}

void BM_ViewRebuildRenderAndJpeg(benchmark::State& state) {
    for (auto _ : state) {
        OrderForm->RebuildDocumentView(false);
        benchmark::DoNotOptimize(EncodeJpeg(ConvertPageDepth(Doc->Image1->Picture(), 24), 90));
    }
}
BENCHMARK(BM_ViewRebuildRenderAndJpeg)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_JpegOfTheSameBitmapAlone(benchmark::State& state) {
    OrderForm->RebuildDocumentView(false);
    const QImage bitmap = ConvertPageDepth(Doc->Image1->Picture(), 24);
    for (auto _ : state) benchmark::DoNotOptimize(EncodeJpeg(bitmap, 90));
}
BENCHMARK(BM_JpegOfTheSameBitmapAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration) seconds_[run.benchmark_name()] = run.GetAdjustedRealTime() / 1e3;
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double ours = seconds_["BM_ViewRebuildRenderAndJpeg/min_time:2.000"];
        const double base = seconds_["BM_JpegOfTheSameBitmapAlone/min_time:2.000"];
        if (ours > 0 && base > 0)
            std::printf("rebuild + render + JPEG %.1f ms / JPEG alone %.1f ms = %.2fx  (goal <= 3x and < 100 ms: %s)\n",
                        ours * 1e3, base * 1e3, ours / base, ours / base <= 3.0 && ours < 0.1 ? "met" : "NOT met");
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    platform::SetDecimalSeparatorOverride(QChar(u','));
    platform::SetCurrencyDecimalsOverride(2);
    platform::CreateForm(Main);
    platform::CreateForm(OrderForm);
    platform::CreateForm(Form1);
    platform::CreateForm(Doc);
    platform::CreateForm(PrtD);
    FillBilingualDocument();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    platform::DestroyCreatedForms();
    return 0;
}
