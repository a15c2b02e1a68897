#pragma once
// Writes Paradox tables (.db, and .mb for memos and pictures) with pxlib, as
// the older version's data folders hold them, for tests of the code that
// reads them.

#include <QByteArray>
#include <QDate>
#include <QString>

#include <functional>
#include <variant>
#include <vector>

namespace testsupport {

enum class PxKind { Alpha, Short, Long, AutoInc, Number, Currency, Logical, Date, Time, Timestamp, Memo, Graphic };

struct PxColumn {
    QString name;
    PxKind kind;
    int size = 0;  // Alpha: characters; Memo, Graphic: bytes kept in the record
};

// One value per column: std::monostate for null; QString for Alpha and Memo
// (in the table's code page); qint64 for Short, Long, AutoInc and Time
// (milliseconds since midnight); double for Number, Currency and Timestamp
// (milliseconds since 1.1.0001 00:00 counted from day 1); bool for Logical;
// QDate for Date (or qint64, the day number itself: 1 is 01.01.0001);
// QByteArray for Graphic (the picture; the 8-byte graphic
// header is put before it).
using PxValue = std::variant<std::monostate, QString, qint64, double, bool, QDate, QByteArray>;
using PxRow = std::vector<PxValue>;

// Writes the table at path (its .mb beside it, named like the table with
// ".mb", or ".MB" after ".DB", when a column holds blobs), its names and
// texts in the code page given, which its header names unless headerCodePage
// names another, or none (0): as the older version's Windows left them.
// Throws std::runtime_error when pxlib refuses.
void WriteParadoxTable(const QString& path, const std::vector<PxColumn>& columns, const std::vector<PxRow>& rows,
                       int codePage = 1251, int headerCodePage = -1);

// Text of the bytes in a code page through the C library's converter; a null
// text when the converter refuses them.
QString DecodeWithCLibrary(const QByteArray& bytes, int codePage);

// Bytes that start and end like a JPEG file, with varied bytes between.
QByteArray JpegLikeBytes(int size, unsigned seed = 1);

// An older version's data folder with every table the move reads: records[i]
// records in customer, Firm, Details, stock, employee, Store and currency
// (ae.db as many as Firm.db). Values differ by record and field, each fits
// its database column, some are null, firms have pictures. adjust may change
// a value (by table file, record and field) before it is written.
// shape may change a table's columns before it is written (a kind, or an
// empty name to leave the field out) and give its code page (1251 unless
// changed) and the code page its header names (-1: the same, 0: none).
using OldValueAdjust = std::function<void(const QString& table, int record, const QString& field, PxValue& value)>;
using OldTableShape =
    std::function<void(const QString& table, std::vector<PxColumn>& columns, int& codePage, int& headerCodePage)>;
void WriteOldDataFolder(const QString& dir, const std::vector<int>& records, const OldValueAdjust& adjust = {},
                        const OldTableShape& shape = {});

}  // namespace testsupport
