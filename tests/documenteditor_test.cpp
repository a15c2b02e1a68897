// The document editor as a user meets it: a new document, the own firm,
// customers through the type-ahead list, goods lines with their totals,
// header fields, and the two small settings files; against a real database.

#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "documents/CalculatorWindow.h"
#include "documents/DocumentEditor.h"
#include "documents/PrintOptions.h"
#include "documents/PrintedPage.h"
#include "documents/EditorRules.h"
#include "documents/RememberedChoices.h"
#include "registers/CustomerCard.h"
#include "registers/OwnFirms.h"
#include "platform/DataControls.h"
#include "platform/Dialogs.h"
#include "platform/LocaleText.h"
#include "support/programtest.h"
#include "support/testdatabase.h"

#include <QBuffer>
#include <QDate>
#include <QImage>
#include <QDir>
#include <QKeyEvent>
#include <QComboBox>
#include <QListWidget>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using platform::DialogKind;
using testsupport::ShownOnceWith;
using testsupport::ShownText;

// The entries of a list or a combo box.
QStringList Entries(const QAbstractItemModel* entries) {
    QStringList out;
    for (int i = 0; i < entries->rowCount(); ++i) out << entries->index(i, 0).data().toString();
    return out;
}

class Editor : public testsupport::DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        const char* rows[] = {
            "insert into firm (pnom, invoiceno, proformano, vop, supplier1, supplier2, respperson1, respperson2, id)"
            " values ('1', '0000000041', '', '7', 'Тест ЕООД', 'Test Ltd', 'Иван Петров', 'Ivan Petrov', '121212127')",
            "insert into firm (pnom, invoiceno, supplier1, respperson1) values ('2', '99', 'Втора АД', 'Мария Иванова')",
            "insert into details (pnom, bank, iban, swift) values ('1', 'Първа банка', 'BG80BNBG96611020345678', 'BNBG')",
            "insert into customer (pnom, company1, address1, respperson1, contactperson1, id)"
            " values ('1', 'Фикс ООД', 'Пловдив', 'Стар МОЛ', 'Лице', '111111110')",
            "insert into customer (pnom, company1, respperson1) values ('2', 'фиеста ЕТ', 'Петя Петкова')",
            "insert into customer (pnom, company1) values ('3', 'Афикс')",
            "insert into customer (pnom, company1, address1, respperson1, contactperson1, id)"
            " values ('4', 'Фикс ООД', 'София', 'Нов МОЛ', '', '831826092')",
            "insert into stock (pnom, description1, unit1, sellprice) values ('1', 'Консултация', 'час', '60.50')",
            "insert into employee (pnom, name1) values ('1', 'Иван Петров')",
        };
        for (const char* sql : rows) testsupport::ExecuteOn(defaultFile, QString::fromUtf8(sql));
    }
    void StartAndOpen() {
        Start();
        Main->OrderBtn->click();
        ASSERT_TRUE(OrderForm->isVisible());
    }
    void AddStock(const QString& description, const QString& price) {
        testsupport::ExecuteOn(defaultFile, QString("insert into stock (pnom, description1, unit1, sellprice) values "
                                                    "('%1', '%1', 'бр.', '%2')").arg(description, price));
        DataModule1->stock.Refresh();
    }
    // Keys go where the keyboard's would: to the focused widget, pressed and released.
    static void Key(int key, const QString& text = {}) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &release);
    }
    static void Type(const QString& text) {
        for (QChar c : text) Key(Qt::Key_unknown, QString(c));
    }
    static void Focus(QWidget* w) {
        OrderForm->activateWindow();
        QApplication::setActiveWindow(OrderForm);
        w->setFocus(Qt::MouseFocusReason);
    }
    static void ClickCell(int col, int row) {
        Focus(OrderForm->StringGrid1);
        QWidget* viewport = OrderForm->StringGrid1->View()->viewport();
        const QPoint at = viewport->mapFrom(OrderForm->StringGrid1, OrderForm->StringGrid1->CellRect(col, row).center());
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    }
    // Picks the goods entry that contains the text for the given row.
    static void PickGoods(int row, const QString& text) {
        TOrderForm* e = OrderForm;
        e->StringGrid1->SetCurrentCell(1, row);
        e->StringGrid1->SetCell(1, row, text);
        e->StringGrid1SetEditText(1, row, text);
        ASSERT_GE(e->ListBox1->count(), 1) << text.toStdString();
        e->ListBox1->setCurrentRow(0);
        e->ListBox1Click();
    }
};

TEST_F(Editor, ANewDocumentHasTheHeaderRowTodaysDatesTheNextNumberAndThePaymentList) {
    testsupport::WriteFile(home.File("payment.txt"), "\xE2 \xE1\xF0\xEE\xE9\r\n\xEF\xEE \xF1\xEC\xE5\xF2\xEA\xE0\r\nkarta\r\n");
    StartAndOpen();
    TOrderForm* e = OrderForm;
    e->StringGrid1->SetCell(1, 1, "стар ред");
    e->Edit1->setText("Стар клиент");
    Main->OrderBtn->click();  // a second reset: nothing of the old document stays, no title twice
    EXPECT_EQ(e->StringGrid1->RowTexts(0), QStringList({"Пор. №", "Наименование на стоките или услугите", "Мярка",
                                                        "К-во", "Ед. цена", "Стойност"}));
    EXPECT_EQ(e->StringGrid1->RowCount(), 2);
    EXPECT_TRUE(e->StringGrid1->Cell(1, 1).isEmpty());
    for (QDateEdit* d : {e->EDate, e->EDate2, e->EDate3, e->EDate4}) EXPECT_EQ(d->date(), QDate::currentDate());
    EXPECT_EQ(Entries(e->ComboBox3->model()), QStringList({"в брой", "по сметка", "karta"}));
    // The issuer is the firm's responsible person.
    EXPECT_EQ(QStringList({e->Edit1->text(), e->MaskEdit1->text(), e->ComboBox2->currentText(), e->ComboBox3->currentText(),
                           e->Edit9->text(), e->Edit10->text(), e->Bank->text(), e->Panel2->text(), e->windowTitle()}),
              QStringList({"", "0000000042", "ФАКТУРА", "в брой", "20%", "Иван Петров", "Първа банка", "Неотпечатан",
                           "Нов Документ"}));
    EXPECT_TRUE(e->Save->isEnabled());
}

TEST_F(Editor, TheTitleChoosesTheCounterAndAnotherFirmGivesItsNumberAndIssuer) {
    StartAndOpen();
    TOrderForm* e = OrderForm;
    const std::pair<const char*, const char*> titles[] = {{"ПРОФОРМА ФАКТУРА", "0000000001"},
                                                          {"ПРОТОКОЛ чл.117", "0000000008"},
                                                          {"ПРОТОКОЛ чл.116", "0000000001"},
                                                          {"Кредитно известие", "0000000042"}};
    for (const auto& [title, number] : titles) {
        e->ComboBox2->setEditText(title);
        EXPECT_EQ(e->MaskEdit1->text(), number) << title;
    }
    e->Save->setEnabled(false);
    e->DBNavigator1->BtnClick(platform::NavigateBtn::Next);
    EXPECT_EQ(QStringList({e->DBText1->text(), e->MaskEdit1->text(), e->Edit10->text()}),
              QStringList({"Втора АД", "0000000100", "Мария Иванова"}));
    EXPECT_EQ(e->DBImage1->PictureBytes(), FillFirm->Image1->PictureBytes());  // no logo of its own: the built-in one
    EXPECT_TRUE(e->Save->isEnabled());
    e->Edit10->setText("Друг съставил");
    e->DBNavigator1->BtnClick(platform::NavigateBtn::Prior);
    EXPECT_EQ(e->Edit10->text(), "Друг съставил");  // a typed issuer is kept

    // The page logo: the firm's LOGO, its LOGO2 for a two-language page.
    const auto png = [](QColor colour) {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        image.save(&buffer, "PNG");  // opens the buffer itself
        return bytes;
    };
    DataModule1->firm.Edit();
    DataModule1->firm.FieldByName("LOGO").SetAsBytes(png(Qt::red));
    DataModule1->firm.FieldByName("LOGO2").SetAsBytes(png(Qt::blue));
    DataModule1->firm.Post();
    for (auto [language, colour] : {std::pair{e->RadioButton3, Qt::blue}, {e->RadioButton1, Qt::red}}) {
        language->setChecked(true);
        e->LoadFirmFields();
        EXPECT_EQ(e->DBImage1->Picture().pixelColor(0, 0), QColor(colour));
    }

    // A counter that is no number: the error is shown and the number kept.
    testsupport::ExecuteOn(defaultFile, "update firm set invoiceno = 'abc' where supplier1 = 'Тест ЕООД'");
    DataModule1->firm.Refresh();
    platform::ScriptedDialogs dialogs;
    e->ComboBox2->setEditText("Кредитно известие");  // counted with the invoices
    EXPECT_EQ(e->MaskEdit1->text(), "0000000042");
    ASSERT_TRUE(ShownOnceWith(dialogs, "„abc“"));
    EXPECT_EQ(dialogs.Shown()[0].kind, DialogKind::Exception);
}

TEST_F(Editor, TypeAheadListsCustomersByTheirBeginningAndPickingFillsTheParty) {
    StartAndOpen();
    TOrderForm* e = OrderForm;
    // Typed keys: the walk through the customers leaves the customer card alone
    // until it ends, and the card then shows the record it ended on.
    DataModule1->cust.SetRecNo(3);
    ASSERT_EQ(EditCustForm->DBEdit1->text(), "Афикс");
    QStringList cardTexts;
    QObject::connect(EditCustForm->DBEdit1, &QLineEdit::textChanged, [&cardTexts](const QString& t) { cardTexts << t; });
    e->Edit1->setFocus();
    for (const char* key : {"ф", "и"}) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8(key));
        QApplication::sendEvent(e->Edit1, &press);
    }
    EXPECT_EQ(e->Edit1->text(), "фи");
    EXPECT_EQ(cardTexts, QStringList({"Фикс ООД"}));  // record 1, reached once; the second key stays on it
    EXPECT_EQ(DataModule1->cust.RecNo(), 1);
    EXPECT_EQ(EditCustForm->DBEdit5->text(), "Пловдив");
    QObject::disconnect(EditCustForm->DBEdit1, &QLineEdit::textChanged, nullptr, nullptr);
    EXPECT_EQ(Entries(e->ListBox1->model()), QStringList({"Фикс ООД", "фиеста ЕТ", "Фикс ООД"}));
    EXPECT_TRUE(e->ListBox1->isVisible());
    EXPECT_EQ(e->ListBox1->geometry(), QRect(e->Edit1->x(), e->Edit1->y() + e->Edit1->height(), e->ListBox1->width(), 56));

    e->ListBox1->setCurrentRow(0);
    e->ListBox1Click();  // the name twice: the higher record wins
    EXPECT_FALSE(e->ListBox1->isVisible());
    // No contact person: the responsible person receives.
    EXPECT_EQ(QStringList({e->Edit3->text(), e->Edit2->text(), e->Edit8->text(), e->Edit7->text(), e->Label1->text()}),
              QStringList({"София", "Нов МОЛ", "Нов МОЛ", "831826092", "Валиден"}));

    // Ten customers fill the list to its cap; near the bottom it opens upwards.
    for (int i = 0; i < 10; ++i)
        testsupport::ExecuteOn(defaultFile, QString("insert into employee (pnom, name1) values ('e%1', 'Иво %1')").arg(i));
    DataModule1->employee.Refresh();
    e->Edit10->setText("иво");
    EXPECT_EQ(std::pair(e->ListBox1->height(), e->ListBox1->y()), std::pair(150, e->Edit10->y() - 150));

    // Saving the shown customer updates the one with that identification number.
    platform::ScriptedDialogs dialogs;
    e->Edit2->setText("Сменен МОЛ");
    e->SpeedButton3->click();
    EXPECT_EQ(ShownText(dialogs), "Запазен успешно!");
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select company1, respperson1 from customer where id = '831826092'"),
              QStringList({"Фикс ООД|Сменен МОЛ"}));
}

TEST_F(Editor, GoodsLinesGiveValuesAndTotalsWithCommaOrPointAndDiscount) {
    StartAndOpen();
    TOrderForm* e = OrderForm;
    AddStock(QString(200, u'Ж'), "10");
    PickGoods(1, "конс");
    EXPECT_EQ(e->StringGrid1->RowTexts(1), QStringList({"1", "Консултация", "час", "1", "60,50", "60,50"}));
    e->StringGrid1->SetCell(3, 1, "2.5");
    e->StringGrid1->SetCell(4, 1, "10,40");
    e->HeaderPanelClick();
    EXPECT_EQ(e->StringGrid1->Cell(3, 1), "2,5");
    EXPECT_EQ(e->StringGrid1->Cell(5, 1), "26,00");
    EXPECT_EQ(QStringList({e->Label7->text(), e->Label4->text(), e->Label11->text()}),
              QStringList({"26,00", "5,20", "31,20"}));

    // A description of 200 letters without blanks: 84, 84 and 32 letters, the
    // rest added at the end of the grid.
    PickGoods(2, "жжж");
    for (auto [row, letters, number] : {std::tuple{2, 84, "2"}, {3, 84, ""}, {4, 32, ""}}) {
        EXPECT_EQ(e->StringGrid1->Cell(1, row).size(), letters);
        EXPECT_EQ(e->StringGrid1->Cell(0, row), number);  // only rows with a value are numbered
    }
    EXPECT_EQ(e->Label11->text(), "43,20");

    e->CheckBox7->setChecked(true);
    EXPECT_EQ(e->StringGrid1->RowTexts(0).value(5), "Отстъпка %");
    e->StringGrid1->SetCell(5, 1, "50");
    e->HeaderPanelClick();
    EXPECT_EQ(e->StringGrid1->Cell(6, 1), "13,00");
    e->CheckBox7->setChecked(false);
    EXPECT_EQ(e->StringGrid1->RowTexts(1).mid(5), QStringList({"26,00"}));
    EXPECT_EQ(e->StringGrid1->ColWidth(1), 522);

    // Up drops an empty last row, never below two rows; Down in a filled last row adds one.
    const int rows = e->StringGrid1->RowCount();
    e->MoveUpOrDropEmptyRow();
    EXPECT_EQ(e->StringGrid1->RowCount(), rows - 1);
    for (int current : {rows - 2, rows - 1}) {
        e->CurrentItemRow = current;
        e->MoveDownOrAppendRow();
        EXPECT_EQ(e->StringGrid1->RowCount(), rows);
    }
}

// A quantity that was no number used to empty its cell without a word while
// the line kept its value, which the total then left out.
TEST_F(Editor, TypedLinesTellANumberThatIsNoneAndTheGoodsListHidesWithoutMatches) {
    StartAndOpen();
    TOrderForm* e = OrderForm;
    PickGoods(1, "конс");
    platform::ScriptedDialogs dialogs;
    ClickCell(3, 1);
    Type("abc");
    ClickCell(4, 1);
    EXPECT_EQ(e->StringGrid1->RowTexts(1), QStringList({"1", "Консултация", "час", "1", "60,50", "60,50"}));
    EXPECT_EQ(e->Label11->text(), "72,60");
    EXPECT_EQ(ShownText(dialogs), "„abc“ не е число (К-во, ред 1): клетката остава „1“.");
    Type("2");
    ClickCell(3, 1);
    EXPECT_EQ(e->StringGrid1->Cell(5, 1), "2,00");
    EXPECT_EQ(e->Label11->text(), "2,40");

    // The goods list follows the typed description and goes when nothing matches.
    ClickCell(1, 2);
    Type("к");
    EXPECT_TRUE(e->ListBox1->isVisible());
    EXPECT_EQ(Entries(e->ListBox1->model()), QStringList({"Консултация~1"}));
    Type("ж");
    EXPECT_FALSE(e->ListBox1->isVisible());
    EXPECT_EQ(e->StringGrid1->Cell(1, 2), "кж");
}

// The key that opens the goods list lists, in record order, every goods
// entry (the description's first line, "~" and the record number) that
// contains the typed text in either case; the list is as wide as the widest
// of all goods and as high as all of them need.
TEST_F(Editor, TheKeyThatOpensTheGoodsListListsTheGoodsThatContainItInRecordOrder) {
    QStringList firstLines = {"Консултация"};  // record 1, from the set-up
    QString inserts;
    for (int i = 0; i < 300; ++i) {
        QString description;
        switch (i % 6) {
        case 0: description = QString("Кабел %1 мм").arg(i); break;
        case 1: description = QString("БОЛТ M%1 кл. 8.8").arg(i % 20); break;
        case 2: description = QString("Лампа %1\r\nс кутия").arg(i); break;  // "к" only below the first line
        case 3: description = QString("Стол „Офис“ %1").arg(i); break;
        case 4: description = QString("клема %1\nвторо к").arg(i); break;
        default: description = QString("Услуга %1").arg(i); break;
        }
        if (i == 250)
            description = "Консултантски услуги по проектиране, изграждане и поддръжка на вътрешни кабелни и безжични "
                          "мрежи с гаранция";
        inserts += QString("insert into stock (pnom, description1, unit1, sellprice) values ('g%1', '%2', 'бр.', '1');")
                       .arg(i, 4, 10, QChar(u'0'))
                       .arg(description);
        firstLines << description.section(u'\r', 0, 0).section(u'\n', 0, 0);
        if (i % 50 == 49) {
            testsupport::ExecuteOn(defaultFile, "execute block as begin " + inserts + " end");
            inserts.clear();
        }
    }
    StartAndOpen();
    TOrderForm* e = OrderForm;
    ClickCell(1, 1);
    Type("К");
    ASSERT_TRUE(e->ListBox1->isVisible());
    QStringList all, expected;
    for (int i = 0; i < firstLines.size(); ++i) {
        all << firstLines[i] + "~" + QString::number(i + 1);
        if (all.last().toLower().contains("к")) expected << all.last();
    }
    EXPECT_EQ(Entries(e->ListBox1->model()), expected);
    Type("аб");
    QStringList narrowed;
    for (const QString& entry : expected)
        if (entry.toLower().contains("каб")) narrowed << entry;
    EXPECT_EQ(Entries(e->ListBox1->model()), narrowed);

    // The geometry is that of the list of every goods entry.
    const QRect shown = e->ListBox1->geometry();
    const QRect cell = e->StringGrid1->CellRect(1, 1);
    e->ListBox1->clear();
    e->ListBox1->addItems(all);
    const int widest = e->ListBox1->sizeHintForColumn(0) + 2 * e->ListBox1->frameWidth() +
                       e->ListBox1->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4;
    ASSERT_GT(widest, cell.width());  // the longest entry widens the list
    EXPECT_EQ(shown.width(), std::min(widest, e->Panel3->width()));
    EXPECT_EQ(shown.height(), 100);
    EXPECT_EQ(shown.left(), std::min(cell.left() + e->StringGrid1->x(), e->Panel3->width() - shown.width()));

    // Closed and opened again by a key: the same entries as then.
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    e->ListBox1->hide();
    Type("а");
    ASSERT_TRUE(e->ListBox1->isVisible());
    QStringList again;
    for (const QString& entry : all)
        if (entry.toLower().contains("ка")) again << entry;
    EXPECT_EQ(Entries(e->ListBox1->model()), again);
}

// Long titles, VAT reasons and goods entries were cut, and large totals lost
// their leading digits.
TEST_F(Editor, LongTitlesEntriesAndTotalsAreShownWhole) {
    StartAndOpen();
    TOrderForm* e = OrderForm;
    e->ComboBox2->setEditText("ПРОТОКОЛ ЗА САМОЛЕТЕН БИЛЕТ");
    QLineEdit* title = e->ComboBox2->lineEdit();
    title->grab();
    EXPECT_LE(title->fontMetrics().horizontalAdvance(title->text()), title->contentsRect().width());
    for (QComboBox* combo : {e->ComboBox2, e->ComboBox5})
        for (int i = 0; i < combo->count(); ++i)
            EXPECT_LT(combo->view()->fontMetrics().horizontalAdvance(combo->itemText(i)), combo->view()->minimumWidth());

    AddStock("Консултантски услуги по проектиране на вътрешни мрежи", "999999999");
    ClickCell(3, 1);
    Type("999999");
    ClickCell(1, 1);
    Type("мреж");
    ASSERT_TRUE(e->ListBox1->isVisible());
    EXPECT_GT(e->ListBox1->viewport()->width(), e->ListBox1->sizeHintForColumn(0));
    e->ListBox1->setCurrentRow(0);
    e->ListBox1Click();
    EXPECT_EQ(e->Label11->text(), "1199998798800000,00");
    for (QLabel* total : {e->Label7, e->Label4, e->Label11}) EXPECT_LE(total->sizeHint().width(), total->width());
}

// Keys typed with no pause, all waiting before the first is handled, while
// each one refills and shows the customer list.
TEST_F(Editor, FastTypingLosesNoKeyAndAPickWithTheMouseLeavesTheKeysInTheEdit) {
    for (int i = 0; i < 40; ++i)
        testsupport::ExecuteOn(defaultFile, QString("insert into customer (pnom, company1) values ('f%1', 'Фирма %1')").arg(i));
    StartAndOpen();
    TOrderForm* e = OrderForm;
    Focus(e->Edit1);
    for (QChar c : QString("Фирма 12")) {
        QMetaObject::invokeMethod(qApp, [c] { Key(Qt::Key_unknown, QString(c)); }, Qt::QueuedConnection);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(e->Edit1->text(), "Фирма 12");
    EXPECT_EQ(Entries(e->ListBox1->model()), QStringList({"Фирма 12"}));
    EXPECT_EQ(QApplication::focusWidget(), e->Edit1);

    e->Edit1->clear();
    Type("Фирма 3");
    const QRect entry = e->ListBox1->visualItemRect(e->ListBox1->item(1));
    QTest::mouseClick(e->ListBox1->viewport(), Qt::LeftButton, {}, entry.center());
    EXPECT_EQ(e->Edit1->text(), "Фирма 30");
    EXPECT_EQ(QApplication::focusWidget(), e->Edit1);
}

TEST_F(Editor, HeaderFieldsSwitchTheirControlsReachThePageAndRememberChoices) {
    StartAndOpen();
    TOrderForm* e = OrderForm;
    const auto page = [e](const char* name) { return e->PageLabel(name)->text(); };
    const QString today = platform::DateToStr(QDate::currentDate());
    EXPECT_EQ(page("Label1"), "ФАКТУРА");
    EXPECT_EQ(page("Label15"), "№ 0000000042 / Дата: " + today);
    e->CheckBox4->setChecked(true);
    EXPECT_TRUE(e->ComboBox1->isEnabled() && e->EDate4->isEnabled() && e->MaskEdit2->isEnabled());
    e->CheckBox5->setChecked(true);
    EXPECT_TRUE(e->ComboBox4->isEnabled() && e->SpeedButton2->isEnabled());
    e->MaskEdit2->setText("0000000007");
    e->ComboBox1->setEditText("Кредитно известие");
    EXPECT_EQ(page("Label21"), "Кредитно известие");
    EXPECT_EQ(page("Label22"), "от дата: " + today + ", към фактура № 0000000007");
    e->ComboBox4->setEditText("чл. 113, ал. 9");
    EXPECT_EQ(Form1->MemList.mid(1, 3), QStringList({"ФАКТУРА", "Кредитно известие", "чл. 113, ал. 9"}));
    e->ComboBox5->setEditText("основание за нулева ставка");
    EXPECT_EQ(page("Label19"), "чл. 113, ал. 9");
    EXPECT_EQ(page("Label20"), "/основание за нулева ставка/");
    e->ComboBox5->setEditText("");
    EXPECT_EQ(page("Label20"), "");
    e->CheckBox1->setChecked(true);
    e->EDate2->setDate(QDate(2013, 3, 5));
    EXPECT_EQ(page("Label57"), platform::DateToStr(QDate(2013, 3, 5)));
    // Typed into "Плащане:" and Enter: a new method goes first; Enter again changes nothing.
    Focus(e->ComboBox3);
    e->ComboBox3->lineEdit()->selectAll();
    Type("в брой");
    EXPECT_EQ(page("Label37"), "в брой");
    Key(Qt::Key_Return, "\r");
    Key(Qt::Key_Return, "\r");
    EXPECT_EQ(Entries(e->ComboBox3->model()), QStringList({"в брой", "по сметка"}));
    e->DBNavigator2->BtnClick(platform::NavigateBtn::Refresh);
    EXPECT_EQ(QStringList({page("Label38"), page("Label39"), page("Label53")}),
              QStringList({"Първа банка", "BG80BNBG96611020345678", "BNBG"}));

    // Choosing a method moves it to the top.
    e->ComboBox3Select(1);
    EXPECT_EQ(e->ComboBox3->itemText(0), "по сметка");

    // A currency rate with a decimal comma is taken; the rate column does nothing.
    testsupport::ExecuteOn(defaultFile, "insert into currency (pnom, currency, course) values ('c', 'EUR', '1,95583')");
    DataModule1->currency.Refresh();
    platform::ScriptedDialogs dialogs;
    platform::SetDecimalSeparatorOverride(QChar(u'.'));
    e->DBGrid1->ClickCell(0, 1);
    e->DBGrid1->ClickCell(0, 0);
    platform::SetDecimalSeparatorOverride(QChar(u','));
    EXPECT_EQ(Doc->CurrencyPrefix, "EUR");
    EXPECT_DOUBLE_EQ(Doc->CurrencyRate, 1.95583);
    EXPECT_EQ(ShownText(dialogs), "Избраната валута е въведена.");

    // The VAT rate takes digits, "%" and the separator only.
    Focus(e->Edit9);
    Type("a25,%");
    EXPECT_EQ(e->Edit9->text(), "20%25,%");
    PrtD->Show();
    e->Close();  // closes the print window too
    EXPECT_FALSE(PrtD->isVisible());
    EXPECT_EQ(testsupport::ReadFile(home.File("payment.txt")), "\xEF\xEE \xF1\xEC\xE5\xF2\xEA\xE0\r\n\xE2 \xE1\xF0\xEE\xE9\r\n");
}

TEST_F(Editor, RememberedChoicesComeFromMemTxtAndBadFilesLeaveTheDefaults) {
    testsupport::WriteFile(home.File("mem.txt"), "0%\r\n\xCF\xD0\xCE\xD2\xCE\xCA\xCE\xCB \xF7\xEB.117\r\n");
    QDir().mkpath(home.File("payment.txt"));  // a folder in its place
    platform::ScriptedDialogs dialogs;
    Start();
    EXPECT_EQ(QStringList({OrderForm->ComboBox2->currentText(), OrderForm->ComboBox1->currentText(),
                           OrderForm->ComboBox3->itemText(0)}),
              QStringList({"ПРОТОКОЛ чл.117", "", "по сметка"}));
    Main->OrderBtn->click();
    Main->OrderBtn->click();
    EXPECT_TRUE(ShownOnceWith(dialogs, home.File("payment.txt")));  // told once, naming the file

    const std::pair<QByteArray, const char*> bad[] = {{QByteArray(70000, 'a'), "голям"},
                                                      {"\x98\r\n", "Windows-1251"},
                                                      {"по сметка\r\n", "UTF-8"}};
    for (const auto& [bytes, says] : bad) {
        testsupport::WriteFile(home.File("mem.txt"), bytes);
        const SettingsFile file = ReadSettingsFile(home.File("mem.txt"));
        EXPECT_FALSE(file.lines);
        EXPECT_TRUE(file.problem.contains(QString::fromUtf8(says))) << file.problem.toStdString();
    }
}

TEST(EditorRules, Descriptions) {
    EXPECT_EQ(WrapDescription("едно две три", 7), QStringList({"едно", "две три"}));
    EXPECT_EQ(WrapDescription("ред\r\nвтори", 84), QStringList({"ред", "втори"}));
    EXPECT_EQ(DescriptionLineLimit(true, true), 27);
}

}  // namespace
