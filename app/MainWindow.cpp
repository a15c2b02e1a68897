#include "app/MainWindow.h"

#include "app/Splash.h"
#include "data/DataModule.h"
#include "data/Login.h"
#include "data/WorkPlace.h"
#include "documents/DocumentEditor.h"
#include "platform/Handlers.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/Printer.h"
#include "platform/Shell.h"
#include "registers/Customers.h"
#include "registers/Employees.h"
#include "registers/OwnFirms.h"
#include "registers/Statistics.h"
#include "registers/GoodsList.h"
#include "registers/DocumentRegister.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QStyle>

TMain* Main = nullptr;

namespace {

// The window's background: the class library's cream.
const QColor kCream(255, 251, 240);


}  // namespace

TMain::TMain(QWidget* parent) : platform::Form(parent) {
    setupUi(this);

    QPalette cream = palette();
    cream.setColor(QPalette::Window, kCream);
    setPalette(cream);
    setAutoFillBackground(true);

    QFont look(QStringLiteral("Arial"));
    look.setPixelSize(13);
    look.setBold(true);
    setFont(look);
    // The menu keeps the desktop's menu font.
    QFont menuFont = QApplication::font(MainMenu);
    menuFont.setFamily(menuFont.family());
    menuFont.setPointSizeF(menuFont.pointSizeF());
    menuFont.setBold(false);
    MainMenu->setFont(menuFont);

    // The window is as large as its menu and its two rows of buttons.
    const int menuHeight = MainMenu->sizeHint().height();
    MainMenu->setGeometry(0, 0, ButtonArea->width(), menuHeight);
    ButtonArea->move(0, menuHeight);
    setFixedSize(ButtonArea->width(), menuHeight + ButtonArea->height());

    SpeedButton4->setVisible(false);

    // A picture above each caption, from the desktop's own set.
    const std::pair<QToolButton*, QStyle::StandardPixmap> pictures[] = {
        {OrderBtn, QStyle::SP_FileIcon},           {ReportBtn, QStyle::SP_FileDialogDetailedView},
        {SpeedButton7, QStyle::SP_DirIcon},        {SpeedButton3, QStyle::SP_FileDialogContentsView},
        {SpeedButton1, QStyle::SP_DirOpenIcon},    {SpeedButton5, QStyle::SP_DirHomeIcon},
        {SpeedButton9, QStyle::SP_BrowserReload},  {SpeedButton4, QStyle::SP_DirLinkIcon},
        {SpeedButton2, QStyle::SP_DialogCloseButton}};
    for (const auto& [button, picture] : pictures) {
        // Some pictures of the set are small; every one is drawn at the same size.
        const QPixmap largest = style()->standardIcon(picture).pixmap(QSize(256, 256));
        button->setIcon(QIcon(largest.scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        button->setIconSize(QSize(48, 48));
    }

    const auto bind = [this](auto* sender, auto signal, void (TMain::*handler)()) {
        connect(sender, signal, this, [this, handler] { platform::RunHandler([this, handler] { (this->*handler)(); }); });
    };
    bind(OrderBtn, &QToolButton::clicked, &TMain::OrderBtnClick);
    bind(ReportBtn, &QToolButton::clicked, &TMain::ReportBtnClick);
    bind(SpeedButton7, &QToolButton::clicked, &TMain::SpeedButton7Click);
    bind(SpeedButton3, &QToolButton::clicked, &TMain::SpeedButton3Click);
    bind(SpeedButton1, &QToolButton::clicked, &TMain::SpeedButton1Click);
    bind(SpeedButton5, &QToolButton::clicked, &TMain::SpeedButton5Click);
    bind(SpeedButton9, &QToolButton::clicked, &TMain::SpeedButton9Click);
    bind(SpeedButton4, &QToolButton::clicked, &TMain::SpeedButton4Click);
    bind(SpeedButton2, &QToolButton::clicked, &TMain::SpeedButton2Click);

    bind(NewDocument1, &QAction::triggered, &TMain::OrderBtnClick);
    bind(PrintDocument1, &QAction::triggered, &TMain::ReportBtnClick);
    bind(FilePrinterSetup, &QAction::triggered, &TMain::FilePrinterSetupClick);
    bind(Customers1, &QAction::triggered, &TMain::SpeedButton7Click);
    bind(Goods1, &QAction::triggered, &TMain::SpeedButton3Click);
    bind(Employees1, &QAction::triggered, &TMain::SpeedButton1Click);
    bind(OwnFirms1, &QAction::triggered, &TMain::SpeedButton5Click);
    bind(N9, &QAction::triggered, &TMain::N9Click);
    bind(N3, &QAction::triggered, &TMain::N3Click);
    bind(N11, &QAction::triggered, &TMain::N11Click);
    bind(Update1, &QAction::triggered, &TMain::SpeedButton9Click);
    bind(N8, &QAction::triggered, &TMain::N8Click);
}

void TMain::FormCreate() {
    // Centred horizontally at the top of the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().width() / 2 - width() / 2, 2);
}

void TMain::CheckForUpdate(int mode) {
    // The updater arrives with its own window; until then there is never a newer version.
    Q_UNUSED(mode);
}

bool TMain::PassLoginGate() {
    // The check re-reads the users first, so that a user registered or deleted
    // at another workstation counts at once.
    const bool ok = Form9->CheckUserPassword(Form9->LoggedUser, Form9->LoggedPassword);
    const bool open = DataModule1->user.RecordCount() == 0 &&
                      platform::FileExists(platform::Path(platform::PathKind::NoPasswordMarker));
    if (open || ok) return true;
    Form9->Show();
    return false;
}

void TMain::OrderBtnClick() {
    if (!PassLoginGate()) return;
    DataModule1->cust.Refresh();
    // Still to come with the editor's controls, in this order around the two
    // steps below: untick CheckBox9, 6, 4, 5, 1, 2; empty Edit1, 3, 2, 7, 6, 12
    // to 16 and ComboBox1, ComboBox2 := "ФАКТУРА"; untick the discount with
    // SetItemColumnWidths; hide Label1; the page's currency, rate and language
    // and RadioButton1; the page's totals; ComboBox3 to 5, MaskEdit2, SpeedButton2,
    // Edit8, Edit10, the page's Label18; both grids; the totals and Edit9 "20%";
    // enable Save, hide ListBox1. After showing: LoadFirmFields, LoadBankFields,
    // ResetNewDocument, untick CheckBox3, Panel2 "Неотпечатан" in red.
    OrderForm->SetCaption(QStringLiteral("Нов Документ"));
    // Shown before it is filled, so that the user sees it at once.
    OrderForm->Show();
}

void TMain::ReportBtnClick() {
    if (!PassLoginGate()) return;
    Sort->Show();
}

void TMain::SpeedButton7Click() {
    if (!PassLoginGate()) return;
    CustForm->Show();
    DataModule1->cust.Refresh();
}

void TMain::SpeedButton3Click() {
    if (!PassLoginGate()) return;
    Stocks->Show();
    DataModule1->stock.Refresh();
}

void TMain::SpeedButton1Click() {
    if (!PassLoginGate()) return;
    Emp->Show();
}

void TMain::SpeedButton5Click() {
    if (!PassLoginGate()) return;
    FillFirm->Show();
}

void TMain::N9Click() {
    if (!PassLoginGate()) return;
    platform::Click(Sort->Button1);
}

void TMain::SpeedButton9Click() { CheckForUpdate(1); }

void TMain::SpeedButton4Click() { Form8->Show(); }

void TMain::N3Click() { Form9->Show(); }

void TMain::N11Click() {
    Form9->LoggedUser.clear();
    Form9->LoggedPassword.clear();
}

void TMain::N8Click() {
    // A missing manual is the desktop's to report.
    platform::OpenDocument(platform::Path(platform::PathKind::Manual));
}

void TMain::FilePrinterSetupClick() { platform::PrinterSetupDialog(platform::Printer(), this); }

void TMain::SpeedButton2Click() { Close(); }

void TMain::FormShow() {
    if (SplashForm) SplashForm->Close();
}

void TMain::FormClose() { QCoreApplication::exit(1); }
