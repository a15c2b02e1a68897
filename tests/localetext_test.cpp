#include "platform/Exception.h"
#include "platform/LocaleText.h"
#include "support/testsupport.h"

#include <QLocale>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

using namespace platform;
using testsupport::With;

class LocaleText : public ::testing::Test {
protected:
    void TearDown() override {
        SetDecimalSeparatorOverride(std::nullopt);
        SetCurrencyDecimalsOverride(std::nullopt);
        SetShortDateFormatOverride(std::nullopt);
    }
};

TEST_F(LocaleText, FloatToStrWritesTheShortestGeneralForm) {
    struct Row {
        double value;
        const char* text;
    };
    const Row rows[] = {
        {0.0, "0"}, {-0.0, "0"}, {30.0, "30"}, {12.5, "12#5"},
        {-35.56, "-35#56"},
        {0.1 + 0.2, "0#3"},                      // 15 digits hide the binary noise
        {1.0 / 3, "0#333333333333333"}, {2.0 / 3, "0#666666666666667"},
        {9.9999999999999999, "10"}, {1234567.891, "1234567#891"},
        {123456789012345.0, "123456789012345"},  // 15 integer digits: still plain
        {1e15, "1E15"}, {1.5e20, "1#5E20"}, {-1.5e20, "-1#5E20"},
        {0.0001234, "0#0001234"},
        {0.0001, "0#0001"},                      // the smallest plain magnitude
        {0.00001, "1E-5"}, {-0.000025, "-2#5E-5"}, {0.000001, "1E-6"},
        {-2.5e-7, "-2#5E-7"},
        {0.7 - (0.7 * 100) * 0.01, "-1#11022302462516E-16"},
        {std::numeric_limits<double>::infinity(), "INF"},
    };
    for (QChar separator : {QChar(u','), QChar(u'.')}) {
        SetDecimalSeparatorOverride(separator);
        for (const Row& row : rows)
            EXPECT_EQ(FloatToStr(row.value), With(separator, row.text)) << row.text << " with " << char(separator.unicode());
    }
}

TEST_F(LocaleText, StrToFloatReadsPlainAndExponentTexts) {
    struct Row {
        const char* text;
        double value;
    };
    const Row rows[] = {
        {"12#5", 12.5},   {"  -3#25 ", -3.25}, {"+7", 7},        {"#5", 0.5},       {"5#", 5},
        {"1E3", 1000},    {"1#5e-2", 0.015},   {"2E+2", 200},    {"-2#5E-7", -2.5e-7},
        {"0", 0},         {"1e-400", 0},       {"\t42\t", 42},   {"007", 7},
    };
    for (QChar separator : {QChar(u','), QChar(u'.')}) {
        SetDecimalSeparatorOverride(separator);
        for (const Row& row : rows) {
            const QString text = With(separator, row.text);
            try {
                EXPECT_DOUBLE_EQ(StrToFloat(text), row.value) << text.toStdString();
            } catch (const EConvertError& e) {
                ADD_FAILURE() << text.toStdString() << ": " << e.what();
            }
        }
        // Every text that converts back gives the same number.
        for (double value : {12.5, -0.001, 1.5e20, -2.5e-7, 1.0 / 3})
            EXPECT_NEAR(StrToFloat(FloatToStr(value)), value, std::fabs(value) * 1e-14);
    }
}

TEST_F(LocaleText, StrToFloatRefusesWhatIsNotAPlainNumber) {
    const char* rows[] = {"",     "   ",   "abc",    "1,2,3", "1.2.3", "1 000", "inf",  "nan", "0x1A",
                          "1E",   "E5",    "-",      "#",     "12#5лв", "1e400", "--1",  "1#5E2#5"};
    for (QChar separator : {QChar(u','), QChar(u'.')}) {
        SetDecimalSeparatorOverride(separator);
        for (const char* row : rows) {
            const QString text = With(separator, row);
            EXPECT_THROW(StrToFloat(text), EConvertError) << text.toStdString();
        }
    }
    // The other separator is no separator: no group separators either.
    SetDecimalSeparatorOverride(QChar(u','));
    EXPECT_THROW(StrToFloat(QStringLiteral("1.5")), EConvertError);
    EXPECT_THROW(StrToFloat(QStringLiteral("1.234,56")), EConvertError);
    SetDecimalSeparatorOverride(QChar(u'.'));
    EXPECT_THROW(StrToFloat(QStringLiteral("1,5")), EConvertError);
}

TEST_F(LocaleText, ConversionErrorsQuoteTheTextInBulgarian) {
    SetDecimalSeparatorOverride(QChar(u','));
    const std::vector<std::pair<std::function<void()>, QString>> cases = {
        {[] { StrToFloat(QStringLiteral("abc")); }, QStringLiteral("„abc“ не е правилно число.")},
        {[] { StrToInt(QStringLiteral("4,2")); }, QStringLiteral("„4,2“ не е правилно цяло число.")},
        {[] { DocumentDateFromText(QStringLiteral("31.02.2013 г.")); }, QStringLiteral("„31.02.2013 г.“ не е правилна дата.")},
    };
    for (const auto& [convert, message] : cases) {
        try {
            convert();
            ADD_FAILURE() << "no error for " << message.toStdString();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), message);
        }
    }
}

TEST_F(LocaleText, StrToIntAndFlags) {
    EXPECT_EQ(StrToInt(QStringLiteral("42")), 42);
    EXPECT_EQ(StrToInt(QStringLiteral(" -7 ")), -7);
    EXPECT_EQ(StrToInt(QStringLiteral("+3")), 3);
    EXPECT_EQ(StrToInt(QStringLiteral("-2147483648")), std::numeric_limits<int>::min());
    for (const char* bad : {"", "x", "4.2", "2147483648", "1 0", "-"})
        EXPECT_THROW(StrToInt(QString::fromUtf8(bad)), EConvertError) << bad;

    SetDecimalSeparatorOverride(QChar(u','));
    struct Row {
        const char* text;
        bool value;
    };
    const Row flags[] = {{"True", true},  {"true", true}, {"TRUE", true}, {"False", false},
                         {"fAlSe", false}, {"1", true},   {"0", false},   {"-2,5", true}, {"0,0", false}};
    for (const Row& row : flags) EXPECT_EQ(StrToBool(QString::fromUtf8(row.text)), row.value) << row.text;
    EXPECT_THROW(StrToBool(QStringLiteral("да")), EConvertError);
    EXPECT_THROW(StrToBool(QString()), EConvertError);
    EXPECT_EQ(BoolToStr(true), QStringLiteral("True"));
    EXPECT_EQ(BoolToStr(false), QStringLiteral("False"));
}

TEST_F(LocaleText, DocumentDates) {
    EXPECT_EQ(DocumentDateText(QDate(2013, 3, 5)), QStringLiteral("05.03.2013 г."));
    EXPECT_EQ(DocumentDateText(QDate(2013, 12, 31)), QStringLiteral("31.12.2013 г."));
    EXPECT_EQ(DocumentDateText(QDate()), QString());

    struct Row {
        const char* text;
        QDate date;
    };
    const Row rows[] = {
        {"05.03.2013 г.", QDate(2013, 3, 5)},
        {"05.03.2013", QDate(2013, 3, 5)},
        {"5.3.2013 г.", QDate(2013, 3, 5)},
        {"29.02.2012 anything after the blank", QDate(2012, 2, 29)},
    };
    for (const Row& row : rows) EXPECT_EQ(DocumentDateFromText(QString::fromUtf8(row.text)), row.date) << row.text;
    for (const char* bad : {"", "г. 05.03.2013", "29.02.2013 г.", "05/03/2013", "05.03.13 г.", "abc"})
        EXPECT_THROW(DocumentDateFromText(QString::fromUtf8(bad)), EConvertError) << bad;
    // What is written reads back.
    for (const QDate& date : {QDate(2001, 1, 1), QDate(2099, 9, 30)})
        EXPECT_EQ(DocumentDateFromText(DocumentDateText(date)), date);
}

TEST_F(LocaleText, ShortDates) {
    SetShortDateFormatOverride(QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(DateToStr(QDate(2013, 3, 5)), QStringLiteral("05.03.2013"));
    EXPECT_EQ(StrToDate(QStringLiteral("05.03.2013")), QDate(2013, 3, 5));
    EXPECT_EQ(StrToDate(QStringLiteral(" 5.3.2013 ")), QDate(2013, 3, 5));
    // Two-digit years fall within fifty years of today.
    const int thisYear = QDate::currentDate().year();
    EXPECT_EQ(StrToDate(QStringLiteral("5.3.%1").arg(thisYear % 100, 2, 10, QChar(u'0'))), QDate(thisYear, 3, 5));
    for (int yy : {0, 13, 49, 50, 51, 99}) {
        const int year = StrToDate(QStringLiteral("1.1.%1").arg(yy, 2, 10, QChar(u'0'))).year();
        EXPECT_EQ(year % 100, yy);
        EXPECT_LE(std::abs(year - thisYear), 50) << yy;
    }
    for (const char* bad : {"", "32.01.2013", "05.13.2013", "abc", "5.3"})
        EXPECT_THROW(StrToDate(QString::fromUtf8(bad)), EConvertError) << bad;

    SetShortDateFormatOverride(QStringLiteral("M/d/yyyy"));
    EXPECT_EQ(DateToStr(QDate(2013, 3, 5)), QStringLiteral("3/5/2013"));
    EXPECT_EQ(StrToDate(QStringLiteral("3/5/2013")), QDate(2013, 3, 5));

    // The system's own format keeps four-digit years and reads its own texts.
    SetShortDateFormatOverride(std::nullopt);
    EXPECT_FALSE(ShortDateFormat().contains(QRegularExpression(QStringLiteral("(?<!y)yy(?!y)"))));
    EXPECT_EQ(StrToDate(DateToStr(QDate(2013, 3, 5))), QDate(2013, 3, 5));
    // Without a chosen locale the date is written in digits, not month names.
    if (QLocale::system().language() == QLocale::C) {
        EXPECT_EQ(DateToStr(QDate(2013, 3, 5)), QStringLiteral("05.03.2013"));
    }
}

TEST_F(LocaleText, WithoutOverridesTheSeparatorAndMoneyDecimalsFollowTheSystem) {
    EXPECT_EQ(DecimalSeparator(), QLocale::system().decimalPoint().at(0));
    // The test run's C locale writes money with two decimals.
    if (QLocale::system().language() == QLocale::C) {
        EXPECT_EQ(CurrencyDecimals(), 2);
    }
}

}  // namespace
