#include "app/MainWindow.h"

#include "app/Splash.h"
#include "data/DataModule.h"
#include "data/Login.h"
#include "data/Updater.h"
#include "data/WorkPlace.h"
#include "documents/DocumentEditor.h"
#include "documents/PrintedPage.h"
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
#include <QDir>
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

    connect(OrderBtn, &QToolButton::clicked, this, platform::Handler(this, &TMain::OrderBtnClick));
    connect(ReportBtn, &QToolButton::clicked, this, platform::Handler(this, &TMain::ReportBtnClick));
    connect(SpeedButton7, &QToolButton::clicked, this, platform::Handler(this, &TMain::SpeedButton7Click));
    connect(SpeedButton3, &QToolButton::clicked, this, platform::Handler(this, &TMain::SpeedButton3Click));
    connect(SpeedButton1, &QToolButton::clicked, this, platform::Handler(this, &TMain::SpeedButton1Click));
    connect(SpeedButton5, &QToolButton::clicked, this, platform::Handler(this, &TMain::SpeedButton5Click));
    connect(SpeedButton9, &QToolButton::clicked, this, platform::Handler(this, &TMain::SpeedButton9Click));
    connect(SpeedButton4, &QToolButton::clicked, this, platform::Handler(this, &TMain::SpeedButton4Click));
    connect(SpeedButton2, &QToolButton::clicked, this, platform::Handler(this, &TMain::SpeedButton2Click));

    connect(NewDocument1, &QAction::triggered, this, platform::Handler(this, &TMain::OrderBtnClick));
    connect(PrintDocument1, &QAction::triggered, this, platform::Handler(this, &TMain::ReportBtnClick));
    connect(FilePrinterSetup, &QAction::triggered, this, platform::Handler(this, &TMain::FilePrinterSetupClick));
    connect(Customers1, &QAction::triggered, this, platform::Handler(this, &TMain::SpeedButton7Click));
    connect(Goods1, &QAction::triggered, this, platform::Handler(this, &TMain::SpeedButton3Click));
    connect(Employees1, &QAction::triggered, this, platform::Handler(this, &TMain::SpeedButton1Click));
    connect(OwnFirms1, &QAction::triggered, this, platform::Handler(this, &TMain::SpeedButton5Click));
    connect(N9, &QAction::triggered, this, platform::Handler(this, &TMain::N9Click));
    connect(N3, &QAction::triggered, this, platform::Handler(this, &TMain::N3Click));
    connect(N11, &QAction::triggered, this, platform::Handler(this, &TMain::N11Click));
    connect(Update1, &QAction::triggered, this, platform::Handler(this, &TMain::SpeedButton9Click));
    connect(N8, &QAction::triggered, this, platform::Handler(this, &TMain::N8Click));
}

void TMain::FormCreate() {
    // Centred horizontally at the top of the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().width() / 2 - width() / 2, 2);
}

void TMain::CheckForUpdate(int mode) {
    UpdateI->CheckRemoteVersion();
    const auto tell = [this](const QString& text) {
        platform::ShowMessageBox(text, QString(), platform::DialogIcon::Warning, this);
    };
    switch (UpdateI->VersionState) {
        case -1:
            // No address to ask is not a lost server.
            if (mode == 1)
                tell(platform::UpdateHost().isEmpty()
                         ? QStringLiteral("Не е зададен адрес за обновяванията на програмата, затова не може да се "
                                          "провери за нова версия. Адресът се задава в QUILLANE_UPDATE_HOST.")
                         : QStringLiteral("Няма връзка със сървъра!"));
            break;
        case 0:
            if (mode == 1) tell(QStringLiteral("Вашата версия на програмата е актуална!"));
            break;
        case 1:
            if (SplashForm) {
                SplashForm->CGauge1->setVisible(true);
                SplashForm->Label1->setText(QStringLiteral("Обновяване..."));
            }
            platform::Click(UpdateI->SpeedButton1);
            break;
    }
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
    // Every assignment runs the control's own handler, as a user's change would.
    TOrderForm* e = OrderForm;
    for (QCheckBox* box : {e->CheckBox9, e->CheckBox6, e->CheckBox4, e->CheckBox5, e->CheckBox1, e->CheckBox2})
        box->setChecked(false);
    for (QLineEdit* edit : {e->Edit1, e->Edit3, e->Edit2, e->Edit7, e->Edit6, e->Edit12, e->Edit13, e->Edit14,
                            e->Edit15, e->Edit16})
        edit->setText(QString());
    e->ComboBox1->setEditText(QString());
    e->ComboBox2->setEditText(QStringLiteral("ФАКТУРА"));
    e->SetCaption(QStringLiteral("Нов Документ"));
    if (e->CheckBox7->isChecked()) {
        e->CheckBox7->setChecked(false);
        e->SetItemColumnWidths();
    }
    e->Label1->hide();
    Doc->CurrencyPrefix.clear();
    Doc->CurrencyRate = 1.0;
    Doc->Language = PageLanguage::Bulgarian;
    e->RadioButton1->setChecked(true);
    for (const char* total : {"Label5", "Label7", "Label3"}) e->SetPageLabel(total, QStringLiteral("0"));
    for (QComboBox* combo : {e->ComboBox3, e->ComboBox4, e->ComboBox5}) combo->setEditText(QString());
    e->MaskEdit2->setText(QStringLiteral("0000000001"));
    e->SpeedButton2->setEnabled(false);
    e->Edit8->setText(QString());
    e->Edit10->setText(QString());
    e->SetPageLabel("Label18", QString());
    platform::StringGrid* items = e->StringGrid1;
    for (int r = 1; r < items->RowCount(); ++r)
        for (int c = 0; c <= 5; ++c) items->SetCell(c, r, QString());
    items->SetRowCount(2);
    platform::StringGrid* notes = e->StringGrid2;
    for (int r = 1; r < notes->RowCount(); ++r)
        for (int c = 0; c <= 2; ++c) notes->SetCell(c, r, QString());
    notes->hide();
    for (QLabel* total : {e->Label7, e->Label4, e->Label11}) total->setText(QStringLiteral("0"));
    e->Edit9->setText(QStringLiteral("20%"));
    e->Save->setEnabled(true);
    e->ListBox1->hide();
    // Shown before it is filled, so that the user sees it at once.
    e->Show();
    e->LoadFirmFields();
    e->LoadBankFields();
    e->ResetNewDocument();
    e->SetPrinted(false);
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
    const QString manual = platform::Path(platform::PathKind::Manual);
    if (!platform::FileExists(manual)) {
        platform::ShowMessage(QStringLiteral("Ръководството липсва: файлът „%1“ не е намерен.").arg(manual));
        return;
    }
    if (!platform::OpenDocument(manual))
        platform::ShowMessage(QStringLiteral("Ръководството не може да бъде отворено: на този компютър няма програма, "
                                             "която отваря PDF файлове. Инсталирайте такава програма или отворете "
                                             "ръководството ръчно. То е във файла „%1“.")
                                  .arg(QDir::toNativeSeparators(manual)));
}

void TMain::FilePrinterSetupClick() { platform::PrinterSetupDialog(platform::Printer(), this); }

void TMain::SpeedButton2Click() { Close(); }

void TMain::FormShow() {
    if (SplashForm) SplashForm->Close();
}

void TMain::FormClose() { QCoreApplication::exit(1); }
