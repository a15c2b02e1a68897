#pragma once
// The stored form of a user's password: every byte of its Windows-1251 text
// raised by the byte of a fixed key at the same position (modulo 256). It only
// hides passwords from a casual look at the table; it is not encryption. The
// key must never change: every workstation reads the passwords stored with it.

#include <QByteArray>
#include <QString>

namespace data {

// The fixed key: 64 characters, lower-case Latin letters, digits and commas.
const QByteArray& PasswordKey();

// Byte i of the result is (clear[i] + key[i mod 64]) mod 256.
QByteArray ShiftPassword(const QByteArray& clear);
// The reverse: byte i is (stored[i] - key[i mod 64]) mod 256.
QByteArray UnshiftPassword(const QByteArray& stored);

// The stored bytes of a password typed by the user. Throws EEncodingError,
// naming the character, when Windows-1251 cannot hold the text.
QByteArray StoredPassword(const QString& password);
// The clear text of stored bytes; every byte value reads back.
QString ClearPassword(const QByteArray& stored);

}  // namespace data
