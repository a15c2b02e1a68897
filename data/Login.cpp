#include "data/Login.h"

#include "data/PasswordShift.h"
#include "data/DataModule.h"
#include "platform/Handlers.h"
#include "platform/CodePage.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Paths.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>

TForm9* Form9 = nullptr;

namespace {

const QString kRegister = QStringLiteral("Регистрация");
const QString kLogin = QStringLiteral("Вход");
const QString kWrongNameOrPassword = QStringLiteral("Грешно име или парола.");

// The longest name or stored password the table's columns hold.
constexpr int kColumnLength = 255;


}  // namespace

TForm9::TForm9(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    setFixedSize(172, 226);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    connect(BitBtn1, &QPushButton::clicked, this, platform::Handler(this, &TForm9::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, platform::Handler(this, &TForm9::BitBtn2Click));
    connect(BitBtn3, &QPushButton::clicked, this, platform::Handler(this, &TForm9::BitBtn3Click));
    // Enter after the password logs in, as a click on "Вход" does.
    connect(Edit2, &QLineEdit::returnPressed, this, [this] {
        if (BitBtn1->text() == kLogin) BitBtn1->click();
    });
}

bool TForm9::CheckUserPassword(const QString& name, const QString& password) {
    data::DataSet& user = DataModule1->user;
    user.Refresh();
    for (int recNo = 1; recNo <= user.RecordCount(); ++recNo) {
        user.SetRecNo(recNo);
        if (user.FieldByName(QStringLiteral("us")).AsString() != name) continue;
        if (data::ClearPassword(user.FieldByName(QStringLiteral("pas")).AsBytes()) != password) return false;
        LoggedUser = name;
        LoggedPassword = password;
        return true;
    }
    return false;
}

void TForm9::FormShow() {
    data::DataSet& user = DataModule1->user;
    if (user.Active()) user.Refresh();

    ComboBox1->clear();
    ComboBox1->setEditText(QString());
    Edit2->clear();

    QStringList names;
    for (int recNo = 1; recNo <= user.RecordCount(); ++recNo) {
        user.SetRecNo(recNo);
        names << user.FieldByName(QStringLiteral("us")).AsString();
    }
    platform::FillComboKeepingNoSelection(ComboBox1, names);

    const bool loggedIn = CheckUserPassword(LoggedUser, LoggedPassword);
    if (!loggedIn && user.RecordCount() > 0) {
        BitBtn1->setText(kLogin);
        BitBtn2->setVisible(false);
        BitBtn3->setVisible(false);
    } else {
        BitBtn1->setText(kRegister);
        BitBtn2->setVisible(true);
        if (user.RecordCount() == 0) BitBtn3->setVisible(true);
    }
}

void TForm9::BitBtn1Click() {
    const QString name = ComboBox1->currentText();
    const QString password = Edit2->text();
    // The caption says what the window is open for.
    const QString action = BitBtn1->text();

    if (action == kRegister) {
        // The first user can always be registered, further users only by a logged-in user.
        const bool allowed = CheckUserPassword(LoggedUser, LoggedPassword) || DataModule1->user.RecordCount() == 0;
        if (allowed) {
            if (!AddUser(name, password)) return;
            const QString marker = platform::Path(platform::PathKind::NoPasswordMarker);
            if (platform::FileExists(marker)) QFile::remove(marker);
        }
        Close();
        return;
    }

    if (action == kLogin) {
        if (CheckUserPassword(name, password))
            Close();
        else
            platform::ShowMessage(kWrongNameOrPassword);
    }
}

bool TForm9::AddUser(const QString& name, const QString& password) {
    QByteArray nameBytes, stored;
    try {
        nameBytes = platform::EncodeCp1251(name);
        stored = data::StoredPassword(password);
    } catch (const platform::EEncodingError& error) {
        platform::ShowMessage(error.Message());
        return false;
    }
    if (nameBytes.size() > kColumnLength) {
        platform::ShowMessage(QStringLiteral("Името може да има най-много %1 знака.").arg(kColumnLength));
        return false;
    }
    if (stored.size() > kColumnLength) {
        platform::ShowMessage(QStringLiteral("Паролата може да има най-много %1 знака.").arg(kColumnLength));
        return false;
    }

    data::DataSet& user = DataModule1->user;
    data::PostGuard guard(user);
    user.Insert();
    user.FieldByName(QStringLiteral("pnom")).SetAsString(DataModule1->NextRecordKey());
    user.FieldByName(QStringLiteral("us")).SetAsString(name);
    user.FieldByName(QStringLiteral("pas")).SetAsBytes(stored);
    guard.Post();
    return true;
}

void TForm9::BitBtn2Click() {
    const QString name = ComboBox1->currentText();
    if (!CheckUserPassword(name, Edit2->text())) {
        platform::ShowMessage(kWrongNameOrPassword);
        return;
    }
    data::DataSet& user = DataModule1->user;
    user.Refresh();
    for (int recNo = 1; recNo <= user.RecordCount(); ++recNo) {
        user.SetRecNo(recNo);
        if (user.FieldByName(QStringLiteral("us")).AsString() == name) {
            user.Delete();
            break;
        }
    }
    Close();
}

void TForm9::BitBtn3Click() {
    const QString marker = platform::Path(platform::PathKind::NoPasswordMarker);
    QFile file(marker);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw platform::EFileError(
            QStringLiteral("Файлът „%1“ не може да бъде записан: %2").arg(marker, file.errorString()));
    file.close();
    Close();
}
