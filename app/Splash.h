#pragma once
// The small window shown while the program starts.

#include "platform/Form.h"
#include "ui_Splash.h"

class TSplashForm : public platform::Form, public Ui::TSplashForm {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);
};

extern TSplashForm* SplashForm;
