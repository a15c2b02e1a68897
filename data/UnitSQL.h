#pragma once

#include "platform/Form.h"
#include "ui_UnitSQL.h"

class TForm7 : public platform::Form, public Ui::TForm7 {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    // Sets up the database at a location and moves the old tables into it.
    void MoveToSql(const QString& location);
};

extern TForm7* Form7;
