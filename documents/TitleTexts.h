#pragma once
// Titles and note kinds the program tells apart by their text, as the title
// box and the note kind box hold them and the store keeps them.

#include <QString>

inline const QString kInvoiceTitle = QStringLiteral("ФАКТУРА");
inline const QString kInvoiceTitleEnglish = QStringLiteral("INVOICE");
inline const QString kInvoiceTitleBilingual = QStringLiteral("ФАКТУРА / INVOICE");
inline const QString kDebitNoteTitle = QStringLiteral("Дебитно известие");
inline const QString kDebitNoteTitleEnglish = QStringLiteral("Debit note");
inline const QString kCreditNoteTitle = QStringLiteral("Кредитно известие");
inline const QString kCreditNoteTitleEnglish = QStringLiteral("Credit note");
