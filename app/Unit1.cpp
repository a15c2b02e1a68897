#include "app/Unit1.h"

#include "app/splash.h"
#include "data/UnitWP.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

TMain* Main = nullptr;

TMain::TMain(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    setFixedSize(615, 242);
    SpeedButton4->setVisible(false);
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
}

void TMain::FormCreate() {
    // Centred horizontally at the top of the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().width() / 2 - width() / 2, 2);
}

void TMain::CheckForUpdate(int mode) {
    // The updater arrives with its own window; until then there is never a newer version.
    Q_UNUSED(mode);
}

void TMain::SpeedButton4Click() { Form8->Show(); }

void TMain::SpeedButton2Click() { Close(); }

void TMain::FormShow() {
    if (SplashForm) SplashForm->Close();
}

void TMain::FormClose() { QCoreApplication::exit(1); }
