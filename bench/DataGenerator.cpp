#include "DataGenerator.h"

#include "data/Firebird.h"
#include "data/Schema.h"
#include "platform/Paths.h"
#include "platform/SystemClock.h"

#include <QBuffer>
#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSaveFile>

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

namespace bench {
namespace {

// Bump when the generated data changes, so that an older cached file is made again.
constexpr const char* kStamp = "quillane bench data v4; seed 20130315";
constexpr std::uint64_t kSeed = 20130315;

// ---------------------------------------------------------------- randomness

// splitmix64: the same numbers on every platform and library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : s_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Between(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1)); }
    bool Chance(int percent) { return Between(1, 100) <= percent; }
    template <class T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Next() % N];
    }
    QString Digits(int n) {
        QString s;
        for (int i = 0; i < n; ++i) s += QChar(u'0' + Between(i == 0 ? 1 : 0, 9));
        return s;
    }

private:
    std::uint64_t s_;
};

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// ---------------------------------------------------------------- text pools

const char* const kMaleFirst[] = {"Иван",   "Георги", "Димитър", "Петър",  "Николай", "Стефан",   "Христо",
                                  "Радослав", "Калин", "Борислав", "Мартин", "Тодор",   "Васил",    "Атанас",
                                  "Красимир", "Емил",  "Пламен",   "Йордан", "Стоян",   "Любомир"};
const char* const kFemaleFirst[] = {"Мария", "Елена",  "Йорданка", "Цветелина", "Анна",  "Теодора", "Весела",
                                    "Десислава", "Гергана", "Надежда", "Силвия", "Росица", "Милена", "Галина",
                                    "Даниела", "Петя",   "Ивелина",  "Боряна",    "Светла", "Камелия"};
const char* const kSurnames[] = {"Иванов",  "Петров",   "Георгиев", "Димитров", "Николов", "Стоянов",  "Христов",
                                 "Тодоров", "Ангелов",  "Колев",    "Маринов",  "Йорданов", "Стефанов", "Попов",
                                 "Костов",  "Атанасов", "Василев",  "Михайлов", "Павлов",  "Ненчев",   "Лазаров",
                                 "Кирилов", "Радев",    "Симеонов", "Генчев"};

struct City {
    const char* bg;
    const char* postcode;
    const char* phoneCode;
};
const City kCities[] = {{"София", "1000", "02"},           {"Пловдив", "4000", "032"},     {"Варна", "9000", "052"},
                        {"Бургас", "8000", "056"},         {"Русе", "7000", "082"},        {"Стара Загора", "6000", "042"},
                        {"Плевен", "5800", "064"},         {"Велико Търново", "5000", "062"}, {"Благоевград", "2700", "073"},
                        {"Шумен", "9700", "054"},          {"Добрич", "9300", "058"},      {"Хасково", "6300", "038"},
                        {"Габрово", "5300", "066"},        {"Сливен", "8800", "044"},      {"Перник", "2300", "076"}};

struct Street {
    const char* kindBg;  // "ул." or "бул."
    const char* name;
};
const Street kStreets[] = {{"ул.", "Витоша"},         {"бул.", "Цар Освободител"}, {"ул.", "Граф Игнатиев"},
                           {"бул.", "България"},      {"ул.", "Г. С. Раковски"},   {"ул.", "Шипка"},
                           {"бул.", "Васил Левски"},  {"ул.", "Христо Ботев"},     {"ул.", "Иван Вазов"},
                           {"бул.", "Мария Луиза"},   {"ул.", "Оборище"},          {"бул.", "Сливница"},
                           {"ул.", "Съединение"},     {"ул.", "Александровска"},   {"бул.", "Христо Смирненски"},
                           {"ул.", "Княз Борис I"}};

const char* const kCompanyRoots[] = {"Агро",   "Строй",  "Транс",  "Елит",    "Балкан",  "Марица", "Родопа",
                                     "Пирин",  "Дунав",  "Тракия", "Хемус",   "Странджа", "Искър",  "Янтра",
                                     "Нова",   "Вега",   "Орион",  "Арда",    "Черноморие", "Глобал", "Мега",
                                     "Еко",    "Тех",    "Медика", "Про",     "Вита",    "Феникс", "Алфа"};
const char* const kCompanyTails[] = {"трейд",  "строй", "инвест", "консулт", "логистик", "комерс",  "сервиз", "тех",
                                     "дизайн", "маркет", "груп",   "финанс",  "инженеринг", "мебел", "принт", "фууд"};
const char* const kLegalForms[] = {"ООД", "ЕООД", "АД", "ЕТ", "ООД", "ЕООД"};

const char* const kGroups[] = {"Клиенти", "Дистрибутори", "Търговци на едро", "Строителни фирми", "Държавни институции",
                               "Чуждестранни", "Постоянни клиенти", "VIP"};
const char* const kCustomerNotes[] = {"Плаща по банков път до 14 дни.",
                                      "Отстъпка 5 % при поръчка над 1000 лв.",
                                      "Доставка до склада в Казичене, след 14:00 ч.",
                                      "Фактурите да се изпращат и по електронна поща.",
                                      "Предплащане на 50 % при поръчка.",
                                      "Договор за абонаментно обслужване от 01.03.2012 г.",
                                      "Да се обади преди доставка.",
                                      "Редовен клиент, без забавени плащания.",
                                      "Изисква протокол за предаване и приемане.",
                                      "Кредитен лимит 5000 лв."};

struct GoodsKind {
    const char* name;     // what it is
    const char* unit;     // its unit of measure
    int priceLo, priceHi; // selling price, stotinki
    bool service;
};
const GoodsKind kGoodsKinds[] = {
    {"Хартия копирна А4, 80 г/м2, 500 листа", "пакет", 550, 1290, false},
    {"Тонер касета за лазерен принтер", "бр.", 3500, 18900, false},
    {"Кабел ПВ-А1", "м", 45, 690, false},
    {"Цимент портланд 42,5 R, торба 25 кг", "бр.", 690, 1190, false},
    {"Лепило за плочки, чувал 25 кг", "бр.", 890, 2490, false},
    {"Боя латекс за вътрешни стени", "кофа", 1590, 6990, false},
    {"Лаптоп 15,6\" с операционна система", "бр.", 89900, 259900, false},
    {"Монитор 24\" LED", "бр.", 23900, 49900, false},
    {"Офис стол с подлакътници", "бр.", 9900, 39900, false},
    {"Бюро с метални крака", "бр.", 14900, 55900, false},
    {"Минерална вода 0,5 л, стек 12 бр.", "стек", 390, 790, false},
    {"Кафе на зърна, 1 кг", "кг", 1890, 4590, false},
    {"Почистващ препарат, 5 л", "л", 790, 2390, false},
    {"Ламинат 8 мм, клас 32", "кв.м", 1290, 3490, false},
    {"Винкел стоманен 40х40х4", "м", 590, 1490, false},
    {"Болт М10х60 с гайка", "бр.", 25, 120, false},
    {"Крушка LED E27 10 W", "бр.", 290, 890, false},
    {"Разклонител 5 гнезда с ключ", "бр.", 690, 2490, false},
    {"Монтаж на климатик", "услуга", 8000, 18000, true},
    {"Консултантска услуга", "час", 4000, 15000, true},
    {"Транспорт до обекта", "курс", 5000, 25000, true},
    {"Абонаментно обслужване на компютри", "месец", 12000, 60000, true},
    {"Изработка на уебсайт", "услуга", 60000, 350000, true},
    {"Счетоводно обслужване", "месец", 15000, 80000, true},
    {"Ремонт на офис техника", "час", 3000, 7000, true},
};
const char* const kGoodsVariants[] = {"стандарт", "премиум", "бял", "черен", "сив", "тип А", "тип Б",
                                      "с гаранция 24 месеца", "внос Германия", "българско производство",
                                      "модел 2013", "икономичен", "професионален", "комплект"};

const char* const kPayments[] = {"по сметка", "по сметка", "по сметка", "в брой", "в брой", "с карта",
                                 "с платежно нареждане", "наложен платеж"};

// Titles by page language.
const char* const kTitlesBg[] = {"ФАКТУРА",          "ФАКТУРА",          "ФАКТУРА", "ФАКТУРА",
                                 "ФАКТУРА",          "ФАКТУРА",          "ФАКТУРА", "ПРОФОРМА ФАКТУРА",
                                 "ПРОФОРМА ФАКТУРА", "Кредитно известие", "Дебитно известие",
                                 "ПРОТОКОЛ чл.117",  "СТОКОВА РАЗПИСКА"};
const char* const kTitlesEn[] = {"INVOICE", "INVOICE", "INVOICE", "INVOICE", "Credit note", "Debit note",
                                 "Order confirmation", "Order confirmation"};
const char* const kTitlesBoth[] = {"ФАКТУРА / INVOICE", "ФАКТУРА / INVOICE", "ФАКТУРА / INVOICE",
                                   "ФАКТУРА / INVOICE", "Кредитно известие", "ПРОФОРМА ФАКТУРА"};

const char* const kRemarks[] = {"Стоката се получава от склада на доставчика.",
                                "Плащане в срок от 14 дни от датата на фактурата.",
                                "Гаранционен срок 24 месеца.",
                                "Цените са в лева без ДДС.",
                                "Доставката е извършена съгласно договор."};

// ---------------------------------------------------------------- helpers

// Bulgarian Cyrillic to Latin by the official transliteration.
QString Latin(const QString& text) {
    static const QHash<QChar, QString> map = [] {
        QHash<QChar, QString> m;
        const char* pairs[][2] = {{"а", "a"}, {"б", "b"}, {"в", "v"},  {"г", "g"},   {"д", "d"},  {"е", "e"},
                                  {"ж", "zh"}, {"з", "z"}, {"и", "i"}, {"й", "y"},   {"к", "k"},  {"л", "l"},
                                  {"м", "m"}, {"н", "n"}, {"о", "o"},  {"п", "p"},   {"р", "r"},  {"с", "s"},
                                  {"т", "t"}, {"у", "u"}, {"ф", "f"},  {"х", "h"},   {"ц", "ts"}, {"ч", "ch"},
                                  {"ш", "sh"}, {"щ", "sht"}, {"ъ", "a"}, {"ь", "y"}, {"ю", "yu"}, {"я", "ya"}};
        for (const auto& p : pairs) {
            const QChar lower = QString::fromUtf8(p[0]).at(0);
            const QString latin = QString::fromUtf8(p[1]);
            m.insert(lower, latin);
            m.insert(lower.toUpper(), latin.left(1).toUpper() + latin.mid(1));
        }
        m.insert(QChar(u'„'), QString());
        m.insert(QChar(u'“'), QString());
        return m;
    }();
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        auto it = map.constFind(c);
        out += it == map.constEnd() ? QString(c) : it.value();
    }
    return out;
}

QString LegalFormEn(const QString& form) {
    if (form == U("ООД")) return QStringLiteral("Ltd.");
    if (form == U("ЕООД")) return QStringLiteral("EOOD");
    if (form == U("АД")) return QStringLiteral("JSC");
    return QStringLiteral("ET");
}

// Stotinki as money text with the decimal comma: 123456 -> "1234,56".
QString Money(long long cents) {
    const bool negative = cents < 0;
    const long long a = negative ? -cents : cents;
    return (negative ? QStringLiteral("-") : QString()) + QString::number(a / 100) + QLatin1Char(',') +
           QStringLiteral("%1").arg(a % 100, 2, 10, QLatin1Char('0'));
}

QString Number10(long long n) { return QStringLiteral("%1").arg(n, 10, 10, QLatin1Char('0')); }

QString DateText(const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")) + U(" г."); }

QString KeyOf(const QDateTime& utc) {
    const QDate d = utc.date();
    const QTime t = utc.time();
    return platform::RecordKeyText({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()});
}

QString Bool(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

// A Bulgarian IBAN with correct check digits: BGkk BBBB 9661 10xx xxxx xx.
QString Iban(const QString& bankCode, Rng& rng) {
    const QString account = QStringLiteral("9661") + rng.Digits(10);
    const QString rearranged = bankCode + account + QStringLiteral("BG00");
    int mod = 0;
    for (QChar c : rearranged) {
        const int v = c.isDigit() ? c.digitValue() : c.unicode() - 'A' + 10;
        mod = v >= 10 ? (mod * 100 + v) % 97 : (mod * 10 + v) % 97;
    }
    return QStringLiteral("BG%1").arg(98 - mod, 2, 10, QLatin1Char('0')) + bankCode + account;
}

struct Person {
    QString bg, en;
};

Person RandomPerson(Rng& rng) {
    const bool female = rng.Chance(50);
    const QString first = U(female ? rng.Pick(kFemaleFirst) : rng.Pick(kMaleFirst));
    QString last = U(rng.Pick(kSurnames));
    if (female) last += QChar(u'а');
    const QString bg = first + QLatin1Char(' ') + last;
    return {bg, Latin(bg)};
}

struct Address {
    QString bg, en, phoneCode;
};

Address RandomAddress(Rng& rng) {
    const City& city = rng.Pick(kCities);
    const Street& street = rng.Pick(kStreets);
    const int number = rng.Between(1, 180);
    QString bg = U("гр. %1 %2, %3 „%4“ № %5").arg(U(city.bg), U(city.postcode), U(street.kindBg), U(street.name)).arg(number);
    QString en = QStringLiteral("%1 %2 %3, %4 %5, Bulgaria")
                     .arg(number)
                     .arg(Latin(U(street.name)), U(street.kindBg) == U("ул.") ? QStringLiteral("St.") : QStringLiteral("Blvd."),
                          Latin(U(city.bg)), U(city.postcode));
    if (rng.Chance(40)) {
        const int floor = rng.Between(1, 8), office = rng.Between(1, 40);
        bg += U(", ет. %1, офис %2").arg(floor).arg(office);
        en = QStringLiteral("fl. %1, office %2, ").arg(floor).arg(office) + en;
    }
    return {bg, en, U(city.phoneCode)};
}

QString Phone(const QString& code, Rng& rng) {
    if (rng.Chance(40)) return QStringLiteral("+359 %1 %2 %3").arg(rng.Pick({"87", "88", "89", "98"}), rng.Digits(3), rng.Digits(4));
    return code == QLatin1String("02") ? QStringLiteral("02 %1 %2").arg(rng.Digits(3), rng.Digits(4))
                                       : QStringLiteral("%1 %2 %3").arg(code, rng.Digits(3), rng.Digits(3));
}

// A small picture for a firm's logo, as PNG bytes.
QByteArray Logo(int firm, bool english) {
    QImage image(160, 60, QImage::Format_RGB32);
    const QColor base = QColor::fromHsv((firm * 97 + (english ? 40 : 0)) % 360, 160, 200);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int shade = (x * 255 / image.width() + y * 2) % 256;
            const bool mark = ((x / 12 + y / 12 + firm) % 5) == 0 && y > 8 && y < 52;
            image.setPixel(x, y,
                           mark ? qRgb(255 - shade / 3, 255 - shade / 3, 255)
                                : qRgb(base.red() * shade / 255, base.green(), base.blue() * (255 - shade) / 255));
        }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// ---------------------------------------------------------------- the database writer

// Inserts rows into one table through the data module's own insert statement.
class TableWriter {
public:
    TableWriter(data::Database& db, data::Transaction& tr, const char* table)
        : tr_(tr), def_(data::SchemaTable(QString::fromLatin1(table))) {
        const QStringList columns = def_.UpperColumns();
        for (int i = 0; i < columns.size(); ++i) index_.insert(columns[i], i);
        stmt_ = std::make_unique<data::Statement>(&db, &tr, data::StatementsFor(def_).insert);
        for (const QString& name : stmt_->ParamNames()) order_.push_back(index_.value(name, -1));
        Clear();
    }

    void Text(const char* column, const QString& value) { Set(column, data::ParamValue::Text(value)); }
    void Int(const char* column, long long value) { Set(column, data::ParamValue::Bytes(QByteArray::number(value))); }
    void Bytes(const char* column, const QByteArray& value) { Set(column, data::ParamValue::Bytes(value)); }

    // Inserts the row made by the calls above; commits after every batch.
    void Insert() {
        std::vector<data::ParamValue> params;
        params.reserve(order_.size());
        for (int i : order_) params.push_back(row_[i]);
        stmt_->Execute(params);
        Clear();
        if (++pending_ == kBatchRows) Commit();
    }

    void Commit() {
        if (pending_ == 0) return;
        tr_.Commit();
        tr_.StartTransaction();
        pending_ = 0;
    }

private:
    void Set(const char* column, data::ParamValue v) {
        const auto it = index_.constFind(QString::fromLatin1(column).toUpper());
        if (it == index_.constEnd()) throw std::logic_error(std::string("no column ") + column);
        row_[it.value()] = std::move(v);
    }
    void Clear() { row_.assign(def_.columns.size(), data::ParamValue::Null()); }

    data::Transaction& tr_;
    const data::TableDef& def_;
    QHash<QString, int> index_;
    std::unique_ptr<data::Statement> stmt_;
    std::vector<int> order_;
    std::vector<data::ParamValue> row_;
    int pending_ = 0;
};

// ---------------------------------------------------------------- the data

struct Customer {
    QString company1, company2, vat, id, address1, address2, resp1, resp2, contact1, contact2;
};

struct Firm {
    QString name1, name2, address1, address2, resp1, resp2, vat, id, place1, place2;
    long long invoiceNo = 0, proformaNo = 0, vop = 0;
};

struct Goods {
    QString description, unit;
    int sellCents = 0;
    bool service = false;
};

struct BankAccount {
    QString bank, iban, swift;
};

struct Employee {
    Person name;
};

enum class Group { Invoice, Protocol, Other };

Group GroupOf(const QString& title) {
    static const QStringList invoice = {U("ФАКТУРА"), U("INVOICE"), U("ФАКТУРА / INVOICE"), U("Debit note"),
                                        U("Дебитно известие"), U("Credit note"), U("Кредитно известие")};
    if (invoice.contains(title)) return Group::Invoice;
    if (title == U("ПРОТОКОЛ чл.117")) return Group::Protocol;
    return Group::Other;
}

// What is decided about a document before it is written: who issues it, its
// title, language and number.
struct DocPlan {
    int firm = 0;
    QString radio, title;
    long long number = 0;
};

class Generator {
public:
    Generator(data::Database& db, data::Transaction& tr, int documents) : db_(db), tr_(tr), documents_(documents) {}

    void Run() {
        MakeCustomers();
        MakePlans();
        MakeFirms();
        MakeCurrencies();
        MakeBankAccounts();
        MakeGoods();
        MakeEmployees();
        MakeDocuments();
        MakeUsers();
    }

private:
    // The next moment a record is saved: some seconds later, within office
    // hours (7:00 to 17:00 local time, 5:00 to 15:00 UTC), Monday to Friday.
    QDateTime NextKeyTime(QDateTime& clock, Rng& rng, int minSeconds, int maxSeconds) {
        clock = clock.addSecs(rng.Between(minSeconds, maxSeconds));
        while (clock.time().hour() >= 15 || clock.time().hour() < 5 || clock.date().dayOfWeek() > 5)
            clock = QDateTime(clock.date().addDays(1), QTime(5, rng.Between(0, 59), rng.Between(0, 59)), Qt::UTC);
        clock = clock.addMSecs(rng.Between(1, 999) - clock.time().msec());
        return clock;
    }

    void MakeCustomers() {
        Rng rng(kSeed + 1);
        TableWriter w(db_, tr_, "customer");
        QDateTime clock(QDate(2012, 2, 1), QTime(8, 0), Qt::UTC);
        for (int i = 0; i < kCustomers; ++i) {
            const QString root = U(rng.Pick(kCompanyRoots)) + U(rng.Pick(kCompanyTails));
            const QString form = U(rng.Pick(kLegalForms));
            Customer c;
            const bool soleTrader = form == U("ЕТ");
            const Person owner = RandomPerson(rng);
            c.company1 = soleTrader ? U("ЕТ „%1 – %2“").arg(root, owner.bg) : U("„%1“ %2").arg(root, form);
            c.company2 = soleTrader ? QStringLiteral("ET %1 - %2").arg(Latin(root), owner.en)
                                    : Latin(root) + QLatin1Char(' ') + LegalFormEn(form);
            c.id = rng.Digits(9);
            c.vat = QStringLiteral("BG") + c.id;
            const Address a = RandomAddress(rng);
            c.address1 = a.bg;
            c.address2 = a.en;
            c.resp1 = owner.bg;
            c.resp2 = owner.en;
            const Person contact = RandomPerson(rng);
            c.contact1 = contact.bg;
            c.contact2 = contact.en;
            customers_.push_back(c);

            w.Text("pnom", KeyOf(NextKeyTime(clock, rng, 3000, 40000)));
            w.Int("CustNo", i + 1);
            w.Text("Company1", c.company1);
            w.Text("Company2", c.company2);
            w.Text("Grp", U(rng.Pick(kGroups)));
            w.Text("VAT", c.vat);
            w.Text("ID", c.id);
            w.Text("Address1", c.address1);
            w.Text("Address2", c.address2);
            w.Text("RespPerson1", c.resp1);
            w.Text("RespPerson2", c.resp2);
            w.Text("Phone", Phone(a.phoneCode, rng));
            w.Text("Fax", QStringLiteral("%1 %2 %3").arg(a.phoneCode, rng.Digits(3), rng.Digits(3)));
            w.Text("Email", QStringLiteral("%1@%2.bg")
                                .arg(rng.Pick({"office", "info", "sales", "accounting", "orders"}),
                                     Latin(root).toLower().remove(QLatin1Char(' '))));
            w.Text("ContactPerson1", c.contact1);
            w.Text("ContactPerson2", c.contact2);
            w.Text("Notes", U(rng.Pick(kCustomerNotes)));
            w.Insert();
        }
        w.Commit();
    }

    // Firm, language, title and number of every document; the firms' counters
    // end at the highest number each group reached.
    void MakePlans() {
        Rng rng(kSeed + 2);
        std::array<std::array<long long, 3>, kFirms> counters{};
        for (int i = 0; i < documents_; ++i) {
            DocPlan p;
            const int f = rng.Between(1, 100);
            p.firm = f <= 70 ? 0 : f <= 90 ? 1 : 2;
            const int r = rng.Between(1, 100);
            p.radio = r <= 70 ? QStringLiteral("1") : r <= 80 ? QStringLiteral("2") : QStringLiteral("3");
            p.title = U(p.radio == QLatin1String("1")   ? rng.Pick(kTitlesBg)
                        : p.radio == QLatin1String("2") ? rng.Pick(kTitlesEn)
                                                        : rng.Pick(kTitlesBoth));
            long long& counter = counters[p.firm][static_cast<int>(GroupOf(p.title))];
            p.number = ++counter;
            plans_.push_back(p);
        }
        firms_.resize(kFirms);
        for (int f = 0; f < kFirms; ++f) {
            firms_[f].invoiceNo = counters[f][static_cast<int>(Group::Invoice)];
            firms_[f].vop = counters[f][static_cast<int>(Group::Protocol)];
            firms_[f].proformaNo = counters[f][static_cast<int>(Group::Other)];
        }
    }

    void MakeFirms() {
        Rng rng(kSeed + 3);
        const char* names[][2] = {{"Балкан Трейд", "ООД"}, {"Марица Консулт", "ЕООД"}, {"Родопа Строй", "АД"}};
        TableWriter w(db_, tr_, "firm");
        QDateTime clock(QDate(2012, 1, 9), QTime(9, 0), Qt::UTC);
        for (int i = 0; i < kFirms; ++i) {
            Firm& f = firms_[i];
            const QString root = U(names[i][0]), form = U(names[i][1]);
            f.name1 = U("„%1“ %2").arg(root, form);
            f.name2 = Latin(root) + QLatin1Char(' ') + LegalFormEn(form);
            const Address a = RandomAddress(rng);
            f.address1 = a.bg;
            f.address2 = a.en;
            const Person p = RandomPerson(rng);
            f.resp1 = p.bg;
            f.resp2 = p.en;
            f.id = rng.Digits(9);
            f.vat = QStringLiteral("BG") + f.id;
            const QString city = a.bg.section(QLatin1Char(' '), 1, 1).remove(QLatin1Char(','));
            f.place1 = city;
            f.place2 = Latin(city);
            w.Text("pnom", KeyOf(NextKeyTime(clock, rng, 600, 3600)));
            w.Text("InvoiceNo", Number10(f.invoiceNo));
            w.Text("ProformaNo", Number10(f.proformaNo));
            w.Text("VOP", Number10(f.vop));
            w.Text("Supplier1", f.name1);
            w.Text("Supplier2", f.name2);
            w.Text("Address1", f.address1);
            w.Text("Address2", f.address2);
            w.Text("RespPerson1", f.resp1);
            w.Text("RespPerson2", f.resp2);
            w.Text("VAT", f.vat);
            w.Text("ID", f.id);
            w.Text("PlaceofPublishment1", f.place1);
            w.Text("PlaceofPublishment2", f.place2);
            w.Bytes("logo", Logo(i, false));
            w.Bytes("logo2", Logo(i, true));
            w.Insert();
        }
        w.Commit();
    }

    void MakeCurrencies() {
        Rng rng(kSeed + 4);
        TableWriter w(db_, tr_, "currency");
        QDateTime clock(QDate(2012, 1, 9), QTime(10, 0), Qt::UTC);
        const char* rates[][2] = {{"EUR", "1,95583"}, {"USD", "1,4736"}, {"GBP", "2,3121"}, {"CHF", "1,5892"}};
        static_assert(sizeof rates / sizeof rates[0] == kCurrencies);
        for (const auto& r : rates) {
            w.Text("pnom", KeyOf(NextKeyTime(clock, rng, 20, 200)));
            w.Text("currency", QString::fromLatin1(r[0]));
            w.Text("course", QString::fromLatin1(r[1]));
            w.Insert();
        }
        w.Commit();
    }

    void MakeBankAccounts() {
        Rng rng(kSeed + 5);
        const char* banks[][3] = {{"Уникредит Булбанк АД", "UNCRBGSF", "UNCR"},
                                  {"Банка ДСК ЕАД", "STSABGSF", "STSA"},
                                  {"Обединена българска банка АД", "UBBSBGSF", "UBBS"},
                                  {"Юробанк България АД", "BPBIBGSF", "BPBI"},
                                  {"Първа инвестиционна банка АД", "FINVBGSF", "FINV"},
                                  {"Райфайзенбанк (България) ЕАД", "RZBBBGSF", "RZBB"}};
        static_assert(sizeof banks / sizeof banks[0] == kBankAccounts);
        TableWriter w(db_, tr_, "details");
        QDateTime clock(QDate(2012, 1, 9), QTime(11, 0), Qt::UTC);
        for (const auto& b : banks) {
            BankAccount a{U(b[0]), Iban(QString::fromLatin1(b[2]), rng), QString::fromLatin1(b[1])};
            accounts_.push_back(a);
            w.Text("pnom", KeyOf(NextKeyTime(clock, rng, 30, 300)));
            w.Text("Bank", a.bank);
            w.Text("IBAN", a.iban);
            w.Text("SWIFT", a.swift);
            w.Insert();
        }
        w.Commit();
    }

    void MakeGoods() {
        Rng rng(kSeed + 6);
        TableWriter w(db_, tr_, "stock");
        QDateTime clock(QDate(2012, 1, 10), QTime(7, 30), Qt::UTC);
        for (int i = 0; i < kGoods; ++i) {
            const GoodsKind& k = rng.Pick(kGoodsKinds);
            Goods g;
            g.description = U(k.name) + QStringLiteral(", ") + U(rng.Pick(kGoodsVariants));
            if (!k.service) g.description += U(", кат. № %1-%2").arg(rng.Digits(3), rng.Digits(4));
            g.unit = U(k.unit);
            g.sellCents = rng.Between(k.priceLo, k.priceHi);
            g.service = k.service;
            goods_.push_back(g);
            const int buyCents = g.sellCents * rng.Between(60, 85) / 100;
            // The goods window keeps further lines of a description below the first.
            QString description = g.description;
            if (rng.Chance(40)) description += QStringLiteral("\r\n") + U(rng.Pick(kRemarks));
            w.Text("pnom", KeyOf(NextKeyTime(clock, rng, 60, 9000)));
            w.Int("Num", i + 1);
            w.Text("Description1", description);
            w.Text("Unit1", g.unit);
            w.Int("Qty", k.service ? 0 : rng.Between(0, 2500));
            w.Text("Price", Money(buyCents));
            w.Text("SellPrice", Money(g.sellCents));
            w.Insert();
        }
        w.Commit();
    }

    void MakeEmployees() {
        Rng rng(kSeed + 7);
        TableWriter w(db_, tr_, "employee");
        QDateTime clock(QDate(2012, 1, 11), QTime(8, 0), Qt::UTC);
        for (int i = 0; i < kEmployees; ++i) {
            Employee e{RandomPerson(rng)};
            employees_.push_back(e);
            w.Text("pnom", KeyOf(NextKeyTime(clock, rng, 60, 4000)));
            w.Int("Num", i + 1);
            w.Text("Name1", e.name.bg);
            w.Text("Name2", e.name.en);
            w.Text("Phone", Phone(QStringLiteral("02"), rng));
            w.Text("Hiredon", QDate(2004, 1, 1).addDays(rng.Between(0, 3000)).toString(QStringLiteral("dd.MM.yyyy")));
            w.Text("Salary", Money(rng.Between(560, 3200) * 100));
            w.Insert();
        }
        w.Commit();
    }

    void MakeUsers() {
        Rng rng(kSeed + 8);
        TableWriter w(db_, tr_, "userp");
        QDateTime clock(QDate(2012, 1, 9), QTime(8, 30), Qt::UTC);
        const char* names[] = {"admin", "Мария", "Георги", "счетоводител", "склад"};
        static_assert(sizeof names / sizeof names[0] == kUsers);
        // Passwords are kept shifted by a key; any key does for made-up users.
        const QByteArray key = "k3j,9dq2m,x8v1p0s7l4c6b5n,wz";
        for (const char* name : names) {
            QByteArray pas;
            const QByteArray plain = QByteArray::number(rng.Between(100000, 999999)) + "ab";
            for (int i = 0; i < plain.size(); ++i) {
                unsigned char c = static_cast<unsigned char>(plain[i] + key[i % key.size()]);
                if (c == 0x98) c = 0x99;  // the one byte Windows-1251 leaves unassigned
                pas += static_cast<char>(c);
            }
            w.Text("pnom", KeyOf(NextKeyTime(clock, rng, 30, 600)));
            w.Text("us", U(name));
            w.Bytes("pas", pas);
            w.Insert();
        }
        w.Commit();
    }

    // The line-items grid of a document as the editor stores it: one cell a
    // line, header row first, six columns. Returns the tax base.
    long long LineItems(Rng& rng, QString* grid) {
        static const char* header[] = {"Пор. №", "Наименование на стоките или услугите", "Мярка", "К-во", "Ед. цена",
                                       "Стойност"};
        const QString crlf = QStringLiteral("\r\n");
        grid->clear();
        grid->reserve(3200);
        for (const char* h : header) *grid += U(h) + crlf;
        long long base = 0;
        for (int r = 1; r <= kLineItems; ++r) {
            const Goods& g = goods_[rng.Between(0, kGoods - 1)];
            const int qty = g.service ? rng.Between(1, 12) : rng.Between(1, 60);
            const long long value = static_cast<long long>(qty) * g.sellCents;
            base += value;
            *grid += QString::number(r) + crlf + g.description.left(84) + crlf + g.unit + crlf + QString::number(qty) +
                     crlf + Money(g.sellCents) + crlf + Money(value) + crlf;
        }
        return base;
    }

    // The credit or debit note's account table: 3 columns by 4 rows.
    QString AccountTable(Rng& rng, bool credit, long long total) {
        const QString crlf = QStringLiteral("\r\n");
        QString t = QStringLiteral("№") + crlf + U(credit ? "Кредит с/ка" : "Дебит с/ка") + crlf + U("Сума") + crlf;
        const char* accounts[] = {"411", "453/2", "702", "703", "304", "503"};
        long long rest = total;
        for (int r = 1; r <= 3; ++r) {
            const long long part = r == 3 ? rest : rest / rng.Between(2, 4);
            rest -= part;
            t += QString::number(r) + crlf + QString::fromLatin1(rng.Pick(accounts)) + crlf + Money(part) + crlf;
        }
        return t;
    }

    void MakeDocuments() {
        Rng rng(kSeed + 9);
        TableWriter w(db_, tr_, "store");
        QDateTime clock(QDate(2013, 1, 2), QTime(7, 0), Qt::UTC);
        const QStringList userNames = {QStringLiteral("admin"), U("Мария"), U("Георги"), U("счетоводител"), U("склад")};
        QString grid;
        for (int i = 0; i < documents_; ++i) {
            const DocPlan& p = plans_[i];
            const Firm& firm = firms_[p.firm];
            // Documents are skewed towards the regular customers.
            const int ci = static_cast<int>(
                (static_cast<long long>(rng.Between(0, 999)) * rng.Between(0, 999) * kCustomers) / (1000LL * 1000LL));
            const Customer& c = customers_[ci];
            const Employee& issuer = employees_[rng.Between(0, kEmployees - 1)];
            const BankAccount& bank = accounts_[rng.Between(0, kBankAccounts - 1)];
            const QDateTime saved = NextKeyTime(clock, rng, 300, 4000);
            const QDate date = saved.date();
            const bool english = p.radio == QLatin1String("2");
            const bool credit = p.title == U("Кредитно известие") || p.title == U("Credit note");
            const bool debit = p.title == U("Дебитно известие") || p.title == U("Debit note");
            const bool zeroVat = rng.Chance(8);
            const QString payment = U(rng.Pick(kPayments));
            const int payDays = payment == U("по сметка") ? rng.Pick({7, 14, 14, 30}) : 0;

            const long long base = LineItems(rng, &grid);
            const long long vat = zeroVat ? 0 : (base * 20 + 50) / 100;
            const long long total = base + vat;

            w.Text("pnom", KeyOf(saved));
            w.Text("Document", p.title);
            w.Text("Status", Bool(rng.Chance(85)));
            w.Text("Num", Number10(p.number));
            w.Text("Fromdate", DateText(date));
            w.Text("DatetaxeventL", Bool(rng.Chance(90)));
            w.Text("Datetaxevent", DateText(date));
            w.Text("DatepaymentL", Bool(payDays > 0));
            w.Text("Datepayment", DateText(date.addDays(payDays)));
            w.Text("Payment", payment);
            w.Text("Recipient1", english ? c.contact2 : c.contact1);
            w.Text("Recipient2", c.contact2);
            w.Text("Issuer1", english ? issuer.name.en : issuer.name.bg);
            w.Text("Issuer2", issuer.name.en);
            w.Text("reasonfor", zeroVat ? U("Доставка на услуга с място на изпълнение извън страната")
                                        : U("Облагаема доставка"));
            w.Text("reason", zeroVat ? U("чл. 21, ал. 2 от ЗДДС") : U("чл. 12, ал. 1 от ЗДДС"));
            w.Text("cdnote", credit ? U("Кредитно известие") : debit ? U("Дебитно известие") : QString());
            w.Text("notedate", DateText(credit || debit ? date.addDays(-rng.Between(3, 60)) : date));
            w.Text("noteInvNo", Number10(credit || debit ? rng.Between(1, std::max<int>(1, p.number)) : 0));
            w.Text("Customer1", english ? c.company2 : c.company1);
            w.Text("Customer2", c.company2);
            w.Text("VATcust", c.vat);
            w.Text("IDcust", c.id);
            w.Text("Address1cust", english ? c.address2 : c.address1);
            w.Text("Address2cust", c.address2);
            w.Text("RespPerson1cust", english ? c.resp2 : c.resp1);
            w.Text("RespPerson2cust", c.resp2);
            w.Text("Supplier1", english ? firm.name2 : firm.name1);
            w.Text("Supplier2", firm.name2);
            w.Text("RespPerson1sup", english ? firm.resp2 : firm.resp1);
            w.Text("RespPerson2sup", firm.resp2);
            w.Text("Address1sup", english ? firm.address2 : firm.address1);
            w.Text("Address2sup", firm.address2);
            w.Text("IDsup", firm.id);
            w.Text("VATsup", firm.vat);
            w.Text("Placeofpublishment1", english ? firm.place2 : firm.place1);
            w.Text("Placeofpublishment2", firm.place2);
            w.Text("Bank", bank.bank);
            w.Text("IBAN", bank.iban);
            w.Text("SWIFT", bank.swift);
            w.Text("percent", zeroVat ? QStringLiteral("0%") : QStringLiteral("20%"));
            w.Text("Total", Money(total));
            w.Text("stocks", grid);
            w.Text("str2", AccountTable(rng, !debit, total));
            w.Text("Firmdbindex", QString::number(p.firm + 1));
            w.Text("PaidL", Bool(rng.Chance(75)));
            if (p.radio == QLatin1String("1")) {
                w.Text("CurrencyPrefix", QString());
                w.Text("CurrencyRate", QStringLiteral("1"));
            } else {
                const int cur = rng.Between(1, 10);
                w.Text("CurrencyPrefix", cur <= 6 ? QStringLiteral("EUR") : cur <= 8 ? QStringLiteral("USD") : QString());
                w.Text("CurrencyRate", cur <= 6   ? QStringLiteral("1,95583")
                                       : cur <= 8 ? QStringLiteral("1,4736")
                                                  : QStringLiteral("1"));
            }
            w.Text("AnuliranaL", Bool(rng.Chance(2)));
            // Never written by the editor; filled so that every column carries text.
            w.Text("Richtext", U("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 %1\\par}")
                                   .arg(U(rng.Pick(kRemarks))));
            w.Text("Images", QStringLiteral("logo%1.png").arg(p.firm + 1));
            w.Text("obstoqtelstva", U("Няма обстоятелства по чл. 113, ал. 9 от ЗДДС"));
            w.Text("us", userNames[rng.Between(0, kUsers - 1)]);
            w.Text("radio", p.radio);
            w.Insert();
        }
        w.Commit();
    }

    data::Database& db_;
    data::Transaction& tr_;
    int documents_;
    std::vector<Customer> customers_;
    std::vector<DocPlan> plans_;
    std::vector<Firm> firms_;
    std::vector<BankAccount> accounts_;
    std::vector<Goods> goods_;
    std::vector<Employee> employees_;
};

}  // namespace

QString BenchFolder() {
    const QString env = qEnvironmentVariable("QUILLANE_BENCH_DIR");
    return env.isEmpty() ? QStringLiteral("/tmp/quillane-bench") : env;
}

void GenerateDatabase(const QString& file, int documents) {
    data::Database db;
    db.DatabaseName = file;
    db.CreateDatabase(data::DatabaseCreationParams(QStringLiteral("SYSDBA"), QStringLiteral("masterkey")));
    data::Transaction tr(&db);
    tr.Params = {QStringLiteral("read_committed"), QStringLiteral("rec_version"), QStringLiteral("nowait")};
    tr.StartTransaction();
    data::SqlStatement sql;
    sql.DatabaseRef = &db;
    sql.TransactionRef = &tr;
    data::CreateSchemaTables(sql);
    Generator(db, tr, documents).Run();
    tr.Commit();
    db.Close();
}

BenchDatabase EnsureBenchDatabase(int documents) {
    BenchDatabase result;
    result.folder = BenchFolder();
    if (documents != kDocuments) result.folder += QStringLiteral("/%1").arg(documents);
    platform::SetPathOverride(platform::PathKind::AliasesFile, result.folder + QStringLiteral("/no-aliases/databases.conf"));
    result.file = result.folder + QStringLiteral("/tovelx.fdb");
    const QString stampFile = result.folder + QStringLiteral("/tovelx.stamp");
    QFile stamp(stampFile);
    if (QFile::exists(result.file) && stamp.open(QIODevice::ReadOnly) && stamp.readAll().trimmed() == kStamp) {
        result.reused = true;
        return result;
    }
    stamp.close();
    if (!QDir().mkpath(result.folder))
        throw std::runtime_error("cannot create the folder " + result.folder.toStdString());
    // A file left half made by an interrupted run, or by an older generator, is made again.
    QFile::remove(stampFile);
    QFile::remove(result.file);
    const QString partial = result.folder + QStringLiteral("/tovelx.partial.fdb");
    QFile::remove(partial);
    QElapsedTimer timer;
    timer.start();
    GenerateDatabase(partial, documents);
    if (!QFile::rename(partial, result.file))
        throw std::runtime_error("cannot rename " + partial.toStdString() + " to " + result.file.toStdString());
    QSaveFile out(stampFile);
    if (!out.open(QIODevice::WriteOnly) || out.write(QByteArray(kStamp) + '\n') < 0 || !out.commit())
        throw std::runtime_error("cannot write " + stampFile.toStdString());
    result.seconds = timer.elapsed() / 1000.0;
    return result;
}

}  // namespace bench
