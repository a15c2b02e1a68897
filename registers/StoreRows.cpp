#include "registers/StoreRows.h"

namespace registers {

std::vector<std::vector<QString>> RecordTexts(data::DataSet& ds, const QStringList& fields,
                                              const std::vector<int>* rows) {
    std::vector<std::vector<QString>> texts;
    if (!ds.Active()) return texts;
    std::vector<int> columns;
    for (const QString& f : fields) {
        const QString name = ds.FieldByName(f).FieldName();  // raises for a field the table lacks
        int index = 0;
        while (ds.Columns()[index].name != name) ++index;
        columns.push_back(index);
    }
    const int count = rows ? static_cast<int>(rows->size()) : ds.RecordCount();
    texts.reserve(count);
    for (int k = 0; k < count; ++k) {
        const int i = rows ? (*rows)[k] : k;
        std::vector<QString> row;
        row.reserve(columns.size());
        for (int c : columns) row.push_back(ds.DisplayText(i, c));
        texts.push_back(std::move(row));
    }
    return texts;
}

}  // namespace registers
