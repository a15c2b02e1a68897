#pragma once
// The main window: the program's home, a block of large buttons and a menu
// that open every other part of the program. The commands that open data
// windows pass the login gate first.

#include "platform/Form.h"
#include "ui_MainWindow.h"

#include <QStringList>

// The window's controls (forms/MainWindow.ui):
//   MainMenu          the menu bar: Documents1 "Документи", View1 "Изглед", Help1 "Помощ"
//   NewDocument1      menu "Нов документ", as OrderBtn
//   PrintDocument1    menu "Печат на документ", as ReportBtn
//   FilePrinterSetup  menu "Настройки на принтера": the printer set-up dialog
//   Customers1        menu "Клиенти", as SpeedButton7
//   Goods1            menu "Стоки и Услуги", as SpeedButton3
//   Employees1        menu "Служители", as SpeedButton1
//   OwnFirms1         menu "Моите фирмени детайли", as SpeedButton5
//   N9                menu "Статистика": the statistics
//   N3                menu "Регистрация": the login window
//   N11               menu "Отписване": logs the user out
//   Update1           menu "Обновяване", as SpeedButton9
//   N8                menu "Ръководство": opens the manual
//   ButtonArea        the block of large buttons below the menu
//   OrderBtn          "Нов Документ": the editor on a new document
//   ReportBtn         "Документи": the register of issued documents
//   SpeedButton7      "Клиенти": the customers
//   SpeedButton3      "Стоки и Услуги": the goods and services
//   SpeedButton1      "Служители": the employees
//   SpeedButton5      "Моите фирмени детайли": the own firms
//   SpeedButton9      "Обновяване": asks for a newer version
//   SpeedButton4      "Работно място": the work-place window
//   SpeedButton2      "Изход": closes the program
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
