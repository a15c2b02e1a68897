// The set-up of a data folder: a new database with its eight tables, and the
// older version's Paradox tables moved into it.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "data/OldTableMap.h"
#include "data/Schema.h"
#include "data/DataModule.h"
#include "data/DataFolderSetUp.h"
#include "data/WorkPlace.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Form.h"
#include "platform/LocaleText.h"
#include "platform/Paths.h"
#include "support/paradoxwriter.h"
#include "support/programtest.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using platform::Path;
using platform::PathKind;
using testsupport::PxColumn;
using testsupport::PxKind;
using testsupport::PxRow;
using testsupport::PxValue;
using testsupport::QueryRows;

TEST(SetUpProgress, CountsEveryRecordAndEveryExchangedPair) {
    EXPECT_EQ(data::MoveProgressMaximum({5, 1, 2, 10, 3, 40, 4}), 96);
    EXPECT_EQ(data::MoveProgressMaximum({0, 0, 0, 0, 0, 0, 0}), 0);
}

class DataFolderSetUp : public testsupport::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Start();
    }
    void Run(const QString& location) {
        Form7->Show();
        Form7->MoveToSql(location);
    }
    // A set-up that fails: the text of its error, which whoever started it
    // tells; the set-up itself shows nothing.
    QString FailedRun(const QString& location) {
        const size_t shown = dialogs.Shown().size();
        QString told;
        try {
            Run(location);
            ADD_FAILURE() << "the set-up of " << location.toStdString() << " did not fail";
        } catch (const platform::Exception& e) {
            told = e.Message();
        }
        EXPECT_EQ(dialogs.Shown().size(), shown) << "the set-up showed its failure itself";
        return told;
    }

    testsupport::TempFolder folder;
    platform::ScriptedDialogs dialogs;
};

TEST_F(DataFolderSetUp, AFolderWithoutOldTablesGetsAnEmptyDatabase) {
    testsupport::WriteFile(Path(PathKind::AliasesFile), "employee = /e.fdb\r\n");
    Run(folder.Path());
    const QString file = folder.File("tovelx.fdb");
    EXPECT_EQ(QueryRows(file, "select count(*) from rdb$relations where coalesce(rdb$system_flag, 0) = 0"),
              QStringList{"8"});
    EXPECT_TRUE(DataModule1->store.Active());
    EXPECT_EQ(DataModule1->IBDatabase1.DatabaseName, file);
    EXPECT_TRUE(DataModule1->GenerateKeys);
    // Nothing was moved: no move is announced, the new database is.
    EXPECT_EQ(testsupport::ShownText(dialogs), "Създадена е нова празна база данни „" + file +
                                                  "“.\nВ папката няма таблици от по-старата версия, които да бъдат прехвърлени.");
    EXPECT_FALSE(Form7->isVisible());
    EXPECT_EQ(Form7->Label1->text(), "4/4 Прехвърляне на информацията в SQL формат.");
    EXPECT_EQ(Form7->CGauge1->text(), "100%");
    EXPECT_EQ(testsupport::ReadFile(Path(PathKind::AliasesFile)), "employee = /e.fdb\r\ntovelx = " + file.toUtf8() + "\r\n");
}

TEST_F(DataFolderSetUp, AFolderThatHasItsDatabaseIsLeftAlone) {
    testsupport::CreateSchemaDatabase(folder.Path());
    Run(folder.Path());
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_TRUE(Form7->isVisible());
    EXPECT_FALSE(DataModule1->IBDatabase1.Connected());
}

TEST_F(DataFolderSetUp, ADatabaseThatCannotBeCreatedIsReportedAndTheWindowCloses) {
    const QString locked = folder.File("locked");
    QDir().mkpath(locked);
    ASSERT_EQ(QProcess::execute("chattr", {"+i", locked}), 0);  // refuses writes even to root
    testsupport::WriteFile(folder.File("file.txt"), "x");
    // A folder that can be written, in whose way stands a folder named as the
    // database being made: the server's own reason is told, with the file's
    // Cyrillic name as it is.
    const QString taken = folder.File("Фактури");
    QDir().mkpath(taken + "/tovelx.fdb.moving");
    const struct {
        QString location, reason;
        bool missingEngine = false;
    } cases[] = {{folder.File("file.txt/DB"), "„" + folder.File("file.txt/DB") + "“: папката не съществува"},
                 {locked, "„" + locked + "“: в папката не може да се записва"},
                 {taken, "„" + taken + "“: Грешка в базата данни (" + taken + "/tovelx.fdb.moving):\nI/O error during \"open O_CREAT\" operation for file \"" + taken + "/tovelx.fdb.moving\""},
                 {folder.Path(), "firebird3.0-server-core", true}};
    for (const auto& c : cases) {
        if (c.missingEngine) platform::SetPathOverride(PathKind::FirebirdEngine, home.File("missing.so"));
        dialogs.Clear();
        const QString told = FailedRun(c.location);
        EXPECT_FALSE(QFileInfo::exists(c.location + "/tovelx.fdb"));
        EXPECT_TRUE(told.contains(c.reason)) << told.toStdString();
        EXPECT_EQ(Form7->isVisible(), c.missingEngine) << c.reason.toStdString();
    }
    QProcess::execute("chattr", {"-i", locked});
}

TEST_F(DataFolderSetUp, MovesTheOldTablesInTheirOwnOrderAndWhatDoesNotFitAsNearAsItFits) {
    // An older folder: Store.DB without "CurrencyPrefix" and with its firm
    // index a long (blank in record 1, before a field that holds something),
    // prices as money, the employees in code page 866, values too large.
    testsupport::WriteOldDataFolder(
        folder.Path(), {3, 2, 1, 2, 1, 2, 4},
        [](const QString& table, int record, const QString& field, PxValue& value) {
            if (table == "stock.db" && record == 1 && field == "К-во") value = 2.5;  // into a whole-number column
            if (table == "stock.db" && field == "Цена") value = record == 2 ? PxValue{1.2345678} : PxValue{};
            if (table == "customer.db" && record == 2 && field == "ИН по ЗДДС") value = QString(21, '9');
            if (table == "Store.DB" && field == "Firm.db index" && record == 2) value = qint64(7);
        },
        [](const QString& table, std::vector<PxColumn>& columns, int& codePage, int&) {
            for (PxColumn& c : columns) {
                if (c.name == "CurrencyPrefix") c.name.clear();
                if (c.name == "Firm.db index") c.kind = PxKind::Long;
                if (c.name == "Цена") c.kind = PxKind::Currency;
            }
            if (table == "employee.DB") codePage = 866;
        });
    const testsupport::BulgarianLocale locale;
    // The work place chosen: its tables are re-pointed, then the set-up runs.
    testsupport::WriteFile(Path(PathKind::NetworkFile), folder.Path().toUtf8() + "\r\n1\r\n");
    DataModule1->OpenDatabaseLocation(folder.Path());
    const QString file = folder.File("tovelx.fdb");
    EXPECT_TRUE(DataModule1->GenerateKeys);
    EXPECT_FALSE(Form7->isVisible());
    // Records go in from the last to the first and are then exchanged back:
    // the keys run 3, 2, 1 while the contents keep the old order.
    EXPECT_EQ(QueryRows(file, "select pnom, custno, company1, grp, company2 from customer"),
              QStringList({"3|10|1 Фирма|1 Група|", "2|20|2 Фирма|2 Група|<null>", "1|30|3 Фирма||"}));
    // Own firms: Bulgarian and English details side by side, pictures with them.
    EXPECT_EQ(QueryRows(file, "select pnom, invoiceno, supplier1, supplier2, vop from firm"),
              QStringList({"2|1 Фактура|1 ДОСТАВЧИК|1 Supplier|1 VOP", "1|2 Фактура|2 ДОСТАВЧИК|2 Supplier|2 VOP"}));
    DataModule1->firm.SetRecNo(1);
    EXPECT_EQ(DataModule1->firm.FieldByName("LOGO").AsBytes(), testsupport::JpegLikeBytes(213, 1));
    EXPECT_EQ(DataModule1->firm.FieldByName("LOGO2").AsBytes(), testsupport::JpegLikeBytes(213, 1));
    DataModule1->firm.SetRecNo(2);
    EXPECT_TRUE(DataModule1->firm.FieldByName("LOGO").IsNull());
    EXPECT_EQ(DataModule1->firm.FieldByName("LOGO2").AsBytes(), testsupport::JpegLikeBytes(226, 2));
    EXPECT_EQ(QueryRows(file, "select pnom, num, qty, unit1, price from stock"),
              QStringList({"2|10|3|1 Мярка|", "1|20|<null>|2 Мярка|1,23"}));
    EXPECT_EQ(QueryRows(file, "select pnom, document, total, char_length(stocks), firmdbindex, currencyprefix from store"),
              QStringList({"2|1 Документ|1 Стойност /общо/|160||", "1|2 Документ|2 Стойност /общо/|304|7|"}));
    EXPECT_EQ(QueryRows(file, "select vat from customer where pnom = '2'"), QStringList{QString(20, '9')});
    EXPECT_EQ(QueryRows(file, "select name1, phone from employee"), QStringList{"1 Име|1 Телефон"});
    // Each value moved otherwise than it stood, named once at the end.
    EXPECT_EQ(testsupport::ShownText(dialogs),
              "Преминаването към SQL успешно!\n\nПрехвърлено различно от старите таблици:\n"
              "customer.db, запис 2, поле „ИН по ЗДДС“: „999999999999999999999“ е прехвърлено като „99999999999999999999“\n"
              "stock.db, запис 2, поле „Цена“: „1,2345678“ е прехвърлено като „1,23“\n"
              "stock.db, запис 1, поле „К-во“: „2,5“ е прехвърлено като „3“\n"
              "Store.DB: няма поле „CurrencyPrefix“, прехвърлено е празно");
    EXPECT_EQ(QueryRows(file, "select count(*) from userp"), QStringList{"0"});
    // Every record once and every exchanged pair once.
    EXPECT_EQ(Form7->CGauge1->maximum(), data::MoveProgressMaximum({3, 2, 1, 2, 1, 2, 4}));
    EXPECT_EQ(Form7->CGauge1->value(), Form7->CGauge1->maximum());
}

TEST_F(DataFolderSetUp, TablesMoveAsTheOlderVersionShowedTheirCodePages) {
    // Windows-1251 bytes under a header naming Western Windows, or none; a
    // Western and a Cyrillic DOS code page. What Windows-1251 lacks becomes
    // "?" and is named.
    testsupport::WriteOldDataFolder(
        folder.Path(), {2, 1, 1, 1, 1, 1, 1},
        [](const QString& table, int record, const QString& field, PxValue& value) {
            if (table == "Details.db" && record == 1 && field == "Bank") value = QStringLiteral("Crédit Müller");
            if (table == "employee.DB" && record == 1 && field == "Име") value = QStringLiteral("Жълт Щъркел №5");
        },
        [](const QString& table, std::vector<PxColumn>&, int& codePage, int& headerCodePage) {
            if (table == "customer.db") headerCodePage = 1252;
            if (table == "Store.DB") headerCodePage = 0;
            if (table == "Details.db") codePage = 850;
            if (table == "employee.DB") codePage = 855;
        });
    for (data::TTable* t : DataModule1->ParadoxTables()) t->Close(), t->SetDatabaseName(folder.Path());
    Run(folder.Path());
    const QString file = folder.File("tovelx.fdb");
    EXPECT_EQ(QueryRows(file, "select pnom, custno, company1, grp from customer"),
              QStringList({"2|10|1 Фирма|1 Група", "1|20|2 Фирма|2 Група"}));
    EXPECT_EQ(QueryRows(file, "select document, customer1 from store"), QStringList{"1 Документ|1 Клиент"});
    EXPECT_EQ(QueryRows(file, "select name1 from employee"), QStringList{"Жълт Щъркел №5"});
    EXPECT_EQ(QueryRows(file, "select bank, iban from details"), QStringList{"Cr?dit M?ller|1 IBAN"});
    EXPECT_EQ(testsupport::ShownText(dialogs),
              "Преминаването към SQL успешно!\n\nПрехвърлено различно от старите таблици:\n"
              "Details.db, запис 1, поле „Bank“: „Crédit Müller“ е прехвърлено като „Cr?dit M?ller“");
}

// A table whose header names a code page the reader does not know (Hebrew
// DOS 862, Arabic DOS 864) is read as Windows-1251, and the notes name the
// table and its code page. The folder chosen with the work-place window's
// folder button.
TEST_F(DataFolderSetUp, ATableInACodePageTheReaderDoesNotKnowIsNamedWithItsCodePage) {
    testsupport::WriteOldDataFolder(folder.Path(), {1, 1, 1, 1, 1, 1, 2}, {},
                                    [](const QString& table, std::vector<PxColumn>&, int&, int& headerCodePage) {
                                        if (table == "currency.db") headerCodePage = 862;
                                        if (table == "ae.db") headerCodePage = 864;
                                    });
    Main->Show();
    QTest::mouseClick(Main->SpeedButton4, Qt::LeftButton);
    ASSERT_TRUE(Form8->isVisible());
    dialogs.Answer(platform::DialogResponse::Path(folder.Path()));
    QTest::mouseClick(Form8->SpeedButton2, Qt::LeftButton);
    const QString file = folder.File("tovelx.fdb");
    ASSERT_EQ(DataModule1->IBDatabase1.DatabaseName, file);
    EXPECT_EQ(QueryRows(file, "select currency, course from currency"), QStringList({"1 В|1 Курс", "2 В|2 Курс"}));
    EXPECT_EQ(QueryRows(file, "select supplier2 from firm"), QStringList{"1 Supplier"});
    ASSERT_EQ(dialogs.Shown().size(), 2u);  // the folder, then the end of the move
    EXPECT_EQ(dialogs.Shown()[1].text,
              "Преминаването към SQL успешно!\n\nПрехвърлено различно от старите таблици:\n"
              "ae.db: таблицата е в кодова таблица 864, която програмата не познава: текстовете ѝ са прочетени като "
              "Windows-1251 и може да не са верни\n"
              "currency.db: таблицата е в кодова таблица 862, която програмата не познава: текстовете ѝ са прочетени "
              "като Windows-1251 и може да не са верни");
}

TEST_F(DataFolderSetUp, DatesBeforeTheFirstDayOfTheCalendarMoveEmptyAndAreNamed) {
    const double day = 86400000.0;
    testsupport::WriteOldDataFolder(
        folder.Path(), {1, 1, 1, 1, 1, 2, 1},
        [&](const QString& table, int record, const QString& field, PxValue& value) {
            if (table == "Store.DB" && field == "От дата") value = record == 1 ? PxValue{qint64(0)} : PxValue{QDate(2013, 5, 6)};
            if (table == "Store.DB" && field == "Дата на плащане") value = record == 1 ? PxValue{2 * day + 3600000.0} : PxValue{-400 * day};
            if (table == "employee.DB" && field == "На работа от") value = qint64(-700);
        },
        [](const QString&, std::vector<PxColumn>& columns, int&, int&) {
            for (PxColumn& c : columns) {
                if (c.name == "От дата" || c.name == "На работа от") c.kind = PxKind::Date;
                if (c.name == "Дата на плащане") c.kind = PxKind::Timestamp;
            }
        });
    const testsupport::BulgarianLocale locale;
    for (data::TTable* t : DataModule1->ParadoxTables()) t->Close(), t->SetDatabaseName(folder.Path());
    Run(folder.Path());
    const QString file = folder.File("tovelx.fdb");
    EXPECT_EQ(QueryRows(file, "select pnom, fromdate, datepayment from store"),
              QStringList({"2||02.01.0001 01:00:00", "1|06.05.2013|"}));
    EXPECT_EQ(QueryRows(file, "select hiredon from employee"), QStringList{""});
    EXPECT_EQ(testsupport::ShownText(dialogs),
              "Преминаването към SQL успешно!\n\nПрехвърлено различно от старите таблици:\n"
              "employee.DB, запис 1, поле „На работа от“: датата е преди 01.01.0001 (ден -700 от календара), прехвърлено е празно\n"
              "Store.DB, запис 2, поле „Дата на плащане“: датата е преди 01.01.0001 (ден -400 от календара), прехвърлено е празно\n"
              "Store.DB, запис 1, поле „От дата“: датата е преди 01.01.0001 (ден 0 от календара), прехвърлено е празно");
}

// The move as it ran before, row by row through the data sets: every record
// inserted from the last to the first with its record number as key, then
// the contents (pictures apart) exchanged end for end and written back.
void MoveRowByRow(const QString& databaseFolder) {
    TDataModule1* dm = DataModule1;
    dm->GenerateKeys = false;
    dm->ConnectFirebird(databaseFolder);
    data::DataSet* targets[] = {&dm->cust, &dm->firm, &dm->details, &dm->stock, &dm->employee, &dm->store, &dm->currency};
    for (size_t m = 0; m < 7; ++m) {
        data::DataSet& target = *targets[m];
        data::TTable& source = *dm->ParadoxTables()[m];
        source.Open();
        dm->TTableae.Open();
        for (int n = source.RecordCount(); n >= 1; --n) {
            source.SetRecNo(n);
            dm->TTableae.SetRecNo(n);
            target.Insert();
            target.FieldByName("pnom").SetAsString(QString::number(n));
            for (const data::FieldMove& f : data::OldTableMoves()[m].fields) {
                const data::TTable& from = f.fromEnglishTable ? dm->TTableae : source;
                data::Field field = target.FieldByName(f.column);
                // Memos are read whole: the goods table's get-text handler would give the goods
                // window's memo instead, and every description would be lost.
                if (f.kind == data::FieldMove::Kind::Picture) field.SetAsBytes(from.Picture(QString::fromUtf8(f.field)));
                else if (f.kind == data::FieldMove::Kind::Memo) field.SetAsString(from.MemoText(QString::fromUtf8(f.field)));
                else field.SetAsString(from.FieldText(QString::fromUtf8(f.field)));
            }
            target.Post();
        }
        target.Refresh();
        for (const bool pictures : {false, true}) {
            if (pictures && !target.HasField("LOGO")) break;
            QStringList names;  // every column but the key; the pictures in a pass of their own
            for (const data::ColumnInfo& c : target.Columns())
                if (c.name != "PNOM" && c.name.startsWith("LOGO") == pictures) names << c.name;
            const int count = target.RecordCount();
            for (int i = 1; i <= count / 2; ++i) {
                std::vector<QByteArray> values[2];
                for (const int k : {0, 1}) {
                    target.SetRecNo(k == 0 ? i : count + 1 - i);
                    for (const QString& n : names)
                        values[k].push_back(pictures ? target.FieldByName(n).AsBytes() : target.FieldByName(n).AsString().toUtf8());
                }
                for (const int k : {0, 1}) {
                    target.SetRecNo(k == 0 ? i : count + 1 - i);
                    target.Edit();
                    for (int v = 0; v < names.size(); ++v) {
                        if (pictures) target.FieldByName(names[v]).SetAsBytes(values[1 - k][v]);
                        else target.FieldByName(names[v]).SetAsString(QString::fromUtf8(values[1 - k][v]));
                    }
                    target.Post();
                }
            }
            target.Refresh();
        }
    }
    dm->GenerateKeys = true;
}

TEST_F(DataFolderSetUp, TheMoveLeavesTheTablesAsTheRowByRowMoveDid) {
    const std::vector<std::vector<int>> sizes = {{1, 1, 1, 1, 1, 1, 1}, {2, 2, 2, 2, 2, 2, 2}, {3, 3, 3, 3, 3, 3, 3},
                                                 {7, 7, 7, 7, 7, 7, 7}, {150, 3, 0, 2, 1, 2, 1}};
    for (const std::vector<int>& records : sizes) {
        testsupport::TempFolder old, rowByRow;
        testsupport::WriteOldDataFolder(old.Path(), records);
        for (data::TTable* t : DataModule1->ParadoxTables()) t->Close(), t->SetDatabaseName(old.Path());
        // The window is repainted and handles its events while the move goes on.
        int gaugeSeen = -1;
        QTimer::singleShot(0, [&] { gaugeSeen = Form7->CGauge1->value(); });
        Run(old.Path());
        EXPECT_EQ(Form7->CGauge1->value(), Form7->CGauge1->maximum());
        EXPECT_GT(gaugeSeen, 0);
        if (records[0] > 100) {
            EXPECT_LT(gaugeSeen, Form7->CGauge1->maximum());
        }
        EXPECT_TRUE(DataModule1->GenerateKeys);
        EXPECT_EQ(DataModule1->cust.RecordCount(), records[0]);

        for (data::TTable* t : DataModule1->ParadoxTables()) t->Close();
        testsupport::CreateSchemaDatabase(rowByRow.Path());
        MoveRowByRow(rowByRow.Path());
        DataModule1->IBDatabase1.Close();
        for (const data::TableDef& t : data::SchemaTables()) {
            // Rows read back in the order they are stored: keys, contents and order alike.
            const QString select = "select * from " + QString::fromLatin1(t.name);
            EXPECT_EQ(QueryRows(old.File("tovelx.fdb"), select), QueryRows(rowByRow.File("tovelx.fdb"), select))
                << t.name << " with " << records[0] << " records";
        }
    }
}

TEST_F(DataFolderSetUp, AMoveThatFailsPartWayLeavesNoDatabaseAndIsTriedAgain) {
    const std::vector<int> records = {3, 2, 2, 3, 1, 2, 2};
    const struct {
        const char* what;
        std::function<void(const QString&)> damage;
        QStringList shown;
    } cases[] = {
        {"a truncated third table",
         [](const QString& dir) {
             const QByteArray bytes = testsupport::ReadFile(dir + "/Details.db");
             const int header = uchar(bytes[2]) | uchar(bytes[3]) << 8;  // the records start after it
             testsupport::WriteFile(dir + "/Details.db", bytes.left(header + 40));
         },
         {"Details.db", "повреден", "преместете файла „%1/Details.db“ извън папката „%1“"}},
        {"a memo pointing outside its file",
         [](const QString& dir) {
             testsupport::WriteFile(dir + "/stock.mb", testsupport::ReadFile(dir + "/stock.mb").left(4200));
         },
         {"stock.mb", "„Описание на стока/услуга“", "запис 3", "преместете файла „%1/stock.db“ извън папката"}},
        // The byte ending a field name damaged: every later name would slide
        // one field along, and the customers' firms land in their groups.
        {"a field name run into the next",
         [](const QString& dir) {
             QByteArray bytes = testsupport::ReadFile(dir + "/customer.db");
             const QByteArray names = platform::EncodeCp1251(QStringLiteral("Фирма")) + '\0';
             const qsizetype at = bytes.indexOf(names);
             ASSERT_GT(at, 0);
             testsupport::WriteFile(dir + "/customer.db", bytes.replace(at + names.size() - 1, 1, " "));
         },
         {"„%1/customer.db“", "имената на полетата не отговарят на броя на полетата",
          "преместете файла „%1/customer.db“ извън папката"}},
        {"an empty table",
         [](const QString& dir) { testsupport::WriteFile(dir + "/employee.DB", ""); },
         {"„%1/employee.DB“ не може да бъде отворена: файлът е празен."}},
    };
    for (const auto& c : cases) {
        testsupport::TempFolder old;
        testsupport::WriteOldDataFolder(old.Path(), records);
        c.damage(old.Path());
        std::map<QString, QByteArray> before;
        for (const QString& name : QDir(old.Path()).entryList(QDir::Files)) before[name] = testsupport::ReadFile(old.File(name));
        for (data::TTable* t : DataModule1->ParadoxTables()) t->Close(), t->SetDatabaseName(old.Path());
        dialogs.Clear();
        const QString told = FailedRun(old.Path());

        EXPECT_EQ(QDir(old.Path()).entryList(QDir::Files).size(), qsizetype(before.size())) << c.what;  // no database, whole or not
        EXPECT_FALSE(Form7->isVisible()) << c.what;
        EXPECT_TRUE(DataModule1->GenerateKeys) << c.what;
        for (const QString& part : c.shown + QStringList{"опитано отново при следващото стартиране"})
            EXPECT_TRUE(told.contains(QString(part).replace("%1", old.Path()))) << c.what << ": " << told.toStdString();
        for (const auto& [name, bytes] : before) EXPECT_EQ(testsupport::ReadFile(old.File(name)), bytes) << name.toStdString();

        // Not again in this run (the start-up falls back to the same folder),
        // but, mended, at the next start.
        EXPECT_EQ(FailedRun(old.Path()), told);
        platform::DestroyCreatedForms();
        Start();
        testsupport::WriteOldDataFolder(old.Path(), records);
        for (data::TTable* t : DataModule1->ParadoxTables()) t->SetDatabaseName(old.Path());
        Run(old.Path());
        EXPECT_EQ(QueryRows(old.File("tovelx.fdb"), "select count(*) from stock"), QStringList{"3"}) << c.what;
    }
}

// Run by the test below in a process of its own: the start of the program
// with the work place named in the environment.
TEST_F(DataFolderSetUp, DISABLED_StartsOnTheFolderOfTheEnvironment) {
    const QString dir = qEnvironmentVariable("QUILLANE_MOVE_FOLDER");
    testsupport::WriteFile(Path(PathKind::NetworkFile), dir.toUtf8() + "\r\n1\r\n");
    DataModule1->OpenDatabaseLocation(dir);
    EXPECT_TRUE(QFile::exists(dir + "/tovelx.fdb"));
}

TEST_F(DataFolderSetUp, AMoveKilledAtAnyMomentLeavesNoDatabaseAndTheNextStartMovesEverything) {
    testsupport::WriteOldDataFolder(folder.Path(), {500, 3, 2, 700, 2, 300, 2});
    const QString real = folder.File("tovelx.fdb"), moving = real + ".moving";
    qputenv("QUILLANE_MOVE_FOLDER", folder.Path().toUtf8());
    // Starts the program on the folder; kills it after `after` ms of its move
    // (never when negative). Returns the ms the move took, or -1 when killed
    // while it was still moving.
    const auto start = [&](qint64 after) {
        QProcess child;
        // A killed process may leave the engine's lock files held: its own,
        // not those of the other test programs running beside this one.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("FIREBIRD_LOCK", folder.File("lock"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_also_run_disabled_tests", "--gtest_filter=DataFolderSetUp.DISABLED_StartsOnTheFolderOfTheEnvironment"});
        QElapsedTimer clock;
        while (!QFile::exists(moving) && !QFile::exists(real) && child.state() != QProcess::NotRunning) QThread::usleep(500);
        clock.start();
        while (after >= 0 && clock.elapsed() < after && child.state() != QProcess::NotRunning) QThread::usleep(200);
        const bool wasMoving = QFile::exists(moving) && !QFile::exists(real);
        if (after >= 0) child.kill();
        while (after < 0 && !QFile::exists(real) && child.state() != QProcess::NotRunning) QThread::usleep(500);
        const qint64 took = clock.elapsed();
        EXPECT_TRUE(child.waitForFinished(120000));
        if (after < 0) {
            EXPECT_EQ(child.exitCode(), 0);
        }
        return after >= 0 && wasMoving ? -1 : took;
    };
    const auto tables = [&] {
        QStringList rows;
        for (const data::TableDef& t : data::SchemaTables()) rows << QueryRows(real, "select * from " + QString::fromLatin1(t.name));
        return rows;
    };
    qint64 whole = start(-1);
    const QStringList moved = tables();
    ASSERT_GT(moved.size(), 1500);
    int killedMoving = 0;
    for (int k = 0; k < 30 && killedMoving < 12; ++k) {
        QFile::remove(real);
        // Kills spread over the move's length; one that comes after the move
        // has ended shortens the length taken. The database is there whole or
        // not at all.
        if (start(whole * (2 * killedMoving + 1) / 24) < 0) ++killedMoving;
        else whole = whole * 3 / 4;
        if (QFile::exists(real)) EXPECT_EQ(tables(), moved) << "killed at " << k;
        else EXPECT_NE(start(-1), -1);
        EXPECT_EQ(tables(), moved) << "the start after kill " << k;
        EXPECT_FALSE(QFile::exists(moving));
    }
    std::printf("move of %lld ms killed %d times while moving\n", whole, killedMoving);
    EXPECT_GE(killedMoving, 10);
}

}  // namespace
