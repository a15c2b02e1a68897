#include "documents/DocumentColumns.h"

#include "documents/DocumentEditor.h"

namespace {

template <auto member>
QWidget* Control(const TOrderForm& editor) {
    return editor.*member;
}

using K = DocumentColumn::Kind;
using L = DocumentColumn::Load;

// The record key, the own firm's record number and the annulled mark have no
// control: the save gives them.
constexpr DocumentColumn kColumns[] = {
    {"pnom", nullptr, K::Saved, L::Never},
    {"Document", Control<&TOrderForm::ComboBox2>, K::Combo, L::OwnStep},
    {"Status", Control<&TOrderForm::CheckBox3>, K::Flag, L::OwnStep},
    {"Num", Control<&TOrderForm::MaskEdit1>, K::Text, L::Heading},
    {"Fromdate", Control<&TOrderForm::EDate>, K::Date, L::Heading},
    {"DatetaxeventL", Control<&TOrderForm::CheckBox1>, K::Flag, L::Heading},
    {"Datetaxevent", Control<&TOrderForm::EDate2>, K::Date, L::Heading},
    {"DatepaymentL", Control<&TOrderForm::CheckBox2>, K::Flag, L::Heading},
    {"Datepayment", Control<&TOrderForm::EDate3>, K::Date, L::Heading},
    {"Payment", Control<&TOrderForm::ComboBox3>, K::Combo, L::Heading},
    {"Recipient1", Control<&TOrderForm::Edit8>, K::Text, L::Heading},
    {"Issuer1", Control<&TOrderForm::Edit10>, K::Text, L::Heading},
    {"reasonfor", Control<&TOrderForm::ComboBox5>, K::Combo, L::Heading},
    {"reason", Control<&TOrderForm::ComboBox4>, K::Combo, L::Heading},
    {"cdnote", Control<&TOrderForm::ComboBox1>, K::Combo, L::Heading},
    {"notedate", Control<&TOrderForm::EDate4>, K::Date, L::Customer},
    {"noteInvNo", Control<&TOrderForm::MaskEdit2>, K::Text, L::Customer},
    {"Customer1", Control<&TOrderForm::Edit1>, K::Text, L::Customer},
    {"VATcust", Control<&TOrderForm::Edit6>, K::Text, L::Customer},
    {"IDcust", Control<&TOrderForm::Edit7>, K::Text, L::Customer},
    {"Address1cust", Control<&TOrderForm::Edit3>, K::Text, L::Customer},
    {"RespPerson1cust", Control<&TOrderForm::Edit2>, K::Text, L::Customer},
    {"Supplier1", Control<&TOrderForm::DBText1>, K::Text, L::Never},
    {"RespPerson1sup", Control<&TOrderForm::DBText2>, K::Text, L::Never},
    {"Address1sup", Control<&TOrderForm::DBText8>, K::Text, L::Never},
    {"IDsup", Control<&TOrderForm::DBText5>, K::Text, L::Never},
    {"VATsup", Control<&TOrderForm::DBText6>, K::Text, L::Never},
    {"Placeofpublishment1", Control<&TOrderForm::DBText7>, K::Text, L::Closing},
    {"Bank", Control<&TOrderForm::Bank>, K::Text, L::Closing},
    {"IBAN", Control<&TOrderForm::IBAN>, K::Text, L::Closing},
    {"SWIFT", Control<&TOrderForm::SWIFT>, K::Text, L::Closing},
    {"percent", Control<&TOrderForm::Edit9>, K::VatRate, L::Closing},
    {"Total", Control<&TOrderForm::Label11>, K::Amount, L::Closing},
    {"PaidL", Control<&TOrderForm::CheckBox6>, K::Flag, L::Closing},
    {"Firmdbindex", nullptr, K::Saved, L::OwnStep},
    {"AnuliranaL", nullptr, K::Saved, L::Never},
    {"Recipient2", Control<&TOrderForm::Edit15>, K::Text, L::English},
    {"Issuer2", Control<&TOrderForm::Edit16>, K::Text, L::English},
    {"Customer2", Control<&TOrderForm::Edit12>, K::Text, L::English},
    {"Address2cust", Control<&TOrderForm::Edit13>, K::Text, L::English},
    {"RespPerson2cust", Control<&TOrderForm::Edit14>, K::Text, L::English},
    {"Supplier2", Control<&TOrderForm::Edit17>, K::Text, L::English},
    {"RespPerson2sup", Control<&TOrderForm::Edit19>, K::Text, L::English},
    {"Address2sup", Control<&TOrderForm::Edit18>, K::Text, L::English},
    {"Placeofpublishment2", Control<&TOrderForm::Edit20>, K::Text, L::English},
};

}  // namespace

std::span<const DocumentColumn> DocumentColumns() { return kColumns; }
