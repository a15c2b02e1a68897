#pragma once
// The columns of the register's hidden grid (TSort::StringGrid1): the
// register fill writes each document's row in them and the panels read them.

namespace registers::RegisterColumn {

constexpr int Num = 0;
constexpr int Document = 1;
constexpr int Supplier = 2;
constexpr int Printed = 3;
constexpr int Paid = 4;
constexpr int Annulled = 5;
constexpr int RecordNumber = 6;  // the document's record number in STORE

}  // namespace registers::RegisterColumn
