// The main window: its look and place, the login gate
// in front of every command that opens data, and the open commands (log-out,
// manual, printer set-up).

#include "app/Program.h"
#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "data/Login.h"
#include "data/WorkPlace.h"
#include "documents/DocumentEditor.h"
#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "platform/Paths.h"
#include "platform/Printer.h"
#include "platform/Shell.h"
#include "registers/Customers.h"
#include "registers/Employees.h"
#include "registers/OwnFirms.h"
#include "registers/Statistics.h"
#include "registers/GoodsList.h"
#include "registers/DocumentRegister.h"
#include "support/programtest.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QThread>
#include <QGuiApplication>
#include <QScreen>
#include <functional>
#include <gtest/gtest.h>

namespace {

using platform::DialogKind;
using platform::Path;
using platform::PathKind;

class MainWindow : public testsupport::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Start();
        ASSERT_TRUE(DataModule1->user.Active());
    }

    static std::vector<platform::Form*> DataWindows() {
        return {OrderForm, Sort, CustForm, Stocks, Emp, FillFirm, StatForm};
    }
    static void CloseAll() {
        for (platform::Form* w : DataWindows()) w->Close();
        Form9->Close();
        Form8->Close();
    }
    static int VisibleDataWindows() {
        int n = 0;
        for (platform::Form* w : DataWindows()) n += w->isVisible();
        return n;
    }

    struct Command {
        const char* name;
        std::function<void()> give;
        platform::Form* opens;
    };
    // Every guarded command, from its button and from its menu item, with the
    // window it opens.
    static std::vector<Command> GuardedCommands() {
        return {
            {"OrderBtn", [] { Main->OrderBtn->click(); }, OrderForm},
            {"Нов документ", [] { Main->NewDocument1->trigger(); }, OrderForm},
            {"ReportBtn", [] { Main->ReportBtn->click(); }, Sort},
            {"Печат на документ", [] { Main->PrintDocument1->trigger(); }, Sort},
            {"SpeedButton7", [] { Main->SpeedButton7->click(); }, CustForm},
            {"Клиенти", [] { Main->Customers1->trigger(); }, CustForm},
            {"SpeedButton3", [] { Main->SpeedButton3->click(); }, Stocks},
            {"Стоки и Услуги", [] { Main->Goods1->trigger(); }, Stocks},
            {"SpeedButton1", [] { Main->SpeedButton1->click(); }, Emp},
            {"Служители", [] { Main->Employees1->trigger(); }, Emp},
            {"SpeedButton5", [] { Main->SpeedButton5->click(); }, FillFirm},
            {"Моите фирмени детайли", [] { Main->OwnFirms1->trigger(); }, FillFirm},
            {"Статистика", [] { Main->N9->trigger(); }, StatForm},
        };
    }
    // Gives every guarded command once; checks that each opens its own window
    // (allowed) or the login window and nothing else (refused).
    static void ExpectEveryGuardedCommand(bool allowed) {
        for (const Command& c : GuardedCommands()) {
            SCOPED_TRACE(c.name);
            CloseAll();
            c.give();
            EXPECT_EQ(c.opens->isVisible(), allowed);
            EXPECT_EQ(VisibleDataWindows(), allowed ? 1 : 0);
            EXPECT_EQ(Form9->isVisible(), !allowed);
        }
    }

    // Types into the login window opened from the menu and presses its first button.
    void Submit(const QString& name, const QString& password) {
        Form9->Close();
        Main->N3->trigger();
        Form9->ComboBox1->setEditText(name);
        Form9->Edit2->setText(password);
        Form9->BitBtn1->click();
    }
};

TEST_F(MainWindow, LookAndPlace) {
    EXPECT_EQ(Main->palette().color(QPalette::Window), QColor(255, 251, 240));
    EXPECT_TRUE(Main->autoFillBackground());
    EXPECT_EQ(Main->OrderBtn->font().family(), "Arial");
    EXPECT_TRUE(Main->OrderBtn->font().bold());
    EXPECT_EQ(Main->OrderBtn->font().pixelSize(), 13);

    const QRect menu = Main->MainMenu->geometry();
    EXPECT_EQ(menu.topLeft(), QPoint(0, 0));
    EXPECT_GT(menu.height(), 0);
    EXPECT_EQ(Main->ButtonArea->geometry(), QRect(0, menu.height(), 615, 242));
    EXPECT_EQ(Main->size(), QSize(615, menu.height() + 242));

    // Centred horizontally at the top of the screen.
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    EXPECT_EQ(Main->pos(), QPoint(screenWidth / 2 - 615 / 2, 2));
}

// Without users every guarded command asks to register, unless the marker
// says passwords are not wanted; a registered user passes only while logged in.
TEST_F(MainWindow, TheLoginGateInFrontOfEveryDataCommand) {
    ExpectEveryGuardedCommand(false);
    EXPECT_EQ(Form9->BitBtn1->text(), "Регистрация");
    testsupport::WriteFile(Path(PathKind::NoPasswordMarker), "");
    ExpectEveryGuardedCommand(true);

    Submit("Иван", "парола");  // registers
    ExpectEveryGuardedCommand(false);
    EXPECT_EQ(Form9->BitBtn1->text(), "Вход");
    // The open commands need no login.
    CloseAll();
    Main->N3->trigger();
    EXPECT_TRUE(Form9->isVisible());
    Main->SpeedButton4->click();
    EXPECT_TRUE(Form8->isVisible());
    EXPECT_EQ(VisibleDataWindows(), 0);

    Submit("Иван", "парола");  // logs in
    ExpectEveryGuardedCommand(true);

    Main->N11->trigger();
    EXPECT_TRUE(Form9->LoggedUser.isEmpty());
    ExpectEveryGuardedCommand(false);
}

TEST_F(MainWindow, CustomersAndGoodsReReadTheirTablesAndDatabaseErrorsAreShown) {
    testsupport::WriteFile(Path(PathKind::NoPasswordMarker), "");
    testsupport::ExecuteOn(defaultFile, "insert into stock (pnom, description1) values ('1', 'Стол')");
    Main->SpeedButton3->click();
    EXPECT_EQ(DataModule1->stock.RecordCount(), 1);
    testsupport::ExecuteOn(defaultFile, "insert into customer (pnom, company1) values ('1', 'Алфа ЕООД')");
    Main->SpeedButton7->click();
    EXPECT_EQ(DataModule1->cust.RecordCount(), 1);
    // A database error in a command goes to the exception display.
    DataModule1->user.Close();
    platform::ScriptedDialogs dialogs;
    Main->ReportBtn->click();
    EXPECT_FALSE(Sort->isVisible());
    ASSERT_TRUE(testsupport::ShownOnceWith(dialogs, "USERP"));
    EXPECT_EQ(dialogs.Shown()[0].kind, DialogKind::Exception);
}

TEST_F(MainWindow, TheManualIsOpenedThroughTheShellOrSaidToBeMissing) {
    platform::RecordedShell shell;
    platform::ScriptedDialogs dialogs;
    Main->N8->trigger();  // no Help.pdf in the installation folder: where it was looked for
    EXPECT_TRUE(shell.Calls().empty());
    EXPECT_TRUE(testsupport::ShownOnceWith(dialogs, home.File("Help.pdf")));
    // The manual made at build time, as the run command puts it there: a PDF of pages.
    const QByteArray manual = testsupport::ReadFile(QStringLiteral(QUILLANE_MANUAL));
    EXPECT_TRUE(manual.startsWith("%PDF-"));
    EXPECT_GE(manual.count("/Type /Page\n") + manual.count("/Type /Page\r"), 2);
    testsupport::WriteFile(home.File("Help.pdf"), manual);
    Main->N8->trigger();
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].kind, platform::ShellCall::Kind::OpenDocument);
    EXPECT_EQ(shell.Calls()[0].target, home.File("Help.pdf"));
    EXPECT_EQ(dialogs.Shown().size(), 1u);
}

// "Ръководство" chosen from the "Помощ" menu by the mouse.
void ChooseManual() {
    Main->Show();
    QMenuBar* bar = Main->MainMenu;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(Main->Help1->menuAction()).center());
    ASSERT_TRUE(Main->Help1->isVisible());
    QTest::mouseClick(Main->Help1, Qt::LeftButton, {}, Main->Help1->actionGeometry(Main->N8).center());
}

TEST_F(MainWindow, TheManualWithoutAPdfProgramSaysSoAndWhereItIs) {
    // The desktop's tools as this computer has them: xdg-open opens what
    // xdg-mime names a program for; here nothing is named for PDF files.
    testsupport::TempFolder tools;
    const QString opened = tools.File("opened");
    testsupport::WriteFile(tools.File("xdg-mime"), "#!/bin/sh\n[ -f \"$(dirname \"$0\")/viewer\" ] && echo viewer.desktop\nexit 0\n");
    testsupport::WriteFile(tools.File("xdg-open"), ("#!/bin/sh\necho \"$1\" > " + opened + ".part && mv " + opened +
                                                     ".part " + opened + "\nexit 0\n").toUtf8());
    for (const char* tool : {"xdg-mime", "xdg-open"})
        QFile(tools.File(tool)).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tools.Path().toLocal8Bit() + ':' + path);
    testsupport::WriteFile(home.File("Help.pdf"), "%PDF-1.4\n");

    platform::ScriptedDialogs dialogs;
    ChooseManual();
    EXPECT_TRUE(testsupport::ShownOnceWith(dialogs, QStringLiteral("няма програма, която отваря PDF файлове")));
    EXPECT_TRUE(testsupport::ShownOnceWith(dialogs, QStringLiteral("„%1“").arg(home.File("Help.pdf"))));
    EXPECT_FALSE(QFileInfo::exists(opened));

    // With a PDF program the manual is handed to it, and nothing is said.
    testsupport::WriteFile(tools.File("viewer"), "");
    ChooseManual();
    const QDeadlineTimer deadline(30000);
    while (!QFileInfo::exists(opened) && !deadline.hasExpired()) QThread::msleep(20);
    qputenv("PATH", path);
    EXPECT_EQ(testsupport::ReadFile(opened).trimmed(), home.File("Help.pdf").toLocal8Bit());
    EXPECT_EQ(dialogs.Shown().size(), 1u);
}

TEST_F(MainWindow, AnUpdateWithoutAnAddressSaysThatNoAddressIsSet) {
    qunsetenv("QUILLANE_UPDATE_HOST");
    platform::ScriptedDialogs dialogs;
    Main->Show();
    QTest::mouseClick(Main->SpeedButton9, Qt::LeftButton);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].text, QStringLiteral("Не е зададен адрес за обновяванията на програмата, затова не "
                                                      "може да се провери за нова версия. Адресът се задава в "
                                                      "QUILLANE_UPDATE_HOST."));
    EXPECT_EQ(dialogs.Shown()[0].icon, platform::DialogIcon::Warning);
}

TEST_F(MainWindow, PrinterSetUpRunsTheDialogOnTheProgramsPrinter) {
    platform::ScriptedDialogs dialogs;
    dialogs.Answer(platform::DialogResponse::Ok());
    dialogs.Answer(platform::DialogResponse::Cancel());
    Main->FilePrinterSetup->trigger();
    Main->FilePrinterSetup->trigger();
    ASSERT_EQ(dialogs.Shown().size(), 2u);
    for (const platform::DialogRequest& r : dialogs.Shown()) {
        EXPECT_EQ(r.kind, DialogKind::PrinterSetup);
        EXPECT_EQ(r.printer, &platform::Printer());
        EXPECT_EQ(r.owner, Main);
    }
    EXPECT_EQ(dialogs.Unanswered(), 0);
}

}  // namespace
