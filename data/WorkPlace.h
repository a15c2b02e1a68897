#pragma once
// The work place: where the database is (a folder on this computer, another
// computer of the network, a server). The choice is kept in network.txt.

#include "platform/Form.h"
#include "ui_WorkPlace.h"

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
