// The editor's preview and save: the document is stored whole as one STORE
// row, an earlier row of the same number and title is overwritten after a
// question, and the own firm's counter of the title's group is raised.

#include "data/DataModule.h"
#include "data/Login.h"
#include "documents/DocumentColumns.h"
#include "documents/DocumentEditor.h"
#include "documents/DocumentRecord.h"
#include "documents/Numbering.h"
#include "documents/PrintedPage.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/LocaleText.h"
#include "registers/DocumentRegister.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
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
    explicit ControlsQuiet(data::DataSource& source) : source_(source), enabled_(source.Enabled) {
        source.Enabled = false;
        if (source_.DataSetRef) source_.DataSetRef->DisableControls();
    }
    ~ControlsQuiet() {
        if (source_.DataSetRef) source_.DataSetRef->EnableControls();
        source_.Enabled = enabled_;
        data::DataSet* ds = source_.DataSetRef;
        if (ds && ds->Active() && ds->GetState() == data::DataSet::State::Browse && !ds->IsEmpty())
            ds->SetRecNo(ds->RecNo());
    }

private:
    data::DataSource& source_;
    bool enabled_;
};

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

// The text of a column's control as the record stores it.
QString ControlText(const DocumentColumn& column, const TOrderForm& editor) {
    QWidget* control = column.control(editor);
    switch (column.kind) {
    case DocumentColumn::Kind::Combo:
        return qobject_cast<QComboBox*>(control)->currentText();
    case DocumentColumn::Kind::Date:
        return platform::DocumentDateText(qobject_cast<QDateEdit*>(control)->date());
    case DocumentColumn::Kind::Flag:
        return platform::BoolToStr(qobject_cast<QAbstractButton*>(control)->isChecked());
    case DocumentColumn::Kind::Text:
    case DocumentColumn::Kind::Amount:
    case DocumentColumn::Kind::VatRate:
        if (const auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
        return qobject_cast<QLabel*>(control)->text();
    case DocumentColumn::Kind::Saved:
        break;
    }
    return {};
}

void CancelIfEditing(data::DataSet& ds) {
    if (ds.GetState() == data::DataSet::State::Edit || ds.GetState() == data::DataSet::State::Insert) ds.Cancel();
}

void PauseBeforeTry(int attempt) {
    QThread::msleep(1 + QRandomGenerator::global()->bounded(5 * std::min(attempt, 10)));
}

// The document is stored; what failed came after its commit.
class StoredButError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// What the user is told of a save that did not store the document: that
// first, then why.
QString NotStoredText(const QString& why) {
    if (why.contains(QStringLiteral("Документът не е записан"))) return why;
    return QStringLiteral("Документът не е записан.\n") + why;
}

}  // namespace

void TOrderForm::ViewClick(QObject*) {
    RebuildDocumentView(false);
    if (const auto language = ChosenLanguage()) Doc->Language = *language;
    RebuildDocumentView(true);
}

TOrderForm::SaveOutcome TOrderForm::SaveClick(QObject* Sender) {
    // A number field left partly blank holds no number: nothing is written.
    // The networked save takes its own number.
    QString refusal = CheckBox9->isChecked()
                          ? QString()
                          : TenDigitNumberRefusal(MaskEdit1->text(), QStringLiteral("Номерът на документа"), false);
    // The number of the invoice a note refers to counts only on a note; what
    // the hidden field holds otherwise is not the document's.
    const bool note = CheckBox4->isChecked() || !ComboBox1->currentText().isEmpty();
    if (refusal.isEmpty() && note)
        refusal = TenDigitNumberRefusal(MaskEdit2->text(), QStringLiteral("Номерът на фактурата, към която е известието,"),
                                        true);
    if (!refusal.isEmpty()) throw platform::EConvertError(refusal);
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
    // A save that did not store the document says so, and may be made
    // again at once; one whose outcome cannot be known yet is told as such
    // (the look-up once connected again tells the rest).
    try {
        return SaveDocument(Sender != nullptr);
    } catch (const StoredButError&) {
        throw;
    } catch (const data::OutcomeUnknownError&) {
        NameUnsettledDocument();
        throw;
    } catch (const data::ConnectionLostError& e) {
        if (e.WhatBecame() == data::ConnectionLostError::Change::Unknown) {
            NameUnsettledDocument();
            throw;
        }
        Save->setEnabled(true);
        throw platform::Exception(NotStoredText(e.Message()));
    } catch (const platform::Exception& e) {
        Save->setEnabled(true);
        throw platform::Exception(NotStoredText(e.Message()));
    }
}

// The save's outcome could not be known: once it is looked up, the user is
// told what became of this document, and a document found not stored may be
// saved again at once.
void TOrderForm::NameUnsettledDocument() {
    data::Database& db = DataModule1->IBDatabase1;
    if (db.Unsettled.empty()) return;
    const QString document = QStringLiteral("Документът %1 № %2, за който не можеше да се разбере дали е записан, ")
                                 .arg(ComboBox2->currentText(), MaskEdit1->text());
    const QPointer<QPushButton> save = Save;
    db.UnsettledTexts = {document + QStringLiteral("е записан."),
                         document + QStringLiteral("не е записан: запишете го отново."), [save](bool stored) {
                             if (!stored && save) save->setEnabled(true);
                         }};
}

TOrderForm::SaveOutcome TOrderForm::SaveDocument(bool ask) {
    const RegisterGridDetached gridOff;
    data::DataSet& firm = DataModule1->firm;
    data::DataSet& store = DataModule1->store;
    const QString title = ComboBox2->currentText();

    const int firmIndex = FindPageFirm();
    const int found = FindEarlierRecord(title);
    const bool networked = CheckBox9->isChecked();
    const bool isNew = networked || found == 0;
    if (!isNew) {
        if (const SaveOutcome refused = MayOverwrite(title, ask); refused != SaveOutcome::Stored) return refused;
        store.Edit();
    } else {
        store.Append();
    }

    try {
        WriteDocumentFields(title, firmIndex, isNew);
        if (!RaiseCounterAndPost(title, networked)) return SaveOutcome::NotStored;
    } catch (...) {
        CancelIfEditing(firm);
        CancelIfEditing(store);
        throw;
    }
    Save->setEnabled(false);
    return SaveOutcome::Stored;
}

// The own firm on the page, by its name; the first firm when none matches.
// FIRM is left on it; its record number is returned.
int TOrderForm::FindPageFirm() {
    data::DataSet& firm = DataModule1->firm;
    firm.Refresh();
    int k = 1;
    const std::optional<PageLanguage> language = ChosenLanguage();
    const char* nameField = !language                            ? nullptr
                            : *language == PageLanguage::English ? "Supplier2"
                                                                 : "Supplier1";
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
    return k;
}

// The STORE record of an earlier save of the same document, or 0; STORE is
// left on it when there is one.
int TOrderForm::FindEarlierRecord(const QString& title) {
    data::DataSet& store = DataModule1->store;
    store.Refresh();
    const ControlsQuiet quiet(DataModule1->DataSource6);
    return FindStoredDocument(store, MaskEdit1->text(), title);
}

// Whether the earlier record may be overwritten (Stored): the user says so
// when asked, and only its owner may. When not, the save stops having written nothing.
TOrderForm::SaveOutcome TOrderForm::MayOverwrite(const QString& title, bool ask) {
    data::DataSet& store = DataModule1->store;
    data::DataSet& users = DataModule1->user;
    if (ask) {
        const platform::DialogAnswer answer = platform::MessageDlg(
            QStringLiteral("Вече съществува ") + title + QStringLiteral(" с този номер!\nДа презапиша ли промените?"),
            platform::DialogIcon::Warning,
            {platform::DialogAnswer::Yes, platform::DialogAnswer::No, platform::DialogAnswer::Cancel});
        if (answer != platform::DialogAnswer::Yes) {
            Save->setEnabled(true);
            return SaveOutcome::Declined;
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
        return SaveOutcome::OwnerRefused;
    }
    return SaveOutcome::Stored;
}

// Every column of the record being edited or appended, in the column table's
// order, then the owner of a new record, the language, the currency and the grids.
void TOrderForm::WriteDocumentFields(const QString& title, int firmIndex, bool isNew) {
    data::DataSet& store = DataModule1->store;
    const QStringList items = StoredCells(StringGrid1);
    const QStringList noteTable = StoredCells(StringGrid2);
    const auto set = [&store](const char* field, const QString& text) {
        store.FieldByName(QLatin1String(field)).SetAsString(text);
    };
    // The columns without a control: the record key, the own firm and the
    // annulled mark; and the title as it was when the save began.
    const QHash<QByteArray, QString> supplied = {
        {"pnom", DataModule1->NextRecordKey()},
        {"Document", title},
        {"Firmdbindex", QString::number(firmIndex)},
        {"AnuliranaL", platform::BoolToStr(false)},
    };
    for (const DocumentColumn& column : DocumentColumns()) {
        const auto given = supplied.constFind(column.name);
        set(column.name, given != supplied.cend() ? *given : ControlText(column, *this));
    }
    if (isNew) set("us", Form9 ? Form9->LoggedUser : QString());
    const std::optional<PageLanguage> language = ChosenLanguage();
    if (language) set("radio", StoredLanguageText(*language));
    // A Bulgarian page carries no currency.
    if (language == PageLanguage::Bulgarian && Doc) {
        Doc->CurrencyPrefix.clear();
        Doc->CurrencyRate = 1.0;
        Doc->Language = PageLanguage::Bulgarian;
    }
    set("CurrencyPrefix", Doc ? Doc->CurrencyPrefix : QString());
    set("CurrencyRate", platform::FloatToStr(Doc ? Doc->CurrencyRate : 1.0));
    const QString itemsText = DocumentGridText(items);
    const QString noteText = DocumentGridText(noteTable);
    MemoStore->SetText(itemsText);
    MemoStr->SetText(noteText);
    set("STOCKS", itemsText);
    set("STR2", noteText);
}

// The number is taken and the counter of the title's group raised, then the
// record is posted. False when the save stopped without storing the document.
bool TOrderForm::RaiseCounterAndPost(const QString& title, bool networked) {
    data::DataSet& firm = DataModule1->firm;
    data::DataSet& store = DataModule1->store;
    const auto set = [&store](const char* field, const QString& text) {
        store.FieldByName(QLatin1String(field)).SetAsString(text);
    };
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
            if (!data::IsConcurrentChange(error)) throw;
            if (!networked || attempt >= kNumberTries) {
                store.Cancel();
                platform::ShowMessage(
                    networked ? QStringLiteral("Документът не е записан: броячът на фирмата се променя от друго работно "
                                               "място и свободен номер не можа да бъде взет. Опитайте отново.")
                              : QStringLiteral("Документът не е записан: фирмата е променена от друго работно място, "
                                               "докато документът се записваше. Броячът и записаните документи са "
                                               "както преди. Опитайте отново."));
                Save->setEnabled(true);
                return false;
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
    const unsigned long long before = DataModule1->IBTransaction1.CommitCount();
    try {
        oneCommit.Commit();
    } catch (const platform::Exception& e) {
        if (DataModule1->IBTransaction1.CommitCount() > before)
            throw StoredButError(QStringLiteral("Документът е записан, но след това: ") + e.Message());
        throw;
    }
    return true;
}
