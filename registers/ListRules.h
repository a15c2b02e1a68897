#pragma once
// Rules of the register lists and the income statistics, apart from any
// widget: the order of the list rows, reading flags, numbers and dates out of
// the stored texts, the search by number and who may delete a document.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace registers {

// A whole number as the lists read it: blanks at either end, an optional sign,
// decimal digits, within the 32-bit signed range. Anything else: no number.
std::optional<int> WholeNumber(const QString& text);

// A whole number read the same way over the 64-bit signed range: the numbers
// the lists are sorted by and the register searches for (document numbers
// have ten digits and go beyond the 32-bit range).
std::optional<std::int64_t> LongWholeNumber(const QString& text);

// The order of the lists' rows. keys[i] is the number in the sort column of
// row i (no value: the cell is not a whole number). The rows that hold a
// number come first, in the order the lists' exchange sort gives them: it
// walks probe rows p from the top with a target row t; each probe row with a
// number v scans the rows from t down, exchanging row t with every lower row
// whose number is smaller than v (v then takes that number), and moves t on.
// That sorts the numbers ascending; equal numbers are never exchanged with
// one another, yet exchanges with third rows move them, so the order of equal
// numbers is what this walk makes of it. It is worked out in n log n steps
// without making the exchanges (registers/ListOrder.cpp). The rows without a
// number follow, in the order they stand. Returns, for every row position
// from the top, the index of the row that ends there.
std::vector<int> ExchangeSortOrder(const std::vector<std::optional<std::int64_t>>& keys);

// A stored flag: "True"/"False" in any case, or a number (non-zero is true).
// Any other text: no value.
std::optional<bool> FlagValue(const QString& text);

// A stored amount ("12.50" or "12,50") as a number; no value when it is not one.
std::optional<double> AmountValue(const QString& text);

// Month and year of a document date "dd.MM.yyyy г.": characters 4-5 and 9-10
// (counted from 1); empty when the text is too short.
QString MonthText(const QString& date);
QString YearDigits(const QString& date);
// The last two characters of the year box.
QString YearBoxDigits(const QString& yearText);

// The twelve month names in calendar order.
const QStringList& MonthNames();

// Search result list height for a number of hits (item height 14), at most 515.
int SearchListHeight(int hits);

}  // namespace registers
