#pragma once
// Reading a data set's rows for the lists without moving its current record,
// so that the controls bound to it do not follow every row of a walk.

#include "data/DataSet.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace registers {

// texts[i][k]: field k of record i + 1, for every record; or, given row
// indexes (record number - 1), field k of the i-th record named there.
std::vector<std::vector<QString>> RecordTexts(data::DataSet& ds, const QStringList& fields,
                                              const std::vector<int>* rows = nullptr);

// The texts of one list's last walk, row by row, with each row's identity.
struct RecordTextsCache {
    std::vector<data::DataSet::Identity> identities;
    std::vector<std::vector<QString>> texts;
};

// RecordTexts of every record, the same fields at every call with one cache:
// a row whose identity is the one it had at the same record number in the
// last walk keeps the texts read then; the others are read.
const std::vector<std::vector<QString>>& RecordTexts(data::DataSet& ds, const QStringList& fields,
                                                     RecordTextsCache& cache);

}  // namespace registers
