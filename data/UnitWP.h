#pragma once
// The work place: where the database is (this computer, another computer, a server).

#include "platform/Form.h"
#include "ui_UnitWP.h"

class TForm8 : public platform::Form, public Ui::TForm8 {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);
};

extern TForm8* Form8;
