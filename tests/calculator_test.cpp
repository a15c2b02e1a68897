#include "documents/Calculator.h"
#include "documents/NumberText.h"
#include "platform/Exception.h"
#include "platform/LocaleText.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace {

using platform::EConvertError;
using testsupport::With;

class Calculator : public ::testing::Test {
protected:
    void Locale(QChar separator, int decimals) {
        platform::SetDecimalSeparatorOverride(separator);
        platform::SetCurrencyDecimalsOverride(decimals);
    }
    testsupport::BulgarianLocale locale;  // and the system's own after each test
};

struct RoundRow {
    const char* text;
    const char* rounded;
};

TEST_F(Calculator, RoundsToTheMoneyDecimalsHalfAwayFromZero) {
    const std::vector<std::pair<int, std::vector<RoundRow>>> tables = {
        {2, {
            {"12", "12#00"},         {"12#5", "12#50"},      {"12#34", "12#34"},     {"12#344", "12#34"},
            {"12#345", "12#35"},     {"-12#345", "-12#35"},  {"0#995", "1#00"},      {"9#9999", "10#00"},
            {"-9#995", "-10#00"},    {"-0#004", "-0#00"},    {"", "#00"},            {"12#305", "12#31"},
            {"0#125", "0#13"},       {"-0#005", "-0#01"},    {"99999#995", "100000#00"},
            // amounts beyond 15 digits keep every digit
            {"999999999999#995", "1000000000000#00"},        {"1234567890123#465", "1234567890123#47"},
            {"-1000000000000#995", "-1000000000001#00"},
            // exponent forms from the number-to-text conversion are rounded as the
            // decimals they stand for
            {"1E-6", "0#00"},        {"-1#11022302462516E-16", "-0#00"},              {"1#5E20", "150000000000000000000#00"},
            {"-2#5E-7", "-0#00"},
        }},
        {0, {
            {"12#5", "13"}, {"12#4", "12"},  {"12", "12"},     {"12#", "12"},  {"-12#5", "-13"},
            {"9#5", "10"},  {"0#49", "0"},   {"-0#4", "-0"},   {"12#99", "13"}, {"", ""},
            {"1#5E20", "150000000000000000000"},
        }},
        {3, {
            {"12", "12#000"},        {"1#5", "1#500"},      {"12#345", "12#345"},   {"12#3456", "12#346"},
            {"12#3454", "12#345"},   {"-0#0005", "-0#001"}, {"9#9995", "10#000"},   {"-9#99949", "-9#999"},
        }},
    };
    for (QChar separator : {QChar(u','), QChar(u'.')}) {
        for (const auto& [decimals, rows] : tables) {
            Locale(separator, decimals);
            for (const RoundRow& row : rows) {
                const QString text = With(separator, row.text);
                try {
                    EXPECT_EQ(RoundMoneyText(text), With(separator, row.rounded))
                        << text.toStdString() << " with " << char(separator.unicode()) << ", " << decimals << " decimals";
                } catch (const EConvertError& e) {
                    ADD_FAILURE() << text.toStdString() << ": " << e.what();
                }
            }
        }
    }
}

TEST_F(Calculator, TextsThatDoNotConvertAreRefusedAndStopALineWhereItFails) {
    Locale(QChar(u','), 2);
    for (const char* bad : {"12,34x", "12,3a5", "abc,def", "1,23E"})
        EXPECT_THROW(RoundMoneyText(QString::fromUtf8(bad)), EConvertError) << bad;
    // Texts that need no cut are not converted at all.
    EXPECT_EQ(RoundMoneyText(QStringLiteral("abc")), QStringLiteral("abc,00"));
    EXPECT_EQ(RoundMoneyText(QStringLiteral("12.345")), QStringLiteral("12.345,00"));

    // A line with a text that does not convert stops where it fails.
    CalculatorTexts start;
    start.lineValue = QStringLiteral("1,00");
    start.result = QStringLiteral("1,00");
    start.taxBase = QStringLiteral("5,00");
    start.vat = start.vatCopy = QStringLiteral("1,00");
    start.total = QStringLiteral("6,00");

    // The quantity left empty, or a discount that is no number: nothing is written.
    for (const auto& [quantity, discount] : {std::pair{"", ""}, std::pair{"3", "10%"}}) {
        CalculatorTexts texts = start;
        texts.price = QStringLiteral("10");
        texts.quantity = QString::fromUtf8(quantity);
        texts.discount = QString::fromUtf8(discount);
        EXPECT_THROW(AddLine(texts, 0.2), EConvertError) << quantity << " " << discount;
        EXPECT_EQ(texts.lineValue, start.lineValue);
        EXPECT_EQ(texts.taxBase, start.taxBase);
        EXPECT_EQ(texts.total, start.total);
    }

    // A running sum that is no number: the line value is already written.
    CalculatorTexts texts = start;
    texts.price = QStringLiteral("10");
    texts.quantity = QStringLiteral("3");
    texts.taxBase = QStringLiteral("abc");
    EXPECT_THROW(AddLine(texts, 0.2), EConvertError);
    EXPECT_EQ(texts.lineValue, QStringLiteral("30,00"));
    EXPECT_EQ(texts.taxBase, QStringLiteral("abc"));
    EXPECT_EQ(texts.vat, start.vat);
    EXPECT_EQ(texts.result, start.result);
}

TEST_F(Calculator, PlainDecimalTextWritesOutExponentForms) {
    Locale(QChar(u','), 2);
    const RoundRow rows[] = {
        {"1E-5", "0,00001"}, {"-2,5E-7", "-0,00000025"}, {"1,5E20", "150000000000000000000"},
        {"1,2345E2", "123,45"}, {"1E0", "1"}, {"12,5", "12,5"}, {"abc", "abc"}, {"1.5E3", "1.5E3"},
    };
    for (const RoundRow& row : rows)
        EXPECT_EQ(PlainDecimalText(QString::fromUtf8(row.text)), QString::fromUtf8(row.rounded)) << row.text;
}

// Lines added one after another to sums set to "0", with a 20 % rate.
struct LineRow {
    const char* price;
    const char* quantity;
    const char* discount;
    const char* lineValue;
    const char* taxBase;
    const char* vat;
    const char* total;
};

void ExpectLines(QChar separator, const std::vector<LineRow>& lines) {
    CalculatorTexts texts;
    for (const LineRow& line : lines) {
        texts.price = With(separator, line.price);
        texts.quantity = With(separator, line.quantity);
        texts.discount = With(separator, line.discount);
        AddLine(texts, 0.2);
        const std::string where = std::string(line.price) + " x " + line.quantity;
        EXPECT_EQ(texts.lineValue, With(separator, line.lineValue)) << where;
        EXPECT_EQ(texts.result, With(separator, line.lineValue)) << where;
        EXPECT_EQ(texts.taxBase, With(separator, line.taxBase)) << where;
        EXPECT_EQ(texts.vat, With(separator, line.vat)) << where;
        EXPECT_EQ(texts.vatCopy, With(separator, line.vat)) << where;
        EXPECT_EQ(texts.total, With(separator, line.total)) << where;
    }
}

TEST_F(Calculator, AddsLinesToTheRunningTotals) {
    for (QChar separator : {QChar(u','), QChar(u'.')}) {
        Locale(separator, 2);
        ExpectLines(separator, {
            {"10", "3", "", "30#00", "30#00", "6#00", "36#00"},
            {"5#555", "1", "", "5#56", "35#56", "7#11", "42#67"},  // VAT from 7,112 on the whole sum
            {"10", "3", "10", "27#00", "62#56", "12#51", "75#07"},
            {"-10", "1", "", "-10#00", "52#56", "10#51", "63#07"},  // a negative line
            {"0#7", "1", "100", "-0#00", "52#56", "10#51", "63#07"}, // full discount: -0,00, not -1,11
        });
        ExpectLines(separator, {{"0#10", "1", "", "0#10", "0#10", "0#02", "0#12"},
                                {"-0#10", "1", "", "-0#10", "0#00", "0#00", "0#00"}});
    }
    Locale(QChar(u','), 0);
    ExpectLines(QChar(u','), {{"12,5", "1", "", "13", "13", "3", "16"}, {"0,4", "1", "", "0", "13", "3", "16"}});
    Locale(QChar(u','), 3);
    ExpectLines(QChar(u','), {{"5,5555", "1", "", "5,556", "5,556", "1,111", "6,667"}});
}

TEST_F(Calculator, VatRateText) {
    Locale(QChar(u','), 2);
    EXPECT_EQ(VatTextBeforePercent(QStringLiteral("9%")), QStringLiteral("9"));
    EXPECT_EQ(VatTextBeforePercent(QStringLiteral("20")), QStringLiteral("20"));
    EXPECT_EQ(VatTextBeforePercent(QStringLiteral("9,5% ДДС%")), QStringLiteral("9,5"));
    EXPECT_DOUBLE_EQ(VatRateFromText(QStringLiteral("9")), 0.09);
    EXPECT_DOUBLE_EQ(VatRateFromText(QStringLiteral("20")), 0.2);
    EXPECT_DOUBLE_EQ(VatRateFromText(QStringLiteral(" 9,5 ")), 0.095);
    EXPECT_THROW(VatRateFromText(QStringLiteral("abc")), EConvertError);
    EXPECT_THROW(VatRateFromText(QString()), EConvertError);
}

TEST_F(Calculator, NormalizeDecimalTextAcceptsEitherSeparator) {
    struct Row {
        QChar separator;
        const char* text;
        const char* normalized;
    };
    const Row rows[] = {
        {u',', "12.50", "12,50"},  {u',', "-3.5", "-3,5"},   {u',', "12,5", "12,5"},  {u',', "1.234,56", ""},
        {u',', "1.2.3", ""},       {u',', "abc", ""},        {u',', "", ""},          {u',', " 7.25 ", " 7,25 "},
        {u',', "1E3", "1E3"},      {u'.', "1,5", "1.5"},     {u'.', "1.5", "1.5"},    {u'.', "1,5,0", ""},
        {u'.', "1,234.56", ""},    {u'.', "12,50", "12.50"},
    };
    for (const Row& row : rows) {
        platform::SetDecimalSeparatorOverride(row.separator);
        EXPECT_EQ(NormalizeDecimalText(QString::fromUtf8(row.text)), QString::fromUtf8(row.normalized))
            << row.text << " with " << char(row.separator.unicode());
    }
}

}  // namespace
