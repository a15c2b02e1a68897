#include "registers/GoodsCard.h"

#include "data/DataModule.h"
#include "platform/DataControls.h"
#include "platform/Handlers.h"
#include "registers/DocumentRegister.h"
#include "registers/GoodsList.h"

#include <QGuiApplication>
#include <QScreen>

TEditStockForm* EditStockForm = nullptr;

TEditStockForm::TEditStockForm(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
    data::DataSource* goods = &DataModule1->DataSource4;
    DBMemo1->SetDataSource(goods);
    DBEdit4->SetDataSource(goods);
    DBEdit2->SetDataSource(goods);
    DBEdit5->SetDataSource(goods);
    Navigator->SetDataSource(goods);
    DBNavigator1->SetDataSource(goods);
    DBEdit4->addItems({QStringLiteral("бр."), QStringLiteral("кг."), QStringLiteral("л.")});
    DBEdit2->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5"), QStringLiteral("10"),
                       QStringLiteral("20"), QStringLiteral("50"), QStringLiteral("100")});
    SetDefaultButton(OKButton);
    SetCancelButton(CancelButton);
    connect(OKButton, &QPushButton::clicked, this, platform::Handler(this, &TEditStockForm::OKButtonClick));
    connect(CancelButton, &QPushButton::clicked, this, platform::Handler(this, &TEditStockForm::CancelButtonClick));
}

void TEditStockForm::FormShow() { Label2->setText(QStringLiteral("К-во") + QChar(10) + QStringLiteral("склад")); }

void TEditStockForm::OKButtonClick() {
    if (DBMemo1->Text().isEmpty()) {
        CancelButtonClick();
        return;
    }
    // A save that fails is shown, and the card stays open with what was typed.
    data::DataSet& stock = DataModule1->stock;
    stock.Edit();
    stock.FieldByName(QStringLiteral("pnom")).SetAsString(DataModule1->NextRecordKey());
    stock.FieldByName(QStringLiteral("Qty")).SetAsString(DBEdit2->currentText());
    stock.Post();
    Close();
}

void TEditStockForm::CancelButtonClick() {
    if (DataModule1->stock.Active()) DataModule1->stock.Cancel();
    Close();
}

void TEditStockForm::FormClose() {
    try {
        data::DataSet& stock = DataModule1->stock;
        if (!stock.Active()) return;
        stock.Cancel();
        Stocks->StringGrid1->SetRow(stock.RecNo());
    } catch (...) {
        // The card closes whatever happens here.
    }
}
