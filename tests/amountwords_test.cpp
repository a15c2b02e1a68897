#include "documents/AmountWords.h"
#include "platform/Exception.h"
#include "platform/LocaleText.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace {

// Appends the words of digits to label through the routine of its digit count.
using Routine = void (*)(const QString&, QString&);
constexpr Routine kBgRoutines[] = {BgWords1, BgWords2, BgWords3, BgWords4, BgWords5, BgWords6};
constexpr Routine kEnRoutines[] = {EnWords1, EnWords2, EnWords3, EnWords4, EnWords5, EnWords6};
void BgWords(const QString& digits, QString& label) { kBgRoutines[digits.size() - 1](digits, label); }
void EnWords(const QString& digits, QString& label) { kEnRoutines[digits.size() - 1](digits, label); }

struct WordsRow {
    const char* digits;
    const char* bg;
    const char* en;
};

// Each number's words appended to an empty label, through the routine of its
// digit count; the rows walk every line of the word tables.
const WordsRow kWords[] = {
    // one digit
    {"1", "един", "one"}, {"7", "седем", "seven"},
    // two digits: 10 to 19
    {"10", "десет", "ten"}, {"11", "единадесет", "eleven"}, {"12", "дванадесет", "twelve"},
    {"13", "тринадесет", "thirteen"}, {"14", "четиринадесет", "fourteen"}, {"15", "петнадесет", "fifteen"},
    {"16", "шестнадесет", "sixteen"}, {"17", "седемнадесет", "seventeen"}, {"18", "осемнадесет", "eighteen"},
    {"19", "деветнадесет", "nineteen"},
    // two digits: whole tens and tens with units
    {"20", "двадесет", "twenty"}, {"21", "двадесет и един", "twenty one"}, {"30", "тридесет", "thirty"},
    {"40", "четиридесет", "forty"}, {"45", "четиридесет и пет", "forty five"}, {"50", "петдесет", "fifty"},
    {"60", "шестдесет", "sixty "}, {"61", "шестдесет и един", "sixty one"}, {"70", "седемдесет", "seventy "},
    {"77", "седемдесет и седем", "seventy seven"}, {"80", "осемдесет", "eighty"},
    {"82", "осемдесет и два", "eighty two"}, {"90", "деветдесет", "ninety "},
    {"99", "деветдесет и девет", "ninety nine"},
    // three digits
    {"100", "сто ", "one hundred "}, {"105", "сто и пет", "one hundred and five"},
    {"110", "сто и десет", "one hundred and ten"}, {"111", "сто и единадесет", "one hundred and eleven"},
    {"115", "сто и петнадесет", "one hundred and fifteen"}, {"118", "сто и осемнадесет", "one hundred and eighteen"},
    {"125", "сто двадесет и пет", "one hundred twenty five"}, {"160", "сто шестдесет", "one hundred sixty "},
    {"200", "двеста ", "two hundred "}, {"201", "двеста и един", "two hundred and one"},
    {"300", "триста ", "three hundred "}, {"312", "триста и дванадесет", "three hundred and twelve"},
    {"400", "четиристотин ", "four hundred "}, {"500", "петстотин ", "five hundred "},
    {"600", "шестстотин ", "six hundred "}, {"700", "седемстотин ", "seven hundred "},
    {"800", "осемстотин ", "eight hundred "}, {"999", "деветстотин деветдесет и девет", "nine hundred ninety nine"},
    // four digits
    {"1000", "хиляда ", "one thousand "}, {"1005", "хиляда и пет", "one thousand  and five"},
    {"1015", "хиляда и петнадесет", "one thousand and fifteen"}, {"1020", "хиляда двадесет", "one thousand twenty"},
    {"1100", "хиляда сто ", "one thousand one hundred "},
    {"1234", "хиляда двеста тридесет и четири", "one thousand two hundred thirty four"},
    {"2000", "две хиляди ", "two thousand "}, {"2001", "две хиляди и един", "two thousand  and one"},
    {"3018", "три хиляди и осемнадесет", "three thousand and eighteen"},
    {"9999", "девет хиляди деветстотин деветдесет и девет", "nine thousand nine hundred ninety nine"},
    // five digits
    {"10000", "десет хиляди ", "ten thousand "}, {"11000", "единадесет хиляди ", "eleven thousand "},
    {"15500", "петнадесет хиляди и петстотин ", "fifteen thousand and five hundred "},
    {"20000", "двадесет хиляди ", "twenty thousand "},
    {"20015", "двадесет хиляди и петнадесет", "twenty thousand and fifteen"},
    {"20025", "двадесет хиляди и двадесет и пет", "twenty thousand and twenty five"},
    {"21001", "двадесет и един хиляди и един", "twenty one thousand and one"},
    {"22000", "двадесет и два хиляди ", "twenty two thousand "}, {"60000", "шестдесет хиляди ", "sixty  thousand "},
    // six digits
    {"100000", "сто  хиляди ", "one hundred  thousand "},
    {"101000", "сто и един хиляди ", "one hundred and one thousand "},
    {"115010", "сто и петнадесет хиляди и десет", "one hundred and fifteen thousand and ten"},
    {"125105", "сто двадесет и пет хиляди и сто и пет", "one hundred twenty five thousand and one hundred and five"},
    {"200002", "двеста  хиляди и два", "two hundred  thousand and two"},
    {"999999", "деветстотин деветдесет и девет хиляди и деветстотин деветдесет и девет",
     "nine hundred ninety nine thousand and nine hundred ninety nine"},
};

TEST(AmountWords, EveryTableLineOnAnEmptyLabel) {
    for (const WordsRow& row : kWords) {
        const QString digits = QString::fromLatin1(row.digits);
        QString bg, en;
        BgWords(digits, bg);
        EnWords(digits, en);
        EXPECT_EQ(bg, QString::fromUtf8(row.bg)) << row.digits;
        EXPECT_EQ(en, QString::fromUtf8(row.en)) << row.digits;
    }
}

TEST(AmountWords, TeensTakeAndAfterWordsAlreadyInTheLabel) {
    struct Row {
        const char* label;
        const char* digits;
        const char* bg;  // nullptr: not a Bulgarian case
        const char* en;
    };
    const Row rows[] = {
        {"X", "10", "Xи десет", "Xand ten"},
        {"X", "11", "Xи единадесет", "Xand eleven"},
        {"X", "15", "Xи петнадесет", "Xand fifteen"},
        {"X", "18", "Xи осемнадесет", "Xand eighteen"},
        {"X", "13", "Xи тринадесет", "Xand thirteen"},
        {"X", "20", "Xдвадесет", "Xtwenty"},
        {"X", "5", "Xпет", "Xfive"},
        // English under Bulgarian words on a second line decides by that line alone
        {"сто\n", "15", "сто\nи петнадесет", "сто\nfifteen"},
        {"сто\nX", "15", nullptr, "сто\nXand fifteen"},
        {"a\n\nb", "10", nullptr, "a\n\nband ten"},
    };
    for (const Row& row : rows) {
        const QString digits = QString::fromLatin1(row.digits);
        if (row.bg) {
            QString bg = QString::fromUtf8(row.label);
            BgWords(digits, bg);
            EXPECT_EQ(bg, QString::fromUtf8(row.bg)) << row.label << row.digits;
        }
        QString en = QString::fromUtf8(row.label);
        EnWords(digits, en);
        EXPECT_EQ(en, QString::fromUtf8(row.en)) << row.label << row.digits;
    }
}

TEST(AmountWords, EnglishFraction) {
    struct Row {
        QChar separator;
        const char* amount;
        const char* appended;
    };
    const testsupport::BulgarianLocale locale;
    const Row rows[] = {
        {u',', "125,50", " and  0,50"}, {u',', "125,00", ""},         {u',', "0,05", " and  0,05"},
        {u',', "-3,10", " and  0,10"},  {u'.', "125.50", " and  0.50"}, {u'.', "125.000", ""},
        {u',', "125,505", " and  0,505"},
        {u',', "50", " and  0,50"}, {u',', "00", ""},  // the fraction digits alone
    };
    for (const Row& row : rows) {
        platform::SetDecimalSeparatorOverride(row.separator);
        QString label = QStringLiteral("one hundred twenty five");
        EnWordsFraction(QString::fromLatin1(row.amount), label);
        EXPECT_EQ(label, QStringLiteral("one hundred twenty five") + QString::fromLatin1(row.appended)) << row.amount;
    }
    platform::SetDecimalSeparatorOverride(QChar(u','));
    QString label;
    EXPECT_THROW(EnWordsFraction(QStringLiteral("125,5x"), label), platform::EConvertError);
    EXPECT_THROW(EnWordsFraction(QStringLiteral("125,"), label), platform::EConvertError);
    EXPECT_EQ(label, QString());
}

TEST(AmountWords, PageTotalsAndTheirSplitLine) {
    const testsupport::BulgarianLocale locale;
    const std::pair<const char*, const char*> bulgarian[] = {
        {"1,00 лв", "един лев и 0 ст."}, {"21,00", "двадесет и един лева"}, {"120,05 лв", "сто двадесет лева и 5 ст."},
        {"120,05", "сто двадесет лева и 05 ст."}, {"0,80 лв", ""}, {"1234567,00", " лева"}};
    for (const auto& [total, words] : bulgarian) EXPECT_EQ(BulgarianAmountWords(total), words) << total;
    EXPECT_EQ(EnglishAmountWords("0,50 EUR", "EUR"), "zero and  0,50 EUR");
    EXPECT_EQ(EnglishAmountWords("-7,00 USD", "USD"), "seven USD");  // a credit's minus is no word
    EXPECT_TRUE(EnglishAmountWords(",50", "EUR").isNull());
    EXPECT_EQ(BreakWordsLine(QString(51, u'x')), QString(25, u'x') + u'\n' + QString(26, u'x'));
}

// A words line broken for a narrow room: at the last blank that fits, as
// often as it takes, never longer than 50 characters a line.
TEST(AmountWords, WordsBrokenForTheirRoom) {
    const QString words = QStringLiteral("seven hundred seventy seven thousand and seven hundred seventy seven and  0,77 EUR");
    const auto upTo = [](int characters) { return [characters](const QString& line) { return line.size() <= characters; }; };
    EXPECT_EQ(BreakWordsLine(words, upTo(30)),
              QStringLiteral("seven hundred seventy seven\nthousand and seven hundred\nseventy seven and  0,77 EUR"));
    EXPECT_EQ(BreakWordsLine(words, upTo(100)),
              QStringLiteral("seven hundred seventy seven thousand and seven\nhundred seventy seven and  0,77 EUR"));
    EXPECT_EQ(BreakWordsLine(QStringLiteral("one hundred"), upTo(30)), QStringLiteral("one hundred"));
    // Broken at the second of the fraction's two blanks, the fraction begins its line.
    EXPECT_EQ(BreakWordsLine(QStringLiteral("twelve and  0,50 EUR"), upTo(12)), QStringLiteral("twelve and \n0,50 EUR"));
}

}  // namespace
