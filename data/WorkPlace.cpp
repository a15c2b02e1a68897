#include "data/WorkPlace.h"

#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "data/WorkPlaceText.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Handlers.h"
#include "platform/LocaleText.h"
#include "platform/Paths.h"
#include "platform/Shell.h"
#include "platform/TextFile.h"

#include <QGuiApplication>
#include <QScreen>

TForm8* Form8 = nullptr;

TForm8::TForm8(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    setFixedSize(409, 277);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(width() / 2, height() / 2));
    Edit1->setText(platform::Path(platform::PathKind::DataFolder));
    // Checking an option, by hand or in code, runs its handler.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) platform::RunHandler([this] { RadioButton2Click(); });
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) platform::RunHandler([this] { RadioButton2Click(); });
    });
    connect(RadioButton3, &QRadioButton::toggled, this, [this](bool on) {
        if (on) platform::RunHandler([this] { RadioButton3Click(); });
    });
    connect(SpeedButton1, &QPushButton::clicked, this, platform::Handler(this, &TForm8::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this, platform::Handler(this, &TForm8::SpeedButton2Click));
}

void TForm8::FormShow() {
    const QString networkFile = platform::Path(platform::PathKind::NetworkFile);
    if (!platform::FileExists(networkFile)) return;
    const QStringList lines = platform::LoadLines(networkFile);
    if (lines.isEmpty())
        throw platform::EFileError(QStringLiteral("Файлът „%1“ е празен: работното място не може да бъде прочетено.")
                                       .arg(networkFile));
    if (lines.size() >= 2) {
        const int mode = platform::StrToInt(lines.at(1));
        if (mode == 1) {
            Edit1->setText(lines.at(0));
            RadioButton1->setChecked(true);
        }
        if (mode == 2) {
            Edit2->setText(lines.at(0));
            RadioButton2->setChecked(true);
        }
        if (mode == 3) {
            Edit3->setText(lines.at(0));
            RadioButton3->setChecked(true);
        }
    } else {
        Edit1->setText(lines.at(0));
        RadioButton1->setChecked(true);
    }
}

void TForm8::RadioButton2Click() {
    Edit2->setEnabled(RadioButton2->isChecked());
    Edit1->setEnabled(!RadioButton2->isChecked());
    SpeedButton2->setEnabled(!RadioButton2->isChecked());
}

void TForm8::RadioButton3Click() {
    Edit1->setEnabled(false);
    Edit2->setEnabled(false);
    SpeedButton2->setEnabled(false);
    Edit3->setEnabled(true);
}

QString TForm8::CheckedMode() const {
    if (RadioButton2->isChecked()) return QStringLiteral("2");
    if (RadioButton3->isChecked()) return QStringLiteral("3");
    return QStringLiteral("1");
}

void TForm8::SpeedButton2Click() {
    const std::optional<QString> folder =
        platform::ChooseFolder(QStringLiteral("Изберете директория, където ще работите с Вашите база данни:"),
                               QStringLiteral("Работно място"), Edit1->text(), this);
    if (!folder) return;
    platform::SaveLines(platform::Path(platform::PathKind::NetworkFile), {*folder, CheckedMode()});
    Edit1->setText(*folder);
    DataModule1->OpenDatabaseLocation(*folder);
}

void TForm8::SpeedButton1Click() {
    Close();
    QString value;
    if (RadioButton1->isChecked()) value = Edit1->text();
    if (RadioButton2->isChecked()) value = Edit2->text();
    if (RadioButton3->isChecked()) value = Edit3->text();
    const bool anyChecked = RadioButton1->isChecked() || RadioButton2->isChecked() || RadioButton3->isChecked();
    const QString mode = CheckedMode();
    platform::SaveLines(platform::Path(platform::PathKind::NetworkFile), {value, mode});
    const QString location = anyChecked ? data::LocationText(value, mode.toInt()) : QString();
    try {
        DataModule1->OpenDatabaseLocation(location);
    } catch (...) {
        // The new work place is kept in network.txt; a fresh start falls back to
        // the default folder if it cannot be opened.
        platform::StartProgram(platform::Path(platform::PathKind::OwnExecutable));
        Main->Close();
    }
}
