#include "support/testdatabase.h"

#include "data/Firebird.h"
#include "data/Schema.h"
#include "data/DataModule.h"
#include "platform/Application.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"

#include <functional>

namespace testsupport {

QApplication* EnsureApplication() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return app;
    static int argc = 1;
    static char name[] = "quillane-test";
    static char* argv[] = {name, nullptr};
    auto* app = new platform::Application(argc, argv);
    // No test waits on a real dialog: what a test does not script is closed at once.
    platform::DialogGate::SetResponder([](const platform::DialogRequest& request) {
        const bool plainBox = request.kind == platform::DialogKind::Message ||
                              request.kind == platform::DialogKind::MessageBox ||
                              request.kind == platform::DialogKind::Exception;
        return plainBox ? platform::DialogResponse::Ok() : platform::DialogResponse::Cancel();
    });
    return app;
}

namespace {

// Runs work on a connection of its own to the database (created first when
// asked), in one transaction that is committed at the end.
void WithConnection(const QString& databaseName, bool create,
                    const std::function<void(data::Database&, data::Transaction&)>& work) {
    data::Database db;
    db.DatabaseName = databaseName;
    if (create) {
        db.CreateDatabase(data::DatabaseCreationParams(QStringLiteral("SYSDBA"), TDataModule1::AdminPassword()));
    } else {
        db.Params = {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + TDataModule1::AdminPassword()};
        db.Open();
    }
    data::Transaction tr(&db);
    tr.Params = {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")};
    tr.StartTransaction();
    work(db, tr);
    tr.Commit();
    db.Close();
}

}  // namespace

void CreateSchemaDatabaseAt(const QString& databaseName) {
    WithConnection(databaseName, true, [](data::Database& db, data::Transaction& tr) {
        data::SqlStatement sql;
        sql.DatabaseRef = &db;
        sql.TransactionRef = &tr;
        data::CreateSchemaTables(sql);
    });
}

QString CreateSchemaDatabase(const QString& folder) {
    const QString file = folder + QStringLiteral("/tovelx.fdb");
    CreateSchemaDatabaseAt(file);
    return file;
}

QStringList QueryRows(const QString& databaseName, const QString& sql) {
    QStringList rows;
    WithConnection(databaseName, false, [&](data::Database& db, data::Transaction& tr) {
        data::Statement s(&db, &tr, sql);
        s.Fetch({}, [&](data::ResultRow& r) {
            QStringList cols;
            for (size_t i = 0; i < r.values.size(); ++i)
                cols << (r.nulls[i] ? QStringLiteral("<null>") : platform::DecodeCp1251(r.values[i]).trimmed());
            rows << cols.join(QLatin1Char('|'));
        });
    });
    return rows;
}

void ExecuteOn(const QString& databaseName, const QString& sql) {
    WithConnection(databaseName, false,
                   [&](data::Database& db, data::Transaction& tr) { data::Statement(&db, &tr, sql).Execute({}); });
}

QString ServerTestDatabase(const QString& name) {
    return QStringLiteral("127.0.0.1:/tmp/quillane-server/%1-%2.fdb").arg(name).arg(QCoreApplication::applicationPid());
}

void DropDatabaseAt(const QString& databaseName) {
    data::Database db;
    db.DatabaseName = databaseName;
    db.Params = {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + TDataModule1::AdminPassword()};
    db.Open();
    db.DropDatabase();
}

}  // namespace testsupport
