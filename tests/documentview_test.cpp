// The printed page as the editor's preview builds it, in each language, and
// the language switch; against a real database.

#include "app/MainWindow.h"
#include "documents/AmountWords.h"
#include "documents/CalculatorWindow.h"
#include "documents/DocumentEditor.h"
#include "documents/EditorRules.h"
#include "documents/PageRules.h"
#include "documents/PrintedPage.h"
#include "platform/LocaleText.h"
#include "platform/Paths.h"
#include "support/programtest.h"
#include "support/testdatabase.h"

#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class DocumentView : public testsupport::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), "");
        testsupport::ExecuteOn(defaultFile, QStringLiteral("insert into firm (pnom, invoiceno, supplier1, supplier2)"
                                                           " values ('1', '7', 'Дунав АД', 'Danube PLC')"));
        Start();
        Main->OrderBtn->click();
        e = OrderForm;
    }
    // Lines of quantity 1 at the price; the VAT rate 25 % makes 96,40 a total of 120,50.
    void Lines(int count, const QString& price) {
        e->Edit9->setText(QStringLiteral("25%"));
        e->StringGrid1->SetRowCount(count + 1);
        for (int r = 1; r <= count; ++r)
            e->StringGrid1->SetRowTexts(r, {"", "Монтаж на алуминиева дограма", "бр.", "1", price});
    }
    testsupport::BulgarianLocale locale;
    TOrderForm* e = nullptr;
};

TEST_F(DocumentView, EachLanguageWritesItsWordsTitlesAndNoteTable) {
    Lines(1, QStringLiteral("96,40"));
    e->ComboBox1->setEditText(QStringLiteral("Кредитно известие"));
    e->RadioButton1->click();
    e->RebuildDocumentView(false);
    EXPECT_EQ(Doc->Label18->text(), "сто двадесет лева и 50 ст.");
    EXPECT_EQ(Doc->Label15->text(), "№ 0000000008 / Дата: " + QDate::currentDate().toString("dd.MM.yyyy"));
    EXPECT_EQ(Doc->StringGrid2->RowTexts(0).first(), "Пор. №");
    EXPECT_EQ(Doc->StringGrid1->RowTexts(0), QStringList({"№", "Кредит с/ка", "Сума"}));
    EXPECT_TRUE(Doc->StringGrid1->isVisibleTo(Doc->Panel1));

    // English in euro: the fraction words and the currency after them; no note table.
    e->RadioButton2->click();
    Doc->CurrencyPrefix = QStringLiteral("EUR");
    e->RebuildDocumentView(false);
    EXPECT_EQ(Doc->Label18->text(), "one hundred twenty and  0,50 EUR");
    EXPECT_EQ(Doc->StringGrid2->RowTexts(0), QStringList({"Part No.", "Description", "Measr.", "Qty.",
                                                          "Unit Price", "Total"}));
    EXPECT_EQ(Doc->Label24->text(), "Customer");
    EXPECT_FALSE(Doc->StringGrid1->isVisibleTo(Doc->Panel1));

    e->RadioButton3->click();
    e->ComboBox1->setEditText(QStringLiteral("Дебитно известие"));
    e->RebuildDocumentView(false);
    EXPECT_EQ(Doc->Label59->text(), "сто двадесет лева и 50 ст.\none hundred twenty and  0,50 EUR");
    EXPECT_EQ(Doc->StringGrid4->RowTexts(1).mid(4, 4),
              QStringList({"Unit Price BGL", "Unit Price EUR", "Total BGL", "Total EUR"}));
    EXPECT_EQ(Doc->StringGrid3->RowTexts(1), QStringList({"No", "Debit account", "Sum"}));
    e->View->click();
    EXPECT_TRUE(Doc->isVisible());
}

TEST_F(DocumentView, SwitchingToEnglishAndBackKeepsTheDocument) {
    Lines(2, QStringLiteral("10,00"));
    e->Edit9->setText(QStringLiteral("%"));  // no rate: red, and the last rate stays
    EXPECT_EQ(e->Edit9->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(Form1->VatRate, 0.25);
    e->Edit9->setText(QStringLiteral("25%"));
    e->Edit1->setText(QStringLiteral("Фикс ООД"));
    e->RadioButton2->click();
    EXPECT_EQ(e->ComboBox2->currentText(), "INVOICE");
    EXPECT_EQ(e->Edit1->property("Hint").toString(), "Company2;cust");
    EXPECT_EQ(e->DBText1->text(), "Danube PLC");
    EXPECT_TRUE(e->DBGrid1->isVisibleTo(e));
    Doc->CurrencyPrefix = QStringLiteral("EUR");
    e->RadioButton1->click();
    EXPECT_EQ(Doc->Label24->text(), Main->DocCaptions[1]);
    EXPECT_EQ(Doc->Label9->text(), Main->DocCaptions[26]);
    EXPECT_TRUE(Doc->CurrencyPrefix.isEmpty());
    EXPECT_EQ(e->ComboBox2->currentText(), "ФАКТУРА");
    EXPECT_EQ(e->MaskEdit1->text(), "0000000008");  // no number drawn by the switch
    EXPECT_EQ(e->Edit1->text(), "Фикс ООД");
    EXPECT_EQ(e->StringGrid1->Cell(4, 2), "10,00");
    e->RebuildDocumentView(false);
    EXPECT_EQ(Doc->Label18->text(), "двадесет и пет лева и 0 ст.");  // "25,00 лв": its 0 stotinki shown
}

TEST_F(DocumentView, TwentyBilingualLinesFitThePageWithoutOverlaps) {
    Lines(20, QStringLiteral("1234,56"));
    e->Edit12->setText(QStringLiteral("Balkan Star Trading House - Plovdiv Ltd."));
    e->Edit1->setText(QStringLiteral("„Търговска къща Балканска звезда – Пловдив“ ЕООД"));
    e->RadioButton3->click();
    Doc->CurrencyPrefix = QStringLiteral("EUR");
    e->RebuildDocumentView(false);
    EXPECT_EQ(Doc->StringGrid4->RowCount(), 22);
    EXPECT_EQ(Doc->Label59->text().count(u'\n'), 2) << Doc->Label59->text().toStdString();  // the long Bulgarian line split
    // The blocks of the page follow one another down the page.
    QList<QWidget*> blocks;
    for (QWidget* w : Doc->Panel7->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisibleTo(Doc->Panel7) && w->height() > 2) blocks << w;
    for (QWidget* a : blocks)
        for (QWidget* b : blocks)
            EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " " << b->objectName().toStdString();
    EXPECT_LE(Bottom(Doc->Panel13), 1168);
    if (qEnvironmentVariableIsSet("QUILLANE_PAGE_PNG")) Doc->Image1->Picture().save(qgetenv("QUILLANE_PAGE_PNG"));
}

// Every line of a text broken for the page is made of whole words of the text.
::testing::AssertionResult WholeWords(const QString& broken, const QString& text) {
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    for (const QString& line : broken.split(u'\n'))
        for (const QString& word : line.split(u' ', Qt::SkipEmptyParts))
            if (!words.contains(word))
                return ::testing::AssertionFailure() << "\"" << word.toStdString() << "\" in\n" << broken.toStdString();
    return ::testing::AssertionSuccess();
}

// Types a text key by key, Cyrillic letters too.
void TypeText(QWidget* w, const QString& text) {
    w->setFocus();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
        QCoreApplication::sendEvent(w, &release);
    }
}

TEST_F(DocumentView, TheTwoLanguagePageBreaksLongLinesBetweenWords) {
    Lines(1, QStringLiteral("27730,00"));  // 34 662,50 to pay
    QTest::mouseClick(e->RadioButton3, Qt::LeftButton);
    ASSERT_TRUE(e->RadioButton3->isChecked());
    const QString company = QStringLiteral("Балканска строителна и търговска компания Пловдив ЕООД");
    const QString english = QStringLiteral("Balkan Construction and Trading Company Plovdiv Ltd.");
    TypeText(e->Edit1, company);
    TypeText(e->Edit12, english);
    ASSERT_EQ(e->Edit1->text(), company);
    QTest::mouseClick(e->View, Qt::LeftButton);
    ASSERT_TRUE(Doc->isVisible());

    const QString words = QStringLiteral("тридесет и четири хиляди и шестстотин шестдесет и два лева и 50 ст.");
    const QStringList lines = Doc->Label59->text().split(u'\n');
    // The Bulgarian words in two lines, then the English, longer than 50 characters, in two as well.
    ASSERT_EQ(lines.size(), 4) << Doc->Label59->text().toStdString();
    EXPECT_EQ(lines[0] + u' ' + lines[1], words);
    EXPECT_LE(lines[0].size(), 50);
    EXPECT_TRUE(WholeWords(lines[0] + u'\n' + lines[1], words));
    EXPECT_EQ(lines[2] + u' ' + lines[3], QStringLiteral("thirty four thousand and six hundred sixty two and  0,50 "));
    EXPECT_LE(lines[2].size(), 50);
    // Nothing below the words in their block (the rule under them first) is drawn over their last line.
    for (QWidget* below : Doc->Panel8->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (below->isVisible() && below->y() > Doc->Label59->y()) {
            EXPECT_GE(below->y(), Doc->Label59->geometry().bottom()) << below->objectName().toStdString();
        }
    EXPECT_EQ(Doc->Label93->text(), QStringLiteral("Балканска строителна и търговска компания\nПловдив ЕООД"));
    EXPECT_TRUE(WholeWords(Doc->Label102->text(), english));
    EXPECT_EQ(Doc->Label102->text().count(u'\n'), 1);
    // A word longer than the whole line is still cut, at the line's width.
    EXPECT_EQ(WrapTextToLines(QStringLiteral("ab ") + QString(10, u'x'), 5),
              QStringLiteral("ab\nxxxx\nxxxxx\nx"));
    if (qEnvironmentVariableIsSet("QUILLANE_PAGE_PNG")) Doc->Image1->Picture().save(qgetenv("QUILLANE_PAGE_PNG"));
    if (qEnvironmentVariableIsSet("QUILLANE_SCREEN_PNG")) {  // on a real display: the screen as the user sees it
        QTest::qWait(1500);
        QGuiApplication::primaryScreen()->grabWindow(0).save(qEnvironmentVariable("QUILLANE_SCREEN_PNG"));
    }
}

// An invoice with the discount column, Bulgarian and bilingual: every column
// title and every description line as the goods fill writes it lie whole
// inside their cells, and the grid's right border is drawn inside the page.
TEST_F(DocumentView, AnInvoiceWithDiscountFitsThePage) {
    e->CheckBox7->click();
    Doc->CurrencyPrefix = QStringLiteral("EUR");
    for (const bool both : {false, true}) {
        SCOPED_TRACE(both);
        (both ? e->RadioButton3 : e->RadioButton1)->click();
        const QStringList description = WrapDescription(
            QStringLiteral("Доставка и монтаж на алуминиева дограма, профил серия 4500, бял, с двоен стъклопакет"),
            DescriptionLineLimit(both, true));
        Lines(description.size(), QStringLiteral("1234,56"));
        for (int r = 1; r <= description.size(); ++r) e->StringGrid1->SetCell(1, r, description[r - 1]);
        e->RebuildDocumentView(false);
        platform::StringGrid* grid = both ? Doc->StringGrid4 : Doc->StringGrid2;
        ASSERT_EQ(grid->ColCount(), both ? 9 : 7);
        const QFontMetrics metrics(grid->font());
        for (int c = 0; c < grid->ColCount(); ++c)
            for (int r = 0; r < grid->RowCount(); ++r)
                EXPECT_LE(metrics.horizontalAdvance(grid->Cell(c, r)) + 4, grid->ColWidth(c))
                    << grid->Cell(c, r).toStdString();
        const int last = grid->ColCount() - 1;
        const int border = Left(grid) + grid->CellRect(last, 0).right() + 1;
        EXPECT_LT(border, std::min(Right(grid), 859));
        const QImage page = Doc->Image1->Picture();
        EXPECT_LT(qGray(page.pixel(border, Top(grid) + grid->CellRect(last, 2).center().y())), 240);  // drawn
        if (qEnvironmentVariableIsSet("QUILLANE_PAGE_PNG"))
            page.save(qEnvironmentVariable("QUILLANE_PAGE_PNG") + QString::number(both) + ".png");
    }
}

}  // namespace

namespace {

// A control's rectangle on the page it stands on.
QRect OnPage(QWidget* w, QWidget* page) { return QRect(w->mapTo(page, QPoint(0, 0)), w->size()); }

class AmountInWords : public DocumentView {
protected:
    // One line at the price and no VAT: the total is the price.
    void Total(const QString& price) {
        e->Edit9->setText(QStringLiteral("0%"));
        e->StringGrid1->SetRowCount(2);
        e->StringGrid1->SetRowTexts(1, {"", "Доставка на оборудване", "бр.", "1", price});
    }
};

// The sum in words on each page, at totals whose words are longest: broken
// between words where it would reach the totals, its lines clear of every
// total and caption beside it and of everything under it, and no word lost.
TEST_F(AmountInWords, TheWordsKeepClearOfTheTotalsAtEveryLength) {
    const QStringList totals{"445335,20", "777777,77", "373373,73", "999999,99", "178777,78", "1,00"};
    for (QRadioButton* radio : {e->RadioButton1, e->RadioButton2, e->RadioButton3}) {
        QTest::mouseClick(radio, Qt::LeftButton);
        ASSERT_TRUE(radio->isChecked());
        const bool both = radio == e->RadioButton3;
        const bool bulgarian = radio == e->RadioButton1;
        if (!bulgarian) Doc->CurrencyPrefix = QStringLiteral("EUR");
        QWidget* page = both ? Doc->Panel7 : Doc->Panel1;
        QLabel* words = both ? Doc->Label59 : Doc->Label18;
        QWidget* block = both ? static_cast<QWidget*>(Doc->Panel8) : Doc->Memo4;
        const QList<QLabel*> beside =
            both ? QList<QLabel*>{Doc->Label81, Doc->Label82, Doc->Label83, Doc->Label84, Doc->Label85,
                                  Doc->Label86, Doc->Label89, Doc->Label87, Doc->Label88}
                 : QList<QLabel*>{Doc->Label6, Doc->Label5, Doc->Label2, Doc->Label7, Doc->Label4, Doc->Label3};
        for (const QString& total : totals) {
            SCOPED_TRACE((radio->text() + u' ' + total).toStdString());
            Total(total);
            QTest::mouseClick(e->View, Qt::LeftButton);
            ASSERT_TRUE(Doc->isVisible());
            const QString text = words->text();
            QString expected = both || bulgarian ? BulgarianAmountWords((both ? Doc->Label87 : Doc->Label3)->text())
                                                 : QString();
            if (!bulgarian) {
                const QString english = EnglishAmountWords((both ? Doc->Label88 : Doc->Label3)->text(), "EUR");
                expected = expected.isEmpty() ? english : expected + u' ' + english;
            }
            EXPECT_EQ(QString(text).replace(u'\n', u' '), expected);
            const QRect wordsRect = OnPage(words, page);
            EXPECT_TRUE(QRect(0, 0, 859, 1168).contains(wordsRect));
            for (QLabel* label : beside)
                EXPECT_FALSE(wordsRect.intersects(OnPage(label, page)))
                    << text.toStdString() << " over " << label->objectName().toStdString() << " "
                    << label->text().toStdString();
            // Under the words: what stands in their columns (the totals beside them move down with them).
            for (QWidget* below : block->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (below->isVisible() && below->y() > words->y() && below->x() < words->geometry().right()) {
                    EXPECT_GE(below->y(), words->geometry().bottom()) << below->objectName().toStdString();
                }
        }
        if (qEnvironmentVariableIsSet("QUILLANE_PAGE_PNG"))
            Doc->Image1->Picture().save(qEnvironmentVariable("QUILLANE_PAGE_PNG") + radio->objectName() + ".png");
    }
}

// A credit note on the two-language page names the invoice it corrects and
// that invoice's date, as the one-language page does, and follows a changed
// number.
TEST_F(DocumentView, TheTwoLanguageNoteNamesItsInvoiceAndDate) {
    Lines(1, QStringLiteral("96,40"));
    QTest::mouseClick(e->RadioButton3, Qt::LeftButton);
    QTest::mouseClick(e->CheckBox4, Qt::LeftButton);  // "  Известие"
    ASSERT_TRUE(e->ComboBox1->isEnabled());
    e->EDate4->setDate(QDate(2026, 12, 1));
    QTest::keyClick(e->MaskEdit2, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(e->MaskEdit2, QStringLiteral("0000001200"));
    ASSERT_EQ(e->MaskEdit2->text(), QStringLiteral("0000001200"));
    for (int i = 0; i < 3 && e->ComboBox1->currentText() != QStringLiteral("Кредитно известие"); ++i)
        QTest::keyClick(e->ComboBox1, Qt::Key_Down);
    ASSERT_EQ(e->ComboBox1->currentText(), QStringLiteral("Кредитно известие"));
    QTest::mouseClick(e->View, Qt::LeftButton);
    ASSERT_TRUE(Doc->isVisible());
    const QString date = platform::DateToStr(QDate(2026, 12, 1));
    EXPECT_EQ(Doc->Label91->text(), QStringLiteral("Кредитно известие"));
    EXPECT_EQ(Doc->Label90->text(), "от дата / from date: " + date + ",\nкъм фактура № / to invoice No: 0000001200");
    EXPECT_EQ(Doc->Label22->text(), "от дата: " + date + ", към фактура № 0000001200");
    ASSERT_TRUE(Doc->Panel10->isVisibleTo(Doc->Panel7));
    // The line stands whole in its box, clear of the blocks beside and under it.
    EXPECT_TRUE(Doc->Panel10->rect().contains(Doc->Label90->geometry()));
    for (QWidget* other : {static_cast<QWidget*>(Doc->Panel11), static_cast<QWidget*>(Doc->Panel12),
                           static_cast<QWidget*>(Doc->StringGrid4)})
        EXPECT_FALSE(Doc->Panel10->geometry().intersects(other->geometry()))
            << other->objectName().toStdString() << " " << Doc->Panel10->x() << "," << Doc->Panel10->y() << " "
            << Doc->Panel10->width() << "x" << Doc->Panel10->height() << " / " << other->x() << "," << other->y()
            << " " << other->width() << "x" << other->height();

    // Another invoice typed in: both pages follow it.
    QTest::keyClick(e->MaskEdit2, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(e->MaskEdit2, QStringLiteral("0000001201"));
    QTest::mouseClick(e->View, Qt::LeftButton);
    EXPECT_TRUE(Doc->Label90->text().endsWith(QStringLiteral("to invoice No: 0000001201")));
    EXPECT_TRUE(Doc->Label22->text().endsWith(QStringLiteral("към фактура № 0000001201")));
    if (qEnvironmentVariableIsSet("QUILLANE_PAGE_PNG")) Doc->Image1->Picture().save(qgetenv("QUILLANE_PAGE_PNG"));
}

}  // namespace
