#pragma once
// The small window shown while the program starts.

#include "platform/Form.h"
#include "ui_Splash.h"

// The window's controls (forms/Splash.ui):
//   Panel1   the framed body of the window
//   Image1   the picture of a printed page
//   Label3   the program's name, "Quillane 2013"
//   Bevel1   the line under the name
//   Label1   "Зареждане..."
//   CGauge1  hidden: the progress of an update's download
class TSplashForm : public platform::Form, public Ui::TSplashForm {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

    // Shows the window and paints it before returning, so that it is seen
    // while the program goes on working without its event loop. A window
    // manager maps the window some moments after the show; that is waited
    // for (a second at most).
    void ShowPainted();
};

extern TSplashForm* SplashForm;
