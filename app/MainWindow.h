#pragma once
// The main window: the program's home, a block of large buttons and a menu
// that open every other part of the program. The commands that open data
// windows pass the login gate first.

#include "platform/Form.h"
#include "ui_MainWindow.h"

#include <QStringList>

class TMain : public platform::Form, public Ui::TMain {
    Q_OBJECT
public:
    explicit TMain(QWidget* parent = nullptr);

    void FormCreate() override;

    // The printed page's default Bulgarian captions (27 entries, the footer
    // last), filled when the page is created; the language switch puts them back.
    QStringList DocCaptions;

    // Checks the maker's web folder for a newer version: 0 silently, 1 asking.
    void CheckForUpdate(int mode);

    // Commands behind the login gate.
    void OrderBtnClick();
    void ReportBtnClick();
    void SpeedButton7Click();
    void SpeedButton3Click();
    void SpeedButton1Click();
    void SpeedButton5Click();
    void N9Click();

    // Commands open to everybody.
    void SpeedButton9Click();
    void SpeedButton4Click();
    void N3Click();
    void N11Click();
    void N8Click();
    void FilePrinterSetupClick();
    void SpeedButton2Click();

protected:
    void FormShow() override;
    void FormClose() override;

private:
    // True when the command may run: no users and the no-password marker, or
    // the logged-in user still checks out. Otherwise shows the login window.
    bool PassLoginGate();
};

extern TMain* Main;
