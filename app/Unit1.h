#pragma once
// The main window: the program's home, a block of large buttons that open
// every other part of the program.

#include "platform/Form.h"
#include "ui_Unit1.h"

class TMain : public platform::Form, public Ui::TMain {
    Q_OBJECT
public:
    explicit TMain(QWidget* parent = nullptr);

    void FormCreate() override;

    // Checks the maker's web folder for a newer version: 0 silently, 1 asking.
    void CheckForUpdate(int mode);

    void SpeedButton4Click();
    void SpeedButton2Click();

protected:
    void FormShow() override;
    void FormClose() override;
};

extern TMain* Main;
