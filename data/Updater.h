#pragma once
// The updater: asks the maker's web folder for the latest version and, when
// it is newer, downloads the new program and starts it in place of this one.
// The window is never shown; its install button is pressed in code.

#include "platform/Form.h"
#include "ui_Updater.h"

// The window's controls (forms/Updater.ui):
//   Edit1         address of the new program on the maker's web folder
//   SpeedButton1  "Инсталирай": downloads the new program and starts it
//   SpeedButton2  "Изход": closes the window
class TUpdateI : public platform::Form, public Ui::TUpdateI {
    Q_OBJECT
public:
    explicit TUpdateI(QWidget* parent = nullptr);

    // -1 no answer (and until the first check), 0 the installed version is
    // current, 1 the server has a newer one.
    int VersionState = -1;
    // The version file's body; after a check without answer, the installed number.
    QString RemoteVersionText;

    void CheckRemoteVersion();
    void DownloadVersionText();

    void SpeedButton1Click();
    void SpeedButton2Click();
};

extern TUpdateI* UpdateI;
