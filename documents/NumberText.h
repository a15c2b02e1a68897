#pragma once
// Number texts typed by users or read from columns, made readable by the
// locale's text-to-number conversion.

#include <QString>

// Replaces the first "." by the locale's separator when that is "," (or the
// first "," when it is "."), and returns that text when it then converts to a
// number, else the empty text. Never throws; the text is not reformatted
// ("12.50" gives "12,50").
QString NormalizeDecimalText(QString text);

// A number text read back from a column, which another work place may have
// written with the other separator: normalised when it holds a number, else
// the text as it was, so that nothing is lost and a conversion names it.
QString StoredNumberText(const QString& text);
