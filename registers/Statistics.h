#pragma once
// Statistics of income by month. Its creation carries the program's start-up sequence.

#include "platform/Form.h"
#include "ui_Statistics.h"

class TStatForm : public platform::Form, public Ui::TStatForm {
    Q_OBJECT
public:
    explicit TStatForm(QWidget* parent = nullptr);

    void FormCreate() override;
};

extern TStatForm* StatForm;
