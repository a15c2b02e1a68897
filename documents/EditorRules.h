#pragma once
// Rules of the document editor that need no window: the wrap of a goods
// description into rows and the document number drawn from an own firm's
// counters.

#include <QString>
#include <QStringList>

// Characters per description row: 84, 72 with the discount column, on the
// bilingual page 37, or 27 with the discount column.
int DescriptionLineLimit(bool bilingual, bool discount);
// Cuts every line longer than the limit at its last blank within the limit
// (the blank itself is dropped), or hard at the limit when there is none.
QStringList WrapDescription(const QString& text, int limit);

// Which of an own firm's three counters a document title draws from.
enum class CounterGroup { Invoice, Protocol117, Proforma };
CounterGroup CounterGroupOfTitle(const QString& title);

// The counter + 1 in the locale's general number form, left-padded with "0"
// to ten characters (an empty counter counts as 0). Throws EConvertError
// naming the counter when its text is no number.
QString NextDocumentNumberText(const QString& counter, const QString& counterName);
// Left-pads with "0" to the width; a longer text stays as it is.
QString PadWithZeros(const QString& text, int width = 10);
