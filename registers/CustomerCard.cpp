#include "registers/CustomerCard.h"

#include "data/DataModule.h"
#include "platform/DataControls.h"
#include "platform/Handlers.h"
#include "registers/DocumentRegister.h"

TEditCustForm* EditCustForm = nullptr;

TEditCustForm::TEditCustForm(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    for (platform::DBEdit* e : findChildren<platform::DBEdit*>()) e->SetDataSource(&DataModule1->DataSource1);
    DBNavigator->SetDataSource(&DataModule1->DataSource1);
    DBNavigator->OnClick = platform::Handler(this, &TEditCustForm::DBNavigatorClick);
    DBNavigator1->SetDataSource(&DataModule1->DataSource1);
    SetDefaultButton(OKButton);
    SetCancelButton(CancelButton);
    connect(OKButton, &QPushButton::clicked, this, platform::Handler(this, &TEditCustForm::OKButtonClick));
    connect(CancelButton, &QPushButton::clicked, this, platform::Handler(this, &TEditCustForm::CancelButtonClick));
}

void TEditCustForm::OKButtonClick() {
    data::DataSet& cust = DataModule1->cust;
    cust.Edit();
    cust.FieldByName(QStringLiteral("pnom")).SetAsString(DataModule1->NextRecordKey());
    cust.Post();
    Close();
}

// Also a new first customer is dropped: left in insertion, it would be stored
// by the next move or refresh.
void TEditCustForm::CancelButtonClick() {
    if (DataModule1->cust.Active()) DataModule1->cust.Cancel();
    Close();
}

void TEditCustForm::FormClose() {
    if (DataModule1->cust.Active()) DataModule1->cust.Cancel();
}

// The refresh fills the open customer list with the documents of the
// customer moved to, which stays current, and shows its row chosen.
void TEditCustForm::DBNavigatorClick() { DataModule1->cust.Refresh(); }
