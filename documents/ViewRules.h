#pragma once
// What the view rebuild and the language switch write onto the printed page,
// without a window: the sum to pay in words in each language, the split of a
// long words line, the right alignment of the value column, and per page
// language the document titles, the party look-up hints and the English
// captions of the page's labels.

#include <QString>
#include <QStringList>

#include <array>

// A words line longer than 50 characters is cut after half its length (LF).
QString SplitLongWordsLine(const QString& words);

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

// The value column right-aligned: every non-empty text shorter than the
// longest gets two blanks per missing character in front (two blanks are
// one digit's width on the page).
QStringList PadValueTexts(const QStringList& values);

// The document titles of the title box: 0 Bulgarian, 1 English, 2 both.
QStringList DocumentTitles(int language);

// The look-up hint of a party edit (Edit1, Edit2, Edit3, Edit8, Edit10) in
// English or in Bulgarian (also used for both languages).
QString PartyHint(const QString& editName, bool english);

// A page label turned over by the language switch: its English caption and
// the entry of the main window's list of Bulgarian captions that restores it.
struct PageCaption {
    const char* label;
    const char* english;
    int entry;
};
extern const std::array<PageCaption, 25> kPageCaptions;
// The entry of the list that restores the footer.
inline constexpr int kFooterCaptionEntry = 26;

