
#include "documents/CalculatorWindow.h"
#include "platform/Exception.h"
#include "platform/LocaleText.h"
#include "platform/StringGrid.h"

#include <QStringList>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class CalculatorWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!Form1) platform::CreateForm(Form1);
    }

    void SetUp() override {
        platform::SetDecimalSeparatorOverride(QChar(u','));
        platform::SetCurrencyDecimalsOverride(2);
    }

    void TearDown() override {
        platform::SetDecimalSeparatorOverride(std::nullopt);
        platform::SetCurrencyDecimalsOverride(std::nullopt);
        Form1->SetVatRate(QStringLiteral("20%"));
    }

    // What the editor does before the first line of a document.
    static void ResetSums() {
        Form1->Label7->setText(QStringLiteral("0"));
        Form1->Label3->setText(QStringLiteral("0"));
        Form1->Label5->setText(QStringLiteral("0"));
    }

    static void AddLine(const QString& price, const QString& quantity, const QString& discount) {
        Form1->Edit1->setText(price);
        Form1->Edit3->setText(quantity);
        Form1->Edit2->setText(discount);
        Form1->SpeedButton1->click();
    }

    struct Shown {
        QString line, result, taxBase, vat, vatCopy, total;
        std::string Text() const {
            return (QStringList{line, result, taxBase, vat, vatCopy, total}.join(u" | ")).toStdString();
        }
    };
    static Shown Labels() {
        return {Form1->Label10->text(), Form1->result->text(), Form1->Label7->text(),
                Form1->Label1->text(),  Form1->Label3->text(), Form1->Label5->text()};
    }
};

TEST_F(CalculatorWindow, CreationSetsTwentyPercentAndTheCurrencySymbol) {
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_DOUBLE_EQ(Form1->VatRate, 0.2);
    EXPECT_EQ(Form1->VatText, QStringLiteral("20"));
    ASSERT_FALSE(Form1->MemList.isEmpty());
    EXPECT_EQ(Form1->MemList[0], QStringLiteral("20%"));
    EXPECT_EQ(platform::CurrencyString(), QStringLiteral("лв"));
}

// The sums themselves are pinned with the plain calculation; here the edits
// and labels it reads and writes.
TEST_F(CalculatorWindow, AddingALineShowsLineValueTaxBaseVatAndTotal) {
    ResetSums();
    AddLine(QStringLiteral("10"), QStringLiteral("3"), QStringLiteral("10"));
    EXPECT_EQ(Labels().Text(), (Shown{"27,00", "27,00", "27,00", "5,40", "5,40", "32,40"}).Text());
}

TEST_F(CalculatorWindow, TheRateFollowsSetVatRate) {
    Form1->SetVatRate(QStringLiteral("9%"));
    EXPECT_EQ(Form1->VatText, QStringLiteral("9"));
    EXPECT_EQ(Form1->MemList[0], QStringLiteral("9%"));
    ResetSums();
    AddLine(QStringLiteral("100"), QStringLiteral("1"), QString());
    EXPECT_EQ(Form1->Label3->text(), QStringLiteral("9,00"));
    EXPECT_EQ(Form1->Label5->text(), QStringLiteral("109,00"));

    // No number before "%": the text is taken, the rate is kept, the caller hears of it.
    EXPECT_THROW(Form1->SetVatRate(QStringLiteral("abc%")), platform::EConvertError);
    EXPECT_DOUBLE_EQ(Form1->VatRate, 0.09);
    EXPECT_EQ(Form1->VatText, QStringLiteral("abc"));
    EXPECT_EQ(Form1->MemList[0], QStringLiteral("abc%"));
}

TEST_F(CalculatorWindow, ALineThatDoesNotConvertStopsSilentlyKeepingWhatWasWritten) {
    ResetSums();
    AddLine(QStringLiteral("10"), QStringLiteral("3"), QString());
    const Shown before = Labels();

    AddLine(QStringLiteral("К-во"), QStringLiteral("3"), QString());
    EXPECT_EQ(Labels().Text(), before.Text());
}

TEST_F(CalculatorWindow, RoundControlTextRoundsLabelsAndEditsInPlace) {
    QLabel label(QStringLiteral("12,345"));
    Form1->RoundControlText(&label);
    EXPECT_EQ(label.text(), QStringLiteral("12,35"));

    QLineEdit edit(QStringLiteral("-0,004"));
    QSignalSpy changed(&edit, &QLineEdit::textChanged);  // as a typed change would
    Form1->RoundControlText(&edit);
    EXPECT_EQ(edit.text(), QStringLiteral("-0,00"));
    EXPECT_EQ(changed.count(), 1);

    label.setText(QStringLiteral("12,3x5"));
    EXPECT_THROW(Form1->RoundControlText(&label), platform::EConvertError);
    EXPECT_EQ(label.text(), QStringLiteral("12,3x5"));
}

TEST_F(CalculatorWindow, FitGridHeightShowsEveryRow) {
    platform::StringGrid grid;
    grid.resize(300, 10);
    grid.SetDefaultRowHeight(24);
    grid.SetRowCount(3);
    Form1->FitGridHeight(&grid);
    EXPECT_EQ(grid.height(), 78);
    EXPECT_EQ(grid.width(), 300);
    grid.SetRowCount(5);
    Form1->FitGridHeight(&grid);
    EXPECT_EQ(grid.height(), 128);
}

TEST_F(CalculatorWindow, WordsAreAppendedToTheGivenLabel) {
    QLabel words;
    Form1->BgWords6(QStringLiteral("125105"), &words);
    EXPECT_EQ(words.text(), QStringLiteral("сто двадесет и пет хиляди и сто и пет"));
    words.setText(words.text() + u'\n');
    Form1->EnWords4(QStringLiteral("1005"), &words);
    Form1->EnWordsFraction(QStringLiteral("1005,50"), &words);
    EXPECT_EQ(words.text(), QStringLiteral("сто двадесет и пет хиляди и сто и пет\none thousand  and five and  0,50"));
}

}  // namespace
