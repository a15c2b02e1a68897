// The editor's preview and save: the document is stored whole as one STORE
// row, an earlier row of the same number and title is overwritten after a
// question, and the own firm's counter of the title's group is raised.

#include "data/DataModule.h"
#include "data/Login.h"
#include "documents/DocumentEditor.h"
#include "documents/DocumentRecord.h"
#include "documents/PrintedPage.h"
#include "platform/Dialogs.h"
#include "platform/LocaleText.h"
#include "registers/DocumentRegister.h"

#include <QRandomGenerator>
#include <QThread>


namespace {

// Tries of a networked save to take the next number while other work places
// take theirs.
constexpr int kNumberTries = 40;

// The register's record grid follows STORE; it is let go during the save.
void SetRegisterGrid(TSort* window, data::DataSource* source) {
    if (!window) return;
    window->DBCtrlGrid1->SetDataSource(source);
    if (source) window->DBCtrlGrid1->Repaint();
}

struct RegisterGridDetached {
    RegisterGridDetached() { SetRegisterGrid(Sort, nullptr); }
    ~RegisterGridDetached() {
        if (DataModule1) SetRegisterGrid(Sort, &DataModule1->DataSource6);
    }
};

// While a walk moves a data set record by record, the controls that show it
// are not told of every move; afterwards they are told of the record reached.
class ControlsQuiet {
public:
    explicit ControlsQuiet(data::DataSource& source) : source_(source), enabled_(source.Enabled) { source.Enabled = false; }
    ~ControlsQuiet() {
        source_.Enabled = enabled_;
        data::DataSet* ds = source_.DataSetRef;
        if (ds && ds->Active() && ds->GetState() == data::DataSet::State::Browse && !ds->IsEmpty())
            ds->SetRecNo(ds->RecNo());
    }

private:
    data::DataSource& source_;
    bool enabled_;
};

int PageLanguageOf(const TOrderForm& e) {
    if (e.RadioButton1->isChecked()) return 0;
    if (e.RadioButton2->isChecked()) return 1;
    if (e.RadioButton3->isChecked()) return 2;
    return -1;
}

// The grid's cells row by row, each cut of its line feeds (in the grid too).
QStringList StoredCells(platform::StringGrid* grid) {
    QStringList cells;
    for (int r = 0; r < grid->RowCount(); ++r) {
        for (int c = 0; c < grid->ColCount(); ++c) {
            const QString cell = grid->Cell(c, r);
            const QString cut = CutLineFeeds(cell);
            if (cut != cell) grid->SetCell(c, r, cut);
            cells << cut;
        }
    }
    return cells;
}

// The newest STORE record with the number and the title, or 0.
int FindStoredDocument(data::DataSet& store, const QString& number, const QString& title) {
    const data::Field num = store.FieldByName(QStringLiteral("Num"));
    const data::Field document = store.FieldByName(QStringLiteral("Document"));
    store.SetRecNo(store.RecordCount());
    int previous = -1, repeats = 0;
    while (store.RecNo() >= 1) {
        if (store.RecNo() == previous) {
            if (++repeats >= 20) break;
        } else {
            repeats = 0;
        }
        previous = store.RecNo();
        if (num.AsString() == number && document.AsString() == title) return store.RecNo();
        if (store.RecNo() == 1) break;
        store.SetRecNo(store.RecNo() - 1);
    }
    return 0;
}


void CancelIfEditing(data::DataSet& ds) {
    if (ds.GetState() == data::DataSet::State::Edit || ds.GetState() == data::DataSet::State::Insert) ds.Cancel();
}

void PauseBeforeTry(int attempt) {
    QThread::msleep(1 + QRandomGenerator::global()->bounded(5 * std::min(attempt, 10)));
}

}  // namespace

void TOrderForm::ViewClick(QObject*) {
    RebuildDocumentView(false);
    if (const int language = PageLanguageOf(*this); language >= 0) Doc->Language = language;
    RebuildDocumentView(true);
}

void TOrderForm::SaveClick(QObject* Sender) {
    RebuildDocumentView(false);
    // An empty last row of the items is not stored.
    const int rows = StringGrid1->RowCount();
    if (rows > 2) {
        bool empty = true;
        for (const QString& cell : StringGrid1->RowTexts(rows - 1)) empty = empty && cell.isEmpty();
        if (empty) StringGrid1->SetRowCount(rows - 1);
    }
    Save->setEnabled(false);
    {
        const ControlsQuiet quiet(DataModule1->DataSource1);
        SpeedButton3Click(nullptr);
    }
    SaveDocument(Sender != nullptr);
}

void TOrderForm::SaveDocument(bool ask) {
    const RegisterGridDetached gridOff;
    data::DataSet& firm = DataModule1->firm;
    data::DataSet& store = DataModule1->store;
    data::DataSet& users = DataModule1->user;
    const QString title = ComboBox2->currentText();

    // The own firm on the page, by its name; the first firm when none matches.
    firm.Refresh();
    int k = 1;
    const char* nameField = RadioButton2->isChecked()                                   ? "Supplier2"
                            : RadioButton1->isChecked() || RadioButton3->isChecked() ? "Supplier1"
                                                                                       : nullptr;
    if (nameField) {
        const data::Field name = firm.FieldByName(QLatin1String(nameField));
        for (int i = 1; i <= firm.RecordCount(); ++i) {
            firm.SetRecNo(i);
            if (name.AsString() == DBText1->text()) {
                k = i;
                break;
            }
        }
    }
    if (firm.RecordCount() > 0) firm.SetRecNo(k);

    // An earlier record of the same document.
    store.Refresh();
    int found = 0;
    {
        const ControlsQuiet quiet(DataModule1->DataSource6);
        found = FindStoredDocument(store, MaskEdit1->text(), title);
    }
    const bool networked = CheckBox9->isChecked();
    const bool isNew = networked || found == 0;
    if (!isNew) {
        if (ask) {
            const platform::DialogAnswer answer = platform::MessageDlg(
                QStringLiteral("Вече съществува ") + title + QStringLiteral(" с този номер!\nДа презапиша ли промените?"),
                platform::DialogIcon::Warning,
                {platform::DialogAnswer::Yes, platform::DialogAnswer::No, platform::DialogAnswer::Cancel});
            if (answer != platform::DialogAnswer::Yes) {
                Save->setEnabled(true);
                return;
            }
        }
        // Only the owner may overwrite; a refused save writes nothing at all.
        QString firstUser;
        if (users.RecordCount() > 0) {
            users.SetRecNo(1);
            firstUser = users.FieldByName(QStringLiteral("us")).AsString();
        }
        const QString refusing =
            RefusingOwner(store.FieldByName(QStringLiteral("us")).AsString(), users.RecordCount() > 0, firstUser,
                          Form9 ? Form9->LoggedUser : QString());
        if (!refusing.isEmpty()) {
            platform::ShowMessage(OwnerRuleMessage(refusing));
            Save->setEnabled(false);
            return;
        }
        store.Edit();
    } else {
        store.Append();
    }

    try {
        const QStringList items = StoredCells(StringGrid1);
        const QStringList noteTable = StoredCells(StringGrid2);
        const auto set = [&store](const char* field, const QString& text) {
            store.FieldByName(QLatin1String(field)).SetAsString(text);
        };
        const auto date = [](const QDateEdit* picker) { return platform::DocumentDateText(picker->date()); };
        const auto flag = [](const QAbstractButton* box) { return platform::BoolToStr(box->isChecked()); };
        set("pnom", DataModule1->NextRecordKey());
        set("Document", title);
        set("Status", flag(CheckBox3));
        set("Num", MaskEdit1->text());
        set("Fromdate", date(EDate));
        set("DatetaxeventL", flag(CheckBox1));
        set("Datetaxevent", date(EDate2));
        set("DatepaymentL", flag(CheckBox2));
        set("Datepayment", date(EDate3));
        set("Payment", ComboBox3->currentText());
        set("Recipient1", Edit8->text());
        set("Issuer1", Edit10->text());
        set("reasonfor", ComboBox5->currentText());
        set("reason", ComboBox4->currentText());
        set("cdnote", ComboBox1->currentText());
        set("notedate", date(EDate4));
        set("noteInvNo", MaskEdit2->text());
        set("Customer1", Edit1->text());
        set("VATcust", Edit6->text());
        set("IDcust", Edit7->text());
        set("Address1cust", Edit3->text());
        set("RespPerson1cust", Edit2->text());
        set("Supplier1", DBText1->text());
        set("RespPerson1sup", DBText2->text());
        set("Address1sup", DBText8->text());
        set("IDsup", DBText5->text());
        set("VATsup", DBText6->text());
        set("Placeofpublishment1", DBText7->text());
        set("Bank", Bank->text());
        set("IBAN", IBAN->text());
        set("SWIFT", SWIFT->text());
        set("percent", Edit9->text());
        set("Total", Label11->text());
        set("PaidL", flag(CheckBox6));
        set("Firmdbindex", QString::number(k));
        set("AnuliranaL", platform::BoolToStr(false));
        set("Recipient2", Edit15->text());
        set("Issuer2", Edit16->text());
        set("Customer2", Edit12->text());
        set("Address2cust", Edit13->text());
        set("RespPerson2cust", Edit14->text());
        set("Supplier2", Edit17->text());
        set("RespPerson2sup", Edit19->text());
        set("Address2sup", Edit18->text());
        set("Placeofpublishment2", Edit20->text());
        if (isNew) set("us", Form9 ? Form9->LoggedUser : QString());
        const int language = PageLanguageOf(*this);
        if (language >= 0) set("radio", QString::number(language + 1));
        // A Bulgarian page carries no currency.
        if (language == 0 && Doc) {
            Doc->CurrencyPrefix.clear();
            Doc->CurrencyRate = 1.0;
            Doc->Language = 0;
        }
        set("CurrencyPrefix", Doc ? Doc->CurrencyPrefix : QString());
        set("CurrencyRate", platform::FloatToStr(Doc ? Doc->CurrencyRate : 1.0));
        const QString itemsText = DocumentGridText(items);
        const QString noteText = DocumentGridText(noteTable);
        MemoStore->SetText(itemsText);
        MemoStr->SetText(noteText);
        set("STOCKS", itemsText);
        set("STR2", noteText);

        // The counter of the title's group. In networked numbering another
        // work place may take a number at the same time: its change refuses
        // ours, and the counter is read again for the next number.
        // The raised counter and the document are committed by one commit,
        // so that a crash at any moment leaves both or neither.
        data::HeldCommits oneCommit(DataModule1->IBTransaction1);
        const QString counterColumn = CounterColumnOfTitle(title);
        for (int attempt = 1;; ++attempt) {
            firm.Refresh();
            const QString keptCounter = firm.FieldByName(counterColumn).AsString();
            firm.Edit();
            firm.FieldByName(QStringLiteral("pnom")).SetAsString(DataModule1->NextRecordKey());
            data::Field counter = firm.FieldByName(counterColumn);
            if (networked) {
                const QString number = NetworkDocumentNumber(keptCounter, counterColumn);
                counter.SetAsString(number);
                MaskEdit1->setText(number);
                set("Num", number);
            } else {
                counter.SetAsString(RaisedCounter(keptCounter, MaskEdit1->text()));
            }
            try {
                firm.Post();
                break;
            } catch (...) {
                const std::exception_ptr error = std::current_exception();
                firm.Cancel();
                if (!IsConcurrentChange(error)) throw;
                if (!networked || attempt >= kNumberTries) {
                    store.Cancel();
                    platform::ShowMessage(
                        networked ? QStringLiteral("Документът не е записан: броячът на фирмата се променя от друго работно "
                                                   "място и свободен номер не можа да бъде взет. Опитайте отново.")
                                  : QStringLiteral("Документът не е записан: фирмата е променена от друго работно място, "
                                                   "докато документът се записваше. Броячът и записаните документи са "
                                                   "както преди. Опитайте отново."));
                    Save->setEnabled(true);
                    return;
                }
                PauseBeforeTry(attempt);
            }
        }

        try {
            store.Post();
        } catch (...) {
            // The document was not stored: neither is the raised counter,
            // which is read again as it stands; then the error is shown.
            CancelIfEditing(store);
            oneCommit.Rollback();
            try {
                firm.Refresh();
            } catch (...) {
                // The refusal of the document is the error to show.
            }
            throw;
        }
        oneCommit.Commit();
    } catch (...) {
        CancelIfEditing(firm);
        CancelIfEditing(store);
        throw;
    }
    Save->setEnabled(false);
}
