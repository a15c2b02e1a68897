#include "registers/GoodsList.h"

#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "documents/DocumentEditor.h"
#include "documents/PrintedPage.h"
#include "platform/DataControls.h"
#include "platform/Handlers.h"
#include "registers/DocumentRegister.h"
#include "registers/GoodsCard.h"

#include <QGuiApplication>
#include <QScreen>

TStocks* Stocks = nullptr;

namespace {

// The design widths of the editor's line-item grid (columns 0-5) and of the
// printed page's two item grids (0-5 and 0-7), kept for the editor's later use.
void RecordColumnWidths(TOrderForm* editor, TDoc* page) {
    for (int c = 0; c <= 5; ++c) editor->ColumnWidths.append(QString::number(editor->StringGrid1->ColWidth(c)));
    for (int c = 0; c <= 5; ++c) editor->ColumnWidths.append(QString::number(page->StringGrid2->ColWidth(c)));
    for (int c = 0; c <= 7; ++c) editor->ColumnWidths.append(QString::number(page->StringGrid4->ColWidth(c)));
}

// Puts goods row `row` of the list into the editor's last line through the
// editor's own goods look-up.
void AddGoodsToEditor(TOrderForm* editor, int row) {
    platform::StringGrid* grid = editor->StringGrid1;
    const int last = grid->RowCount() - 1;
    if (!grid->Cell(1, last).isEmpty()) grid->SetRowCount(grid->RowCount() + 1);
    grid->SetCurrentCell(grid->ColCount() - 1, grid->RowCount() - 1);
    platform::Click(editor->StringGrid1Button);
    editor->ListBox1->setCurrentRow(row - 1);
    editor->ListBox1Click();
    editor->ListBox1->setVisible(false);
}

}  // namespace

TStocks::TStocks(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    DBMemo1->SetDataSource(&DataModule1->DataSource4);
    DBNavigator2->SetDataSource(&DataModule1->DataSource4);
    SetDefaultButton(CloseBtn);
    SetCancelButton(CloseBtn);
    connect(EditBtn, &QPushButton::clicked, this, platform::Handler(this, &TStocks::StringGrid1DblClick));
    connect(Button1, &QPushButton::clicked, this, platform::Handler(this, &TStocks::Button1Click));
    connect(Button2, &QPushButton::clicked, this, platform::Handler(this, &TStocks::Button2Click));
    connect(CloseBtn, &QPushButton::clicked, this, platform::Handler(this, &TStocks::CloseBtnClick));
    StringGrid1->OnClick = platform::Handler(this, &TStocks::StringGrid1Click);
    StringGrid1->OnDblClick = platform::Handler(this, &TStocks::StringGrid1DblClick);
}

void TStocks::FormCreate() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
    StringGrid1->SetRowTexts(0, {QStringLiteral("Кратко описание на стока/услуга"), QStringLiteral("Мярка"),
                                 QStringLiteral("К-во"), QStringLiteral("Цена")});
    if (OrderForm && Doc) RecordColumnWidths(OrderForm, Doc);
}

void TStocks::StringGrid1Click() { DataModule1->stock.SetRecNo(StringGrid1->Row()); }

void TStocks::StringGrid1DblClick() {
    DataModule1->stock.SetRecNo(StringGrid1->Row());
    EditStockForm->Show();
}

void TStocks::Button2Click() {
    data::DataSet& stock = DataModule1->stock;
    {
        data::PostGuard guard(stock);
        stock.Append();
        stock.FieldByName(QStringLiteral("pnom")).SetAsString(DataModule1->NextRecordKey());
        guard.Post();
    }
    stock.Refresh();
    EditStockForm->Show();
}

void TStocks::Button1Click() {
    if (StringGrid1->Cell(0, StringGrid1->Row()).isEmpty()) return;
    if (!OrderForm->isVisible()) platform::Click(Main->OrderBtn);
    AddGoodsToEditor(OrderForm, StringGrid1->Row());
}

void TStocks::CloseBtnClick() { Close(); }
