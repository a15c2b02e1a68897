#pragma once
// The customer list: all customers on the left, the documents issued to the
// chosen one on the right, from which a document opens in the editor. Both
// grids are filled by the data module's refresh of the customers.

#include "platform/Form.h"
#include "ui_Customers.h"

class TCustForm : public platform::Form, public Ui::TCustForm {
    Q_OBJECT
public:
    explicit TCustForm(QWidget* parent = nullptr);

    void FormCreate() override;

    void StringGrid2Click();
    void DBGrid1KeyDown();
    void EditBtnClick();
    void Button3Click();
    void Button2Click();
    void Button1Click();
    void NavigatorClick();
    void CloseBtnClick();

    // Sizes the documents grid's columns to their texts within the grid:
    // dates, numbers and amounts whole, the supplier and the title giving way
    // when the room is short; no column runs past the grid.
    void FitDocumentColumns();

private:
    // Makes the customer of the grid's selected row current; false when the row holds none.
    bool ChooseCustomer();
};

extern TCustForm* CustForm;
