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
#include <QShowEvent>
#include <QStyle>

TForm8* Form8 = nullptr;

TForm8::TForm8(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    setFixedSize(409, 277);
    PlaceOnScreen();
    Edit1->setText(platform::Path(platform::PathKind::DataFolder));
    // The folder button carries the desktop's folder picture.
    SpeedButton2->setText(QString());
    SpeedButton2->setIcon(QIcon::fromTheme(QStringLiteral("folder"), style()->standardIcon(QStyle::SP_DirIcon)));
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

void TForm8::PlaceOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // The window manager's title bar, guessed generously: the frame it draws
    // is not known before a window is mapped, nor always after.
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8;
    QRect mainFrame;
    if (Main) {
        mainFrame = Main->frameGeometry().united(Main->geometry());
        mainFrame.setBottom(std::max(mainFrame.bottom(), Main->y() + Main->height() + title));
    }
    QRect frame(0, 0, width(), height() + title);
    frame.moveCenter(screen->geometry().center());
    // On a low screen the main window at its top would cover the title bar and the first option.
    if (Main && frame.intersects(mainFrame)) frame.moveTop(mainFrame.bottom() + 4);
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    move(frame.topLeft());
}

void TForm8::showEvent(QShowEvent* event) {
    // Placed before the window manager maps it.
    if (!event->spontaneous()) PlaceOnScreen();
    platform::Form::showEvent(event);
}

void TForm8::FormShow() {
    const QString networkFile = platform::Path(platform::PathKind::NetworkFile);
    const data::WorkPlaceFile file = data::ReadWorkPlaceFile(networkFile);
    if (!file.problem.isEmpty())
        throw platform::EFileError(QStringLiteral("Файлът на работното място „%1“ е повреден: %2.")
                                       .arg(networkFile, file.problem));
    const QStringList& lines = file.lines;
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
    } else if (lines.size() == 1) {
        Edit1->setText(lines.at(0));
        RadioButton1->setChecked(true);
    }
}

void TForm8::RadioButton2Click() {
    const bool otherComputer = RadioButton2->isChecked();
    Edit2->setEnabled(otherComputer);
    Edit1->setEnabled(!otherComputer);
    SpeedButton2->setEnabled(!otherComputer);
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
    try {
        DataModule1->OpenDatabaseLocation(*folder);
    } catch (const data::DatabaseError& e) {
        // Which database the program works with now, if any.
        const data::Database& db = DataModule1->IBDatabase1;
        throw platform::Exception(e.Message() + QStringLiteral("\n\n") +
                                  (db.Connected() ? QStringLiteral("Отворена е базата данни „%1“.").arg(db.DatabaseName)
                                                  : QStringLiteral("Няма отворена база данни.")));
    }
}

void TForm8::SpeedButton1Click() {
    // An empty field would aim the database at the root of the file system,
    // or at no computer, at this start and every later one.
    const std::pair<QRadioButton*, QLineEdit*> options[] = {{RadioButton1, Edit1}, {RadioButton2, Edit2}, {RadioButton3, Edit3}};
    const QString asks[] = {QStringLiteral("Изберете директорията на базата данни с бутона отдясно."),
                            QStringLiteral("Напишете името на компютъра, с който сте в мрежа."),
                            QStringLiteral("Напишете IP адреса на сървъра.")};
    for (int i = 0; i < 3; ++i) {
        if (options[i].first->isChecked() && options[i].second->text().trimmed().isEmpty()) {
            platform::ShowMessageBox(asks[i], QString(), platform::DialogIcon::Warning, this);
            options[i].second->setFocus();
            return;
        }
    }
    Close();
    const bool folderHere = RadioButton1->isChecked();
    const bool otherComputer = RadioButton2->isChecked();
    const bool server = RadioButton3->isChecked();
    QString value;
    if (folderHere) value = Edit1->text();
    if (otherComputer) value = Edit2->text();
    if (server) value = Edit3->text();
    const bool anyChecked = folderHere || otherComputer || server;
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
