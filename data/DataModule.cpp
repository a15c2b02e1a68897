#include "data/DataModule.h"

#include "app/MainWindow.h"
#include "data/Schema.h"
#include "data/DataFolderSetUp.h"
#include "data/WorkPlace.h"
#include "data/WorkPlaceText.h"
#include "documents/DocumentEditor.h"
#include "platform/Paths.h"
#include "platform/SystemClock.h"
#include "platform/TextFile.h"
#include "platform/DataControls.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/LocaleText.h"
#include "registers/CustomerCard.h"
#include "registers/Customers.h"
#include "registers/DocumentRegister.h"
#include "registers/GoodsList.h"
#include "registers/IncomeRule.h"
#include "registers/IncomeStatistics.h"
#include "registers/ListRules.h"
#include "registers/RegisterColumns.h"
#include "registers/StoreRows.h"

#include <algorithm>
#include <QFileInfo>
#include <QSet>
#include <QSignalBlocker>

TDataModule1* DataModule1 = nullptr;

using data::DataSet;

TDataModule1::TDataModule1(QObject* parent) : QObject(parent) {
    IBTransaction1.SetDefaultDatabase(&IBDatabase1);
    IBTransaction1.Params = {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")};
    IBSQL1.DatabaseRef = &IBDatabase1;
    IBDatabase1.Reconnect = [this] { ConnectAgain(); };
    IBSQL1.TransactionRef = &IBTransaction1;

    for (data::TTable* t : ParadoxTables()) t->SetDatabaseName(platform::Path(platform::PathKind::DataFolder));

    SetUpDataSet(cust, "customer", DataSource1);
    SetUpDataSet(firm, "firm", DataSource2);
    SetUpDataSet(details, "details", DataSource3);
    SetUpDataSet(stock, "stock", DataSource4);
    SetUpDataSet(employee, "employee", DataSource5);
    SetUpDataSet(store, "store", DataSource6);
    SetUpDataSet(currency, "currency", DataSource7);
    SetUpDataSet(user, "userp", DataSource8);

    auto bind = [this](DataSet& ds, void (TDataModule1::*keyHandler)(DataSet&), void (TDataModule1::*afterPost)(DataSet&),
                       void (TDataModule1::*afterCancel)(DataSet&), void (TDataModule1::*afterDelete)(DataSet&),
                       void (TDataModule1::*afterRefresh)(DataSet&)) {
        auto call = [this](void (TDataModule1::*h)(DataSet&)) { return [this, h](DataSet& d) { (this->*h)(d); }; };
        ds.OnNewRecord = ds.AfterInsert = ds.BeforePost = call(keyHandler);
        ds.AfterPost = call(afterPost);
        ds.AfterCancel = call(afterCancel);
        ds.AfterDelete = call(afterDelete);
        ds.AfterRefresh = call(afterRefresh);
        ds.AfterRefreshFetchesAll = true;  // each refresh handler opens its data set anew
    };
    using M = TDataModule1;
    bind(cust, &M::custBeforePost, &M::custAfterPost, &M::custAfterPost, &M::custAfterPost, &M::custAfterRefresh);
    bind(firm, &M::firmBeforePost, &M::firmAfterCancel, &M::firmAfterCancel, &M::firmAfterCancel, &M::firmAfterRefresh);
    bind(details, &M::detailsBeforePost, &M::firmAfterCancel, &M::firmAfterCancel, &M::firmAfterCancel,
         &M::detailsAfterRefresh);
    bind(stock, &M::stockBeforePost, &M::stockAfterPost, &M::stockAfterCancel, &M::stockAfterDelete,
         &M::stockAfterRefresh);
    stock.OnCalcFields = [this](DataSet& d) { stockCalcFields(d); };
    bind(employee, &M::employeeBeforePost, &M::firmAfterCancel, &M::firmAfterCancel, &M::firmAfterCancel,
         &M::employeeAfterRefresh);
    bind(store, &M::storeBeforePost, &M::storeAfterDelete, &M::firmAfterCancel, &M::storeAfterDelete,
         &M::storeAfterRefresh);
    bind(currency, &M::currencyBeforePost, &M::firmAfterCancel, &M::firmAfterCancel, &M::firmAfterCancel,
         &M::currencyAfterRefresh);
    bind(user, &M::userBeforePost, &M::firmAfterCancel, &M::firmAfterCancel, &M::firmAfterCancel,
         &M::userAfterRefresh);
    Tstock.SetGetTextHandler(QStringLiteral("Описание на стока/услуга"), [this] { return TstockBDEDesigner2GetText(); });
}

TDataModule1::~TDataModule1() {
    try {
        DataModuleDestroy();
        IBTransaction1.SetActive(false);
        IBDatabase1.Close();
    } catch (...) {
        // The process is ending; a connection that breaks now has nothing left to save.
    }
}

void TDataModule1::SetUpDataSet(DataSet& ds, const char* table, data::DataSource& source) {
    const data::DataSetStatements s = data::StatementsFor(data::SchemaTable(QString::fromLatin1(table)));
    ds.Name = QString::fromLatin1(table).toUpper();
    ds.SelectSQL = s.select;
    ds.InsertSQL = s.insert;
    ds.ModifySQL = s.modify;
    ds.DeleteSQL = s.remove;
    ds.RefreshSQL = s.refresh;
    ds.SetDatabase(&IBDatabase1);
    ds.SetTransaction(&IBTransaction1);
    // A posted row whose key another work place has taken gets the next one.
    ds.NewKey = [this] { return GenerateKeys ? NextRecordKey() : QString(); };
    source.DataSetRef = &ds;
}

QString TDataModule1::AdminPassword() {
    const QString env = qEnvironmentVariable("QUILLANE_SYSDBA_PASSWORD");
    return env.isEmpty() ? QStringLiteral("masterkey") : env;
}

// ---------------------------------------------------------------- location and connection

std::vector<data::TTable*> TDataModule1::ParadoxTables() {
    return {&Tcust, &Tfirm, &Tdetails, &Tstock, &Temployee, &Tstore, &Tcurrency, &TTableae};
}

bool TDataModule1::LocalWorkPlace() { return !Form8 || Form8->RadioButton1->isChecked(); }

void TDataModule1::OpenDatabaseLocation(const QString& location) {
    const std::vector<data::TTable*> tables = ParadoxTables();
    for (data::TTable* t : tables) t->Close();
    for (data::TTable* t : tables) t->SetDatabaseName(location);

    // Older data folders lack the English firm table.
    if (!data::TableFileExists(location, QStringLiteral("ae.db")) &&
        data::TableFileExists(location, QStringLiteral("customer.db"))) {
        TTableae.FieldDefs.clear();
        TTableae.AddFieldDef(QStringLiteral("VOP"), data::FieldType::String, 10);
        TTableae.AddFieldDef(QStringLiteral("Supplier"), data::FieldType::String, 255);
        TTableae.AddFieldDef(QStringLiteral("Address"), data::FieldType::String, 255);
        TTableae.AddFieldDef(QStringLiteral("Resp.Person"), data::FieldType::String, 255);
        TTableae.AddFieldDef(QStringLiteral("Place of publishment"), data::FieldType::String, 255);
        TTableae.AddFieldDef(QStringLiteral("logo"), data::FieldType::Graphic, 2);
        TTableae.SetTableName(QStringLiteral("ae.db"));
        TTableae.CreateTable();
    }
    TTableae.SetTableName(QStringLiteral("ae.db"));

    const bool localMode = LocalWorkPlace();
    const QString engine = platform::Path(platform::PathKind::FirebirdEngine);
    const bool setUpNeeded = (!platform::FileExists(location + QStringLiteral("/tovelx.fdb")) && localMode) ||
                             !platform::FileExists(engine);
    if (!setUpNeeded) {
        ConnectFirebird(location);
        return;
    }
    const QString networkFile = platform::Path(platform::PathKind::NetworkFile);
    if (platform::FileExists(networkFile)) {
        if (platform::LoadLines(networkFile).size() >= 2 && Form7) {
            Form7->Show();
            Form7->MoveToSql(location);
        }
    } else if (Main && Main->SpeedButton4->isEnabled()) {
        Main->SpeedButton4Click();
    }
}

namespace {

// The program's tables that the connected database lacks (upper-case names).
QStringList MissingTables(data::Database& db, data::Transaction& tr) {
    QSet<QString> present;
    data::Statement tables(&db, &tr, QStringLiteral("select rdb$relation_name from rdb$relations"));
    tables.Fetch({}, [&](data::ResultRow& row) { present.insert(QString::fromLatin1(row.values.at(0)).trimmed()); });
    QStringList missing;
    for (const data::TableDef& t : data::SchemaTables())
        if (!present.contains(t.UpperName())) missing << t.UpperName();
    return missing;
}

}  // namespace

void TDataModule1::ConnectFirebird(const QString& location) {
    QString name = location;
    if (LocalWorkPlace()) {
        name = location + QStringLiteral("/tovelx.fdb");
        // Written only where the server's alias file exists: this computer then
        // serves its folder's database to others.
        const QString aliases = platform::Path(platform::PathKind::AliasesFile);
        if (platform::FileExists(aliases)) data::WriteAliasLine(aliases, name);
    }
    OpenConnection(name);
}

void TDataModule1::OpenConnection(const QString& databaseName) {
    // A connection the server has dropped can commit nothing: its transaction
    // is rolled back or let go, so that this step always ends disconnected
    // and the connection below is made afresh.
    IBTransaction1.Release();
    IBDatabase1.Close();
    SqlConnected = false;

    IBDatabase1.DatabaseName = databaseName;
    IBDatabase1.SQLDialect = 3;
    IBDatabase1.LoginPrompt = false;
    IBDatabase1.Params.clear();
    IBDatabase1.Params << QStringLiteral("password=") + AdminPassword() << QStringLiteral("user_name=SYSDBA");

    IBDatabase1.Open();
    IBTransaction1.StartTransaction();
    // Another program's database opens as well as this one's: its tables tell them apart.
    const QStringList missing = MissingTables(IBDatabase1, IBTransaction1);
    if (!missing.isEmpty()) {
        IBTransaction1.Release();
        IBDatabase1.Close();
        const QString name = IBDatabase1.DatabaseName;
        throw data::DatabaseError(
            missing.size() == static_cast<qsizetype>(data::SchemaTables().size())
                ? QStringLiteral("Базата данни „%1“ не е на тази програма: в нея няма нито една от таблиците ѝ.").arg(name)
                : QStringLiteral("Базата данни „%1“ не е на тази програма: в нея липсват таблиците %2.")
                      .arg(name, missing.join(QStringLiteral(", "))));
    }
    for (DataSet* ds : {&cust, &firm, &details, &stock, &employee, &store, &currency, &user}) ds->Open();
    SqlConnected = true;
    connectedDatabase_ = databaseName;
}

void TDataModule1::ConnectAgain() {
    if (connectedDatabase_.isEmpty()) throw data::DatabaseError(QStringLiteral("Няма база данни, към която да се свърже."));
    DataSet* const sets[] = {&cust, &firm, &details, &stock, &employee, &store, &currency, &user};
    std::vector<int> recNos;
    for (DataSet* ds : sets) recNos.push_back(ds->RecNo());
    OpenConnection(connectedDatabase_);
    for (size_t i = 0; i < recNos.size(); ++i)
        if (recNos[i] > 0 && sets[i]->RecordCount() > 0) sets[i]->SetRecNo(std::min(recNos[i], sets[i]->RecordCount()));
    // A change whose commit could not be known when the connection broke is looked up now, and told.
    if (IBDatabase1.Unsettled.empty()) return;
    const data::WrittenRow written = IBDatabase1.Unsettled.back();
    const bool stored = data::IsStored(&IBDatabase1, &IBTransaction1, written);
    const data::Database::SettleTexts texts = IBDatabase1.UnsettledTexts;
    IBDatabase1.ForgetUnsettled();
    const QString told =
        stored ? (!texts.stored.isEmpty()
                      ? texts.stored
                      : QStringLiteral("Последната промяна, за която не можеше да се разбере дали е записана, е записана."))
               : (!texts.notStored.isEmpty()
                      ? texts.notStored
                      : QStringLiteral("Последната промяна, за която не можеше да се разбере дали е записана, не е "
                                       "записана: направете я отново."));
    if (texts.settled) texts.settled(stored);
    platform::ShowMessage(QStringLiteral("Връзката с базата данни „%1“ е възстановена.\n").arg(IBDatabase1.DatabaseName) +
                          told);
}

// ---------------------------------------------------------------- record keys

QString TDataModule1::NextRecordKey() {
    platform::SystemTime local;
    platform::SystemTime& t = OrderForm ? *OrderForm->KeyTime : local;
    platform::GetSystemTime(t);
    return platform::RecordKeyText(t);
}

void TDataModule1::WriteRecordKey(DataSet& ds) {
    if (!GenerateKeys) return;
    ds.FieldByName(QStringLiteral("pnom")).SetAsString(NextRecordKey());
}

void TDataModule1::custBeforePost(DataSet& DataSet) { WriteRecordKey(DataSet); }
void TDataModule1::firmBeforePost(DataSet& DataSet) { WriteRecordKey(DataSet); }
void TDataModule1::detailsBeforePost(DataSet& DataSet) { WriteRecordKey(DataSet); }
void TDataModule1::stockBeforePost(DataSet& DataSet) { WriteRecordKey(DataSet); }
void TDataModule1::employeeBeforePost(DataSet& DataSet) { WriteRecordKey(DataSet); }
void TDataModule1::storeBeforePost(DataSet& DataSet) { WriteRecordKey(DataSet); }
void TDataModule1::currencyBeforePost(DataSet& DataSet) { WriteRecordKey(DataSet); }
void TDataModule1::userBeforePost(DataSet& DataSet) { WriteRecordKey(DataSet); }

// ---------------------------------------------------------------- commits

void TDataModule1::custAfterPost(DataSet&) { IBTransaction1.CommitRetaining(); }
void TDataModule1::firmAfterCancel(DataSet&) { IBTransaction1.CommitRetaining(); }

void TDataModule1::stockAfterPost(DataSet&) {
    IBTransaction1.CommitRetaining();
    FillStocksGrid();
}

void TDataModule1::stockAfterCancel(DataSet&) {
    IBTransaction1.CommitRetaining();
    FillStocksGrid();
}

void TDataModule1::stockAfterDelete(DataSet&) {
    IBTransaction1.CommitRetaining();
    FillStocksGrid();
}

void TDataModule1::stockCalcFields(DataSet&) { FillStocksGrid(); }

void TDataModule1::storeAfterDelete(DataSet&) {
    IBTransaction1.CommitRetaining();
    // While a save holds its commit, the table is read again once the save is committed.
    IBTransaction1.AfterCommit([this] { store.Refresh(); });
}

// ---------------------------------------------------------------- refreshes

void TDataModule1::ReopenAndFetchAll(DataSet& ds, bool appendAndCancel) {
    int n = ds.RecNo();
    // The rows as a new fetch of all of them gives them; unchanged rows are not read again.
    ds.FetchAgain();
    if (appendAndCancel) {
        ds.Append();
        ds.Cancel();
    }
    if (n > ds.RecordCount()) n = ds.RecordCount();
    ds.SetRecNo(n);
}

void TDataModule1::custAfterRefresh(DataSet&) {
    ReopenAndFetchAll(cust, true);
    if (CustForm && CustForm->Visible()) FillCustomerWindow();
}

void TDataModule1::firmAfterRefresh(DataSet&) { ReopenAndFetchAll(firm, true); }
void TDataModule1::detailsAfterRefresh(DataSet&) { ReopenAndFetchAll(details, false); }

void TDataModule1::stockAfterRefresh(DataSet&) {
    ReopenAndFetchAll(stock, true);
    if (Stocks) Stocks->StringGrid1->SetRow(stock.RecNo());
}

void TDataModule1::employeeAfterRefresh(DataSet&) { ReopenAndFetchAll(employee, true); }

void TDataModule1::storeAfterRefresh(DataSet&) {
    ReopenAndFetchAll(store, true);
    if (Sort && Sort->Visible()) FillRegister();
    FillStocksGrid();
}

void TDataModule1::currencyAfterRefresh(DataSet&) { ReopenAndFetchAll(currency, false); }
void TDataModule1::userAfterRefresh(DataSet&) { ReopenAndFetchAll(user, true); }

// ---------------------------------------------------------------- list fillers
//
// The fillers read the rows without moving the current record, so that the
// controls bound to a data set do not follow a walk through thousands of
// rows; they move it once at the end where the walk would have left it.

namespace {

// Writes rows of texts into a grid from row `first` on, in the given order.
void WriteRows(platform::StringGrid* grid, int first, const std::vector<QStringList>& rows,
               const std::vector<int>& order) {
    grid->BeginUpdate();
    for (size_t k = 0; k < order.size(); ++k) {
        const QStringList& texts = rows[order[k]];
        for (int c = 0; c < texts.size(); ++c) grid->SetCell(c, first + static_cast<int>(k), texts[c]);
    }
    grid->EndUpdate();
}

// The last order a list was sorted into, with the numbers it was sorted by:
// the same numbers in the same record order give the same order again (a
// flag change or a save of a document leaves the numbers as they were).
struct SortedOrder {
    std::vector<std::optional<std::int64_t>> keys;
    std::vector<int> order;
};

const std::vector<int>& KeysOrder(std::vector<std::optional<std::int64_t>>&& keys, SortedOrder& last) {
    if (keys != last.keys || last.order.size() != keys.size()) {
        last.order = registers::ExchangeSortOrder(keys);
        last.keys = std::move(keys);
    }
    return last.order;
}

const std::vector<int>& ListOrder(const std::vector<QStringList>& rows, SortedOrder& last) {
    std::vector<std::optional<std::int64_t>> keys;
    keys.reserve(rows.size());
    for (const QStringList& r : rows) keys.push_back(registers::LongWholeNumber(r[0]));
    return KeysOrder(std::move(keys), last);
}

// The texts "1", "2", ... of record numbers, made once and shared by every fill.
const QString& RecordNumberText(int number) {
    static std::vector<QString> texts;
    while (static_cast<int>(texts.size()) < number) texts.push_back(QString::number(texts.size() + 1));
    return texts[static_cast<size_t>(number) - 1];
}

}  // namespace

void TDataModule1::FillCustomerWindow() {
    // The customer whose documents are listed; the list shows it chosen and
    // it stays the current customer, which the card shows.
    const int shown = cust.RecNo();
    store.Refresh();
    platform::StringGrid* docs = CustForm->StringGrid1;
    docs->SetRowCount(1);
    Sort->DBCtrlGrid1->SetDataSource(nullptr);

    // Only the first document (in record order) with a given number in its
    // title's counter group is listed and counted, as in the income chart.
    const QString custId = cust.Active() ? cust.FieldByName(QStringLiteral("ID")).AsString() : QString();
    enum { Supplier, Num, Document, FromDate, Total, Customer, Annulled, NoteKind };
    const auto texts = registers::RecordTexts(
        store, {QStringLiteral("Supplier1"), QStringLiteral("Num"), QStringLiteral("Document"),
                QStringLiteral("Fromdate"), QStringLiteral("Total"), QStringLiteral("IDcust"),
                QStringLiteral("AnuliranaL"), QStringLiteral("cdnote")});
    QSet<QString> seen;
    std::vector<QStringList> rows;
    double total = 0;
    registers::UnreadableDocuments unreadable;
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
        const std::vector<QString>& t = texts[i];
        const QString counted = registers::CountedNumberKey(t[Document], t[Num]);
        if (t[Customer] != custId || seen.contains(counted)) continue;
        rows.push_back({t[Supplier], t[Num], t[Document], t[FromDate], t[Total], QString::number(i + 1)});
        const registers::IncomeShare share =
            registers::ShareOfIncome(t[Document], t[Annulled], t[NoteKind], t[Total]);
        if (share.error.isEmpty())
            total += share.amount;
        else
            unreadable.Add(t[Num], share.error);
        seen.insert(counted);
    }
    std::vector<int> inOrder(rows.size());
    for (size_t k = 0; k < rows.size(); ++k) inOrder[k] = static_cast<int>(k);
    docs->SetRowCount(1 + static_cast<int>(rows.size()));
    WriteRows(docs, 1, rows, inOrder);

    if (docs->RowCount() > 1) {
        CustForm->Panel2->setHidden(true);
        docs->SetFixedRows(1);
    } else {
        CustForm->Panel2->setHidden(false);
        docs->SetRowCount(docs->RowCount() + 1);
        docs->SetFixedRows(1);
        EditCustForm->LastLabel->setText(QStringLiteral("няма"));
    }
    CustForm->Button1->setEnabled(CustForm->Panel2->isHidden());
    CustForm->FitDocumentColumns();
    Sort->DBCtrlGrid1->SetDataSource(&DataSource6);
    Sort->DBCtrlGrid1->Repaint();
    EditCustForm->TotalLabel->setText(platform::FloatToStr(total) + QStringLiteral(" лв."));

    // The customer list, sorted by customer number; customers without one are left out.
    platform::StringGrid* list = CustForm->StringGrid2;
    enum { CustNo, Company, Phone };
    const auto customers =
        registers::RecordTexts(cust, {QStringLiteral("CustNo"), QStringLiteral("Company1"), QStringLiteral("Phone")});
    // At least one row under the header, so that the header stays a header
    // (and is never shown as the chosen row) while there are no customers.
    list->SetRowCount(std::max(static_cast<int>(customers.size()), 1) + 1);
    std::vector<QStringList> listed;
    for (int i = 0; i < static_cast<int>(customers.size()); ++i) {
        const std::vector<QString>& c = customers[i];
        if (!c[CustNo].isEmpty()) listed.push_back({c[CustNo], c[Company], c[Phone], QString(), QString::number(i + 1)});
    }
    static SortedOrder lastCustomers;
    WriteRows(list, 1, listed, ListOrder(listed, lastCustomers));
    // The rows below stay empty (a former fill may have left customers there).
    for (int r = static_cast<int>(listed.size()) + 1; r < list->RowCount(); ++r) list->SetRowTexts(r, {});
    // The shown customer's row is the chosen one; a customer left out of the
    // list (no number) has none, and an empty row below the list is chosen.
    if (shown >= 1 && shown <= cust.RecordCount()) {
        int row = static_cast<int>(listed.size()) + 1;
        for (int r = 1; r <= static_cast<int>(listed.size()); ++r)
            if (list->Cell(4, r) == QString::number(shown)) row = r;
        if (row < list->RowCount()) {
            // Choosing the row in code chooses nothing more: the customer is chosen already.
            const std::function<void()> onClick = std::exchange(list->OnClick, nullptr);
            list->SetRow(row);
            list->OnClick = onClick;
        }
    }
    // Put back before anything is reported, so that the list, its documents
    // and the card agree whatever follows.
    if (shown >= 1 && shown <= cust.RecordCount()) cust.SetRecNo(shown);

    // The documents that could not be read are told once the lists are complete.
    unreadable.Report(QStringLiteral("Общата стойност на документите на клиента не включва"));
}

void TDataModule1::FillRegister() {
    const int count = store.RecordCount();
    {
        const QSignalBlocker block(Sort->ScrollBar1);
        Sort->ScrollBar1->setRange(1, count >= 10 ? count - 9 : 1);
    }
    platform::StringGrid* grid = Sort->StringGrid1;
    // The rows as the grid holds them already, from the same rows of STORE:
    // nothing is written again.
    const bool filled = registerFilled_.grid == grid && registerFilled_.changes == store.Changes() &&
                        grid->RowCount() == count + 1;
    if (filled) {
        if (count > 0) store.SetRecNo(count);
        Sort->ScrollBar1Change();
        return;
    }
    grid->SetRowCount(count + 1);
    // The register's row: its columns in the order of the grid, NUM first.
    enum { Num, Document, Supplier, Printed, Paid, Annulled };
    static registers::RecordTextsCache lastTexts;
    const auto& texts = registers::RecordTexts(
        store,
        {QStringLiteral("NUM"), QStringLiteral("DOCUMENT"), QStringLiteral("SUPPLIER1"), QStringLiteral("STATUS"),
         QStringLiteral("PAIDL"), QStringLiteral("ANULIRANAL")},
        lastTexts);
    // The documents with a number, with the numbers they are sorted by.
    std::vector<int> numbered;
    std::vector<std::optional<std::int64_t>> keys;
    numbered.reserve(texts.size());
    keys.reserve(texts.size());
    for (int i = 0; i < count; ++i) {
        const QString& num = texts[i][Num];
        if (num.isEmpty()) continue;
        numbered.push_back(i);
        keys.push_back(registers::LongWholeNumber(num));
    }
    // Every cell is written: each row's texts and its record number, and empty
    // texts in row 0 and in the rows left over at the end (documents without a number).
    static SortedOrder lastRegister;
    const std::vector<int>& order = KeysOrder(std::move(keys), lastRegister);
    grid->BeginUpdate();
    for (size_t k = 0; k < order.size(); ++k) {
        const int i = numbered[order[k]];
        const std::vector<QString>& t = texts[i];
        const int row = static_cast<int>(k) + 1;
        namespace column = registers::RegisterColumn;
        grid->SetCell(column::Num, row, t[Num]);
        grid->SetCell(column::Document, row, t[Document]);
        grid->SetCell(column::Supplier, row, t[Supplier]);
        grid->SetCell(column::Printed, row, t[Printed]);
        grid->SetCell(column::Paid, row, t[Paid]);
        grid->SetCell(column::Annulled, row, t[Annulled]);
        grid->SetCell(column::RecordNumber, row, RecordNumberText(i + 1));
    }
    for (int r = static_cast<int>(order.size()) + 1; r < grid->RowCount(); ++r) grid->SetRowTexts(r, {});
    grid->SetRowTexts(0, {});
    grid->EndUpdate();
    registerFilled_ = {grid, store.Changes()};
    if (count > 0) store.SetRecNo(count);
    Sort->ScrollBar1Change();
}

void TDataModule1::FillStocksGrid() {
    if (!Stocks) return;
    platform::StringGrid* grid = Stocks->StringGrid1;
    // While a record is edited the grid shows it as typed, so only a fill of
    // browsed rows can stand for the next one: the same goods rows, browsed
    // again, are not written again.
    const bool browsing = stock.GetState() == data::DataSet::State::Browse;
    if (browsing && stocksFilled_.grid == grid && stocksFilled_.changes == stock.Changes() &&
        grid->RowCount() == std::max(stock.RecordCount(), 1) + 1)
        return;
    stocksFilled_ = {browsing ? grid : nullptr, stock.Changes()};
    if (stock.IsEmpty()) {
        grid->SetRowCount(2);
        grid->SetRowTexts(1, {});
        return;
    }
    const auto texts = registers::RecordTexts(stock, {QStringLiteral("DESCRIPTION1"), QStringLiteral("UNIT1"),
                                                      QStringLiteral("QTY"), QStringLiteral("SELLPRICE")});
    grid->SetRowCount(static_cast<int>(texts.size()) + 1);
    grid->BeginUpdate();
    for (int i = 0; i < static_cast<int>(texts.size()); ++i)
        for (int c = 0; c < 4; ++c) grid->SetCell(c, i + 1, texts[i][c]);
    grid->EndUpdate();
}

QString TDataModule1::TstockBDEDesigner2GetText() { return Stocks ? Stocks->DBMemo1->Text() : QString(); }

// ---------------------------------------------------------------- shut-down

void TDataModule1::DataModuleDestroy() {
    for (data::DataSource* s : {&DataSource1, &DataSource2, &DataSource3, &DataSource4, &DataSource5, &DataSource6,
                                &DataSource7, &DataSource8})
        s->Enabled = false;
    for (DataSet* ds : {&cust, &firm, &details, &stock, &employee, &store, &currency, &user}) ds->Close();
}
