#include "data/OldTableMap.h"

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

int MoveProgressMaximum(const std::vector<int>& recordCounts) {
    int records = 0, pairs = 0;
    for (int n : recordCounts) {
        records += n;
        pairs += n / 2;
    }
    return records + pairs;
}

}  // namespace data
