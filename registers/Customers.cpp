#include "registers/Customers.h"

#include "data/DataModule.h"
#include "platform/DataControls.h"
#include "platform/Handlers.h"
#include "registers/ColumnFit.h"
#include "registers/CustomerCard.h"
#include "registers/DocumentRegister.h"
#include "registers/ListRules.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

#include <functional>
#include <utility>

TCustForm* CustForm = nullptr;

TCustForm::TCustForm(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    Navigator->SetDataSource(&DataModule1->DataSource1);
    Navigator->OnClick = platform::Handler(this, &TCustForm::NavigatorClick);
    for (platform::DBEdit* e : {DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6})
        e->SetDataSource(&DataModule1->DataSource6);
    DBEdit7->SetDataSource(&DataModule1->DataSource1);

    connect(Button1, &QPushButton::clicked, this, platform::Handler(this, &TCustForm::Button1Click));
    connect(Button2, &QPushButton::clicked, this, platform::Handler(this, &TCustForm::Button2Click));
    connect(Button3, &QPushButton::clicked, this, platform::Handler(this, &TCustForm::Button3Click));
    connect(EditBtn, &QPushButton::clicked, this, platform::Handler(this, &TCustForm::EditBtnClick));
    connect(CloseBtn, &QPushButton::clicked, this, platform::Handler(this, &TCustForm::CloseBtnClick));
    SetDefaultButton(CloseBtn);
    SetCancelButton(CloseBtn);
    StringGrid2->OnClick = platform::Handler(this, &TCustForm::StringGrid2Click);
    StringGrid2->OnDblClick = platform::Handler(this, &TCustForm::EditBtnClick);
    // A key is handled before the grid moves its selection.
    StringGrid2->OnKeyDown = platform::Handler(this, &TCustForm::DBGrid1KeyDown);
    StringGrid1->OnDblClick = platform::Handler(this, &TCustForm::Button1Click);
}

void TCustForm::FormCreate() {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    StringGrid2->SetRowTexts(0, {QStringLiteral("No"), QStringLiteral("Фирма"), QStringLiteral("Телефон")});
    StringGrid1->SetRowTexts(0, {QStringLiteral("Доставчик"), QStringLiteral("No"), QStringLiteral("Документ"),
                                 QStringLiteral("От дата"), QStringLiteral("Стойност")});
    FitDocumentColumns();
}

void TCustForm::FitDocumentColumns() {
    constexpr int kColumns = 5;   // the visible ones; the record number lies beyond
    constexpr int kTextMargin = 8;  // around a cell's text
    platform::StringGrid* grid = StringGrid1;
    QTableView* view = grid->View();
    const QFontMetrics metrics(view->font());
    std::vector<int> needed(kColumns, 0);
    for (int r = 0; r < grid->RowCount(); ++r)
        for (int c = 0; c < kColumns; ++c)
            needed[c] = std::max(needed[c], metrics.horizontalAdvance(grid->Cell(c, r)) + kTextMargin);
    // Room inside the frame, less one grid line a column, less the vertical
    // scroll bar when the rows need it. (The view fills the grid, also before
    // the window is first shown.)
    int room = grid->width() - 2 * view->frameWidth() - kColumns;
    const int rowsHeight = grid->RowCount() * (grid->DefaultRowHeight() + 1);
    if (rowsHeight > grid->height() - 2 * view->frameWidth())
        room -= view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view->verticalScrollBar());
    const std::vector<int> widths = registers::FitColumnWidths(needed, room, {0, 2}, 0);
    for (int c = 0; c < kColumns; ++c) grid->SetColWidth(c, widths[c]);
}

bool TCustForm::ChooseCustomer() {
    // A row below the listed customers holds none.
    const std::optional<int> recNo = registers::WholeNumber(StringGrid2->Cell(4, StringGrid2->Row()));
    if (recNo) DataModule1->cust.SetRecNo(*recNo);
    return recNo.has_value();
}

void TCustForm::StringGrid2Click() {
    if (ChooseCustomer())
        DataModule1->cust.Refresh();
    else
        KeepCurrentCustomerChosen();
}

void TCustForm::KeepCurrentCustomerChosen() {
    // A row under the list (reached by Down on the last customer, say) holds
    // no customer: the chosen row goes back to the customer the card and the
    // documents show. A customer the list leaves out (no number) has no row.
    const QString current = QString::number(DataModule1->cust.RecNo());
    for (int r = StringGrid2->FixedRows(); r < StringGrid2->RowCount(); ++r) {
        if (StringGrid2->Cell(4, r) != current) continue;
        // Choosing the row in code chooses nothing more: the customer is chosen already.
        const std::function<void()> onClick = std::exchange(StringGrid2->OnClick, nullptr);
        StringGrid2->SetRow(r);
        StringGrid2->OnClick = onClick;
        return;
    }
}

void TCustForm::DBGrid1KeyDown() { StringGrid2Click(); }

void TCustForm::EditBtnClick() {
    if (!ChooseCustomer()) return;
    EditCustForm->Show();
}

void TCustForm::Button3Click() { EditCustForm->Show(); }

void TCustForm::Button2Click() {
    data::DataSet& cust = DataModule1->cust;
    cust.Append();
    cust.FieldByName(QStringLiteral("pnom")).SetAsString(DataModule1->NextRecordKey());
    EditCustForm->TotalLabel->setText(QStringLiteral("0 лв."));
    EditCustForm->LastLabel->setText(QStringLiteral("няма"));
    EditCustForm->Show();
}

void TCustForm::Button1Click() {
    if (!Panel2->isHidden()) return;
    OpenStoredDocument(registers::WholeNumber(StringGrid1->Cell(5, StringGrid1->Row())).value_or(0));
}

// The documents follow the customer moved to; the refresh keeps it current
// and shows its row chosen.
void TCustForm::NavigatorClick() { DataModule1->cust.Refresh(); }

void TCustForm::CloseBtnClick() { Close(); }
