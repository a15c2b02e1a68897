#pragma once
// The login window: registers users, logs a user in, deletes a user, and lets
// a program without users work without passwords. It keeps the logged-in
// user's name and password, which the main window checks again before every
// command that opens data.

#include "platform/Form.h"
#include "ui_Login.h"

#include <QString>

// The window's controls (forms/Login.ui):
//   Label1     "Име"
//   ComboBox1  the user's name; its list holds the registered users
//   Label2     "Парола"
//   Edit2      the password
//   BitBtn1    "Регистрация" (registers the user) or "Вход" (logs the user in)
//   BitBtn2    "Изтрий": deletes the user named in ComboBox1
//   BitBtn3    "Не желая": work without passwords (while nobody is registered)
class TForm9 : public platform::Form, public Ui::TForm9 {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);

    // The logged-in user and the clear password; both empty when nobody is
    // logged in. Set only by a successful CheckUserPassword.
    QString LoggedUser;
    QString LoggedPassword;

    // Re-reads the users; true when the first user of that exact name has that
    // password, and then that user is the logged-in one. Later users of the
    // same name are never tried.
    bool CheckUserPassword(const QString& name, const QString& password);

    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

protected:
    void FormShow() override;

private:
    // Stores a new user; false (with a message, nothing stored) when the name
    // or the password cannot be stored.
    bool AddUser(const QString& name, const QString& password);
};

extern TForm9* Form9;
