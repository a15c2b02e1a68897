#pragma once
// The editor's look-up of parties and goods: the hint that names a control's
// field and data set (per page language for the parties), the type-ahead
// match on the stored bytes, the height of the look-up list and the record
// number of a goods entry.

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// A control's lookup hint: "Field;dataset", or "FieldA,FieldB;dataset" for
// field A, or field B where A is empty.
struct LookupHint {
    QString field;       // the part before ";" as written ("ContactPerson1,RespPerson1")
    QString firstField;  // field A
    QString secondField; // field B, or empty
    QString dataSet;     // the part after the first ";"
};
LookupHint ParseLookupHint(const QString& hint);

// Lower case as the Windows-1251 code page knows it: letters of the code page
// (Latin and Cyrillic) lowered, every other character left as it is.
QString LookupLower(const QString& text);
// The type-ahead match and the goods filter work on the Windows-1251 bytes
// the data sets hold, without decoding every record: the typed text is
// lowered and encoded once (nothing, when it holds a character the code page
// lacks, which then matches no record). A value matches when its first bytes,
// lowered, equal the typed bytes; an empty typed text matches nothing. The
// goods filter keeps an entry whose lowered bytes contain the typed bytes.
std::optional<QByteArray> LookupTypedBytes(const QString& typed);
bool LookupStartsWithBytes(const QByteArray& value, const QByteArray& typedLower);
QByteArray LookupLowerBytes(QByteArray bytes);

// Height of the lookup list: (entries + 1) × item height while that is at
// most the cap, else the cap (150 for parties, 100 for goods).
int LookupListHeight(int entries, int itemHeight, int cap);

// The goods entries that may be the widest on screen, as indexes, judged by
// the widths of their characters: advances[b] is the width of the character
// of byte b in the list's font, below 0 for one whose width is not its own
// (a tab, a control character). Every entry whose sum of widths lies within a
// tenth (and 8 points) of the largest sum is kept, and every entry with a
// character of no width of its own; kerning and ligatures move a text's
// width by far less than that.
std::vector<int> GoodsEntriesThatMayBeWidest(const std::vector<QByteArray>& entries,
                                             const std::array<double, 256>& advances);

// The record number of a goods entry of the lookup list (the description's
// first line, "~" and the record number). Throws EConvertError when the text
// after the first "~" is no number.
int GoodsEntryRecNo(const QString& entry);

// The look-up hint of a party edit (Edit1, Edit2, Edit3, Edit8, Edit10) in
// English or in Bulgarian (also used for both languages).
QString PartyHint(const QString& editName, bool english);
