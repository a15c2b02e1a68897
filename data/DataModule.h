#pragma once
// The data module: the one way the program reaches its data. It holds the
// connection, the transaction, the eight data sets with their data sources,
// and gives every row its record key, commits every change at once and makes
// every refresh re-read the whole table.

#include "data/DataSet.h"
#include "data/Firebird.h"
#include "data/ParadoxTable.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace platform {
class StringGrid;
}

class TDataModule1 : public QObject {
    Q_OBJECT
public:
    explicit TDataModule1(QObject* parent = nullptr);
    ~TDataModule1() override;

    data::Database IBDatabase1;
    data::Transaction IBTransaction1;
    data::SqlStatement IBSQL1;

    data::DataSet cust, firm, details, stock, employee, store, currency, user;
    data::DataSource DataSource1, DataSource2, DataSource3, DataSource4, DataSource5, DataSource6, DataSource7,
        DataSource8;  // the sources of the eight data sets above, in their order

    // The older version's Paradox tables, read once when they are moved in.
    data::TTable Tcust{QStringLiteral("customer.db")}, Tfirm{QStringLiteral("Firm.db")},
        Tdetails{QStringLiteral("Details.db")}, Tstock{QStringLiteral("stock.db")},
        Temployee{QStringLiteral("employee.DB")}, Tstore{QStringLiteral("Store.DB")},
        Tcurrency{QStringLiteral("currency.db")}, TTableae{QStringLiteral("ae.db")};

    // False only while old rows, which bring their own keys, are moved in.
    bool GenerateKeys = true;
    bool SqlConnected = false;

    // The database administrator's password: "masterkey", unless
    // QUILLANE_SYSDBA_PASSWORD gives another.
    static QString AdminPassword();

    void FormCreate() {}

    void OpenDatabaseLocation(const QString& location);
    void ConnectFirebird(const QString& location);

    // Record keys.
    void custBeforePost(data::DataSet& DataSet);
    void firmBeforePost(data::DataSet& DataSet);
    void detailsBeforePost(data::DataSet& DataSet);
    void stockBeforePost(data::DataSet& DataSet);
    void employeeBeforePost(data::DataSet& DataSet);
    void storeBeforePost(data::DataSet& DataSet);
    void currencyBeforePost(data::DataSet& DataSet);
    void userBeforePost(data::DataSet& DataSet);

    // Commits.
    void custAfterPost(data::DataSet& DataSet);
    void firmAfterCancel(data::DataSet& DataSet);
    void stockAfterPost(data::DataSet& DataSet);
    void stockAfterCancel(data::DataSet& DataSet);
    void stockAfterDelete(data::DataSet& DataSet);
    void stockCalcFields(data::DataSet& DataSet);
    void storeAfterDelete(data::DataSet& DataSet);

    // Refreshes.
    void custAfterRefresh(data::DataSet& DataSet);
    void firmAfterRefresh(data::DataSet& DataSet);
    void detailsAfterRefresh(data::DataSet& DataSet);
    void stockAfterRefresh(data::DataSet& DataSet);
    void employeeAfterRefresh(data::DataSet& DataSet);
    void storeAfterRefresh(data::DataSet& DataSet);
    void currencyAfterRefresh(data::DataSet& DataSet);
    void userAfterRefresh(data::DataSet& DataSet);

    // List fillers of the customers, register and goods windows.
    void FillCustomerWindow();
    void FillRegister();
    void FillStocksGrid();
    // The text of the old goods table's description: the goods window's memo.
    QString TstockBDEDesigner2GetText();

    void DataModuleDestroy();

    // The eight old tables in their fixed order.
    std::vector<data::TTable*> ParadoxTables();

    // A new record key from the clock, through the editor's shared time when
    // it exists: every writer of a key takes it here.
    QString NextRecordKey();

private:
    // The work place's mode is read from its window: this computer (mode 1) or not.
    static bool LocalWorkPlace();
    void WriteRecordKey(data::DataSet& ds);
    // Brings the data set to the rows a new fetch of all of them would give
    // (DataSet::FetchAgain) and goes back to the record number it had (or
    // the last record).
    static void ReopenAndFetchAll(data::DataSet& ds, bool appendAndCancel);
    void SetUpDataSet(data::DataSet& ds, const char* table, data::DataSource& source);
    // Connects to the database of that name and opens the data sets.
    void OpenConnection(const QString& databaseName);
    // Connects again to the very database connected last, after the
    // connection was lost, keeping each data set's record number. The work
    // place's window may show other options meanwhile: they count only once
    // they are confirmed.
    void ConnectAgain();
    QString connectedDatabase_;
    // The register's grid as FillRegister last wrote it, and the state of STORE's rows it was written from.
    struct {
        QPointer<platform::StringGrid> grid;
        unsigned long long changes = 0;
    } registerFilled_;
    // The goods list's grid as FillStocksGrid last wrote it from browsed rows, and their state.
    struct {
        QPointer<platform::StringGrid> grid;
        unsigned long long changes = 0;
    } stocksFilled_;
};

extern TDataModule1* DataModule1;
