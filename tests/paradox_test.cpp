#include "data/ParadoxTable.h"
#include "platform/CodePage.h"
#include "platform/LocaleText.h"
#include "support/paradoxwriter.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>
#include <memory>
#include <random>

using data::FieldType;
using data::TableError;
using data::TTable;
using testsupport::JpegLikeBytes;
using testsupport::PxColumn;
using testsupport::PxKind;
using testsupport::PxRow;
using testsupport::PxValue;
using testsupport::WriteParadoxTable;

namespace {

class Paradox : public ::testing::Test {
protected:

    // A table of the test's folder, opened unless told otherwise; it lives as long as the test.
    TTable& Table(const QString& name, bool open = true) {
        tables.push_back(std::make_unique<TTable>(name));
        tables.back()->SetDatabaseName(folder.Path());
        if (open) tables.back()->Open();
        return *tables.back();
    }

    testsupport::BulgarianLocale locale;
    testsupport::TempFolder folder;
    std::vector<std::unique_ptr<TTable>> tables;
};

// The message of the TableError that run throws; a failure when none.
QString ErrorOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const TableError& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no error";
    return {};
}

// Cyrillic text of the given length, so that memo sizes are exact.
QString LongText(int length, QChar start = u'А') {
    QString text;
    const QString words = QStringLiteral("Доставка на стока „%1“ по договор № 15, гр. София; ");
    while (text.size() < length) text += words.arg(QChar(static_cast<char16_t>(start.unicode() + text.size() % 32)));
    return text.left(length);
}

TEST_F(Paradox, EveryKindOfFieldReadsAsTheOlderVersionShowedIt) {
    const QString memo = LongText(700);
    const QByteArray logo = JpegLikeBytes(5000);
    WriteParadoxTable(folder.File(QStringLiteral("customer.db")),
                      {{QStringLiteral("Фирма"), PxKind::Alpha, 60},
                       {QStringLiteral("Клиент №"), PxKind::Short},
                       {QStringLiteral("Брой"), PxKind::Long},
                       {QStringLiteral("К-во"), PxKind::Number},
                       {QStringLiteral("Цена"), PxKind::Currency},
                       {QStringLiteral("Платена"), PxKind::Logical},
                       {QStringLiteral("От дата"), PxKind::Date},
                       {QStringLiteral("Час"), PxKind::Time},
                       {QStringLiteral("Създаден"), PxKind::Timestamp},
                       {QStringLiteral("Пореден"), PxKind::AutoInc},
                       {QStringLiteral("Бележки"), PxKind::Memo, 10},
                       {QStringLiteral("Лого"), PxKind::Graphic, 0}},
                      {
                          {QStringLiteral("„Звезда“ ЕООД"), qint64(-12), qint64(123456), 1.5, 12.5, true,
                           QDate(2013, 3, 5), qint64((13 * 3600 + 5 * 60 + 9) * 1000),
                           // 5.3.2013 08:30:00 as milliseconds from day 1 of year 1
                           double(QDate(2013, 3, 5).toJulianDay() - 1721425) * 86400000.0 + 8.5 * 3600000.0, qint64(7),
                           memo, logo},
                          {QStringLiteral("Ъглов магазин"), qint64(0), qint64(-5), 0.1 + 0.2, -3.0, false,
                           QDate(1999, 12, 31), qint64(0), double(QDate(2000, 1, 2).toJulianDay() - 1721425) * 86400000.0,
                           qint64(8), QStringLiteral("кратко"), std::monostate{}},
                          PxRow(12, std::monostate{}),
                      });

    TTable& table = Table(QStringLiteral("customer.db"));
    ASSERT_EQ(table.RecordCount(), 3);

    struct Case {
        int recNo;
        const char* field;
        QString text;
    };
    const Case cases[] = {
        {1, "Фирма", QStringLiteral("„Звезда“ ЕООД")}, {1, "Клиент №", QStringLiteral("-12")},
        {1, "Брой", QStringLiteral("123456")}, {1, "К-во", QStringLiteral("1,5")},
        {1, "Цена", QStringLiteral("12,50")}, {1, "Платена", QStringLiteral("True")},
        {1, "От дата", QStringLiteral("05.03.2013")}, {1, "Час", QStringLiteral("13:05:09")},
        {1, "Създаден", QStringLiteral("05.03.2013 08:30:00")}, {1, "Пореден", QStringLiteral("7")},
        {1, "Бележки", memo},
        {2, "Фирма", QStringLiteral("Ъглов магазин")}, {2, "Брой", QStringLiteral("-5")},
        {2, "К-во", QStringLiteral("0,3")}, {2, "Цена", QStringLiteral("-3,00")},
        {2, "Платена", QStringLiteral("False")}, {2, "От дата", QStringLiteral("31.12.1999")},
        {2, "Създаден", QStringLiteral("02.01.2000")}, {2, "Бележки", QStringLiteral("кратко")},
        {2, "Лого", QString()},
        {3, "Фирма", QString()}, {3, "Клиент №", QString()}, {3, "К-во", QString()}, {3, "Цена", QString()},
        {3, "Платена", QString()}, {3, "От дата", QString()}, {3, "Бележки", QString()}, {3, "Лого", QString()},
    };
    for (const Case& c : cases) {
        table.SetRecNo(c.recNo);
        EXPECT_EQ(table.FieldText(QString::fromUtf8(c.field)), c.text) << c.field << " of record " << c.recNo;
    }

    table.SetRecNo(1);
    EXPECT_EQ(table.Picture(QStringLiteral("Лого")), logo);
    EXPECT_FALSE(table.IsNull(QStringLiteral("Платена")));
    table.SetRecNo(2);
    EXPECT_FALSE(table.IsNull(QStringLiteral("Платена"))) << "False is a value, not an empty field";
    EXPECT_TRUE(table.IsNull(QStringLiteral("Лого")));
    EXPECT_TRUE(table.Picture(QStringLiteral("Лого")).isEmpty());
    table.SetRecNo(3);
    for (const QString& name : table.FieldNames()) {  // an AutoInc field always gets the next number
        if (table.FieldKind(name) != FieldType::AutoInc) {
            EXPECT_TRUE(table.IsNull(name)) << name.toStdString();
        }
    }
}

TEST_F(Paradox, MemosAndPicturesOfEveryLengthComeBackWhole) {
    // The record keeps 10 bytes; longer values live in the .mb file, small ones
    // several to a block, large ones in blocks of their own.
    const int lengths[] = {0, 1, 9, 10, 11, 15, 16, 17, 230, 500, 512, 3000, 4096, 4100, 20000, 70000};
    std::vector<PxRow> rows;
    for (int i = 0; i < static_cast<int>(std::size(lengths)); ++i) {
        const QString text = LongText(lengths[i], QChar(static_cast<char16_t>(u'А' + i)));
        rows.push_back({qint64(i + 1), lengths[i] == 0 ? PxValue{} : PxValue{text},
                        lengths[i] == 0 ? PxValue{} : PxValue{JpegLikeBytes(lengths[i], i + 1)}});
    }
    WriteParadoxTable(folder.File(QStringLiteral("Store.DB")),
                      {{QStringLiteral("Num"), PxKind::Short}, {QStringLiteral("Стоки и Услуги"), PxKind::Memo, 10},
                       {QStringLiteral("Лого"), PxKind::Graphic, 0}}, rows);
    ASSERT_TRUE(QFile::exists(folder.File(QStringLiteral("Store.MB"))));

    TTable& table = Table(QStringLiteral("Store.DB"));
    ASSERT_EQ(table.RecordCount(), static_cast<int>(std::size(lengths)));
    EXPECT_EQ(table.FieldKind(QStringLiteral("Лого")), FieldType::Graphic);
    for (int i = 0; i < static_cast<int>(std::size(lengths)); ++i) {
        table.SetRecNo(i + 1);
        const QString text = table.FieldText(QStringLiteral("Стоки и Услуги"));
        EXPECT_EQ(text, LongText(lengths[i], QChar(static_cast<char16_t>(u'А' + i)))) << "length " << lengths[i];
        EXPECT_EQ(table.MemoText(QStringLiteral("Стоки и Услуги")), text);
        EXPECT_EQ(table.Picture(QStringLiteral("Лого")), lengths[i] ? JpegLikeBytes(lengths[i], i + 1) : QByteArray());
        // Stored with the graphic header before the picture.
        EXPECT_EQ(table.FieldBytes(QStringLiteral("Лого")).size(), lengths[i] ? lengths[i] + 8 : 0);
    }
}

TEST_F(Paradox, RecordNumbersRunInTheTablesOwnOrderAcrossBlocksAndStayInRange) {
    // 250 records of 12 bytes fill several 2 KB blocks.
    std::vector<PxRow> rows;
    for (int i = 1; i <= 250; ++i) rows.push_back({qint64(i), QStringLiteral("ред %1").arg(i)});
    WriteParadoxTable(folder.File(QStringLiteral("employee.DB")),
                      {{QStringLiteral("№"), PxKind::Short}, {QStringLiteral("Име"), PxKind::Alpha, 10}}, rows);

    TTable& table = Table(QStringLiteral("employee.DB"));
    ASSERT_EQ(table.RecordCount(), 250);
    EXPECT_EQ(table.RecNo(), 1);

    // The way the move of old data walks a table: from the last record down.
    for (int recNo = 250; recNo >= 1; --recNo) {
        table.SetRecNo(recNo);
        ASSERT_EQ(table.RecNo(), recNo);
        EXPECT_EQ(table.FieldText(QStringLiteral("№")), QString::number(recNo));
        EXPECT_EQ(table.FieldText(QStringLiteral("Име")), QStringLiteral("ред %1").arg(recNo));
    }

    table.SetRecNo(137);
    EXPECT_EQ(table.RecNo(), 137);
    EXPECT_EQ(table.FieldText(QStringLiteral("№")), QStringLiteral("137"));
    for (int outside : {0, -1, 251, 100000}) {
        table.SetRecNo(outside);
        EXPECT_EQ(table.RecNo(), 137) << "setting " << outside;
    }
    // An empty table has no record, and its fields are empty.
    WriteParadoxTable(folder.File(QStringLiteral("currency.db")),
                      {{QStringLiteral("Валута"), PxKind::Alpha, 10}, {QStringLiteral("Курс"), PxKind::Number}}, {});
    TTable& empty = Table(QStringLiteral("currency.db"));
    EXPECT_EQ(empty.RecordCount(), 0);
    EXPECT_EQ(empty.RecNo(), 0);
    empty.SetRecNo(0);
    empty.SetRecNo(1);
    EXPECT_EQ(empty.RecNo(), 0);
    EXPECT_EQ(empty.FieldText(QStringLiteral("Валута")), QString());
    EXPECT_EQ(empty.FieldNames(), (QStringList{QStringLiteral("Валута"), QStringLiteral("Курс")}));
}

TEST_F(Paradox, FilesAndFieldNamesAreFoundWhateverTheirCase) {
    // As copied from Windows: the file's name in capitals.
    WriteParadoxTable(folder.File(QStringLiteral("CUSTOMER.DB")),
                      {{QStringLiteral("Place of publishment"), PxKind::Alpha, 50},
                       {QStringLiteral("Фирма"), PxKind::Alpha, 50},
                       {QStringLiteral("Бележки"), PxKind::Memo, 5}},
                      {{QStringLiteral("Sofia"), QStringLiteral("Алфа"), LongText(300)}});
    EXPECT_TRUE(data::TableFileExists(folder.Path(), QStringLiteral("customer.db")));
    EXPECT_FALSE(data::TableFileExists(folder.Path(), QStringLiteral("Firm.db")));
    TTable& table = Table(QStringLiteral("customer.db"));
    EXPECT_EQ(table.FieldText(QStringLiteral("Бележки")), LongText(300));
    for (const char* name : {"Place of publishment", "PLACE OF PUBLISHMENT", "place Of Publishment"})
        EXPECT_EQ(table.FieldText(QString::fromUtf8(name)), QStringLiteral("Sofia")) << name;
    for (const char* name : {"Фирма", "ФИРМА", "фирма"}) {
        EXPECT_TRUE(table.HasField(QString::fromUtf8(name)));
        EXPECT_EQ(table.FieldText(QString::fromUtf8(name)), QStringLiteral("Алфа")) << name;
    }
    EXPECT_FALSE(table.HasField(QStringLiteral("Place")));
    const QString unknown = ErrorOf([&] { table.FieldText(QStringLiteral("Адрес")); });
    EXPECT_TRUE(unknown.contains(QStringLiteral("„Адрес“")) && unknown.contains(QStringLiteral("customer.db"), Qt::CaseInsensitive));

    // A get-text handler replaces the shown text, but not the memo itself.
    QString window = QStringLiteral("текст от прозореца");
    table.SetGetTextHandler(QStringLiteral("бележки"), [&] { return window; });
    EXPECT_EQ(table.FieldText(QStringLiteral("Бележки")), QStringLiteral("текст от прозореца"));
    window = QStringLiteral("друг текст");
    EXPECT_EQ(table.FieldText(QStringLiteral("Бележки")), QStringLiteral("друг текст"));
    EXPECT_EQ(table.MemoText(QStringLiteral("Бележки")), LongText(300));
    EXPECT_EQ(table.FieldText(QStringLiteral("Фирма")), QStringLiteral("Алфа"));
    table.SetGetTextHandler(QStringLiteral("Бележки"), {});
    EXPECT_EQ(table.FieldText(QStringLiteral("Бележки")), LongText(300));
}

TEST_F(Paradox, TextIsReadAsTheOlderVersionShowedItAndAllZeroBytesAreBlank) {
    // The older version ran on Bulgarian Windows: a DOS code page was turned
    // into Windows text, the bytes of a Windows code page were shown as they
    // stand, that is as Windows-1251. Written through the C library's
    // converter in the page of `bytes`; the header names `header`.
    const struct {
        int bytes, header;
        QString name, text;
    } cases[] = {
        {866, 866, QStringLiteral("Име"), QStringLiteral("Пётр Ёлкин ░ №5")},
        {855, 855, QStringLiteral("Фирма"), QStringLiteral("Жълт Щъркел Юг №5 ђ")},
        {850, 850, QStringLiteral("Straße"), QStringLiteral("Müller & Söhne ½")},
        {852, 852, QStringLiteral("Město"), QStringLiteral("Łódź Čech ű")},
        {437, 437, QStringLiteral("Name"), QStringLiteral("Café ░▒▓ ½")},
        {1251, 1251, QStringLiteral("Име"), QStringLiteral("Иван „Ъгъл“ №5")},
        // Made on a Western or Central European Windows, or by a driver that
        // names no code page, and filled on a Bulgarian one.
        {1251, 1252, QStringLiteral("Фирма"), QStringLiteral("Иван „Ъгъл“ №5 Ёж € я")},
        {1251, 1250, QStringLiteral("Фирма"), QStringLiteral("Щит ъгъл")},
        {1251, 0, QStringLiteral("Фирма"), QStringLiteral("Щит ъгъл")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 under a header naming %2").arg(c.bytes).arg(c.header).toStdString());
        // A blank long followed by a field that holds something: pxlib alone
        // reads it as the smallest long.
        WriteParadoxTable(folder.File(QStringLiteral("employee.DB")),
                          {{QStringLiteral("Nr"), PxKind::Long}, {c.name, PxKind::Alpha, 40}, {QStringLiteral("Memo"), PxKind::Memo, 10}},
                          {{std::monostate{}, c.text, c.text.repeated(5)}}, c.bytes, c.header);
        TTable& table = Table(QStringLiteral("employee.DB"));
        EXPECT_EQ(table.FieldNames(), (QStringList{QStringLiteral("Nr"), c.name, QStringLiteral("Memo")}));
        EXPECT_EQ(table.FieldText(c.name), c.text);
        EXPECT_EQ(table.MemoText(QStringLiteral("Memo")), c.text.repeated(5));
        EXPECT_EQ(table.FieldText(QStringLiteral("Nr")), QString());
    }
}

TEST_F(Paradox, EveryByteOfADosCodePageReadsAsTheCLibraryReadsIt) {
    QByteArray high;
    for (int b = 0x20; b <= 0xFF; ++b) high.append(static_cast<char>(b));
    for (const int codePage : {437, 737, 775, 850, 852, 855, 857, 860, 861, 863, 865, 866, 869}) {
        SCOPED_TRACE(codePage);
        // The C library's converter, byte by byte: a byte the page leaves
        // unassigned reads as the replacement character.
        QString expected;
        for (const char b : high) {
            const QString one = testsupport::DecodeWithCLibrary(QByteArray(1, b), codePage);
            expected += one.isNull() ? QString(QChar(0xFFFD)) : one;
        }
        EXPECT_EQ(platform::DecodeDosCodePage(high, codePage), expected);
        EXPECT_TRUE(platform::IsDosCodePage(codePage));
    }
    for (const int windows : {0, 1250, 1251, 1252, 1253, 65001}) EXPECT_FALSE(platform::IsDosCodePage(windows)) << windows;
}

TEST_F(Paradox, CreatesTheEnglishFirmTableWithItsSixFields) {
    TTable& table = Table(QStringLiteral("ae.db"), false);
    const std::pair<const char*, int> strings[] = {
        {"VOP", 10}, {"Supplier", 255}, {"Address", 255}, {"Resp.Person", 255}, {"Place of publishment", 255}};
    for (const auto& [name, size] : strings) table.AddFieldDef(QString::fromUtf8(name), FieldType::String, size);
    table.AddFieldDef(QStringLiteral("logo"), FieldType::Graphic, 2);
    table.CreateTable();
    EXPECT_FALSE(table.Active());
    EXPECT_TRUE(QFile::exists(folder.File(QStringLiteral("ae.mb"))));

    TTable& reader = Table(QStringLiteral("ae.db"));
    EXPECT_EQ(reader.RecordCount(), 0);
    ASSERT_EQ(reader.FieldDefs.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const data::FieldDef& def = reader.FieldDefs[i];
        EXPECT_EQ(def.Name, i < 5 ? QString::fromUtf8(strings[i].first) : QStringLiteral("logo"));
        EXPECT_EQ(def.Size, i < 5 ? strings[i].second : 2) << i;
        EXPECT_EQ(def.DataType, i < 5 ? FieldType::String : FieldType::Graphic) << i;
    }
}

TEST_F(Paradox, AFaultyDefinitionOrAnExistingTableCreatesNothing) {
    struct Case {
        const char* why;
        std::vector<data::FieldDef> defs;
    };
    const Case cases[] = {
        {"no fields", {}},
        {"string too long", {{QStringLiteral("A"), FieldType::String, 256}}},
        {"string of no size", {{QStringLiteral("A"), FieldType::String, 0}}},
        {"a kind ae.db does not hold", {{QStringLiteral("M"), FieldType::Memo, 10}}},
        {"same name twice", {{QStringLiteral("Име"), FieldType::String, 5}, {QStringLiteral("ИМЕ"), FieldType::String, 5}}},
        {"name too long", {{QString(26, u'x'), FieldType::String, 5}}},
        {"name outside Windows-1251", {{QStringLiteral("Straße€¥"), FieldType::String, 5}}},
        {"required", {{QStringLiteral("A"), FieldType::String, 5, true}}},
    };
    for (const Case& c : cases) {
        TTable& table = Table(QStringLiteral("bad.db"), false);
        table.FieldDefs = c.defs;
        EXPECT_THROW(table.CreateTable(), TableError) << c.why;
        EXPECT_TRUE(QDir(folder.Path()).entryList(QDir::Files).isEmpty()) << c.why;
    }
    TTable nowhere(QStringLiteral("ae.db"));
    nowhere.SetDatabaseName(folder.File(QStringLiteral("no such folder")));
    nowhere.AddFieldDef(QStringLiteral("VOP"), FieldType::String, 10);
    EXPECT_THROW(nowhere.CreateTable(), TableError);
    // Nor over a table that exists, whatever the case of its name.
    WriteParadoxTable(folder.File(QStringLiteral("AE.DB")), {{QStringLiteral("VOP"), PxKind::Alpha, 10}},
                      {{QStringLiteral("да")}});
    const QByteArray before = testsupport::ReadFile(folder.File(QStringLiteral("AE.DB")));
    TTable& table = Table(QStringLiteral("ae.db"), false);
    table.AddFieldDef(QStringLiteral("VOP"), FieldType::String, 10);
    EXPECT_THROW(table.CreateTable(), TableError);
    EXPECT_EQ(testsupport::ReadFile(folder.File(QStringLiteral("AE.DB"))), before);
    EXPECT_FALSE(QFile::exists(folder.File(QStringLiteral("ae.db"))));
}

// A table with every kind of value, for the damage cases.
QString WriteSample(const testsupport::TempFolder& folder) {
    std::vector<PxRow> rows;
    for (int i = 1; i <= 120; ++i)
        rows.push_back({QStringLiteral("Клиент %1").arg(i), qint64(i), 1.25 * i, i % 2 == 0, QDate(2012, 1 + i % 12, 1 + i % 28),
                        i % 3 == 0 ? PxValue{} : PxValue{LongText(40 + 37 * i)},
                        i % 10 == 0 ? PxValue{JpegLikeBytes(200 * i, i)} : PxValue{}});
    const QString path = folder.File(QStringLiteral("customer.db"));
    WriteParadoxTable(path,
                      {{QStringLiteral("Фирма"), PxKind::Alpha, 30},
                       {QStringLiteral("Клиент №"), PxKind::Short},
                       {QStringLiteral("Сума"), PxKind::Currency},
                       {QStringLiteral("Платена"), PxKind::Logical},
                       {QStringLiteral("От дата"), PxKind::Date},
                       {QStringLiteral("Бележки"), PxKind::Memo, 12},
                       {QStringLiteral("Лого"), PxKind::Graphic, 0}},
                      rows);
    return path;
}

// Opens the table and reads every field of every record. Returns false when
// a TableError stopped it; anything else escapes.
bool ReadEverything(const QString& folder) {
    TTable table(QStringLiteral("customer.db"));
    table.SetDatabaseName(folder);
    try {
        table.Open();
        for (int r = 1; r <= table.RecordCount(); ++r) {
            table.SetRecNo(r);
            for (const QString& name : table.FieldNames()) {
                table.FieldText(name);
                if (table.FieldKind(name) == FieldType::Graphic) table.Picture(name);
            }
        }
        return true;
    } catch (const TableError& e) {
        EXPECT_FALSE(e.Message().isEmpty());
        return false;
    }
}

TEST_F(Paradox, AMissingOrDamagedTableGivesAClearErrorNamingTheFile) {
    const QString path = WriteSample(folder);
    const QByteArray good = testsupport::ReadFile(path);
    ASSERT_TRUE(ReadEverything(folder.Path()));

    struct Case {
        const char* what;
        std::function<QByteArray()> bytes;  // null: no file at all
    };
    const Case cases[] = {
        {"missing", nullptr},
        {"empty", [] { return QByteArray(); }},
        {"a few bytes", [&] { return good.left(40); }},
        {"header cut in the field list", [&] { return good.left(0x90); }},
        {"header cut in the field names", [&] { return good.left(0x1A0); }},
        {"header only", [&] { return good.left(0x800); }},
        {"cut inside the data blocks",
         [&] {
             const int header = static_cast<unsigned char>(good[2]) | static_cast<unsigned char>(good[3]) << 8;
             const int block = static_cast<unsigned char>(good[5]) * 1024;
             return good.left(header + 2 * block + 100);
         }},
        {"text", [] { return QByteArray("Фирма;Адрес\nАлфа;София\n"); }},
        {"zeros", [&] { return QByteArray(good.size(), '\0'); }},
        {"random bytes",
         [&] {
             std::mt19937 rng(7);
             QByteArray b(good.size(), '\0');
             for (char& c : b) c = static_cast<char>(rng());
             return b;
         }},
        {"record count too high", [&] { return QByteArray(good).replace(0x06, 1, "\xFF"); }},
        // the first block names itself as the next
        {"block chain looping", [&] { return QByteArray(good).replace(0x800, 2, QByteArray("\1\0", 2)); }},
        {"unknown field type", [&] { return QByteArray(good).replace(0x78, 1, "\x30"); }},
    };
    for (const Case& c : cases) {
        if (c.bytes) testsupport::WriteFile(path, c.bytes());
        else QFile::remove(path);
        TTable& table = Table(QStringLiteral("customer.db"), false);
        EXPECT_TRUE(ErrorOf([&] { table.Open(); }).startsWith(QStringLiteral("Таблицата „%1“ не може да бъде отворена: ").arg(path)))
            << c.what;
        EXPECT_FALSE(table.Active()) << c.what;
    }
}

TEST_F(Paradox, AnEmptyOrTinyFileIsToldAsSuchNotAsACutHeader) {
    const QString path = folder.File(QStringLiteral("customer.db"));
    const QString start = QStringLiteral("Таблицата „%1“ не може да бъде отворена: ").arg(path);
    const struct {
        QByteArray bytes;
        QString reason;
    } cases[] = {
        {QByteArray(), QStringLiteral("файлът е празен.")},
        {QByteArray("\r\n"), QStringLiteral("това не е файл с таблица на Paradox (файлът има само 2 байта).")},
        {QByteArray(40, '\0'), QStringLiteral("това не е файл с таблица на Paradox (файлът има само 40 байта).")},
        {QByteArray(0x57, 'x'), QStringLiteral("това не е файл с таблица на Paradox (файлът има само 87 байта).")},
        {QByteArray("Фирма;Адрес\nАлфа;София\n").repeated(20), QStringLiteral("това не е файл с таблица на Paradox.")},
    };
    for (const auto& c : cases) {
        testsupport::WriteFile(path, c.bytes);
        TTable& table = Table(QStringLiteral("customer.db"), false);
        EXPECT_EQ(ErrorOf([&] { table.Open(); }), start + c.reason) << c.bytes.size() << " bytes";
    }
}

// Where the byte that ends one field name is damaged, the names run together
// and every later one would slide one field along.
TEST_F(Paradox, AnyOneDamagedByteOfTheHeaderRefusesTheTableOrLeavesEveryOtherFieldInItsPlace) {
    const QStringList names = {QStringLiteral("Клиент №"), QStringLiteral("Фирма"), QStringLiteral("Група"),
                               QStringLiteral("ИН по ЗДДС"), QStringLiteral("Идент №"), QStringLiteral("Адрес")};
    std::vector<PxColumn> columns;
    for (const QString& name : names) columns.push_back({name, PxKind::Alpha, 20});
    std::vector<PxRow> rows;
    for (int r = 1; r <= 50; ++r) {
        PxRow row;
        for (const QString& name : names) row.push_back(QStringLiteral("%1 %2").arg(r).arg(name));
        rows.push_back(row);
    }
    const QString path = folder.File(QStringLiteral("customer.db"));
    WriteParadoxTable(path, columns, rows);
    const QByteArray good = testsupport::ReadFile(path);
    const int headerSize = static_cast<unsigned char>(good[2]) | static_cast<unsigned char>(good[3]) << 8;
    ASSERT_GE(headerSize, 0x200);

    // The end of each name but the last, run into the next.
    const QByteArray block = platform::EncodeCp1251(names.join(QChar(u'\0')));
    const qsizetype first = good.indexOf(block);
    ASSERT_GT(first, 0);
    for (qsizetype end = good.indexOf('\0', first); end < first + block.size(); end = good.indexOf('\0', end + 1)) {
        for (const char joined : {' ', '\xFF', 'x'}) {
            testsupport::WriteFile(path, QByteArray(good).replace(end, 1, QByteArray(1, joined)));
            TTable& table = Table(QStringLiteral("customer.db"), false);
            EXPECT_EQ(ErrorOf([&] { table.Open(); }),
                      QStringLiteral("Таблицата „%1“ не може да бъде отворена: файлът е повреден (имената на полетата не "
                                     "отговарят на броя на полетата).").arg(path))
                << "end at " << end << " joined by " << int(joined);
        }
    }

    // Any one byte of the header changed: refused, or every name but at most
    // one stands where it stood, and its values with it.
    int refused = 0;
    for (int at = 0; at < headerSize; ++at) {
        for (const int change : {0x20, 0xFF}) {
            QByteArray bytes = good;
            bytes[at] = static_cast<char>(bytes[at] ^ change);
            testsupport::WriteFile(path, bytes);
            TTable table(QStringLiteral("customer.db"));
            table.SetDatabaseName(folder.Path());
            try {
                table.Open();
            } catch (const TableError&) {
                ++refused;
                continue;
            }
            const QStringList read = table.FieldNames();
            ASSERT_EQ(read.size(), names.size()) << "byte " << at << " ^ " << change;
            int moved = 0;
            for (int i = 0; i < names.size(); ++i) {
                if (read[i] == names[i]) {
                    table.SetRecNo(37);
                    EXPECT_EQ(table.FieldText(names[i]), QStringLiteral("37 ") + names[i]) << "byte " << at << " ^ " << change;
                } else {
                    ++moved;
                }
            }
            EXPECT_LE(moved, 1) << "byte " << at << " ^ " << change << ": " << read.join(u'|').toStdString();
        }
    }
    EXPECT_GT(refused, 0);
}

TEST_F(Paradox, DatesBeforeTheFirstDayOfTheCalendarReadEmptyAndSayWhy) {
    const double day = 86400000.0;
    WriteParadoxTable(folder.File(QStringLiteral("Store.DB")),
                      {{QStringLiteral("От дата"), PxKind::Date}, {QStringLiteral("Създаден"), PxKind::Timestamp},
                       {QStringLiteral("Num"), PxKind::Short}},
                      {
                          {qint64(0), 0.0, qint64(1)},
                          {qint64(-1), 12 * 3600000.0, qint64(2)},
                          {qint64(-366), -5 * day, qint64(3)},
                          {qint64(1), day + 3600000.0, qint64(4)},  // 01.01.0001, the first day
                          {QDate(2013, 3, 5), double(QDate(2013, 3, 5).toJulianDay() - 1721425) * day, qint64(5)},
                          {std::monostate{}, std::monostate{}, qint64(6)},
                      });
    TTable& table = Table(QStringLiteral("Store.DB"));
    const struct {
        QString date, dateProblem, stamp, stampProblem;
    } expected[] = {
        {{}, QStringLiteral("датата е преди 01.01.0001 (ден 0 от календара)"), {}, QStringLiteral("датата е преди 01.01.0001 (ден 0 от календара)")},
        {{}, QStringLiteral("датата е преди 01.01.0001 (ден -1 от календара)"), {}, QStringLiteral("датата е преди 01.01.0001 (ден 0 от календара)")},
        {{}, QStringLiteral("датата е преди 01.01.0001 (ден -366 от календара)"), {}, QStringLiteral("датата е преди 01.01.0001 (ден -5 от календара)")},
        {QStringLiteral("01.01.0001"), {}, QStringLiteral("01.01.0001 01:00:00"), {}},
        {QStringLiteral("05.03.2013"), {}, QStringLiteral("05.03.2013"), {}},
        {{}, {}, {}, {}},
    };
    for (int r = 1; r <= 6; ++r) {
        SCOPED_TRACE(r);
        table.SetRecNo(r);
        const auto& e = expected[r - 1];
        EXPECT_EQ(table.FieldText(QStringLiteral("От дата")), e.date);
        EXPECT_EQ(table.ValueProblem(QStringLiteral("От дата")), e.dateProblem);
        EXPECT_EQ(table.FieldText(QStringLiteral("Създаден")), e.stamp);
        EXPECT_EQ(table.ValueProblem(QStringLiteral("Създаден")), e.stampProblem);
        EXPECT_EQ(table.ValueProblem(QStringLiteral("Num")), QString());
    }
}

TEST_F(Paradox, AMissingOrDamagedMbFileGivesAClearError) {
    const QString path = WriteSample(folder);
    const QString mbPath = folder.File(QStringLiteral("customer.mb"));
    const QByteArray mb = testsupport::ReadFile(mbPath);

    QFile::remove(mbPath);
    TTable& table = Table(QStringLiteral("customer.db"), false);
    EXPECT_TRUE(ErrorOf([&] { table.Open(); }).contains(mbPath));

    // Cut: the records open, a memo whose text is gone reports itself.
    testsupport::WriteFile(mbPath, mb.left(5000));
    table.Open();
    table.SetRecNo(1);
    EXPECT_EQ(table.FieldText(QStringLiteral("Фирма")), QStringLiteral("Клиент 1"));
    table.SetRecNo(119);
    const QString cut = ErrorOf([&] { table.FieldText(QStringLiteral("Бележки")); });
    for (const QString& part : {QStringLiteral("„Бележки“"), QStringLiteral("119"), mbPath}) EXPECT_TRUE(cut.contains(part)) << cut.toStdString();
    table.Close();

    testsupport::WriteFile(mbPath, QByteArray("not a blob file"));
    EXPECT_THROW(table.Open(), TableError);
}

TEST_F(Paradox, DamagedBytesAnywhereNeverCrash) {
    const QString path = WriteSample(folder);
    const QString mbPath = folder.File(QStringLiteral("customer.mb"));
    const QByteArray db = testsupport::ReadFile(path);
    const QByteArray mb = testsupport::ReadFile(mbPath);
    std::mt19937 rng(2013);
    int opened = 0, refused = 0;
    for (int round = 0; round < 400; ++round) {
        QByteArray d = db, m = mb;
        QByteArray& target = round % 2 == 0 ? d : m;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < flips; ++i) {
            // Most damage where the structure lives: the header and the block heads.
            const qsizetype limit = round % 4 == 0 ? 0x200 : target.size();
            target[static_cast<qsizetype>(rng() % limit)] = static_cast<char>(rng());
        }
        testsupport::WriteFile(path, d);
        testsupport::WriteFile(mbPath, m);
        (ReadEverything(folder.Path()) ? opened : refused) += 1;
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(opened, 0);
}

TEST_F(Paradox, NamesChangeOnlyWhileClosedAndAClosedTableSaysSo) {
    WriteParadoxTable(folder.File(QStringLiteral("Details.db")), {{QStringLiteral("Bank"), PxKind::Alpha, 40}},
                      {{QStringLiteral("Първа банка")}});
    TTable table(QStringLiteral("Details"));
    EXPECT_EQ(table.TableName(), QStringLiteral("Details.db"));
    table.SetDatabaseName(folder.Path());
    EXPECT_THROW(table.RecordCount(), TableError);
    EXPECT_THROW(table.FieldText(QStringLiteral("Bank")), TableError);
    table.Open();
    table.Open();
    EXPECT_TRUE(table.Active());
    EXPECT_THROW(table.SetDatabaseName(QStringLiteral("/elsewhere")), TableError);
    EXPECT_THROW(table.SetTableName(QStringLiteral("Firm.db")), TableError);
    table.SetDatabaseName(folder.Path());  // the same folder again is no change
    EXPECT_EQ(table.FieldText(QStringLiteral("Bank")), QStringLiteral("Първа банка"));
    table.Close();
    EXPECT_FALSE(table.Active());
    table.SetDatabaseName(QStringLiteral("/elsewhere"));
    EXPECT_THROW(table.Open(), TableError);
}

}  // namespace
