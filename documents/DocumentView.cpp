// The editor's view of the printed page: every text, grid and the amount in
// words copied onto the page, laid out and rendered; and the VAT-rate edit's
// recalculation trigger as the preview uses it.

#include "documents/AmountWords.h"
#include "documents/CalculatorWindow.h"
#include "documents/DocumentEditor.h"
#include "documents/ItemColumns.h"
#include "documents/NumberText.h"
#include "documents/PageRules.h"
#include "documents/PrintedPage.h"
#include "documents/ViewRules.h"
#include "platform/LocaleText.h"

#include <QFontMetrics>

#include <functional>

namespace {

// A holder of a text that the calculator rounds in place.
struct ScratchLabel {
    QString caption;
    QString text() const { return caption; }
    void setText(const QString& text) { caption = text; }
};

// A number text through the locale's conversion, divided by the rate and
// rounded to the money decimals.
QString RoundedShare(const QString& text, double rate) {
    ScratchLabel scratch{platform::FloatToStr(platform::StrToFloat(text) / rate)};
    Form1->RoundControlText(&scratch);
    return scratch.caption;
}

QString DateText(const QDateEdit* edit) { return platform::DateToStr(edit->date()); }

// Whether a line of the words label stays clear of the totals beside it: the
// label's room runs from its left to the totals block, less a small gap.
std::function<bool(const QString&)> FitsBeforeTotals(const QLabel* label, const QWidget* totals) {
    constexpr int kGap = 8;
    const int room = totals->x() - label->x() - kGap;
    const QFontMetrics metrics(label->font());
    return [metrics, room](const QString& line) { return metrics.horizontalAdvance(line) <= room; };
}

// The words broken for the room beside the totals; for every break,
// everything under the label in its block one line (12 pixels) lower. (A
// break replaces a blank, so a broken line is known by its line break, not by
// its length.)
QString BreakWords(QLabel* label, QWidget* block, QWidget* totals, const QString& words) {
    const QString broken = BreakWordsLine(words, FitsBeforeTotals(label, totals));
    const int breaks = int(broken.count(u'\n'));
    if (breaks == 0) return broken;
    const int top = label->y();
    for (QWidget* control : block->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->y() > top) control->move(control->x(), control->y() + 12 * breaks);
    return broken;
}

}  // namespace

void TOrderForm::WrapTextToLines(QString text, QLabel* label, QWidget* container, int width) {
    Q_UNUSED(container);
    if (auto* pageLabel = qobject_cast<::PageLabel*>(label)) pageLabel->setText(::WrapTextToLines(text, width));
    else label->setText(::WrapTextToLines(text, width));
}

void TOrderForm::RebuildDocumentView(bool show) {
    TDoc* const d = Doc;
    if (!d || !Form1) return;
    const std::optional<PageLanguage> language = ChosenLanguage();

    RecalculateThroughVatRate();
    RestoreDesignPositions();
    ViewHeading(d);
    ViewTotals(d, language);
    ViewLineItems(d, language);
    ViewNumberAndDates(d, language);
    ViewRecipientPaymentAndBank(d);
    ViewCustomer(d);
    ViewSupplier(d);
    ViewNoteTable(d);

    const auto layOut = [d] {
        FlowPageLabels(d);
        d->New->trigger();
        d->Resized->trigger();
    };
    layOut();
    ViewAmountInWords(d, language);
    layOut();

    if (show) d->Show();
    RenderPageToImage();
}

// The title, the note kind and the VAT basis.
void TOrderForm::ViewHeading(TDoc* d) {
    for (::PageLabel* l : {d->Label1, d->Label23}) l->setText(ComboBox2->currentText());
    for (::PageLabel* l : {d->Label21, d->Label91}) l->setText(ComboBox1->currentText());
    for (::PageLabel* l : {d->Label19, d->Label60}) l->setText(ComboBox4->currentText());
    if (!ComboBox5->currentText().isEmpty()) {
        const QString reason = u'/' + ComboBox5->currentText() + u'/';
        d->Label20->setText(reason);
        WrapTextToLines(reason, d->Label61, d->Panel8, 60);
    } else {
        d->Label20->setText(QString());
        d->Label61->setText(QString());
    }
    SetLeft(d->Label20, Left(d->Label19));
    SetLeft(d->Label61, Left(d->Label75));
}

// The totals and the VAT rate.
void TOrderForm::ViewTotals(TDoc* d, std::optional<PageLanguage> language) {
    const bool bulgarian = language == PageLanguage::Bulgarian;
    if (bulgarian) {
        d->Label5->setText(Label7->text());
        d->Label7->setText(Label4->text());
        d->Label3->setText(Label11->text());
    }
    d->Label82->setText(Label7->text());
    d->Label85->setText(Label4->text());
    d->Label87->setText(Label11->text());
    const QString rate = Edit9->text();
    const QString bgRate = "Данъчна ставка " + rate + "\nразмер на данъка";
    const QString enRate = "VAT " + rate + "\nTotal VAT";
    d->Label2->setText(bulgarian ? bgRate : enRate);
    d->Label84->setText(bgRate + u'\n' + enRate);
}

// The line items: the single-language grid (a foreign page in the currency) and the
// two-language grid with both prices.
void TOrderForm::ViewLineItems(TDoc* d, std::optional<PageLanguage> language) {
    const bool bulgarian = language == PageLanguage::Bulgarian;
    const bool english = language == PageLanguage::English;
    const bool both = language == PageLanguage::Both;
    platform::StringGrid* const single = d->StringGrid2;
    platform::StringGrid* const bilingual = d->StringGrid4;
    const int columns = StringGrid1->ColCount();
    const int rows = StringGrid1->RowCount();
    const int valueColumn = columns - 1;
    single->SetColCount(columns);
    single->SetRowCount(rows);
    bilingual->SetColCount(TwoLanguageColumn::Count(columns));
    bilingual->SetRowCount(rows + 1);
    const double currencyRate = d->CurrencyRate;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) single->SetCell(c, r, StringGrid1->Cell(c, r));
        if (r == 0) continue;
        for (int c = 0; c < ItemColumn::WithDiscount; ++c)
            bilingual->SetCell(TwoLanguageColumn::Of(c), r + 1, c < columns ? StringGrid1->Cell(c, r) : QString());
        if (english || both) {
            for (int c : {ItemColumn::Price, valueColumn})
                StringGrid1->SetCell(c, r, NormalizeDecimalText(StringGrid1->Cell(c, r)));
            const QString price = StringGrid1->Cell(ItemColumn::Price, r);
            if (english) {
                if (!price.isEmpty()) single->SetCell(ItemColumn::Price, r, RoundedShare(price, currencyRate));
                const QString value = StringGrid1->Cell(valueColumn, r);
                if (!value.isEmpty()) single->SetCell(valueColumn, r, RoundedShare(value, currencyRate));
            } else if (!price.isEmpty()) {
                const QString rounded = RoundedShare(price, 1.0);
                bilingual->SetCell(TwoLanguageColumn::Of(ItemColumn::Price), r + 1, rounded);
                bilingual->SetCell(TwoLanguageColumn::CurrencyPrice, r + 1, RoundedShare(rounded, currencyRate));
            }
        }
    }
    QStringList values;
    for (int r = 1; r < rows; ++r) values << single->Cell(valueColumn, r);
    values = PadValueTexts(values);
    for (int r = 1; r < rows; ++r) single->SetCell(valueColumn, r, values[r - 1]);
    if (single->RowCount() > 1) single->SetFixedRows(1);
    if (bilingual->RowCount() > 2) bilingual->SetFixedRows(2);
    if (bulgarian || english) single->SetRowTexts(0, LineGridTitles(english, columns));
    if (both) {
        const auto [bg, en] = BilingualLineGridTitles(columns, d->CurrencyPrefix);
        bilingual->SetRowTexts(0, bg);
        bilingual->SetRowTexts(1, en);
    }
    Form1->FitGridHeight(single);
    Form1->FitGridHeight(bilingual);
}

// The number with the date, the tax-event and the payment dates.
void TOrderForm::ViewNumberAndDates(TDoc* d, std::optional<PageLanguage> language) {
    const bool bulgarian = language == PageLanguage::Bulgarian;
    const bool english = language == PageLanguage::English;
    const bool both = language == PageLanguage::Both;
    const QString number = MaskEdit1->text();
    if (bulgarian) d->Label15->setText("№ " + number + " / Дата: " + DateText(EDate));
    if (english) d->Label15->setText("No " + number + " / Date: " + DateText(EDate));
    if (both) d->Label26->setText("No " + number + " / Дата(Date): " + DateText(EDate));
    for (::PageLabel* l : {d->Label57, d->Label77}) l->setText(CheckBox1->isChecked() ? DateText(EDate2) : QString());
    for (::PageLabel* l : {d->Label40, d->Label80}) l->setText(CheckBox2->isChecked() ? DateText(EDate3) : QString());
}

// Recipient, issuer, payment and bank.
void TOrderForm::ViewRecipientPaymentAndBank(TDoc* d) {
    d->Label35->setText(Edit8->text());
    d->Label121->setText(Edit8->text());
    d->Label129->setText(Edit15->text());
    d->Label52->setText(Edit10->text());
    d->Label124->setText(Edit10->text());
    d->Label130->setText(Edit16->text());
    d->Label37->setText(ComboBox3->currentText());
    WrapTextToLines(ComboBox3->currentText(), d->Label71, d->Panel8, 43);
    for (::PageLabel* l : {d->Label38, d->Label72}) l->setText(Bank->text());
    for (::PageLabel* l : {d->Label39, d->Label73}) l->setText(IBAN->text());
    for (::PageLabel* l : {d->Label53, d->Label74}) l->setText(SWIFT->text());
}

// The customer, in each language's block.
void TOrderForm::ViewCustomer(TDoc* d) {
    WrapTextToLines(Edit1->text(), d->Label33, d->Panel3, 43);
    d->Label65->setText(Edit7->text());
    d->Label34->setText(Edit6->text());
    WrapTextToLines(Edit3->text(), d->Label29, d->Panel3, 43);
    d->Label30->setText(Edit2->text());
    WrapTextToLines(Edit1->text(), d->Label93, d->Panel11, 43);
    WrapTextToLines(Edit12->text(), d->Label102, d->Panel11, 43);
    WrapTextToLines(Edit3->text(), d->Label94, d->Panel11, 43);
    WrapTextToLines(Edit13->text(), d->Label103, d->Panel11, 43);
    d->Label96->setText(Edit2->text());
    d->Label104->setText(Edit14->text());
    d->Label99->setText(Edit6->text());
    d->Label100->setText(Edit7->text());
}

// The logo and the own firm, in each language's block.
void TOrderForm::ViewSupplier(TDoc* d) {
    d->Image2->SetPicture(DBImage1->Picture());
    d->Image4->SetPicture(DBImage1->Picture());
    WrapTextToLines(DBText1->text(), d->Label46, d->Panel4, 38);
    WrapTextToLines(DBText8->text(), d->Label47, d->Panel4, 38);
    d->Label49->setText(DBText2->text());
    d->Label11->setText(DBText6->text());
    d->Label10->setText(DBText5->text());
    d->Label16->setText(DBText7->text());
    WrapTextToLines(DBText1->text(), d->Label106, d->Panel12, 38);
    WrapTextToLines(Edit17->text(), d->Label118, d->Panel12, 38);
    WrapTextToLines(DBText8->text(), d->Label107, d->Panel12, 38);
    WrapTextToLines(Edit18->text(), d->Label117, d->Panel12, 38);
    d->Label109->setText(DBText2->text());
    d->Label119->setText(Edit19->text());
    d->Label114->setText(DBText6->text());
    d->Label113->setText(DBText5->text());
    d->Label116->setText(DBText7->text());
    d->Label120->setText(Edit20->text());
}

// The note's account table, shown only for a note, with its header cells.
void TOrderForm::ViewNoteTable(TDoc* d) {
    const QString kind = ComboBox1->currentText();
    const bool note = !kind.isEmpty();
    for (QWidget* w : std::initializer_list<QWidget*>{StringGrid2, d->StringGrid1, d->Panel2, d->StringGrid3, d->Panel10})
        w->setVisible(note);
    if (note) {
        const auto [bg, en] = NoteTableTitles(kind);
        StringGrid2->SetCell(0, 0, bg[0]);
        d->StringGrid3->SetCell(0, 0, bg[0]);
        d->StringGrid3->SetCell(0, 1, en[0]);
        if (!bg[1].isEmpty()) {
            StringGrid2->SetCell(1, 0, bg[1]);
            d->StringGrid3->SetCell(1, 0, bg[1]);
            d->StringGrid3->SetCell(1, 1, en[1]);
        }
        StringGrid2->SetCell(2, 0, bg[2]);
        d->StringGrid3->SetCell(2, 0, bg[2]);
        d->StringGrid3->SetCell(2, 1, en[2]);
        d->StringGrid3->SetRowCount(std::max(d->StringGrid3->RowCount(), StringGrid2->RowCount() + 1));
        for (int r = 0; r < StringGrid2->RowCount(); ++r) {
            for (int c = 0; c < StringGrid2->ColCount(); ++c) {
                d->StringGrid1->SetCell(c, r, StringGrid2->Cell(c, r));
                if (r >= 1) d->StringGrid3->SetCell(c, r + 1, StringGrid2->Cell(c, r));
            }
        }
    }
}

// The sum to pay in words, read from the totals the page completed.
void TOrderForm::ViewAmountInWords(TDoc* d, std::optional<PageLanguage> language) {
    const bool bulgarian = language == PageLanguage::Bulgarian;
    const bool english = language == PageLanguage::English;
    d->Label18->setText(QString());
    if (bulgarian) {
        d->Label18->setText(BreakWords(d->Label18, d->Memo4, d->Panel6, BulgarianAmountWords(d->Label3->text())));
    } else if (english) {
        const QString words = EnglishAmountWords(d->Label3->text(), d->CurrencyPrefix);
        d->Label18->setText(BreakWords(d->Label18, d->Memo4, d->Panel6, words));
    } else {
        d->Label59->setText(BreakWords(d->Label59, d->Panel8, d->Panel9, BulgarianAmountWords(d->Label87->text())));
        const QString englishLine = EnglishAmountWords(d->Label88->text(), d->CurrencyPrefix);
        if (!englishLine.isNull())
            d->Label59->setText(d->Label59->text() + u'\n' + BreakWords(d->Label59, d->Panel8, d->Panel9, englishLine));
    }
}
