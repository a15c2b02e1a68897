#pragma once
// Rules of the document editor that need no window: the wrap of a goods
// description into rows.

#include <QString>
#include <QStringList>

// Characters per description row: 84, 72 with the discount column, on the
// bilingual page 37, or 27 with the discount column.
int DescriptionLineLimit(bool bilingual, bool discount);
// Cuts every line longer than the limit at its last blank within the limit
// (the blank itself is dropped), or hard at the limit when there is none.
QStringList WrapDescription(const QString& text, int limit);

