#pragma once
// Which field of the older version's Paradox tables goes into which column of
// the database when the old data is moved in.

#include "data/Firebird.h"
#include "platform/Exception.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace data {

struct FieldMove {
    enum class Kind { Text, Memo, Picture };
    const char* column;  // the database column
    const char* field;   // the Paradox field (UTF-8)
    Kind kind = Kind::Text;
    bool fromEnglishTable = false;  // FIRM only: the field comes from ae.db
};

struct TableMove {
    const char* paradoxTable;  // "customer.db", ...
    const char* dataSet;       // "cust", ...
    std::vector<FieldMove> fields;
};

// customer, Firm, Details, stock, employee, Store, currency, in this order.
const std::vector<TableMove>& OldTableMoves();

class DataSet;
class TTable;

// A row that the database refused; the message names the old table and the
// record.
class MoveError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// What the move did otherwise than the old tables hold it: a value moved as
// near as its column takes it (a fraction into a whole-number column, a text
// longer than its column, a character the database's code page lacks, money
// with more decimals than the locale's), or a field or a table the older
// version's folder lacks, moved as empty (record 0; field empty for a table),
// or a value that cannot be shown, moved as empty (problem says why), or a
// table whose texts may read wrong (record 0, field empty, problem says why).
struct MoveNote {
    QString table;
    int record = 0;
    QString field;
    QString oldValue;
    QString storedValue;
    QString problem;
};

// The notes as the user is told them at the end of the move, one a line;
// past maxLines the rest is counted.
QString MoveNotesText(const std::vector<MoveNote>& notes, int maxLines);

// A row as it is written into the database: one value per column of the
// table (in the table's column order, the key first), with null flags.
struct MovedRow {
    std::vector<QByteArray> values;
    std::vector<bool> nulls;
    int record = 0;  // the old record whose contents the row holds
};

// Reads an old table from its last record to its first, as the move always
// has: the key of each row is its record number and the other columns are
// the mapped fields, each converted as the column takes it. FIRM reads the
// English table beside it (null when the folder lacks it), stepped back in
// step. onRecord runs for every record read; what is moved otherwise than it
// stands is added to notes.
std::vector<MovedRow> ReadOldRows(const TableMove& move, TTable& source, TTable* english,
                                  const std::vector<ColumnInfo>& columns, const std::function<void()>& onRecord,
                                  std::vector<MoveNote>& notes);

// Gives the rows, taken in the order read, the contents that exchanging the
// first and the last row, the second and the last but one, and so on, leaves
// them with: every column but the key changes places (text columns read and
// written as text, so an empty value becomes an empty text), and the pictures
// LOGO and LOGO2 in a pass of their own. onPair runs for every pair.
void ExchangeRowsEnds(std::vector<MovedRow>& rows, const std::vector<ColumnInfo>& columns,
                      const std::function<void()>& onPair);

// Inserts the rows, in their order, through the data set's insert statement
// on its transaction; nothing is committed.
void InsertMovedRows(DataSet& target, const QString& oldTable, const std::vector<MovedRow>& rows);

// The progress maximum: every record once, and every pair exchanged once.
int MoveProgressMaximum(const std::vector<int>& recordCounts);

}  // namespace data
