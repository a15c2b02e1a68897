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
#include "registers/Customers.h"
#include "registers/DocumentRegister.h"

#include <QFileInfo>

TDataModule1* DataModule1 = nullptr;

using data::DataSet;

TDataModule1::TDataModule1(QObject* parent) : QObject(parent) {
    IBTransaction1.SetDefaultDatabase(&IBDatabase1);
    IBTransaction1.Params = {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")};
    IBSQL1.DatabaseRef = &IBDatabase1;
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

void TDataModule1::ConnectFirebird(const QString& location) {
    // A connection the server has dropped can commit nothing: its transaction
    // is rolled back or let go, so that this step always ends disconnected
    // and the connection below is made afresh.
    IBTransaction1.Release();
    IBDatabase1.Close();
    SqlConnected = false;

    if (LocalWorkPlace()) {
        IBDatabase1.DatabaseName = location + QStringLiteral("/tovelx.fdb");
        // Written only where the server's alias file exists: this computer then
        // serves its folder's database to others.
        const QString aliases = platform::Path(platform::PathKind::AliasesFile);
        if (platform::FileExists(aliases)) data::WriteAliasLine(aliases, IBDatabase1.DatabaseName);
    } else {
        IBDatabase1.DatabaseName = location;
    }
    IBDatabase1.SQLDialect = 3;
    IBDatabase1.LoginPrompt = false;
    IBDatabase1.Params.clear();
    IBDatabase1.Params << QStringLiteral("password=") + AdminPassword() << QStringLiteral("user_name=SYSDBA");

    IBDatabase1.Open();
    IBTransaction1.StartTransaction();
    for (DataSet* ds : {&cust, &firm, &details, &stock, &employee, &store, &currency, &user}) ds->Open();
    SqlConnected = true;
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
    store.Refresh();
}

// ---------------------------------------------------------------- refreshes

void TDataModule1::ReopenAndFetchAll(DataSet& ds, bool appendAndCancel) {
    int n = ds.RecNo();
    ds.Close();
    ds.Open();
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
    // The goods window's grid follows the restored record once the window has its list.
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

void TDataModule1::FillCustomerWindow() {
    // Filled once the customers window has its lists.
}

void TDataModule1::FillRegister() {
    // Filled once the register window has its rows.
}

void TDataModule1::FillStocksGrid() {
    // Filled once the goods window has its list.
}

// ---------------------------------------------------------------- shut-down

void TDataModule1::DataModuleDestroy() {
    for (data::DataSource* s : {&DataSource1, &DataSource2, &DataSource3, &DataSource4, &DataSource5, &DataSource6,
                                &DataSource7, &DataSource8})
        s->Enabled = false;
    for (DataSet* ds : {&cust, &firm, &details, &stock, &employee, &store, &currency, &user}) ds->Close();
}
