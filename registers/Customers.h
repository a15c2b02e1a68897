#pragma once
// The customer list: all customers on the left, the documents issued to the
// chosen one on the right, from which a document opens in the editor. Both
// grids are filled by the data module's refresh of the customers.

#include "platform/Form.h"
#include "ui_Customers.h"

// The window's controls (forms/Customers.ui):
//   Navigator    first, prior, next, last and refresh over the customers
//   Button2      "Нов запис": a new customer in the card
//   Button3      "Редактирай": the current customer in the card
//   StringGrid2  the customer grid: number, company, phone; the record number in column 4
//   Label1       "Списък на фактурите, проформите... на избраната фирма:"
//   StringGrid1  the chosen customer's documents: supplier, number, title,
//                date, total; the STORE record number in column 5
//   Panel2       "Няма издадени документи на тази фирма", over StringGrid1
//   EditBtn      "Виж избраната фирма": the grid's customer in the card
//   Button1      "Виж избрания документ": opens the chosen document in the editor
//   CloseBtn     "Затвори"
//   Hidden fields through which the refresh of the customers reads the rows:
//   DBEdit1      document's supplier (STORE SUPPLIER1)
//   DBEdit2      document's number (STORE NUM)
//   DBEdit3      document's title (STORE DOCUMENT)
//   DBEdit4      document's date (STORE FROMDATE)
//   DBEdit5      document's total (STORE TOTAL)
//   DBEdit6      document's customer ID (STORE IDCUST)
//   DBEdit7      customer's ID (CUSTOMER ID)
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
    // The grid's chosen row back on the current customer's row, when it has one.
    void KeepCurrentCustomerChosen();
};

extern TCustForm* CustForm;
