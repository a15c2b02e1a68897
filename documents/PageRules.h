#pragma once
// Rules of the printed page and of its printing and export that need no
// window: line splitting of long party texts, centring of a line under the
// title, the footer text, the printer's target rectangle, the name of an
// exported picture and the colour depth chosen in the print window.

#include <QRect>
#include <QString>
#include <QStringList>

#include <utility>

// Splits a text into lines for a page label: a text no longer than width
// stays one line; a longer one is cut into pairs of lines of at most width
// and width - 1 characters, the first line of a pair ending early at a "*"
// (which is dropped). A line ends at the last blank that fits (the blank is
// dropped); a word is cut only when it is longer than the whole line. Empty
// lines are left out; the lines are joined by LF.
QString WrapTextToLines(const QString& text, int width);

// Left of a line of labelWidth centred under a title at titleLeft.
int CentredUnderLeft(int titleLeft, int titleWidth, int labelWidth);

// The printed page's footer: "Отпечатано от QUILLANE" and the five
// characters of the main window's caption that begin at its first blank (its
// first five when it has none). It names the program alone: a document
// carries no contact details but its issuer's.
QString PageFooterCaption(const QString& mainCaption);
// The English page's footer: "Printed from EURO QUILLANE" and the five
// characters of the main window's caption from its first blank.
QString EnglishFooterCaption(const QString& mainCaption);

// Where the page's bitmap goes on a printer page: a left margin of 1 % of the
// page width, the rest of the page filled.
QRect PrintTargetRect(int pageWidth, int pageHeight);

// The name an exported picture is written under: ".jpg" is appended unless
// the chosen name holds ".jpg" anywhere (upper-case ".JPG" does not count).
QString JpegFileName(const QString& chosen);

// Bits per pixel chosen by the print window's colour box: "8 бита цвят" 8,
// "32 бита цвят" 32, "24 бита цвят" and any other text 24.
int ColourDepthFromText(const QString& text);

// Column widths of a page's line grid with the discount column, from the
// design widths without it: the discount column (72 pixels, what the
// description gives up) goes in before the last valueColumns columns, which
// keep their widths, and the description (column 1) takes what is left of
// the grid's width after every column and its one-pixel line.
QList<int> DiscountColumnWidths(const QList<int>& designWidths, int valueColumns, int gridWidth);

// Column titles of the single-language page's line grid (row 0), for an
// editor grid of 6 or 7 columns (7: with the discount).
QStringList LineGridTitles(bool english, int editorColumns);
// The bilingual line grid's two title rows (Bulgarian, English); prefix is
// the document currency.
std::pair<QStringList, QStringList> BilingualLineGridTitles(int editorColumns, const QString& prefix);
// The title rows (Bulgarian, English) of the note's account table for the
// note kind "Кредитно известие" or "Дебитно известие"; any other kind has
// "№" and "Сума" only.
std::pair<QStringList, QStringList> NoteTableTitles(const QString& kind);
