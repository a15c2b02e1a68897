#pragma once
// The work place: where the database is (a folder on this computer, another
// computer of the network, a server). The choice is kept in network.txt.

#include "platform/Form.h"
#include "ui_WorkPlace.h"

// The window's controls (forms/WorkPlace.ui):
//   RadioButton1  "База данните са на този компютър": mode 1, a folder here
//   Label1        "Изберете директория с бутона отдясно"
//   Edit1         the data folder of mode 1
//   SpeedButton2  the folder button right of Edit1: chooses the folder
//   RadioButton2  "База данните са на друг компютър": mode 2, another computer
//   Label2        "Напишете името на компютъра, с който сте в мрежа"
//   Edit2         the computer's name of mode 2
//   RadioButton3  "База данните са на сървър с IP адрес": mode 3, a server
//   Label3        "Напишете IP адреса на сървъра"
//   Edit3         the server's IP address of mode 3
//   SpeedButton1  "OK": writes network.txt and opens the database there
class TForm8 : public platform::Form, public Ui::TForm8 {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);

    void RadioButton2Click();
    void RadioButton3Click();
    void SpeedButton1Click();
    void SpeedButton2Click();

protected:
    void FormShow() override;
    void showEvent(QShowEvent* event) override;

private:
    // "1", "2" or "3" by the checked option; "1" when none is.
    QString CheckedMode() const;
    // Centred on the screen, or just below the main window where that would cover it.
    void PlaceOnScreen();
};

extern TForm8* Form8;
