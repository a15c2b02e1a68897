#pragma once
// The set-up of a data folder: the database and its eight tables are created,
// and the older version's Paradox tables are moved into them.

#include "platform/Form.h"
#include "ui_DataFolderSetUp.h"

namespace data {
class DataSet;
class TTable;
struct TableMove;
}  // namespace data

class TForm7 : public platform::Form, public Ui::TForm7 {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    // Sets up the database at a location and moves the old tables into it.
    void MoveToSql(const QString& location);

private:
    void ShowStep(const QString& text);
    void StepProgress();
    void MoveTable(const data::TableMove& move, data::TTable& source, data::DataSet& target);
    // Puts the rows back into the old tables' order, exchanging all but the key.
    void ExchangeRows(data::DataSet& target, bool skipPictures);
    void ExchangePictures(data::DataSet& target);
};

extern TForm7* Form7;
