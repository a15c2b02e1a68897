#pragma once
// Income by month for one own firm and one year, and the month's lists of paid
// and unpaid invoices, computed from the stored documents' texts. The
// documents come in the order the statistics walk them: from the last stored
// record to the first. A document number is counted (or listed) once within
// the counter group of its title (invoices, protocols, proformas each number
// from 1): the first document of the firm and year met with that number in
// that group decides, in whichever month it lies, so the chart and the month
// lists leave out the same documents. Which documents count, and a document
// that cannot be read, follow the income rule; a paid flag that is neither
// True nor False makes the document unreadable too.

#include "registers/IncomeRule.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace registers {

// The texts of one stored document that the statistics read.
struct IncomeDocument {
    QString document, num, fromDate, supplier, customer, total, percent, paid, annulled, noteKind;
};

struct YearIncome {
    std::array<double, 12> paid{};    // without VAT, by month
    std::array<double, 12> unpaid{};
    UnreadableDocuments unreadable;  // also when the VAT rate is no number
};

// The key under which a document number counts once: the counter group of
// the document's title and the number (an invoice and a proforma may both
// carry 0000000001, each from its own counter).
QString CountedNumberKey(const QString& title, const QString& num);

// Adds one document to the bars (yearText: the year box; firm: the chosen own
// firm's name).
void SumMonthIncome(const IncomeDocument& d, const QString& yearText, const QString& firm, QSet<QString>& counted,
                    YearIncome& income);

struct MonthList {
    QStringList paidLines, unpaidLines;
    int paidCount = 0, unpaidCount = 0;
    double paidGross = 0, unpaidGross = 0;  // with VAT
    UnreadableDocuments unreadable;
};

// Adds one document to the lists of month m (1 to 12).
void AddMonthListLine(const IncomeDocument& d, int month, const QString& yearText, const QString& firm,
                      QSet<QString>& listed, MonthList& list);

// "общо без ДДС: " and "общо с ДДС: " amounts: the general number text rounded to money decimals.
QString MoneyTotalText(double value);

}  // namespace registers
