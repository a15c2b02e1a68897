#include "support/testdatabase.h"

#include "data/Firebird.h"
#include "data/Schema.h"
#include "data/Unit4.h"
#include "platform/CodePage.h"

#include "platform/Application.h"
#include "platform/Dialogs.h"

#include <gtest/gtest.h>

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

// The application exists before any test fixture is made, so that a fixture's
// scripted dialogs are not replaced by the fallback below.
struct ApplicationEnvironment : ::testing::Environment {
    void SetUp() override { EnsureApplication(); }
};
const bool environmentRegistered = (::testing::AddGlobalTestEnvironment(new ApplicationEnvironment), true);

QStringList AdminParams() {
    return {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=") + TDataModule1::AdminPassword()};
}
}  // namespace

QString CreateSchemaDatabase(const QString& folder) {
    data::Database db;
    db.DatabaseName = folder + QStringLiteral("/tovelx.fdb");
    db.CreateDatabase(data::DatabaseCreationParams(QStringLiteral("SYSDBA"), TDataModule1::AdminPassword()));
    data::Transaction tr(&db);
    tr.Params = {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")};
    tr.StartTransaction();
    data::SqlStatement sql;
    sql.DatabaseRef = &db;
    sql.TransactionRef = &tr;
    data::CreateSchemaTables(sql);
    tr.Commit();
    db.Close();
    return folder + QStringLiteral("/tovelx.fdb");
}

QStringList QueryRows(const QString& databaseFile, const QString& sql) {
    data::Database db;
    db.DatabaseName = databaseFile;
    db.Params = AdminParams();
    db.Open();
    data::Transaction tr(&db);
    tr.Params = {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")};
    tr.StartTransaction();
    QStringList rows;
    data::Statement s(&db, &tr, sql);
    s.Fetch({}, [&](data::ResultRow& r) {
        QStringList cols;
        for (size_t i = 0; i < r.values.size(); ++i)
            cols << (r.nulls[i] ? QStringLiteral("<null>") : platform::DecodeCp1251(r.values[i]).trimmed());
        rows << cols.join(QLatin1Char('|'));
    });
    tr.Commit();
    db.Close();
    return rows;
}

void ExecuteOn(const QString& databaseFile, const QString& sql) {
    data::Database db;
    db.DatabaseName = databaseFile;
    db.Params = AdminParams();
    db.Open();
    data::Transaction tr(&db);
    tr.Params = {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")};
    tr.StartTransaction();
    data::Statement s(&db, &tr, sql);
    s.Execute({});
    tr.Commit();
    db.Close();
}

}  // namespace testsupport
