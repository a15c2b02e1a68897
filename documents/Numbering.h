#pragma once
// An own firm's document numbering. FIRM keeps three counters; each holds, as
// a ten-digit text, the highest number saved in its group of titles, and an
// empty counter counts as 0. A new document shows the counter + 1, a save
// raises the counter to its number when that is higher, and a networked save
// takes the counter + 1 at the moment of saving. Numbers and counters are read
// by one parser, as 64-bit whole numbers, so every ten-digit number works.

#include <QString>
#include <QtGlobal>

// Which of an own firm's three counters a document title draws from: the
// exact title text decides (letter case and blanks count).
enum class CounterGroup { Invoice, Protocol117, Proforma };
CounterGroup CounterGroupOfTitle(const QString& title);
// The FIRM column holding the counter of the title's group: "InvoiceNo",
// "VOP" or "ProformaNo".
QString CounterColumnOfTitle(const QString& title);

// The largest number a document carries: ten digits.
constexpr qint64 kLargestDocumentNumber = 9'999'999'999LL;

// A document number or counter text as a whole number: decimal digits,
// leading zeros and blanks at either end allowed. Throws EConvertError for
// the empty text, any other character, or a value beyond 64 bits.
qint64 DocumentNumberValue(const QString& text);

// Left-pads with "0" to the width; a longer text stays as it is.
QString PadWithZeros(const QString& text, int width = 10);

// The counter + 1, ten digits: the number a new document shows, and the one
// a networked save takes. Throws EConvertError naming the counter when it is
// no whole number or its next number would not fit ten digits; the message
// says that the number was not changed, or that the document was not saved.
QString NextDocumentNumberText(const QString& counter, const QString& counterName);
QString NetworkDocumentNumber(const QString& counter, const QString& counterName);
// The counter after a save of that number: the number when it is higher,
// else the counter as it was. Throws EConvertError when the number or the
// counter is no whole number.
QString RaisedCounter(const QString& counter, const QString& number);

// Why a number field's text cannot be saved, or an empty text when it can: a
// document number, and a note's invoice number once anything is typed into
// it, must fill all ten digits of the field ("77" is not 0000000077).
// fieldName: the number's name as the message begins, "Номерът на документа".
QString TenDigitNumberRefusal(const QString& text, const QString& fieldName, bool mayBeEmpty);
