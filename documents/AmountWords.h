#pragma once
// The sum to pay in words, in Bulgarian and in English, as the printed page
// shows it: the words of a page total, the split of a long words line, and
// the routines they are made of.

#include <QString>
#include <QStringView>
#include <array>
#include <functional>

// A words line broken for its room on the page: while the rest is longer than
// 50 characters or does not fit (fits says whether a line fits the room), it
// breaks at the last blank that leaves a first line within 50 characters that
// fits (the blank dropped); where no blank does, it is cut after half its
// length. No fits: the 50 characters alone decide.
QString BreakWordsLine(const QString& words, const std::function<bool(const QString&)>& fits = {});

// The Bulgarian words of a page total such as "120,50 лв": the words of its
// integer part (1 to 6 digits, sign dropped), " лев" or " лева", then " и "
// + stotinki + " ст." unless the fraction is all zeros. A total that begins
// with "0" has no words at all. Throws EConvertError when the stotinki of a
// suffixed total do not begin with two digits.
QString BulgarianAmountWords(const QString& total);

// The English words of a page total such as "120,50 EUR": the integer part in
// words ("zero" for 0, sign dropped, none beyond six digits), the fraction
// (" and  0,50") unless it is zero, a blank and the currency prefix. A null
// text when the total has no integer part.
QString EnglishAmountWords(const QString& total, const QString& prefix);

// The words of an amount's integer part (1 to 999 999), in Bulgarian and in
// English, and the English fraction. Every routine appends to the text it is
// given (the page's words label); whether that text counts as empty decides
// the "и " / "and " before 10 to 19. The compositions keep their double
// blanks ("сто  хиляди ", "one thousand  and five").

// Entry k holds the word for the number k.
inline constexpr std::array<QStringView, 11> BgNeuterWords{
    u"", u"едно", u"две", u"три", u"четири", u"пет", u"шест", u"седем", u"осем", u"девет", u"десет"};
inline constexpr std::array<QStringView, 11> BgMasculineWords{
    u"", u"един", u"два", u"три", u"четири", u"пет", u"шест", u"седем", u"осем", u"девет", u"десет"};
inline constexpr std::array<QStringView, 11> EnOnesWords{
    u"", u"one", u"two", u"three", u"four", u"five", u"six", u"seven", u"eight", u"nine", u"ten"};
inline constexpr std::array<QStringView, 14> EnTeenWords{
    u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"eleven", u"twelve", u"thirteen"};

// Each takes exactly 1 ... 6 decimal digits, no sign, first digit not 0.
// Bulgarian: the label counts as empty when it is the empty text.
void BgWords1(const QString& digits, QString& label);
void BgWords2(const QString& digits, QString& label);
void BgWords3(const QString& digits, QString& label);
void BgWords4(const QString& digits, QString& label);
void BgWords5(const QString& digits, QString& label);
void BgWords6(const QString& digits, QString& label);

// English: the label counts as empty when its part after the first line feed
// (the whole label without one) is empty.
void EnWords1(const QString& digits, QString& label);
void EnWords2(const QString& digits, QString& label);
void EnWords3(const QString& digits, QString& label);
void EnWords4(const QString& digits, QString& label);
void EnWords5(const QString& digits, QString& label);
void EnWords6(const QString& digits, QString& label);

// Given the whole amount text ("125,50") or the fraction digits alone ("50"),
// appends " and  0,50" when the fraction is not zero; nothing for "125,00" or
// "00". Throws EConvertError when the fraction is no whole number.
void EnWordsFraction(const QString& amount, QString& label);
