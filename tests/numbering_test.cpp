// Document numbering apart from any window: the counter a title draws from,
// the number a new document shows, the number a networked save takes and the
// counter a save leaves, for every ten-digit number.

#include "documents/Numbering.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

namespace {

TEST(Numbering, TitlesDrawFromTheCounterOfTheirGroup) {
    for (const char* title : {"ФАКТУРА", "INVOICE", "ФАКТУРА / INVOICE", "Debit note", "Дебитно известие", "Credit note",
                              "Кредитно известие"})
        EXPECT_EQ(CounterColumnOfTitle(QString::fromUtf8(title)), "InvoiceNo") << title;
    EXPECT_EQ(CounterColumnOfTitle("ПРОТОКОЛ чл.117"), "VOP");
    for (const char* title : {"ПРОТОКОЛ чл.116", "Order confirmation", "фактура", "ФАКТУРА ", ""})
        EXPECT_EQ(CounterColumnOfTitle(QString::fromUtf8(title)), "ProformaNo") << title;
}

TEST(Numbering, EveryTenDigitNumberIsReadShownRaisedAndTakenAlike) {
    EXPECT_EQ(DocumentNumberValue(" 0000000042 "), 42);
    EXPECT_EQ(DocumentNumberValue("9999999999"), kLargestDocumentNumber);
    for (const char* bad : {"", " ", "4x", "41,5", "1.5", "-1", "+1", "99999999999999999999"})
        EXPECT_THROW(DocumentNumberValue(bad), platform::EConvertError) << bad;

    // The number shown for a new document and the one a networked save takes.
    const std::pair<const char*, const char*> next[] = {{"", "0000000001"},
                                                        {"0000000041", "0000000042"},
                                                        {"2147483647", "2147483648"},
                                                        {"3000000001", "3000000002"},
                                                        {"9999999998", "9999999999"}};
    for (const auto& [counter, number] : next) {
        EXPECT_EQ(NextDocumentNumberText(counter, "InvoiceNo"), number) << counter;
        EXPECT_EQ(NetworkDocumentNumber(counter, "InvoiceNo"), number) << counter;
    }

    // The counter a save leaves: raised to a higher number only.
    EXPECT_EQ(RaisedCounter("", "0000000001"), "0000000001");
    EXPECT_EQ(RaisedCounter("0000000007", "0000000009"), "0000000009");
    EXPECT_EQ(RaisedCounter("0000000007", "0000000005"), "0000000007");
    EXPECT_EQ(RaisedCounter("2147483648", "3000000001"), "3000000001");
    EXPECT_EQ(RaisedCounter("3000000002", "3000000001"), "3000000002");
    EXPECT_THROW(RaisedCounter("0000000007", "00000abc"), platform::EConvertError);
}

TEST(Numbering, ACounterThatIsNoNumberOrCannotGrowIsToldByName) {
    const auto message = [](auto next, const char* counter) {
        try {
            next(QString::fromUtf8(counter), QStringLiteral("InvoiceNo"));
        } catch (const platform::EConvertError& e) {
            return e.Message();
        }
        return QString();
    };
    EXPECT_EQ(message(NextDocumentNumberText, "41,5"),
              "Броячът „InvoiceNo“ на фирмата съдържа „41,5“, което не е цяло число. Номерът на документа не е променен.");
    EXPECT_EQ(message(NetworkDocumentNumber, "4x"),
              "Броячът „InvoiceNo“ на фирмата съдържа „4x“, което не е цяло число. Документът не е записан.");
    // No number outgrows the ten digits the number edit and the counter hold.
    EXPECT_EQ(message(NetworkDocumentNumber, "9999999999"),
              "Броячът „InvoiceNo“ на фирмата (9999999999) не може да бъде увеличен. Документът не е записан.");
    EXPECT_EQ(message(NextDocumentNumberText, "9999999999"),
              "Броячът „InvoiceNo“ на фирмата (9999999999) не може да бъде увеличен. Номерът на документа не е променен.");
}

TEST(Numbering, ANumberFieldMustFillItsTenDigits) {
    const QString name = QStringLiteral("Номерът на документа");
    EXPECT_TRUE(TenDigitNumberRefusal(QStringLiteral("0000000077"), name, false).isEmpty());
    EXPECT_TRUE(TenDigitNumberRefusal(QString(), name, true).isEmpty());  // a note number not given
    EXPECT_EQ(TenDigitNumberRefusal(QStringLiteral("77"), name, true),
              QStringLiteral("Номерът на документа трябва да има десет цифри: 0000000077, а не 77. Документът не е записан."));
    EXPECT_EQ(TenDigitNumberRefusal(QString(), name, false),
              QStringLiteral("Номерът на документа трябва да има десет цифри. Документът не е записан."));
    EXPECT_FALSE(TenDigitNumberRefusal(QStringLiteral("00000000 7"), name, false).isEmpty());
    EXPECT_FALSE(TenDigitNumberRefusal(QStringLiteral("00000000777"), name, false).isEmpty());
}

}  // namespace
