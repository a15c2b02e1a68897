// The printed page of a 20-line bilingual document: its layout passes,
// rendering and JPEG encoding, beside libjpeg encoding the same bitmap alone.

#include "app/MainWindow.h"
#include "documents/CalculatorWindow.h"
#include "documents/JpegFile.h"
#include "documents/PageRules.h"
#include "documents/PrintOptions.h"
#include "documents/PrintedPage.h"
#include "platform/Form.h"
#include "platform/LocaleText.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

void FillBilingualPage() {
    Doc->Language = 2;
    Doc->CurrencyPrefix = QStringLiteral("EUR");
    Doc->Panel1->hide();
    Doc->Panel7->show();
    Doc->Label23->setText(QStringLiteral("ФАКТУРА / INVOICE"));
    Doc->Label26->setText(QStringLiteral("No 0000001234 / Дата(Date): 06.12.2026"));
    Doc->Label93->setText(WrapTextToLines(QStringLiteral("„Търговска къща Балканска звезда – Пловдив“ ЕООД"), 43));
    Doc->Label102->setText(WrapTextToLines(QStringLiteral("Balkan Star Trading House - Plovdiv Ltd."), 43));
    Doc->Label94->setText(WrapTextToLines(QStringLiteral("гр. Пловдив 4000, бул. „Цар Борис III Обединител“ № 134"), 43));
    Doc->Label106->setText(WrapTextToLines(QStringLiteral("„Северозападна строителна компания Дунав“ АД"), 38));
    Doc->Label107->setText(WrapTextToLines(QStringLiteral("гр. Видин 3700, ул. „Широка“ № 12, вх. Б"), 38));
    const auto [bg, en] = BilingualLineGridTitles(6, Doc->CurrencyPrefix);
    Doc->StringGrid4->SetColCount(8);
    Doc->StringGrid4->SetRowCount(22);
    Doc->StringGrid4->SetRowTexts(0, bg);
    Doc->StringGrid4->SetRowTexts(1, en);
    for (int r = 2; r < 22; ++r)
        Doc->StringGrid4->SetRowTexts(r, {QString::number(r - 1), QStringLiteral("Доставка и монтаж на дограма"),
                                          "бр.", "2", "125,50", "64,17", "251,00", ""});
    Form1->FitGridHeight(Doc->StringGrid4);
    Doc->Label59->setText(QStringLiteral("шест хиляди двадесет и ч\nетири лева\nthree thousand eighty EUR"));
}

// One view rebuild's share of the page: label flow, totals, layout chain, render.
void LayOutAndRender() {
    RestoreDesignPositions();
    for (int pass = 0; pass < 2; ++pass) {
        FlowPageLabels(Doc);
        Doc->NewExecute();
        Doc->ResizedExecute();
    }
    RenderPageToImage();
}

void BM_PageRenderAndJpeg(benchmark::State& state) {
    for (auto _ : state) {
        LayOutAndRender();
        benchmark::DoNotOptimize(EncodeJpeg(ConvertPageDepth(Doc->Image1->Picture(), 24), 90));
    }
}
BENCHMARK(BM_PageRenderAndJpeg)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_JpegOfTheSameBitmapAlone(benchmark::State& state) {
    LayOutAndRender();
    const QImage bitmap = ConvertPageDepth(Doc->Image1->Picture(), 24);
    for (auto _ : state) benchmark::DoNotOptimize(EncodeJpeg(bitmap, 90));
}
BENCHMARK(BM_JpegOfTheSameBitmapAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                seconds_[run.benchmark_name()] = run.GetAdjustedRealTime() / 1e3;
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double ours = seconds_["BM_PageRenderAndJpeg/min_time:2.000"];
        const double base = seconds_["BM_JpegOfTheSameBitmapAlone/min_time:2.000"];
        if (ours > 0 && base > 0)
            std::printf("render + JPEG %.1f ms / JPEG alone %.1f ms = %.2fx  (goal <= 3x and < 100 ms: %s)\n",
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
    platform::CreateForm(Form1);
    platform::CreateForm(Doc);
    FillBilingualPage();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    platform::DestroyCreatedForms();
    return 0;
}
