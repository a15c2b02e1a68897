#pragma once
// The document record's columns, each with the editor control that holds it
// and how, in the order the save writes them. The save and the load both
// follow this one table, so a new column is added in one place. The owner, the
// language, the currency and the two grids follow these columns; they have
// rules of their own and are written and read by the save and the load.

#include <span>

class QWidget;
class TOrderForm;

struct DocumentColumn {
    // How the control holds the column's text.
    enum class Kind {
        Text,     // a line edit's or a label's text
        Combo,    // a combo box's text
        Date,     // a date picker, as the date text
        Flag,     // a check box, "True" or "False"
        Amount,   // a text holding a number, read back in the locale's form
        VatRate,  // the VAT rate as typed ("20%"), its number read back in the locale's form
        Saved,    // no control: the save supplies the value
    };
    // Where the load reads the column; the steps run in this order.
    enum class Load {
        Never,     // not read back (the own firm's details come from FIRM)
        OwnStep,   // read by a step of its own (title, printed mark, own firm)
        Heading,   // number, dates, payment, recipient and issuer, VAT basis, note kind
        Customer,  // the note's invoice and the customer
        English,   // the English texts (stored for every language)
        Closing,   // place of issue, bank account, VAT rate, total, paid
    };

    const char* name;
    QWidget* (*control)(const TOrderForm&);  // none for Kind::Saved
    Kind kind;
    Load load;
};

// The columns, in the order in which they are written.
std::span<const DocumentColumn> DocumentColumns();
