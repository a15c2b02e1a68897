#include "data/OldTableMap.h"

#include "data/DataSet.h"
#include "data/ParadoxTable.h"
#include "documents/NumberText.h"
#include "platform/CodePage.h"
#include "platform/LocaleText.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <cmath>

namespace data {

const std::vector<TableMove>& OldTableMoves() {
    using K = FieldMove::Kind;
    static const std::vector<TableMove> moves = {
        {"customer.db", "cust",
         {{"CustNo", "Клиент №"}, {"Company1", "Фирма"}, {"Grp", "Група"}, {"VAT", "ИН по ЗДДС"}, {"ID", "Идент №"},
          {"Address1", "Адрес"}, {"RespPerson1", "МОЛ"}, {"Phone", "Телефон"}, {"Fax", "Факс"}, {"Email", "E-mail"},
          {"ContactPerson1", "Лице"}, {"Notes", "Бележки"}}},
        {"Firm.db", "firm",
         {{"InvoiceNo", "Фактура №"}, {"ProformaNo", "Проформа №"}, {"Supplier1", "ДОСТАВЧИК"}, {"Address1", "АДРЕС"},
          {"RespPerson1", "МОЛ"}, {"VAT", "ИН ПО ЗДДС"}, {"ID", "ИН"}, {"PlaceofPublishment1", "Местоиздаване"},
          {"logo", "Лого", K::Picture},
          {"VOP", "VOP", K::Text, true}, {"Supplier2", "Supplier", K::Text, true}, {"Address2", "Address", K::Text, true},
          {"RespPerson2", "Resp.Person", K::Text, true}, {"PlaceofPublishment2", "Place of publishment", K::Text, true},
          {"logo2", "logo", K::Picture, true}}},
        {"Details.db", "details", {{"Bank", "Bank"}, {"IBAN", "IBAN"}, {"SWIFT", "SWIFT"}}},
        {"stock.db", "stock",
         {{"Num", "Пор. №"}, {"Description1", "Описание на стока/услуга", K::Memo}, {"Unit1", "Мярка"},
          {"Qty", "К-во"}, {"Price", "Цена"}, {"SellPrice", "Продажна цена"}}},
        {"employee.DB", "employee",
         {{"Num", "№"}, {"Name1", "Име"}, {"Phone", "Телефон"}, {"Hiredon", "На работа от"}, {"Salary", "Заплата"}}},
        {"Store.DB", "store",
         {{"Document", "Документ"}, {"Status", "Статус"}, {"Num", "Num"}, {"Fromdate", "От дата"},
          {"DatetaxeventL", "Дата на д.с.?"}, {"Datetaxevent", "Дата на данъчното събитие"},
          {"DatepaymentL", "Дата на плащане?"}, {"Datepayment", "Дата на плащане"}, {"Payment", "Вид плащане"},
          {"Recipient1", "Получател"}, {"Issuer1", "Съставил"}, {"reasonfor", "Основание за:"},
          {"reason", "Основания"}, {"cdnote", "Известие"}, {"notedate", "Известие от дата"},
          {"noteInvNo", "Известие към фактура No"}, {"Customer1", "Клиент"}, {"VATcust", "Ин по ЗДДС /к/"},
          {"IDcust", "ИН /к/"}, {"Address1cust", "Адрес /к/"}, {"RespPerson1cust", "МОЛ /к/"},
          {"Supplier1", "Доставчик"}, {"RespPerson1sup", "МОЛ /д/"}, {"Address1sup", "Адрес /д/"},
          {"IDsup", "ИН /д/"}, {"VATsup", "ИН по ЗДДС /д/"}, {"Placeofpublishment1", "Местоиздаване"},
          {"Bank", "Банка"}, {"IBAN", "IBAN"}, {"SWIFT", "SWIFT"}, {"percent", "Данъчна ставка"},
          {"Total", "Стойност /общо/"}, {"stocks", "Стоки и Услуги", K::Memo}, {"str2", "Str2", K::Memo},
          {"Firmdbindex", "Firm.db index"}, {"PaidL", "Paid?"}, {"CurrencyPrefix", "CurrencyPrefix"},
          {"CurrencyRate", "CurrencyRate"}, {"AnuliranaL", "Anulirana"}}},
        {"currency.db", "currency", {{"currency", "Валута"}, {"course", "Курс"}}},
    };
    return moves;
}

QString MoveNotesText(const std::vector<MoveNote>& notes, int maxLines) {
    QStringList lines;
    for (const MoveNote& n : notes) {
        if (lines.size() == maxLines) {
            lines << QStringLiteral("… и още %1.").arg(notes.size() - size_t(maxLines));
            break;
        }
        if (n.field.isEmpty() && !n.problem.isEmpty())
            lines << QStringLiteral("%1: %2").arg(n.table, n.problem);
        else if (n.field.isEmpty())
            lines << QStringLiteral("%1: таблицата липсва, нищо не е прехвърлено от нея").arg(n.table);
        else if (!n.problem.isEmpty())
            lines << QStringLiteral("%1, запис %2, поле „%3“: %4, прехвърлено е празно")
                         .arg(n.table)
                         .arg(n.record)
                         .arg(n.field, n.problem);
        else if (n.record == 0)
            lines << QStringLiteral("%1: няма поле „%2“, прехвърлено е празно").arg(n.table, n.field);
        else
            lines << QStringLiteral("%1, запис %2, поле „%3“: „%4“ е прехвърлено като „%5“")
                         .arg(n.table)
                         .arg(n.record)
                         .arg(n.field, n.oldValue, n.storedValue);
    }
    return lines.join(u'\n');
}

int MoveProgressMaximum(const std::vector<int>& recordCounts) {
    int records = 0, pairs = 0;
    for (int n : recordCounts) {
        records += n;
        pairs += n / 2;
    }
    return records + pairs;
}

}  // namespace data

namespace data {
namespace {

// A value as its column takes it, as near as it fits: an integer column a
// whole number (a fraction rounded, beyond the column's range its end) or
// nothing (null); a text column the text in Windows-1251, a character that
// code page lacks as "?", cut at the column's length.
struct Fitted {
    QByteArray value;
    bool isNull = false;
    QString stored;  // the value as the database holds it, as text
};

Fitted Fit(const ColumnInfo& column, const QString& text) {
    if (column.kind == ColumnKind::Integer) {
        const QString t = text.trimmed();
        bool ok = false;
        const int whole = t.toInt(&ok);
        if (ok) return {QByteArray::number(whole), false, text};
        const QString number = NormalizeDecimalText(t);
        if (t.isEmpty() || number.isEmpty()) return {{}, true, {}};
        const double nearest = std::clamp(std::round(platform::StrToFloat(number)), double(INT_MIN), double(INT_MAX));
        const QByteArray value = QByteArray::number(qint64(nearest));
        return {value, false, QString::fromLatin1(value)};
    }
    QString stored = text;
    for (QChar& c : stored)
        if (!platform::FitsCp1251(QString(c))) c = u'?';
    if (column.kind == ColumnKind::Text && stored.size() > qsizetype(column.length)) stored.truncate(column.length);
    return {platform::EncodeCp1251(stored), false, stored};
}

double NumberOf(const QString& text) {
    const QString number = NormalizeDecimalText(text);
    return number.isEmpty() ? 0.0 : platform::StrToFloat(number);
}

bool IsPictureColumn(const QString& name) {
    return name == QLatin1String("LOGO") || name == QLatin1String("LOGO2");
}

}  // namespace

std::vector<MovedRow> ReadOldRows(const TableMove& move, TTable& source, TTable* english,
                                  const std::vector<ColumnInfo>& columns, const std::function<void()>& onRecord,
                                  std::vector<MoveNote>& notes) {
    QHash<QString, int> index;
    for (int i = 0; i < int(columns.size()); ++i) index.insert(columns[i].name, i);
    std::vector<int> target;
    for (const FieldMove& f : move.fields) target.push_back(index.value(QString::fromLatin1(f.column).toUpper(), -1));
    const int key = index.value(QStringLiteral("PNOM"), -1);
    if (key < 0 || std::find(target.begin(), target.end(), -1) != target.end())
        throw MoveError(QStringLiteral("Таблицата %1 на базата данни няма колоните, в които се прехвърля „%2“.")
                            .arg(QString::fromLatin1(move.dataSet), QString::fromLatin1(move.paradoxTable)));

    // A code page the reader does not know is named, as the table's own note.
    const QString tableName = QString::fromLatin1(move.paradoxTable);
    if (const QString problem = source.CodePageProblem(); !problem.isEmpty())
        notes.push_back({tableName, 0, {}, {}, {}, problem});
    if (english)
        if (const QString problem = english->CodePageProblem(); !problem.isEmpty())
            notes.push_back({QStringLiteral("ae.db"), 0, {}, {}, {}, problem});

    // A field the older version's table lacks is moved as empty, and named
    // once. Without an English table the English fields are empty.
    std::vector<bool> present;
    for (const FieldMove& f : move.fields) {
        const QString field = QString::fromUtf8(f.field);
        const TTable* from = f.fromEnglishTable ? english : &source;
        present.push_back(from && from->HasField(field));
        if (from && !present.back())
            notes.push_back({f.fromEnglishTable ? QStringLiteral("ae.db") : tableName, 0, field, {}, {}, {}});
    }

    std::vector<MovedRow> rows;
    rows.reserve(source.RecordCount());
    int lastSeen = 0;
    int stalls = 0;
    source.SetRecNo(source.RecordCount());
    if (english) english->SetRecNo(english->RecordCount());
    while (source.RecNo() >= 1) {
        if (source.RecNo() == lastSeen) {
            // A table whose record number stops moving ends after 20 tries.
            if (++stalls >= 20) break;
        } else {
            stalls = 0;
            if (onRecord) onRecord();
            MovedRow row;
            row.record = source.RecNo();
            row.values.assign(columns.size(), QByteArray());
            row.nulls.assign(columns.size(), true);
            row.values[key] = QByteArray::number(source.RecNo());
            row.nulls[key] = false;
            for (size_t i = 0; i < move.fields.size(); ++i) {
                const FieldMove& f = move.fields[i];
                const TTable* from = f.fromEnglishTable ? english : &source;
                if (from && from->RecordCount() == 0) continue;
                const QString field = QString::fromUtf8(f.field);
                const ColumnInfo& column = columns[target[i]];
                if (f.kind == FieldMove::Kind::Picture) {
                    if (present[i]) row.values[target[i]] = from->Picture(field);
                    row.nulls[target[i]] = row.values[target[i]].isEmpty() && column.kind != ColumnKind::Text;
                    continue;
                }
                QString text;
                if (present[i]) text = f.kind == FieldMove::Kind::Memo ? from->MemoText(field) : from->FieldText(field);
                // A date the calendar cannot show moves empty, and is named.
                if (present[i] && f.kind == FieldMove::Kind::Text)
                    if (const QString problem = from->ValueProblem(field); !problem.isEmpty())
                        notes.push_back({f.fromEnglishTable ? QStringLiteral("ae.db") : tableName, from->RecNo(), field,
                                         {}, {}, problem});
                Fitted fitted = Fit(column, text);
                row.values[target[i]] = std::move(fitted.value);
                row.nulls[target[i]] = fitted.isNull;
                // Money is moved as the older version showed it, with the
                // locale's money decimals; more decimals than that are named.
                QString old = text;
                if (present[i] && f.kind == FieldMove::Kind::Text && from->FieldKind(field) == FieldType::Currency) {
                    const QString unrounded = from->UnroundedText(field);
                    if (NumberOf(unrounded) != NumberOf(text)) old = unrounded;
                }
                if (fitted.stored != old)
                    notes.push_back({f.fromEnglishTable ? QStringLiteral("ae.db") : tableName,
                                     from ? from->RecNo() : source.RecNo(), field, old, fitted.stored, {}});
            }
            rows.push_back(std::move(row));
        }
        lastSeen = source.RecNo();
        if (lastSeen == 1) break;
        source.SetRecNo(lastSeen - 1);
        if (english) english->SetRecNo(english->RecNo() - 1);
    }
    return rows;
}

void ExchangeRowsEnds(std::vector<MovedRow>& rows, const std::vector<ColumnInfo>& columns,
                      const std::function<void()>& onPair) {
    const size_t count = rows.size();
    // A value read as text and written back: an integer column keeps its
    // null, any other column gets at least the empty text.
    auto asText = [&](size_t c, const MovedRow& row) {
        return std::pair{row.values[c], columns[c].kind == ColumnKind::Integer && row.nulls[c]};
    };
    for (size_t i = 0; i < count / 2; ++i) {
        MovedRow& a = rows[i];
        MovedRow& b = rows[count - 1 - i];
        for (size_t c = 1; c < columns.size(); ++c) {
            if (IsPictureColumn(columns[c].name)) continue;
            auto [aValue, aNull] = asText(c, a);
            auto [bValue, bNull] = asText(c, b);
            a.values[c] = std::move(bValue);
            a.nulls[c] = bNull;
            b.values[c] = std::move(aValue);
            b.nulls[c] = aNull;
        }
        std::swap(a.record, b.record);
        if (onPair) onPair();
    }
    // The pictures change places in a pass of their own; an empty one is none.
    for (size_t c = 1; c < columns.size(); ++c) {
        if (!IsPictureColumn(columns[c].name)) continue;
        for (size_t i = 0; i < count / 2; ++i) {
            MovedRow& a = rows[i];
            MovedRow& b = rows[count - 1 - i];
            std::swap(a.values[c], b.values[c]);
            a.nulls[c] = a.values[c].isEmpty();
            b.nulls[c] = b.values[c].isEmpty();
        }
    }
}

void InsertMovedRows(DataSet& target, const QString& oldTable, const std::vector<MovedRow>& rows) {
    Statement insert(target.GetDatabase(), target.GetTransaction(), target.InsertSQL);
    std::vector<int> order;
    for (const QString& name : insert.ParamNames()) {
        int found = -1;
        for (int i = 0; i < int(target.Columns().size()); ++i)
            if (target.Columns()[i].name == name) found = i;
        if (found < 0)
            throw DatabaseError(QStringLiteral("Параметърът %1 не отговаря на поле от таблицата %2.").arg(name, target.Name));
        order.push_back(found);
    }
    std::vector<ParamValue> params(order.size());
    for (const MovedRow& row : rows) {
        for (size_t p = 0; p < order.size(); ++p)
            params[p] = row.nulls[order[p]] ? ParamValue::Null() : ParamValue::Bytes(row.values[order[p]]);
        try {
            insert.Execute(params);
        } catch (const platform::Exception& e) {
            throw MoveError(QStringLiteral("Таблица „%1“, запис %2: %3").arg(oldTable).arg(row.record).arg(e.Message()));
        }
    }
}

}  // namespace data
