#pragma once
// Number texts typed by users or read from columns, made readable by the
// locale's text-to-number conversion.

#include <QString>

// Replaces the first "." by the locale's separator when that is "," (or the
// first "," when it is "."), and returns that text when it then converts to a
// number, else the empty text. Never throws; the text is not reformatted
// ("12.50" gives "12,50").
QString NormalizeDecimalText(QString text);
