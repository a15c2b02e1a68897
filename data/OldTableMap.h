#pragma once
// Which field of the older version's Paradox tables goes into which column of
// the database when the old data is moved in.

#include <QString>
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

// The progress maximum: every record once, and every pair exchanged once.
int MoveProgressMaximum(const std::vector<int>& recordCounts);

}  // namespace data
