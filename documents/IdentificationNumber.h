#pragma once
// The identification number of a party.

#include <QString>

// The check digit of a 9-digit identification number. Any other length is
// not valid; a 9-character text with a character that is no digit throws
// EConvertError.
bool IdentificationNumberValid(const QString& text);
