#pragma once
// The columns of the line-item grids: the editor's grid, which the others are
// copied from, the one-language page's grid, which has the same columns, and
// the two-language page's grid. A grid has six columns, or seven with the
// discount; the value is the last. The two-language grid holds the price
// twice, in leva and in the document's currency, so each column after the
// price lies one further there, and each value is followed by its currency
// share.

namespace ItemColumn {

constexpr int Number = 0;
constexpr int Description = 1;
constexpr int Unit = 2;
constexpr int Quantity = 3;
constexpr int Price = 4;
constexpr int Discount = 5;  // in a grid with the discount only

constexpr int WithoutDiscount = 6;  // the number of columns
constexpr int WithDiscount = 7;

// The value's column in a grid of that many columns.
constexpr int Value(int columns) { return columns == WithoutDiscount ? 5 : 6; }

}  // namespace ItemColumn

namespace TwoLanguageColumn {

constexpr int CurrencyPrice = ItemColumn::Price + 1;  // the price in the document's currency

// Where a column of the editor's grid stands in the two-language grid.
constexpr int Of(int itemColumn) { return itemColumn <= ItemColumn::Price ? itemColumn : itemColumn + 1; }

// The number of columns for an editor's grid of that many, and the value in
// the document's currency: the last of them.
constexpr int Count(int itemColumns) { return itemColumns + 2; }
constexpr int CurrencyValue(int itemColumns) { return Count(itemColumns) - 1; }

}  // namespace TwoLanguageColumn
