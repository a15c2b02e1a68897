#pragma once
// The document editor: one document at a time, laid out on its page panel
// Panel3 roughly where the printed page shows each text. Title, number and
// date, the own firm and the customer, line items, VAT basis, dates, payment,
// bank account, recipient and issuer. Created once, shown and hidden.

#include "documents/DocumentColumns.h"
#include "documents/ItemColumns.h"
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

// The window's controls (forms/DocumentEditor.ui). The page panel Panel3 in
// PageArea of ScrollBox holds them roughly where the printed page shows each text.
//   Command column Panel1:
//   Save          "Запази документа": saves the document (enabled by every change)
//   Print         "Отпечатай документа": the print options
//   View          "Преглед": the printed page
//   OrderBtn      "Нов Документ": the main window's new document
//   SpeedButton5  "Стоки и Услуги": the goods list
//   SpeedButton7  "Клиенти": the customers
//   SpeedButton4  "Изход": closes the editor
//   Edit4         hidden: customer number (Label10 "Клиент №"), with BitBtn3
//   Edit5         hidden: customer group (Label12 "Група"), with BitBtn4
//   Label13, Label14  hidden captions "Фактура №", "Проформа №"
//   MemoStore     hidden: the line items as stored (STORE.STOCKS)
//   MemoStr       hidden: the note's account table as stored (STORE.STR2)
//   State:
//   Panel2        printed caption, "Отпечатан" in blue or "Неотпечатан" in red
//   CheckBox6     "платено": the paid flag
//   CheckBox3     hidden "Printed ?": the printed flag that is stored
//   Header, number and language:
//   Header        the frame of the title, number and date
//   ComboBox2     document title ("ФАКТУРА", "INVOICE", ...)
//   Label84       "Оригинал"
//   Label83       "№" and "/Дата:" around the number
//   MaskEdit1     document number, ten digits
//   EDate         document date
//   GroupBox1     "Език на документа", the language of the page:
//   RadioButton1  "Български език"
//   RadioButton2  "Английски език"
//   RadioButton3  "Български и Английски език"
//   CheckBox9     "Вземи най-новия номер (работа в мрежа)": networked numbering switch
//   Credit or debit note Panel4:
//   CheckBox4     "  Известие": enables the note kind, date and number
//   ComboBox1     note kind: empty, "Кредитно известие", "Дебитно известие"
//   EDate4        date of the invoice the note refers to
//   Label63       "към фактура №"
//   MaskEdit2     number of the invoice the note refers to
//   Customer (Label2 "КЛИЕНТ"; captions Label200 to Label204), each edit with
//   its list button right beside it:
//   Edit1         customer name, SpeedButton1
//   Edit3         customer address, BitBtn2
//   Edit2         customer's responsible person, BitBtn1
//   Edit7         customer's identification number, BitBtn5
//   Label1        "Валиден" or "Невалиден": the check of Edit7
//   Edit6         customer's VAT number, BitBtn6
//   SpeedButton3  "Запази": saves the shown customer into the customers
//   Bevel1        the line above the second-language customer
//   Edit12        second-language customer name (Label3), BitBtn8
//   Edit13        second-language customer address (Label6), BitBtn9
//   Edit14        second-language responsible person (Label5), BitBtn10
//   Supplier, the own firm (Label22 "ДОСТАВЧИК"; captions Label205 to Label210):
//   DBImage1      the own firm's logo on the page
//   DBNavigator1  prior, next and refresh over the own firms
//   DBText1       own firm's name
//   DBText8       own firm's address
//   DBText2       own firm's responsible person
//   DBText5       own firm's identification number
//   DBText6       own firm's VAT number
//   DBText7       place of issue (editable)
//   Edit17        hidden: second-language own firm's name
//   Edit18        hidden: second-language own firm's address
//   Edit19        hidden: second-language responsible person
//   Edit20        hidden: second-language place of issue
//   DBText3       hidden: the invoice counter (INVOICENO)
//   DBText4       hidden: the pro forma counter (PROFORMANO)
//   Edit11        hidden: the protocol counter (VOP)
//   DBImage2      hidden: the own firm's Bulgarian logo (LOGO)
//   DBImage3      hidden: the own firm's English logo (LOGO2)
//   Line items:
//   StringGrid1   the line items: number, description, unit, quantity, unit
//                 price, [discount %,] value
//   StringGrid1Button  the in-cell button of the description column: the goods list
//   CheckBox7     "отстъпка %": the discount column
//   CheckBox8     "Bold": bold line items
//   VAT basis, dates, payment and bank, Memo4:
//   CheckBox5     "Основание": enables the VAT article, reason and "?"
//   ComboBox4     VAT article
//   SpeedButton2  "?": the texts of the VAT articles
//   ComboBox5     VAT reason
//   EDate2        date of the tax event (Label211), given while CheckBox1 is on
//   EDate3        date of payment (Label212), given while CheckBox2 is on
//   ComboBox3     payment method (Label213)
//   Bank          bank of the account (Label214)
//   Label18       "Сметка"
//   DBNavigator2  prior, next and refresh over the bank accounts
//   IBAN          IBAN of the account (Label215)
//   SWIFT         SWIFT/BIC of the account (Label216)
//   Totals Panel6:
//   Label7        tax base (Label217 "Данъчна основа:")
//   Edit9         VAT rate, "20%" (Label218 "ДДС"); its change recomputes the lines
//   Label4        VAT
//   Label11       sum to pay (Label219 "Сума за плащане:")
//   StringGrid2   hidden: the note's account table, "№", account, "Сума"
//   Signatures:
//   Edit8         recipient (Label220 "Получил:")
//   Edit10        issuer (Label221 "Съставил:"), BitBtn7
//   Edit15        second-language recipient (Label8 "Recipient:")
//   Edit16        second-language issuer (Label9 "Issuer:"), BitBtn11
//   Currency of English documents:
//   DBGrid1       currency and rate (CURRENCY, COURSE)
//   DBNavigator   insert, delete and refresh of the currencies
//   ListBox1      the type-ahead list (LookupList) under the edit it serves
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
    // What became of a save that raised no error.
    enum class SaveOutcome {
        Stored,        // the document is stored
        Declined,      // the user answered the overwrite question other than Yes
        OwnerRefused,  // the stored document is another user's: it keeps its values
        NotStored,     // refused and told (another work place's change): nothing is stored
    };
    void ViewClick(QObject* Sender = nullptr);
    SaveOutcome SaveClick(QObject* Sender = nullptr);
    SaveOutcome SaveDocument(bool ask);
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
    // The invoice a note corrects: its date and number, in Bulgarian for the
    // one-language page and in both languages for the two-language page.
    QString NoteLine() const;
    QString BilingualNoteLine() const;
    // Both pages' note lines written from the note's date and invoice number.
    void WriteNoteLines();
    int ValueColumn() const { return ItemColumn::Value(StringGrid1->ColCount()); }
    void SetRemembered(int line, const QString& text);
    // Ties the hidden logos, the navigators, the currency grid and the memos
    // to the data module's sources (once; the data module is made after the editor).
    void BindDataControls();
    bool bound_ = false;
    void ApplyColumnWidthEntries(const char* gridName, int first, int count);
    // Wires the header fields: title, number, dates, note, payment, VAT rate and reasons.
    void ConnectHeaderFields();
    // Wires the view, print, bold and language controls.
    void ConnectViewAndLanguage();

    // The save's steps, in the order SaveDocument runs them.
    int FindPageFirm();
    int FindEarlierRecord(const QString& title);
    SaveOutcome MayOverwrite(const QString& title, bool ask);
    void NameUnsettledDocument();
    void WriteDocumentFields(const QString& title, int firmIndex, bool isNew);
    bool RaiseCounterAndPost(const QString& title, bool networked);
    // The load's steps: a STORE record's texts by upper-case column name.
    using StoredRecord = QHash<QString, QString>;
    void LoadLanguageAndCurrency(const StoredRecord& record);
    void LoadColumns(const StoredRecord& record, DocumentColumn::Load step);
    void LoadOwnFirm(int firmIndex);
    void ShowFirmLogo();
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
