#pragma once
// The stored document as text, apart from any window: the grids kept in one
// text column, who may overwrite a stored document, the page language a
// record asks for, and which database errors mean that another work place got
// there first.

#include "documents/PageLanguage.h"

#include <QString>
#include <QStringList>

#include <optional>

// A grid in one text column: every cell on a line of its own, row by row,
// columns left to right, each line followed by CR LF.
QString DocumentGridText(const QStringList& cells);
// A cell as it is stored: every line feed cut out, carriage returns kept.
QString CutLineFeeds(const QString& cell);
// The lines of a stored grid: split at CR LF; the empty text after the last
// CR LF is no line.
QStringList DocumentGridLines(const QString& text);
// Rows of a grid of that many columns read from the lines: whole rows only,
// at least one.
int DocumentGridRows(int lineCount, int columns);
// Whether the stored item grid carries the discount column: a line reads
// "Отстъпка %" in any letter case.
bool HasDiscountLine(const QStringList& lines);

// The owner rule for overwriting a stored document: the empty text when the
// logged-in user may, else the name of the one who may. A document without
// an owner belongs to the first registered user; without users anybody may.
QString RefusingOwner(const QString& storedOwner, bool usersRegistered, const QString& firstUser,
                      const QString& loggedUser);
QString OwnerRuleMessage(const QString& owner);

// The page language a stored record is opened in (none: as the editor has it).
struct RecordLanguageChoice {
    std::optional<PageLanguage> language;
    bool readCurrency;  // the stored currency applies to the page
};
// From "radio"; an empty one (documents moved in from the old tables) goes by
// the title: English titles open English, the rest Bulgarian.
RecordLanguageChoice LanguageOfRecord(const QString& radio, const QString& title);
