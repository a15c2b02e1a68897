#include "registers/StoreRows.h"

namespace registers {

namespace {

std::vector<int> ColumnsOf(data::DataSet& ds, const QStringList& fields) {
    std::vector<int> columns;
    for (const QString& f : fields) {
        const QString name = ds.FieldByName(f).FieldName();  // raises for a field the table lacks
        int index = 0;
        while (ds.Columns()[index].name != name) ++index;
        columns.push_back(index);
    }
    return columns;
}

std::vector<QString> RowTexts(const data::DataSet& ds, int row, const std::vector<int>& columns) {
    std::vector<QString> texts;
    texts.reserve(columns.size());
    for (int c : columns) texts.push_back(ds.DisplayText(row, c));
    return texts;
}

}  // namespace

const std::vector<std::vector<QString>>& RecordTexts(data::DataSet& ds, const QStringList& fields,
                                                     RecordTextsCache& cache) {
    RecordTextsCache walked;
    if (ds.Active()) {
        const std::vector<int> columns = ColumnsOf(ds, fields);
        const int count = ds.RecordCount();
        walked.identities.reserve(count);
        walked.texts.reserve(count);
        for (int i = 0; i < count; ++i) {
            data::DataSet::Identity identity = ds.RowIdentity(i);
            const bool same = identity.known && i < static_cast<int>(cache.identities.size()) &&
                              cache.identities[i] == identity;
            walked.texts.push_back(same ? std::move(cache.texts[i]) : RowTexts(ds, i, columns));
            walked.identities.push_back(std::move(identity));
        }
    }
    cache = std::move(walked);
    return cache.texts;
}

std::vector<std::vector<QString>> RecordTexts(data::DataSet& ds, const QStringList& fields,
                                              const std::vector<int>* rows) {
    std::vector<std::vector<QString>> texts;
    if (!ds.Active()) return texts;
    const std::vector<int> columns = ColumnsOf(ds, fields);
    const int count = rows ? static_cast<int>(rows->size()) : ds.RecordCount();
    texts.reserve(count);
    for (int k = 0; k < count; ++k) {
        texts.push_back(RowTexts(ds, rows ? (*rows)[k] : k, columns));
    }
    return texts;
}

}  // namespace registers
