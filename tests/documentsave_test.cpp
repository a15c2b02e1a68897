// Saving and opening documents: overwriting after Yes only, the owner rule,
// networked numbering, a bilingual document with a currency saved and opened.

#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "data/Login.h"
#include "documents/DocumentEditor.h"
#include "documents/DocumentRecord.h"
#include "documents/JpegFile.h"
#include "documents/Numbering.h"
#include "documents/PrintOptions.h"
#include "documents/PrintedPage.h"
#include "documents/RememberedChoices.h"
#include "registers/CustomerCard.h"
#include "registers/Customers.h"
#include "registers/DocumentRegister.h"
#include "registers/GoodsList.h"
#include "registers/OwnFirms.h"
#include "platform/Dialogs.h"
#include "platform/LocaleText.h"
#include "platform/Paths.h"
#include "support/programtest.h"
#include "support/testdatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QStorageInfo>
#include <QTest>
#include <QTimer>

#include <unistd.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

using platform::DialogResponse;

TEST(DocumentRecord, StoredGridsOwnersAndLanguages) {
    EXPECT_EQ(DocumentGridLines(DocumentGridText({"a", "b\rc", ""})), QStringList({"a", "b\rc", ""}));
    EXPECT_EQ(QList<int>({DocumentGridRows(20, 6), DocumentGridRows(4, 6)}), QList<int>({3, 1}));  // whole rows, at least one
    EXPECT_EQ(RefusingOwner("", true, "боб", "ана"), "боб");  // no owner: the first user's
    EXPECT_EQ(LanguageOfRecord("", "Packing list").language, PageLanguage::English);
    EXPECT_FALSE(LanguageOfRecord("1", "INVOICE").readCurrency);
}

class Save : public testsupport::DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        testsupport::ExecuteOn(defaultFile, QString::fromUtf8(
            "insert into firm (pnom, invoiceno, supplier1, supplier2, respperson1, address1, id, vat)"
            " values ('1', '0000000041', 'Тест ЕООД', 'Test Ltd', 'Иван Петров', 'София', '121212127', 'BG121212127')"));
        Start();
        Main->OrderBtn->click();
        e = OrderForm;
        e->Edit1->setText("Фикс ООД");
        e->Edit7->setText("111111110");
        e->StringGrid1->SetRowTexts(1, {"", "Консултация\nпо ДДС", "час", "2", "60,50", ""});
        e->Edit9->setText("");
        e->Edit9->setText("20%");
    }
    QStringList Rows(const QString& columns) {
        return testsupport::QueryRows(defaultFile, QStringLiteral("select %1 from store order by num, document").arg(columns));
    }
    QString Counter() { return testsupport::QueryRows(defaultFile, "select invoiceno from firm").value(0); }
    TOrderForm* e = nullptr;
    platform::ScriptedDialogs dialogs;
};

TEST_F(Save, AnInvoiceIsStoredFoundAndOverwrittenOnlyAfterYes) {
    e->Save->click();
    const QString today = platform::DocumentDateText(QDate::currentDate());
    EXPECT_EQ(Rows("document, num, status, fromdate, customer1, supplier1, firmdbindex, radio, currencyprefix, "
                   "currencyrate, total, us, anuliranal"),
              QStringList({"ФАКТУРА|0000000042|False|" + today + "|Фикс ООД|Тест ЕООД|1|1||1|145,20||False"}));
    EXPECT_EQ(Rows("stocks").value(0) + "\r\n",  // the line feed in a cell is cut out
              DocumentGridText({"Пор. №", "Наименование на стоките или услугите", "Мярка", "К-во", "Ед. цена",
                                "Стойност", "1", "Консултацияпо ДДС", "час", "2", "60,50", "121,00"}));
    EXPECT_EQ(e->StringGrid1->Cell(1, 1), "Консултацияпо ДДС");
    EXPECT_EQ(Counter(), "0000000042");

    e->Edit8->setText("Мария");
    dialogs.Answer(DialogResponse::No());
    e->Save->click();
    EXPECT_EQ(dialogs.Shown().back().text, "Вече съществува ФАКТУРА с този номер!\nДа презапиша ли промените?");
    EXPECT_EQ(Rows("recipient1"), QStringList({""}));
    EXPECT_TRUE(e->Save->isEnabled());
    dialogs.Answer(DialogResponse::Yes());
    e->Save->click();
    EXPECT_EQ(Rows("num, recipient1"), QStringList({"0000000042|Мария"}));

    e->ComboBox2->setEditText("ПРОФОРМА ФАКТУРА");  // the same number under another title is another document
    e->MaskEdit1->setText("0000000042");
    e->Save->click();
    EXPECT_EQ(Rows("document, num"), QStringList({"ПРОФОРМА ФАКТУРА|0000000042", "ФАКТУРА|0000000042"}));
}

// The overwrite question as the user sees it: a Bulgarian title and buttons,
// answered with the mouse.
TEST_F(Save, TheOverwriteQuestionIsAskedInBulgarian) {
    e->Save->click();
    const platform::DialogResponder scripted = platform::DialogGate::SetResponder({});  // the real box
    QStringList seen;
    std::function<void(int)> whenShown = [&](int tries) {
        QTimer::singleShot(10, [&, tries] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box && tries > 0) return whenShown(tries - 1);
            if (!box) return;
            QStringList buttons;
            for (QAbstractButton* b : box->buttons()) buttons << b->text();
            buttons.sort();
            seen << box->windowTitle() << buttons;
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QStringLiteral("&Да")) return QTest::mouseClick(b, Qt::LeftButton);
            box->close();
        });
    };
    e->Edit8->setText("Мария");
    whenShown(500);
    QTest::mouseClick(e->Save, Qt::LeftButton);
    platform::DialogGate::SetResponder(scripted);
    EXPECT_EQ(seen, QStringList({"Предупреждение", "&Да", "&Не", "Отказ"}));
    EXPECT_EQ(Rows("num, recipient1"), QStringList({"0000000042|Мария"}));
}

TEST_F(Save, OnlyTheOwnerOverwritesAndARefusedSaveChangesNothing) {
    for (const char* user : {"'1', 'ana'", "'2', 'bob'"})
        testsupport::ExecuteOn(defaultFile, QStringLiteral("insert into userp (pnom, us) values (%1)").arg(user));
    DataModule1->user.Refresh();
    Form9->LoggedUser = "bob";
    e->Save->click();
    EXPECT_EQ(Rows("us"), QStringList({"bob"}));
    Form9->LoggedUser = "ana";
    e->Edit8->setText("Ана");
    e->MaskEdit1->setText("0000000042");
    dialogs.Answer(DialogResponse::Yes());
    e->Save->click();
    EXPECT_EQ(dialogs.Shown().back().text, "Само потребителят bob може да промени или изтрие този документ.");
    EXPECT_EQ(Rows("us, recipient1"), QStringList({"bob|"}));
    EXPECT_EQ(Counter(), "0000000042");
    Form9->LoggedUser = "bob";
    dialogs.Answer(DialogResponse::Yes());
    e->SaveClick(e->Save);
    EXPECT_EQ(Rows("us, recipient1"), QStringList({"bob|Ана"}));
}

TEST_F(Save, ADocumentTheDatabaseRefusesLeavesTheCounterAsItWas) {
    e->MaskEdit1->setText("0000000050");
    e->Edit8->setText(QString(300, u'М'));  // longer than its column
    e->Save->click();
    EXPECT_EQ(dialogs.Shown().back().kind, platform::DialogKind::Exception);
    EXPECT_TRUE(Rows("num").isEmpty());
    EXPECT_EQ(Counter(), "0000000041");
}

TEST_F(Save, AFirmChangedByAnotherWorkPlaceIsToldOrNetworkedSavesTakeTheNextNumber) {
    // Another work place takes the next number between this one's reading and writing of the counter.
    auto keyWriter = DataModule1->firm.BeforePost;
    int taken = 41;
    bool intrude = true;
    DataModule1->firm.BeforePost = [&](data::DataSet& ds) {
        keyWriter(ds);
        if (!std::exchange(intrude, false)) return;
        ++taken;
        testsupport::ExecuteOn(defaultFile, QStringLiteral("update firm set pnom = 'other%1', invoiceno = '%2'")
                                                .arg(taken).arg(PadWithZeros(QString::number(taken))));
    };
    e->Save->click();
    EXPECT_TRUE(dialogs.Shown().back().text.startsWith("Документът не е записан"));
    EXPECT_TRUE(Rows("num").isEmpty());
    EXPECT_EQ(Counter(), "0000000042");
    EXPECT_TRUE(e->Save->isEnabled());

    intrude = true;  // networked: the number after the one taken meanwhile, then counter + 1 again
    dialogs.Clear();
    e->CheckBox9->setChecked(true);
    e->Save->click();
    e->SaveClick(e->Save);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Rows("num"), QStringList({"0000000044", "0000000045"}));
    EXPECT_EQ(e->MaskEdit1->text(), "0000000045");
    EXPECT_EQ(Counter(), "0000000045");
    DataModule1->firm.BeforePost = keyWriter;
}

// Another work place changes the row a writer is about to write: the refusal
// is shown, the data set is left browsing, and the next invoice saves.
TEST_F(Save, ARefusedFlagFirmOrGoodsWriteLeavesTheNextInvoiceSaving) {
    e->CheckBox9->setChecked(true);  // every save a new invoice
    e->Save->click();
    const auto refusedThenSaved = [&](data::DataSet& ds, const std::function<void()>& write, int stored) {
        dialogs.Clear();
        write();
        ASSERT_EQ(dialogs.Shown().size(), 1u);
        EXPECT_EQ(dialogs.Shown().back().kind, platform::DialogKind::Exception) << dialogs.Shown().back().text.toStdString();
        EXPECT_EQ(ds.GetState(), data::DataSet::State::Browse) << ds.Name.toStdString();
        e->Edit8->setText(QString::number(stored));  // a change enables "Save"
        e->Save->click();
        EXPECT_EQ(dialogs.Shown().size(), 1u) << dialogs.Shown().back().text.toStdString();
        EXPECT_EQ(Rows("num").size(), stored);
    };
    // "платено" ticked in the register on a document changed elsewhere.
    Sort->Show();
    refusedThenSaved(DataModule1->store, [&] {
        testsupport::ExecuteOn(defaultFile, "update store set pnom = 'elsewhere'");
        QCheckBox* paid = Sort->findChild<QWidget*>(Sort->PanelNames.at(0))->findChildren<QCheckBox*>().at(1);
        QTest::mouseClick(paid, Qt::LeftButton);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(paid, &leave);
    }, 2);
    Sort->Close();
    // The own firm saved by "OK" after another work place changed it.
    FillFirm->Show();
    refusedThenSaved(DataModule1->firm, [&] {
        testsupport::ExecuteOn(defaultFile, "update firm set pnom = 'elsewhere'");
        QTest::mouseClick(FillFirm->OKButton, Qt::LeftButton);
    }, 3);
    FillFirm->Close();
    // A new goods record the database refuses.
    auto keyWriter = DataModule1->stock.BeforePost;
    DataModule1->stock.BeforePost = [&](data::DataSet& ds) {
        keyWriter(ds);
        throw data::RecordInUseError(QStringLiteral("Този запис в момента се променя от друго работно място."));
    };
    Stocks->Show();
    refusedThenSaved(DataModule1->stock, [&] { QTest::mouseClick(Stocks->Button2, Qt::LeftButton); }, 4);
    DataModule1->stock.BeforePost = keyWriter;
}

// The customer card's "OK" is refused (another work place changed the
// customer since) and the card stays open: the refusal is shown there once;
// an invoice to a new customer then saves without showing it again.
TEST_F(Save, ACustomerChangeRefusedWhileTheCardIsOpenIsShownOnce) {
    e->Save->click();  // the customer of the first invoice is stored with it
    ASSERT_TRUE(dialogs.Shown().empty());
    Main->SpeedButton7->click();
    CustForm->Button3->click();
    ASSERT_TRUE(EditCustForm->isVisible());
    QTest::keyClicks(EditCustForm->DBEdit1, " 2");
    testsupport::ExecuteOn(defaultFile, "update customer set pnom = 'elsewhere'");
    QTest::mouseClick(EditCustForm->OKButton, Qt::LeftButton);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(EditCustForm->isVisible());

    e->Edit1->setText("Нов ООД");
    e->Edit7->setText("222222220");
    e->CheckBox9->setChecked(true);  // a new number
    QTest::mouseClick(e->Save, Qt::LeftButton);
    EXPECT_EQ(dialogs.Shown().size(), 1u) << dialogs.Shown().back().text.toStdString();
    EXPECT_EQ(Rows("num, customer1"), QStringList({"0000000042|Фикс ООД", "0000000043|Нов ООД"}));
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select id from customer order by id"),
              QStringList({"111111110", "222222220"}));
}

// A small disk of its own (a tmpfs) mounted on a folder while it lives.
class SmallDisk {
public:
    SmallDisk(const QString& folder, const char* size) : folder_(folder) {
        if (::getuid() != 0) {
            why_ = "mounting a small disk needs root";
            return;
        }
        QProcess mount;
        mount.start("mount", {"-t", "tmpfs", "-o", QStringLiteral("size=%1").arg(size), "tmpfs", folder});
        mounted_ = mount.waitForFinished(30000) && mount.exitCode() == 0;
        if (!mounted_) why_ = "a tmpfs could not be mounted: " + mount.readAllStandardError().toStdString();
    }
    ~SmallDisk() {
        if (mounted_) QProcess::execute("umount", {"-l", folder_});
    }
    bool Mounted() const { return mounted_; }
    const std::string& Why() const { return why_; }

private:
    QString folder_;
    bool mounted_ = false;
    std::string why_;
};

// Invoices are saved on a local work place whose disk fills up. The save
// whose commit the disk refuses says whether the invoice is stored, and the
// database agrees; no later commit stores a refused one behind the user's
// back, and with room again the same click stores it once.
TEST_F(Save, AnInvoiceRefusedByAFullDiskIsToldTruthfully) {
    testsupport::TempFolder mountPoint;
    const QString folder = mountPoint.Path();
    SmallDisk disk(folder, "6m");
    if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
    const QString file = testsupport::CreateSchemaDatabase(folder);
    testsupport::ExecuteOn(file, "insert into firm (pnom, invoiceno, supplier1) values ('1', '0000000041', 'Тест ЕООД')");
    DataModule1->ConnectFirebird(folder);  // this computer's folder
    // The disk is filled up but for a little room.
    const qint64 room = 256 * 1024;
    {
        QFile filler(folder + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const qint64 fill = QStorageInfo(folder).bytesAvailable() - room;
        const QByteArray block(64 * 1024, 'x');
        for (qint64 written = 0; written + block.size() <= fill; written += block.size()) filler.write(block);
    }
    // Large invoices, each of its own text, so that the room goes after a few.
    QString text;
    for (int i = 0; text.size() < 6000; ++i) text += QString::number(i * 7919 % 10007);
    e->CheckBox9->setChecked(true);  // every save a new number
    QString number, told;
    QStringList saved;
    for (int n = 0; n < 200 && told.isEmpty(); ++n) {
        e->StringGrid1->SetRowTexts(1, {"", QString::number(n) + text, "час", "1", "1", ""});
        e->Edit8->setText(QString::number(n));  // a change enables "Save"
        QTest::mouseClick(e->Save, Qt::LeftButton);
        number = e->MaskEdit1->text();
        if (!dialogs.Shown().empty()) told = dialogs.Shown().back().text;
        else saved << number;
    }
    ASSERT_FALSE(told.isEmpty()) << "the disk never filled up";
    QStringList expected = saved;
    // Told what became of the invoice, and the database holds it exactly when told so.
    if (told.startsWith("Документът не е записан.")) {
        EXPECT_TRUE(e->Save->isEnabled());
    } else if (told.startsWith("Документът е записан")) {
        expected << number;
    } else {
        ADD_FAILURE() << "the message does not say what became of the invoice: " << told.toStdString();
    }
    EXPECT_TRUE(told.contains("No space left on device") || told.contains("I/O error")) << told.toStdString();
    EXPECT_EQ(testsupport::QueryRows(file, "select num from store order by num"), expected);

    // Room again: nothing refused turns up by a later commit, and the same click stores the invoice once.
    ASSERT_TRUE(QFile::remove(folder + "/filler"));
    dialogs.Clear();
    e->Edit8->setText("again");
    QTest::mouseClick(e->Save, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Shown().back().text.toStdString();
    expected << e->MaskEdit1->text();
    EXPECT_EQ(testsupport::QueryRows(file, "select num from store order by num"), expected);
    std::printf("saves stored before the disk was full: %lld, refused save %s told: %s\n",
                qlonglong(saved.size()), qPrintable(number), qPrintable(told.section(u'\n', 0, 1)));
    DataModule1->IBTransaction1.Release();
    DataModule1->IBDatabase1.Close();
}

TEST_F(Save, ABilingualDocumentWithACurrencyIsOpenedAsSavedAndSavesTheSameRow) {
    e->RadioButton3->setChecked(true);
    // Every column the editor fills holds its own value, so a column read into another control shows.
    for (QLineEdit* edit : std::initializer_list<QLineEdit*>{e->Edit2, e->Edit3, e->Edit6, e->Edit8, e->Edit10, e->Edit12, e->Edit13, e->Edit14,
                            e->Edit15, e->Edit16, e->Edit17, e->Edit18, e->Edit19, e->Edit20, e->Bank, e->IBAN,
                            e->SWIFT, e->DBText7})
        edit->setText(edit->objectName());
    e->MaskEdit2->setText("0000000007");
    for (QComboBox* combo : {e->ComboBox3, e->ComboBox4, e->ComboBox5}) combo->setEditText(combo->objectName());
    for (QCheckBox* box : {e->CheckBox1, e->CheckBox6}) box->setChecked(true);
    for (auto [date, day] : {std::pair{e->EDate2, 2}, {e->EDate3, 3}, {e->EDate4, 5}}) date->setDate(QDate(2026, 3, day));
    Doc->CurrencyPrefix = "EUR";
    Doc->CurrencyRate = 1.95583;
    e->Save->click();
    const auto row = [this] {  // every column but the key and the owner
        QStringList columns = Rows("*").value(0).split(u'|');
        columns.removeAt(columns.size() - 2);
        return columns.mid(1);
    };
    const QStringList saved = row();
    EXPECT_EQ(Rows("datetaxeventl, datetaxevent, datepaymentl, datepayment, payment, recipient1, issuer1, reasonfor, "
                   "reason, notedate, noteinvno, vatcust, address1cust, respperson1cust, placeofpublishment1, bank, iban, "
                   "swift, recipient2, issuer2, customer2, address2cust, respperson2cust, supplier2, respperson2sup, "
                   "address2sup, placeofpublishment2"),
              QStringList({"True|02.03.2026 г.|False|03.03.2026 г.|ComboBox3|Edit8|Edit10|ComboBox5|ComboBox4|"
                           "05.03.2026 г.|0000000007|Edit6|Edit3|Edit2|DBText7|Bank|IBAN|SWIFT|Edit15|Edit16|Edit12|"
                           "Edit13|Edit14|Edit17|Edit19|Edit18|Edit20"}));
    EXPECT_EQ(saved.mid(43, 4), QStringList({"1", "True", "EUR", "1,95583"}));

    Main->OrderBtn->click();  // a new document in between
    Doc->CurrencyPrefix.clear();
    e->LoadDocument(1);
    EXPECT_EQ(e->windowTitle(), "Зареден Документ");
    EXPECT_TRUE(e->Save->isEnabled());
    e->SaveClick();  // as printing does: no question
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(row(), saved);
}

// A number field cleared and typed again, as the user's keys do it.
void TypeNumber(QLineEdit* field, const char* digits) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClicks(field, QString::fromLatin1(digits));
}

TEST_F(Save, ANumberLeftPartlyBlankIsRefusedAndNothingIsWritten) {
    TypeNumber(e->MaskEdit1, "77");
    EXPECT_EQ(e->MaskEdit1->displayText(), "77________");
    QTest::mouseClick(e->Save, Qt::LeftButton);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].text,
              "Номерът на документа трябва да има десет цифри: 0000000077, а не 77. Документът не е записан.");
    EXPECT_TRUE(Rows("num").isEmpty());
    EXPECT_EQ(Counter(), "0000000041");
    EXPECT_TRUE(testsupport::QueryRows(defaultFile, "select company1 from customer").isEmpty());  // nor the customer
    EXPECT_TRUE(e->Save->isEnabled());

    // The note's invoice number the same: partly typed, refused; whole, saved.
    TypeNumber(e->MaskEdit1, "0000000077");
    QTest::mouseClick(e->CheckBox4, Qt::LeftButton);
    ASSERT_TRUE(e->MaskEdit2->isEnabled());
    TypeNumber(e->MaskEdit2, "12");
    QTest::mouseClick(e->Save, Qt::LeftButton);
    ASSERT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_EQ(dialogs.Shown()[1].text, "Номерът на фактурата, към която е известието, трябва да има десет цифри: "
                                       "0000000012, а не 12. Документът не е записан.");
    EXPECT_TRUE(Rows("num").isEmpty());
    TypeNumber(e->MaskEdit2, "0000000012");
    QTest::mouseClick(e->Save, Qt::LeftButton);
    EXPECT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_EQ(Rows("num, noteinvno"), QStringList({"0000000077|0000000012"}));
    EXPECT_EQ(Counter(), "0000000077");
}

// A picture of one colour as the JPEG bytes a logo is stored as.
QByteArray LogoBytes(QColor colour) {
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(colour);
    return EncodeJpeg(image, 90);
}

// Opens the document shown at the register's position k by a double click.
void OpenFromRegister(int k) {
    Sort->Show();
    QWidget* panel = Sort->findChild<QWidget*>(Sort->PanelNames.at(k));
    QTest::mouseDClick(panel, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(Save, AReopenedDocumentShowsTheLogoItWasIssuedWith) {
    // The firm has no logo: the built-in one, when new and when opened again.
    const QImage builtIn = e->DBImage1->Picture();
    ASSERT_FALSE(builtIn.isNull());
    QTest::mouseClick(e->Save, Qt::LeftButton);
    Main->OrderBtn->click();
    OpenFromRegister(0);
    ASSERT_EQ(e->windowTitle(), "Зареден Документ");
    EXPECT_EQ(e->MaskEdit1->text(), "0000000042");
    EXPECT_EQ(e->DBImage1->Picture(), builtIn);

    // Both logos: a two-language document is issued and reopened with the English one.
    data::DataSet& firm = DataModule1->firm;
    firm.SetRecNo(1);
    firm.Edit();
    firm.FieldByName("LOGO").SetAsBytes(LogoBytes(Qt::red));
    firm.FieldByName("LOGO2").SetAsBytes(LogoBytes(Qt::blue));
    firm.Post();
    Main->OrderBtn->click();
    e->Edit1->setText("Фикс ООД");
    QTest::mouseClick(e->RadioButton3, Qt::LeftButton);
    const QImage english = DecodeJpeg(LogoBytes(Qt::blue));
    ASSERT_EQ(e->DBImage1->Picture().convertToFormat(english.format()), english);
    EXPECT_EQ(e->MaskEdit1->text(), "0000000043");
    QTest::mouseClick(e->Save, Qt::LeftButton);
    Main->OrderBtn->click();
    OpenFromRegister(1);
    EXPECT_EQ(e->MaskEdit1->text(), "0000000043");
    EXPECT_TRUE(e->RadioButton3->isChecked());
    EXPECT_EQ(e->DBImage1->Picture().convertToFormat(english.format()), english);
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(Save, ADocumentStoredWhereTheLocaleWritesOneSeparatorOpensWhereItWritesTheOther) {
    e->RadioButton3->setChecked(true);
    Doc->CurrencyPrefix = "EUR";
    Doc->CurrencyRate = 1.95583;
    e->StringGrid1->SetRowCount(3);
    e->StringGrid1->SetRowTexts(2, {"", "Втори", "бр", "1,5", "3", ""});
    e->StringGrid2->SetCell(2, 1, "12,5");
    e->Edit9->setText("9,5%");
    e->Save->click();
    EXPECT_EQ(Rows("percent, total, currencyrate"), QStringList({"9,5%|137,42|1,95583"}));

    // Opened where the separator is ".", saved there again, and opened where it is "," once more.
    for (const QChar separator : {u'.', u','}) {
        const auto local = [separator](QString text) { return text.replace(u',', separator); };
        platform::SetDecimalSeparatorOverride(separator);
        Main->OrderBtn->click();  // a new document in between
        Doc->CurrencyRate = 1;
        e->LoadDocument(1);
        EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Shown().back().text.toStdString();
        EXPECT_DOUBLE_EQ(Doc->CurrencyRate, 1.95583);
        EXPECT_EQ(e->Edit9->text(), local("9,5%"));
        EXPECT_EQ(e->StringGrid1->RowTexts(1).mid(3), QStringList({"2", local("60,50"), local("121,00")}));
        EXPECT_EQ(e->StringGrid1->RowTexts(2).mid(3), QStringList({local("1,5"), "3", local("4,50")}));
        EXPECT_EQ(e->StringGrid2->Cell(2, 1), local("12,5"));
        EXPECT_EQ(e->Label11->text(), local("137,42"));
        e->SaveClick();  // as printing does: no question
    }
    EXPECT_EQ(Rows("percent, total, currencyrate"), QStringList({"9,5%|137,42|1,95583"}));
}

// The editor's "Отпечатай документа", then "Експортирай като снимка" in the print window.
void ExportFromTheEditor(TOrderForm* e) {
    QTest::mouseClick(e->Print, Qt::LeftButton);
    ASSERT_TRUE(PrtD->isVisible());
    QTest::mouseClick(PrtD->SpeedButton3, Qt::LeftButton);
}

// A save refused while printing, whatever refuses it, leaves the document
// unprinted: nothing is exported, the editor shows it unprinted, and the
// save made once the cause is mended stores it so. A save that goes ahead
// marks it printed.
TEST_F(Save, ASaveRefusedWhilePrintingLeavesTheDocumentUnprinted) {
    testsupport::TempFolder folder;
    const auto expectUnprinted = [this] {
        EXPECT_EQ(e->Panel2->text(), "Неотпечатан");
        EXPECT_FALSE(e->CheckBox3->isChecked());
    };
    // A number left partly blank.
    TypeNumber(e->MaskEdit1, "77");
    ExportFromTheEditor(e);
    ASSERT_EQ(dialogs.Shown().size(), 1u);  // no file was asked for
    EXPECT_TRUE(dialogs.Shown()[0].text.startsWith("Номерът на документа трябва да има десет цифри"));
    expectUnprinted();
    TypeNumber(e->MaskEdit1, "0000000077");
    QTest::mouseClick(e->Save, Qt::LeftButton);
    EXPECT_EQ(Rows("num, status"), QStringList({"0000000077|False"}));

    // Refused by the database: a text longer than its column.
    e->Edit8->setText(QString(300, u'М'));
    ExportFromTheEditor(e);
    ASSERT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_EQ(dialogs.Shown()[1].kind, platform::DialogKind::Exception);
    expectUnprinted();
    EXPECT_EQ(Rows("num, status"), QStringList({"0000000077|False"}));
    e->Edit8->setText("Ана");

    // Refused because another work place changed the firm meanwhile.
    auto keyWriter = DataModule1->firm.BeforePost;
    bool intrude = true;
    DataModule1->firm.BeforePost = [&](data::DataSet& ds) {
        keyWriter(ds);
        if (std::exchange(intrude, false))
            testsupport::ExecuteOn(defaultFile, "update firm set pnom = 'other', invoiceno = '0000000078'");
    };
    ExportFromTheEditor(e);
    DataModule1->firm.BeforePost = keyWriter;
    ASSERT_EQ(dialogs.Shown().size(), 3u);
    EXPECT_TRUE(dialogs.Shown()[2].text.startsWith("Документът не е записан: фирмата е променена"));
    expectUnprinted();
    EXPECT_EQ(Rows("num, status, recipient1"), QStringList({"0000000077|False|"}));
    EXPECT_TRUE(QDir(folder.Path()).isEmpty());

    // Stored: the export goes ahead and the document is printed.
    dialogs.Answer(DialogResponse::Path(folder.File("page")));
    ExportFromTheEditor(e);
    ASSERT_EQ(dialogs.Shown().size(), 4u);
    EXPECT_EQ(dialogs.Shown()[3].kind, platform::DialogKind::SaveFile);
    EXPECT_EQ(Rows("num, status, recipient1"), QStringList({"0000000077|True|Ана"}));
    EXPECT_EQ(e->Panel2->text(), "Отпечатан");
    EXPECT_TRUE(QFileInfo(folder.File("page.jpg")).isFile());
}

// The invoice number a note refers to is checked only while the document is
// a note: a number typed while "Известие" was ticked, then unticked, stops no
// save; nor does a partial number an invoice holds in the hidden field.
TEST_F(Save, TheNotesInvoiceNumberIsCheckedOnlyOnANote) {
    QTest::mouseClick(e->CheckBox4, Qt::LeftButton);
    ASSERT_TRUE(e->MaskEdit2->isEnabled());
    TypeNumber(e->MaskEdit2, "42");
    QTest::mouseClick(e->CheckBox4, Qt::LeftButton);
    ASSERT_FALSE(e->CheckBox4->isChecked());
    QTest::mouseClick(e->Save, Qt::LeftButton);
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Shown().back().text.toStdString();
    EXPECT_EQ(Rows("num, cdnote"), QStringList({"0000000042|"}));

    // A stored invoice whose hidden note number holds "77": saved and printed.
    testsupport::ExecuteOn(defaultFile, "update store set noteinvno = '77'");
    Main->OrderBtn->click();
    OpenFromRegister(0);
    ASSERT_EQ(e->MaskEdit1->text(), "0000000042");
    ASSERT_FALSE(e->CheckBox4->isChecked());
    e->Edit8->setText("Ана");
    dialogs.Answer(DialogResponse::Yes());
    QTest::mouseClick(e->Save, Qt::LeftButton);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(Rows("num, recipient1, status"), QStringList({"0000000042|Ана|False"}));
    testsupport::TempFolder folder;
    dialogs.Answer(DialogResponse::Path(folder.File("page")));
    ExportFromTheEditor(e);
    ASSERT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_EQ(dialogs.Shown()[1].kind, platform::DialogKind::SaveFile);
    EXPECT_EQ(Rows("num, status"), QStringList({"0000000042|True"}));

    // On a note it is the note's number, and a partial one is refused.
    QTest::mouseClick(e->CheckBox4, Qt::LeftButton);
    QTest::mouseClick(e->Save, Qt::LeftButton);
    ASSERT_EQ(dialogs.Shown().size(), 3u);
    EXPECT_EQ(dialogs.Shown()[2].text, "Номерът на фактурата, към която е известието, трябва да има десет цифри: "
                                       "0000000077, а не 77. Документът не е записан.");
}

// Opening a document leaves none of the English fields the editor held: a
// Bulgarian invoice saved again after them keeps its own English columns.
TEST_F(Save, AOneLanguageDocumentOpenedAfterAnotherKeepsNoEnglishFieldOfIt) {
    const QString english = "recipient2, issuer2, customer2, address2cust, respperson2cust, supplier2, respperson2sup, "
                            "address2sup, placeofpublishment2";
    // The customer's, recipient's and issuer's English fields the user types; the
    // own firm's (Edit17 to Edit20) come from the firm on a two-language page.
    const QStringList editsNames = {"Edit12", "Edit13", "Edit14", "Edit15", "Edit16"};
    QTest::mouseClick(e->Save, Qt::LeftButton);  // a Bulgarian invoice
    const QString bulgarianRow = Rows("num, radio, " + english).value(0);
    ASSERT_EQ(bulgarianRow, "0000000042|1|||||||||");

    // The English fields of a two-language document typed in, then the invoice opened and saved.
    const auto typeEnglishFields = [&](const QString& prefix) {
        for (const QString& name : editsNames) {
            auto* edit = e->findChild<QLineEdit*>(name);
            ASSERT_TRUE(edit && edit->isVisible()) << name.toStdString();
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, prefix + name);
        }
    };
    Main->OrderBtn->click();
    QTest::mouseClick(e->RadioButton3, Qt::LeftButton);
    typeEnglishFields("typed ");
    ASSERT_EQ(e->Edit17->text(), "Test Ltd");
    OpenFromRegister(0);
    ASSERT_EQ(e->MaskEdit1->text(), "0000000042");
    ASSERT_TRUE(e->RadioButton1->isChecked());
    dialogs.Answer(DialogResponse::Yes());
    QTest::mouseClick(e->Save, Qt::LeftButton);
    EXPECT_EQ(Rows("num, radio, " + english).value(0), bulgarianRow);

    // A two-language document saved and open, then the invoice opened and saved.
    Main->OrderBtn->click();
    QTest::mouseClick(e->RadioButton3, Qt::LeftButton);
    typeEnglishFields("stored ");
    QTest::mouseClick(e->Save, Qt::LeftButton);
    ASSERT_EQ(Rows("num, radio, customer2").value(1), "0000000043|3|stored Edit12");
    OpenFromRegister(1);
    ASSERT_EQ(e->Edit12->text(), "stored Edit12");
    OpenFromRegister(0);
    ASSERT_EQ(e->MaskEdit1->text(), "0000000042");
    dialogs.Answer(DialogResponse::Yes());
    QTest::mouseClick(e->Save, Qt::LeftButton);
    EXPECT_EQ(Rows("num, radio, " + english).value(0), bulgarianRow);
    EXPECT_EQ(dialogs.Shown().size(), 2u);  // the two questions alone
}

}  // namespace
