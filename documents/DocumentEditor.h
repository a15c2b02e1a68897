#pragma once
// The document editor: one document at a time, laid out on its page panel
// Panel3 roughly where the printed page shows each text. Title, number and
// date, the own firm and the customer, line items, VAT basis, dates, payment,
// bank account, recipient and issuer. Created once, shown and hidden.

#include "documents/DocumentColumns.h"
#include "documents/PageLanguage.h"
#include "platform/Form.h"
#include "platform/SystemClock.h"
#include "ui_DocumentEditor.h"

#include <QHash>
#include <QStringList>
#include <optional>

class QLineEdit;
class QAbstractButton;
class TDoc;

namespace data {
class DataSet;
}

class TOrderForm : public platform::Form, public Ui::TOrderForm {
    Q_OBJECT
public:
    explicit TOrderForm(QWidget* parent = nullptr);
    ~TOrderForm() override;

    // Scratch time into which every record-key writer reads the clock.
    platform::SystemTime* KeyTime;
    // Design column widths as texts: 0-5 this editor's item grid, 6-11 the
    // printed page's item grid, 12-19 its bilingual item grid (filled by the
    // goods window's creation).
    QStringList ColumnWidths;
    // The selected cell of the item grid.
    int CurrentItemCol = 0;
    int CurrentItemRow = 0;
    // Whether the lookup list serves the goods column (else a party edit).
    bool GoodsLookupMode = false;

    void FormCreate() override;

    // Frame and new document.
    void ResetNewDocument();
    void SpeedButton4Click();
    void CheckBox6Click();
    void DBText7Change();
    void StringGrid2SetEditText();
    void OrderBtnClick();
    void SpeedButton5Click();
    void SpeedButton7Click();

    // Parties and the lookup list.
    void Edit1Change(QLineEdit* edit);
    void Edit8Change();
    void SpeedButton1Click(QAbstractButton* button);
    void ListBox1Click();
    void HeaderPanelClick();
    void FillLookupList(QLineEdit* edit);
    void PlaceLookupList(QWidget* edit);
    void TakeLookupEntry(int index);
    void StringGrid1SelectCell(int col, int row, bool& canSelect);
    void StringGrid1ButtonClick();
    void OpenGoodsList(const QString* typed);
    void StringGrid1SetEditText(int col, int row, const QString& text);
    void FilterGoodsList();
    bool CheckIdentificationNumber(const QString& text);
    // Saves the shown customer; with a sender (the button) it says so.
    void SpeedButton3Click(QObject* sender);

    // Line items.
    void SetItemColumnWidths();
    void CheckBox7Click();
    void RecalculateLineItems();
    void RenumberLineItems();
    void MoveDownOrAppendRow();
    void MoveUpOrDropEmptyRow();

    // Header fields.
    void ComboBox2Change();
    void EDateChange();
    void CheckBox4Click();
    void ComboBox1Change();
    void EDate4Change();
    void CheckBox5Click();
    void ComboBox4Change();
    void ComboBox5Change();
    void SpeedButton2Click();
    void CheckBox1Click();
    void CheckBox2Click();
    void EDate2Change();
    void EDate3Change();
    void ComboBox3Change();
    void ComboBox3KeyDown(int key);
    void ComboBox3Select(int index);
    void StringGrid2SelectCell();
    void DBGrid1CellClick(int column);
    // The VAT rate changed: recomputes every line and the totals.
    void Edit9Change();

    // Own firm, bank account, numbering.
    void LoadFirmFields();
    void LoadBankFields();
    void NextDocumentNumber();
    void DBNavigator1Click();
    void DBNavigator2Click();

    // Copies the editor onto the printed page; show 1 also shows the page.
    void RebuildDocumentView(bool show);
    // The label's caption := the text cut into lines of width (PageRules).
    void WrapTextToLines(QString text, QLabel* label, QWidget* container, int width);

    // Document language: one handler for the three language buttons.
    void RadioButton1Click(QAbstractButton* sender);
    // The language whose button is checked; none while no button is.
    std::optional<PageLanguage> ChosenLanguage() const;
    void CheckBox8Click();
    void PrintClick();

    // Preview, save and load of the stored document. Without a sender (the
    // print options run them) the save overwrites without asking.
    void ViewClick(QObject* Sender = nullptr);
    void SaveClick(QObject* Sender = nullptr);
    void SaveDocument(bool ask);
    // Opens STORE record n (1-based) in the editor; n <= 0 does nothing.
    void LoadDocument(int n);
    // The printed mark that is stored (CheckBox3) and its caption: "Отпечатан"
    // in blue or "Неотпечатан" in red.
    void SetPrinted(bool printed);

    // The page's label of that name, or nullptr while the page has none.
    QLabel* PageLabel(const char* name) const;
    void SetPageLabel(const char* name, const QString& text) const;

protected:
    void FormShow() override;
    void FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void EnableSave() { Save->setEnabled(true); }
    void RecalculateThroughVatRate();  // Edit9 to "" and back
    void FillGoodsRow(int row);
    void NormalizeNumberCell(int col, int row, QStringList& notices);
    // The item cell the user is in, its text when the lines were last
    // computed, and whether the user has typed into it since entering it.
    int enteredCol_ = -1;
    int enteredRow_ = -1;
    QString enteredText_;
    bool enteredTyped_ = false;
    QString NoteLine() const;
    int ValueColumn() const { return StringGrid1->ColCount() == 6 ? 5 : 6; }
    void SetRemembered(int line, const QString& text);
    // Ties the hidden logos, the navigators, the currency grid and the memos
    // to the data module's sources (once; the data module is made after the editor).
    void BindDataControls();
    bool bound_ = false;
    void ApplyColumnWidthEntries(const char* gridName, int first, int count);
    // Wires the view, print, bold and language controls.
    // Wires the header fields: title, number, dates, note, payment, VAT rate and reasons.
    void ConnectHeaderFields();
    void ConnectViewAndLanguage();

    // The save's steps, in the order SaveDocument runs them.
    int FindPageFirm();
    int FindEarlierRecord(const QString& title);
    bool MayOverwrite(const QString& title, bool ask);
    void WriteDocumentFields(const QString& title, int firmIndex, bool isNew);
    bool RaiseCounterAndPost(const QString& title, bool networked);
    // The load's steps: a STORE record's texts by upper-case column name.
    using StoredRecord = QHash<QString, QString>;
    void LoadLanguageAndCurrency(const StoredRecord& record);
    void LoadColumns(const StoredRecord& record, DocumentColumn::Load step);
    void LoadOwnFirm(int firmIndex);
    void LoadGrids(const StoredRecord& record);
    // The printed page's parts, as RebuildDocumentView fills them.
    void ViewHeading(TDoc* d);
    void ViewTotals(TDoc* d, std::optional<PageLanguage> language);
    void ViewLineItems(TDoc* d, std::optional<PageLanguage> language);
    void ViewNumberAndDates(TDoc* d, std::optional<PageLanguage> language);
    void ViewRecipientPaymentAndBank(TDoc* d);
    void ViewCustomer(TDoc* d);
    void ViewSupplier(TDoc* d);
    void ViewNoteTable(TDoc* d);
    void ViewAmountInWords(TDoc* d, std::optional<PageLanguage> language);
};

extern TOrderForm* OrderForm;

// The data set of the data module with that component name ("cust",
// "employee", "stock", ...). Throws when there is none.
data::DataSet* LookupDataSet(const QString& name);
