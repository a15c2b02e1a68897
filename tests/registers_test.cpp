// The document register, the customers' documents and the statistics, used
// as a user would, over a real database with documents stored through the
// data module.

#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "data/Login.h"
#include "documents/DocumentEditor.h"
#include "platform/DataControls.h"
#include "platform/Dialogs.h"
#include "platform/LocaleText.h"
#include "platform/Paths.h"
#include "platform/Printer.h"
#include "registers/CustomerCard.h"
#include "registers/Customers.h"
#include "registers/DocumentRegister.h"
#include "registers/DropDownComboBox.h"
#include "registers/GoodsCard.h"
#include "registers/GoodsList.h"
#include "registers/Statistics.h"
#include "support/programtest.h"
#include "support/testdatabase.h"

#include <QBarSet>
#include <QChart>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QPrinter>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct Document {
    QString num, title = QStringLiteral("ФАКТУРА"), firm = QStringLiteral("Фирма А"), total = QStringLiteral("120"),
                  date = QStringLiteral("10.03.2013 г."), paid = QStringLiteral("False"),
                  annulled = QStringLiteral("False"), customer = QStringLiteral("123"), us = QString(), note = QString();
};

class Registers : public testsupport::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Start();
        platform::SetDecimalSeparatorOverride(QChar(u'.'));
    }
    void TearDown() override {
        platform::SetDecimalSeparatorOverride(std::nullopt);
        ProgramTest::TearDown();
    }
    static void Add(const Document& d) {
        data::DataSet& store = DataModule1->store;
        store.Append();
        const std::pair<const char*, QString> fields[] = {
            {"Num", d.num},         {"Document", d.title},     {"Supplier1", d.firm}, {"Total", d.total},
            {"Fromdate", d.date},   {"PaidL", d.paid},         {"AnuliranaL", d.annulled},
            {"IDcust", d.customer}, {"us", d.us},              {"cdnote", d.note},   {"percent", QStringLiteral("20%")},
            {"Status", QStringLiteral("False")}, {"Customer1", QStringLiteral("Клиент")}};
        for (const auto& [name, value] : fields) store.FieldByName(QString::fromLatin1(name)).SetAsString(value);
        store.Post();
    }
    static QString Number(int n) { return QStringLiteral("%1").arg(n, 10, 10, QChar(u'0')); }
    static void AddFirm(const QString& name) {
        DataModule1->firm.Append();
        DataModule1->firm.FieldByName(QStringLiteral("Supplier1")).SetAsString(name);
        DataModule1->firm.Post();
    }
    // The statistics' firm list opened by the mouse, at its drop-down arrow.
    static bool OpenFirmList() {
        registers::DropDownComboBox* firms = StatForm->DBComboBox1;
        QTest::mouseClick(firms, Qt::LeftButton, {}, QPoint(firms->width() - 5, firms->height() / 2));
        return firms->view()->isVisible();
    }
    // The panel at display position k (0 = top) and its children.
    static QWidget* Panel(int k) { return Sort->findChild<QWidget*>(Sort->PanelNames.at(k)); }
    static QString PanelNumber(int k) {
        const auto labels = Panel(k)->findChildren<QLabel*>();
        return labels.at(0)->isVisible() ? labels.at(0)->text() : QString();
    }
    static int PositionOf(const QString& num) {
        for (int k = 0; k < 10; ++k)
            if (PanelNumber(k) == num) return k;
        return -1;
    }
    // Presses a flag box of the panel showing num (1 printed, 2 paid, 3 annulled) and moves the mouse off it.
    static void ToggleFlag(const QString& num, int box) {
        QCheckBox* b = Panel(PositionOf(num))->findChildren<QCheckBox*>().at(box - 1);
        QTest::mouseClick(b, Qt::LeftButton);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(b, &leave);
    }
    static void Type(QWidget* w, int key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(w, &press);
    }
    // A key pressed where the focus is put first.
    static void PressIn(QWidget* w, Qt::Key key) {
        w->setFocus();
        QTest::keyClick(w, key);
    }
    void AddCustomer(int number, const QString& company, const QString& id) {
        testsupport::ExecuteOn(defaultFile, QStringLiteral("insert into customer (pnom, custno, company1, id) values "
                                                           "('%1', %1, '%2', '%3')").arg(number).arg(company, id));
    }
    static QRgb Colour(const QWidget* panel) { return panel->palette().color(QPalette::Window).rgb() & 0xFFFFFF; }
    // The documents stored so far made whole enough to open in the editor.
    void MakeOpenable() {
        testsupport::ExecuteOn(defaultFile, "update store set datetaxeventl = 'False', datepaymentl = 'False', datetaxevent = "
                                            "fromdate, datepayment = fromdate, notedate = fromdate, firmdbindex = '1'");
    }
    // A right click on the panel, as the right button does, and a click on the menu's item.
    static void RightClickAndChoose(QWidget* panel, QAction* item) {
        const QPoint at(150, 50);  // beside the labels and boxes
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, panel->mapToGlobal(at));
        QCoreApplication::sendEvent(panel, &rightClick);
        ASSERT_TRUE(Sort->PopupMenu1->isVisible());
        QTest::mouseClick(Sort->PopupMenu1, Qt::LeftButton, {}, Sort->PopupMenu1->actionGeometry(item).center());
        if (Sort->PopupMenu1->isVisible()) Sort->PopupMenu1->close();  // an item that does nothing leaves it open
    }
    // The customer whose row the customer list shows chosen.
    static QString ChosenCustomer() { return CustForm->StringGrid2->Cell(1, CustForm->StringGrid2->Row()); }
    // The suppliers of the documents the customer list shows.
    static QStringList ListedDocuments() {
        QStringList numbers;
        for (int r = 1; r < CustForm->StringGrid1->RowCount(); ++r) numbers << CustForm->StringGrid1->Cell(1, r);
        return numbers;
    }
};

TEST_F(Registers, TwentyFiveDocumentsArePagedInNumberOrderAndFoundByNumber) {
    for (int n = 23; n >= 1; --n) Add({Number(n)});
    Add({Number(7), "INVOICE", "Фирма Б"});
    Add({QString()});
    Sort->Show();
    EXPECT_EQ(Sort->ScrollBar1->maximum(), 16);
    EXPECT_EQ(PanelNumber(0), Number(1));
    EXPECT_EQ(PanelNumber(9), Number(9));  // 7 appears twice
    Sort->ScrollBar1->setValue(16);
    EXPECT_EQ(PanelNumber(0), Number(15));
    EXPECT_EQ(PanelNumber(8), Number(23));
    EXPECT_EQ(PanelNumber(9), QString());  // the document without a number is not listed

    for (auto [key, text] : {std::pair{Qt::Key_A, "a"}, {Qt::Key_Period, "."}, {Qt::Key_7, "7"}})
        Type(Sort->Edit1, key, QString::fromLatin1(text));
    EXPECT_EQ(Sort->Edit1->text(), QStringLiteral("7"));
    Type(Sort->Edit1, Qt::Key_Return, QStringLiteral("\r"));
    ASSERT_EQ(Sort->ListBox1->count(), 2);
    EXPECT_EQ(Sort->ListBox1->item(0)->text(), Number(7) + QStringLiteral(" - INVOICE - Фирма Б"));
    EXPECT_EQ(Sort->ListBox1->height(), 48);
    Sort->ListBox1->setCurrentRow(1);
    Sort->ListBox1Click();  // record 17 of 25
    EXPECT_EQ(Sort->ScrollBar1->value(), 8);
    EXPECT_EQ(DataModule1->store.RecNo(), 17);
}

TEST_F(Registers, TenDigitNumbersBeyondTheIntegerRangeAreOrderedAndFound) {
    // Above 2,147,483,647 the numbers still count as numbers: no row is left where it was stored.
    for (const char* num : {"3000000001", "0000000005", "2000000000", "3000000000", "4294967296"})
        Add({QString::fromLatin1(num)});
    Add({QStringLiteral("3000000001"), "INVOICE", "Фирма Б"});
    Sort->Show();
    QStringList shown;
    for (int k = 0; k < 10 && !PanelNumber(k).isEmpty(); ++k) shown << PanelNumber(k);
    EXPECT_EQ(shown, QStringList({"0000000005", "2000000000", "3000000000", "3000000001", "3000000001", "4294967296"}));

    for (QChar digit : QStringLiteral("3000000001")) Type(Sort->Edit1, Qt::Key_0 + digit.digitValue(), digit);
    Type(Sort->Edit1, Qt::Key_Return, QStringLiteral("\r"));
    ASSERT_EQ(Sort->ListBox1->count(), 2);
    EXPECT_EQ(Sort->ListBox1->item(0)->text(), QStringLiteral("3000000001 - INVOICE - Фирма Б"));
    EXPECT_EQ(Sort->ListBox1->item(1)->text(), QStringLiteral("3000000001 - ФАКТУРА - Фирма А"));
}

// A document whose number is no whole number does not stop the others from
// showing in number order: they come first, ascending, and it follows them.
TEST_F(Registers, ARowWithoutAWholeNumberLeavesTheOthersAscending) {
    Add({QStringLiteral("ABC"), "ПРОФОРМА ФАКТУРА"});
    Add({Number(9)});
    Add({Number(1)});
    Add({Number(5)});
    Add({QStringLiteral("12-A"), "ПРОТОКОЛ чл.117"});
    Add({Number(3)});
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    QTest::mouseClick(Main->ReportBtn, Qt::LeftButton);
    ASSERT_TRUE(Sort->Visible());
    QStringList shown;
    for (int k = 0; k < 10 && !PanelNumber(k).isEmpty(); ++k) shown << PanelNumber(k);
    EXPECT_EQ(shown, QStringList({Number(1), Number(3), Number(5), Number(9), "ABC", "12-A"}));
    // A click on a panel's title chooses the document it shows.
    QTest::mouseClick(Panel(2)->findChildren<QLabel*>().at(1), Qt::LeftButton);
    EXPECT_EQ(DataModule1->store.FieldByName(QStringLiteral("Num")).AsString(), Number(5));
    QTest::mouseClick(Panel(4)->findChildren<QLabel*>().at(1), Qt::LeftButton);
    EXPECT_EQ(DataModule1->store.FieldByName(QStringLiteral("Num")).AsString(), QStringLiteral("ABC"));
}

// The register shown again after another work place changed documents shows
// them as they are now, the texts of the unchanged ones kept from before.
TEST_F(Registers, TheRegisterShownAgainShowsWhatAnotherWorkPlaceChanged) {
    for (int n = 1; n <= 3; ++n) Add({Number(n)});
    Sort->Show();
    const auto shown = [](int k) {
        QStringList texts;
        for (const QLabel* l : Panel(k)->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) texts << l->text();
        for (const QCheckBox* b : Panel(k)->findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly))
            texts << (b->isChecked() ? QStringLiteral("x") : QStringLiteral("-"));
        return texts.mid(0, 3) + texts.mid(4);
    };
    EXPECT_EQ(shown(1), QStringList({Number(2), "ФАКТУРА", "Фирма А", "-", "-", "-"}));
    Sort->Close();
    testsupport::ExecuteOn(defaultFile, QStringLiteral("update store set supplier1 = 'Фирма В', paidl = 'True', "
                                                       "document = 'ПРОФОРМА ФАКТУРА' where num = '%1'")
                                            .arg(Number(2)));
    Sort->Show();
    EXPECT_EQ(shown(0), QStringList({Number(1), "ФАКТУРА", "Фирма А", "-", "-", "-"}));
    EXPECT_EQ(shown(1), QStringList({Number(2), "ПРОФОРМА ФАКТУРА", "Фирма В", "-", "x", "-"}));
    EXPECT_EQ(shown(2), QStringList({Number(3), "ФАКТУРА", "Фирма А", "-", "-", "-"}));
}

TEST_F(Registers, FlagsSetInTheRegisterReachTheCustomerTotalAndTheChart) {
    Add({Number(1), "ФАКТУРА", "Фирма А", "120"});
    Add({Number(2), "Дебитно известие", "Фирма А", "24"});
    Add({Number(3), "ФАКТУРА", "Фирма А", "60", "10.03.2013 г.", "False", "True"});
    Add({Number(4), "Кредитно известие", "Фирма А", "36"});
    Add({Number(5), "ФАКТУРА", "Фирма А", "1.2", "10.03.2013 г.", "False", "да"});
    testsupport::ExecuteOn(defaultFile, "insert into customer (pnom, id, custno) values ('1', '123', 1)");
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    {
        platform::ScriptedDialogs dialogs;  // the unreadable flag of document 5 is told once
        Main->SpeedButton7->click();
        EXPECT_TRUE(testsupport::ShownOnceWith(dialogs, QStringLiteral("Документ № 0000000005")));
    }
    EXPECT_EQ(EditCustForm->TotalLabel->text(), QStringLiteral("108 лв."));  // 120 + 24 - 36
    EXPECT_EQ(CustForm->StringGrid1->RowCount(), 6);
    EXPECT_TRUE(CustForm->Panel2->isHidden());
    // A date is shown whole, "г." included, and every column within the grid.
    platform::StringGrid* documents = CustForm->StringGrid1;
    EXPECT_LE(QFontMetrics(documents->font()).horizontalAdvance(documents->Cell(3, 1)) + 4, documents->ColWidth(3));
    EXPECT_LE(documents->CellRect(4, 0).right(), documents->View()->viewport()->width());

    Sort->Show();
    ToggleFlag(Number(1), 3);  // annulled
    ToggleFlag(Number(2), 2);  // paid
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select PAIDL, ANULIRANAL from STORE where NUM in ('0000000001', '0000000002') order by NUM"),
              QStringList({QStringLiteral("False|True"), QStringLiteral("True|False")}));
    platform::ScriptedDialogs dialogs;
    CustForm->StringGrid2->SetCurrentCell(0, 1);
    EXPECT_EQ(EditCustForm->TotalLabel->text(), QStringLiteral("-12 лв."));

    Sort->Button1->click();
    StatForm->DBComboBox1DropDown();
    EXPECT_EQ(StatForm->Series1->at(2), 0);  // no own firm chosen yet
    AddFirm(QStringLiteral("Фирма А"));
    StatForm->DBComboBox1DropDown();
    StatForm->DBComboBox1->setCurrentIndex(0);
    const size_t told = dialogs.Shown().size();
    emit StatForm->DBComboBox1->activated(0);  // the firm chosen
    ASSERT_EQ(dialogs.Shown().size(), told + 1);  // document 5 again, as on the customer's card
    EXPECT_TRUE(dialogs.Shown().back().text.startsWith(QStringLiteral("Приходите в графиката не включват 1 документ(а)")));
    EXPECT_DOUBLE_EQ(StatForm->Series1->at(2), 20);
    EXPECT_DOUBLE_EQ(StatForm->Series2->at(2), -30);  // the credit note
}

TEST_F(Registers, OnlyTheOwnerDeletesADocument) {
    for (const char* user : {"'1', 'Иван'", "'2', 'Мария'"})
        testsupport::ExecuteOn(defaultFile, QStringLiteral("insert into userp (pnom, us) values (%1)").arg(QString::fromUtf8(user)));
    DataModule1->user.Refresh();
    Add({Number(1), "ФАКТУРА", "Фирма А", "1", "10.03.2013 г.", "False", "False", {}, "Мария"});
    Add({Number(2)});
    Sort->Show();
    platform::ScriptedDialogs dialogs;
    Form9->LoggedUser = QStringLiteral("Иван");
    Sort->Panel1Click(Panel(0));
    Sort->N2->trigger();
    EXPECT_EQ(testsupport::ShownText(dialogs), QStringLiteral("Само потребителят Мария може да промени или изтрие този документ."));
    Sort->Panel1Click(Panel(1));  // no owner: the first registered user's
    Sort->N2->trigger();
    Form9->LoggedUser = QStringLiteral("Мария");
    Sort->Panel1Click(Panel(0));
    Sort->N2->trigger();
    EXPECT_EQ(DataModule1->store.RecordCount(), 0);
    EXPECT_EQ(dialogs.Shown().size(), 1u);
}

TEST_F(Registers, AYearsChartHasTwelveBarsPerSeriesAndItsMonthListPrints) {
    Add({Number(1), "ФАКТУРА", "Фирма А", "240", "05.10.2013 г.", "True"});
    Add({Number(2), "ФАКТУРА", "Фирма А", "600"});
    Add({Number(2), "ПРОФОРМА ФАКТУРА", "Фирма А", "600"});
    Add({Number(3), "Credit note", "Фирма А", "120.00", "11.10.2013 г.", "True", "True"});
    Add({Number(4), "ФАКТУРА", "Фирма А", "1200", "12.10.2013 г.", "True", "True"});
    StatForm->DBComboBox1->addItem(QStringLiteral("Фирма А"));
    StatForm->DBComboBox1->setCurrentIndex(0);
    Sort->Button1Click();
    StatForm->Series1Click(9);  // October
    EXPECT_DOUBLE_EQ(StatForm->Series1->at(9), 100);
    EXPECT_DOUBLE_EQ(StatForm->Series2->at(2), 500);  // a proforma of the same number is counted apart
    EXPECT_EQ(StatForm->Memo1->toPlainText(),
              QStringLiteral("Извадка за платени фактури за месец Октомври 2013 с ДДС\n"
                             "1.Клиент: Клиент, ф.N. 0000000003/11.10, -120.00 лв.\n"
                             "2.Клиент: Клиент, ф.N. 0000000001/05.10, 240 лв.\n\n"
                             "общо без ДДС: 100.00 лв.\nобщо с ДДС: 120.00 лв."));
    StatForm->Chart1->grab();  // lays the chart out as it is drawn
    const auto inLegend = [](QGraphicsItem* item) {
        for (QGraphicsItem* p = item->parentItem(); p; p = p->parentItem())
            if (qobject_cast<QLegend*>(p->toGraphicsObject())) return true;
        return false;
    };
    // Twelve bars of each series; each value on its light yellow mark inside the plot.
    const QRectF plot = StatForm->Chart1->chart()->plotArea();
    int green = 0, red = 0, marks = 0;
    for (QGraphicsItem* item : StatForm->Chart1->scene()->items())
        if (auto* rect = dynamic_cast<QGraphicsRectItem*>(item); rect && !inLegend(rect)) {
            const QColor colour = rect->brush().color();
            green += colour == QColor(0, 128, 0);
            red += colour == QColor(255, 0, 0);
            if (colour != QColor(255, 255, 128)) continue;
            ++marks;
            EXPECT_TRUE(plot.contains(rect->mapRectToItem(StatForm->Chart1->chart(), rect->rect()).center()));
        }
    EXPECT_EQ(QList<int>({green, red, marks}), QList<int>({12, 12, 24}));
    // The legend under its caption.
    QStringList captions;
    for (QGraphicsItem* item : StatForm->Chart1->chart()->legend()->childItems())
        if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item)) captions << text->text();
    EXPECT_TRUE(captions.contains(QStringLiteral("Легенда:")));

    const QString pdf = home.File(QStringLiteral("paid.pdf"));
    platform::Printer().setOutputFormat(QPrinter::PdfFormat);
    platform::Printer().setOutputFileName(pdf);
    platform::ScriptedDialogs dialogs;
    dialogs.Answer(platform::DialogResponse::Ok());
    StatForm->SpeedButton1->click();
    EXPECT_TRUE(testsupport::ReadFile(pdf).startsWith("%PDF"));
}

// The statistics as the user reaches them: the register's "Статистика", the
// own firm chosen from its list, a month chosen from the month list.
TEST_F(Registers, EachCounterNumbersApartAndTheChartAndTheMonthListsAgree) {
    Add({Number(1), "ФАКТУРА", "Фирма А", "1718.28", "10.03.2013 г.", "True"});  // 1431,90 without VAT
    Add({Number(1), "ПРОФОРМА ФАКТУРА", "Фирма А", "600", "12.03.2013 г.", "True"});
    Add({Number(7), "ФАКТУРА", "Фирма А", "120", "14.05.2013 г."});
    Add({Number(7), "ФАКТУРА", "Фирма А", "240", "15.03.2013 г."});  // the same invoice stored again, later
    Add({Number(9), "ФАКТУРА", "Фирма А", "240", "16.03.2013 г.", "maybe"});
    AddFirm(QStringLiteral("Фирма А"));
    platform::ScriptedDialogs dialogs;
    Sort->Show();
    QTest::mouseClick(Sort->Button1, Qt::LeftButton);
    ASSERT_TRUE(StatForm->isVisible());
    EXPECT_TRUE(dialogs.Shown().empty());  // no firm chosen: nothing counted

    // The firm chosen in its list's popup, opened by the mouse: the chart,
    // and the paid flag that is no flag told.
    registers::DropDownComboBox* firms = StatForm->DBComboBox1;
    ASSERT_TRUE(OpenFirmList());
    ASSERT_EQ(firms->count(), 1);
    QAbstractItemView* view = firms->view();
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_EQ(StatForm->SelectedFirm(), QStringLiteral("Фирма А"));
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].text,
              QStringLiteral("Приходите в графиката не включват 1 документ(а), които не могат да бъдат прочетени:\n"
                             "Документ № 0000000009: полето „Платена“ съдържа „maybe“ вместо True или False."));
    EXPECT_NEAR(StatForm->Series1->at(2), 1431.90, 1e-9);  // invoice 1, though proforma 1 was met first
    EXPECT_NEAR(StatForm->Series2->at(2), 200, 1e-9);      // invoice 7 once; invoice 9 left out
    EXPECT_EQ(StatForm->Series2->at(4), 0);                // the earlier copy of invoice 7

    // March, then May, from the month list by keys.
    QComboBox* months = StatForm->ComboBox1;
    months->setFocus();
    QTest::keyClick(months, Qt::Key_Home);
    QTest::keyClick(months, Qt::Key_Down);
    QTest::keyClick(months, Qt::Key_Down);
    ASSERT_EQ(months->currentText(), QStringLiteral("Март"));
    EXPECT_EQ(StatForm->Memo1->toPlainText(),
              QStringLiteral("Извадка за платени фактури за месец Март 2013 с ДДС\n"
                             "1.Клиент: Клиент, ф.N. 0000000001/10.03, 1718.28 лв.\n\n"
                             "общо без ДДС: 1431.90 лв.\nобщо с ДДС: 1718.28 лв."));
    EXPECT_EQ(StatForm->Memo2->toPlainText(),
              QStringLiteral("Извадка за неплатени фактури за месец Март 2013 с ДДС\n"
                             "1.Клиент: Клиент, ф.N. 0000000007/15.03, 240 лв.\n\n"
                             "общо без ДДС: 200.00 лв.\nобщо с ДДС: 240.00 лв."));
    EXPECT_TRUE(dialogs.Shown().back().text.startsWith(QStringLiteral("Извадките за месеца не включват 1 документ(а)")));
    QTest::keyClick(months, Qt::Key_Down);
    QTest::keyClick(months, Qt::Key_Down);
    ASSERT_EQ(months->currentText(), QStringLiteral("Май"));
    EXPECT_EQ(StatForm->Memo2->toPlainText(),
              QStringLiteral("Извадка за неплатени фактури за месец Май 2013 с ДДС\n\n"
                             "общо без ДДС: 0.00 лв.\nобщо с ДДС: 0.00 лв."));
}

// The chart's report names every document it leaves out, not only the first.
TEST_F(Registers, TheChartNamesEachDocumentItLeavesOut) {
    Add({Number(1), "ФАКТУРА", "Фирма А", "120", "10.03.2013 г."});
    Add({Number(5), "ФАКТУРА", "Фирма А", "240", "11.03.2013 г.", "maybe"});
    Add({Number(6), "ФАКТУРА", "Фирма А", "много", "12.04.2013 г."});
    Add({Number(7), "ФАКТУРА", "Фирма А", "120", "13.05.2013 г.", "False", "да"});
    AddFirm(QStringLiteral("Фирма А"));
    platform::ScriptedDialogs dialogs;
    Sort->Show();
    QTest::mouseClick(Sort->Button1, Qt::LeftButton);
    registers::DropDownComboBox* firms = StatForm->DBComboBox1;
    ASSERT_TRUE(OpenFirmList());
    QTest::keyClick(firms->view(), Qt::Key_Home);
    QTest::keyClick(firms->view(), Qt::Key_Return);
    ASSERT_EQ(StatForm->SelectedFirm(), QStringLiteral("Фирма А"));
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    // Last record first, as the chart reads them.
    EXPECT_EQ(dialogs.Shown()[0].text,
              QStringLiteral("Приходите в графиката не включват 3 документ(а), които не могат да бъдат прочетени:\n"
                             "Документ № 0000000007: полето „Анулирана“ съдържа „да“ вместо True или False.\n"
                             "Документ № 0000000006: сумата „много“ не е число.\n"
                             "Документ № 0000000005: полето „Платена“ съдържа „maybe“ вместо True или False."));
    EXPECT_NEAR(StatForm->Series2->at(2), 100, 1e-9);  // invoice 1 alone
}

// The firm list opened again and closed with Escape keeps the firm charted:
// the box, the bars and the month lists stay that firm's.
TEST_F(Registers, TheFirmListClosedWithEscapeKeepsTheChosenFirm) {
    Add({Number(1), "ФАКТУРА", "Алфа ООД", "240", "10.03.2013 г."});
    Add({Number(2), "ФАКТУРА", "Бета ЕООД", "600", "11.03.2013 г."});
    AddFirm(QStringLiteral("Алфа ООД"));
    AddFirm(QStringLiteral("Бета ЕООД"));
    platform::ScriptedDialogs dialogs;
    Sort->Show();
    QTest::mouseClick(Sort->Button1, Qt::LeftButton);
    ASSERT_TRUE(StatForm->isVisible());
    registers::DropDownComboBox* firms = StatForm->DBComboBox1;
    ASSERT_TRUE(OpenFirmList());
    QTest::keyClick(firms->view(), Qt::Key_Home);
    QTest::keyClick(firms->view(), Qt::Key_Return);
    ASSERT_EQ(firms->currentText(), QStringLiteral("Алфа ООД"));
    EXPECT_DOUBLE_EQ(StatForm->Series2->at(2), 200);
    QComboBox* months = StatForm->ComboBox1;
    const auto chooseMarch = [months] {
        months->setFocus();
        QTest::keyClick(months, Qt::Key_Home);
        QTest::keyClick(months, Qt::Key_Down);
        QTest::keyClick(months, Qt::Key_Down);
        return months->currentText() == QStringLiteral("Март");
    };
    ASSERT_TRUE(chooseMarch());
    const QString march = StatForm->Memo2->toPlainText();
    EXPECT_TRUE(march.contains(QStringLiteral("0000000001/10.03, 240 лв.")));

    ASSERT_TRUE(OpenFirmList());
    QTest::keyClick(firms->view(), Qt::Key_Escape);
    EXPECT_FALSE(firms->view()->isVisible());
    EXPECT_EQ(firms->currentText(), QStringLiteral("Алфа ООД"));
    EXPECT_EQ(StatForm->SelectedFirm(), QStringLiteral("Алфа ООД"));
    EXPECT_DOUBLE_EQ(StatForm->Series2->at(2), 200);
    ASSERT_TRUE(chooseMarch());
    EXPECT_EQ(StatForm->Memo2->toPlainText(), march);
    // Another firm chosen from the list reopened is charted.
    ASSERT_TRUE(OpenFirmList());
    QTest::keyClick(firms->view(), Qt::Key_End);
    QTest::keyClick(firms->view(), Qt::Key_Return);
    EXPECT_EQ(StatForm->SelectedFirm(), QStringLiteral("Бета ЕООД"));
    EXPECT_DOUBLE_EQ(StatForm->Series2->at(2), 500);
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(Registers, GoodsGoIntoANewDocumentAndThenBelowTheLastLine) {
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    for (const char* goods : {"Болт", "Гайка", "Шайба"}) {
        DataModule1->stock.Append();
        DataModule1->stock.FieldByName(QStringLiteral("Description1")).SetAsString(QString::fromUtf8(goods));
        DataModule1->stock.Post();
    }
    Main->SpeedButton3->click();
    for (int row : {2, 3}) {
        Stocks->StringGrid1->SetCurrentCell(0, row);
        Stocks->Button1->click();
    }
    EXPECT_TRUE(OrderForm->isVisible());
    EXPECT_EQ(QStringList({OrderForm->StringGrid1->Cell(1, 1), OrderForm->StringGrid1->Cell(1, 2)}),
              QStringList({QStringLiteral("Гайка"), QStringLiteral("Шайба")}));
}

// Cards as first described would store a new first customer at the next refresh
// after "Cancel", and drop a goods save that fails without a word, closing.
TEST_F(Registers, CardsDropANewFirstCustomerAndShowAFailedGoodsSave) {
    platform::ScriptedDialogs dialogs;
    CustForm->Show();
    DataModule1->cust.Refresh();  // no customers: the header stays a header over an empty row
    EXPECT_EQ(std::pair(CustForm->StringGrid2->FixedRows(), CustForm->StringGrid2->Row()), std::pair(1, 1));
    CustForm->Button2->click();
    EditCustForm->CancelButton->click();
    DataModule1->cust.Refresh();
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select count(*) from CUSTOMER"), QStringList{QStringLiteral("0")});
    DataModule1->cust.Append();
    DataModule1->cust.FieldByName(QStringLiteral("CustNo")).SetAsString(QStringLiteral("2"));
    DataModule1->cust.Post();
    CustForm->Show();
    DataModule1->cust.Refresh();  // a customer without documents
    EXPECT_FALSE(CustForm->Panel2->isHidden() || CustForm->Button1->isEnabled());
    EXPECT_EQ(CustForm->StringGrid1->RowCount(), 2);
    EXPECT_EQ(EditCustForm->TotalLabel->text(), QStringLiteral("0 лв."));

    Stocks->Button2->click();  // an empty goods record is stored at once
    testsupport::ExecuteOn(defaultFile, "delete from STOCK");  // by another workstation
    QTest::keyClicks(EditStockForm->DBMemo1, QStringLiteral("Bolt M8"));
    EditStockForm->OKButton->click();
    EXPECT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(EditStockForm->isVisible());  // closing nothing, the typing kept
    EXPECT_EQ(EditStockForm->DBMemo1->Text(), QStringLiteral("Bolt M8"));
}

// The card's navigator went back to the last customer while the list was open:
// every move refreshes the list, whose fill ends on the last record.
TEST_F(Registers, TheCardsNavigatorMovesThroughAllCustomersAndNumberFieldsTakeOnlyDigits) {
    for (int n = 1; n <= 3; ++n)
        testsupport::ExecuteOn(defaultFile, QStringLiteral("insert into customer (pnom, custno, company1) values "
                                                           "('%1', %1, 'Фирма %1')").arg(n));
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    platform::ScriptedDialogs dialogs;
    Main->SpeedButton7->click();
    CustForm->Button3->click();
    const auto press = [](platform::NavigateBtn b) {
        QTest::mouseClick(EditCustForm->DBNavigator->Button(b), Qt::LeftButton);
        return EditCustForm->DBEdit1->Text();
    };
    EXPECT_EQ(EditCustForm->DBEdit1->Text(), ChosenCustomer());  // the card opens on the chosen row's customer
    EXPECT_EQ(press(platform::NavigateBtn::Last), QStringLiteral("Фирма 3"));
    EXPECT_EQ(press(platform::NavigateBtn::Prior), QStringLiteral("Фирма 2"));
    EXPECT_EQ(press(platform::NavigateBtn::First), QStringLiteral("Фирма 1"));
    EXPECT_EQ(press(platform::NavigateBtn::Next), QStringLiteral("Фирма 2"));
    EXPECT_EQ(CustForm->StringGrid2->Cell(1, 3), QStringLiteral("Фирма 3"));  // the list stays whole
    QTest::mouseClick(CustForm->Navigator->Button(platform::NavigateBtn::Prior), Qt::LeftButton);
    EXPECT_EQ(press(platform::NavigateBtn::Next), QStringLiteral("Фирма 2"));  // so does the list's navigator

    // "Клиент №" and the goods card's quantity ignore letters without a word.
    EditCustForm->DBEdit3->selectAll();
    for (const char* key : {"a", "4", "x", "2"}) Type(EditCustForm->DBEdit3, Qt::Key_unknown, QString::fromLatin1(key));
    EXPECT_EQ(EditCustForm->DBEdit3->text(), QStringLiteral("42"));
    EditCustForm->OKButton->click();
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select custno from customer where company1 = 'Фирма 2'"),
              QStringList{QStringLiteral("42")});
    Stocks->Button2->click();
    QLineEdit* quantity = EditStockForm->DBEdit2->lineEdit();
    for (const char* key : {"x", "-", "5"}) Type(quantity, Qt::Key_unknown, QString::fromLatin1(key));
    EXPECT_EQ(DataModule1->stock.FieldByName(QStringLiteral("Qty")).AsString(), QStringLiteral("-5"));
    EXPECT_TRUE(dialogs.Shown().empty());
}

// The goods card stays on top of the other windows; the question of its
// delete button and the message of a failed save open above it, active.
TEST_F(Registers, MessagesOfTheGoodsCardOpenAboveIt) {
    const platform::DialogResponder fallback = platform::DialogGate::SetResponder({});  // the real boxes
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    Main->SpeedButton3->click();
    Stocks->Button2->click();
    ASSERT_TRUE(QTest::qWaitForWindowActive(EditStockForm));
    QTest::keyClicks(EditStockForm->DBMemo1, QStringLiteral("Bolt M8"));
    QStringList seen;
    // Looks for the box from inside its event loop, then answers it.
    std::function<void(QString, int)> whenShown = [&](QString press, int tries) {
        QTimer::singleShot(10, [&, press, tries] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if ((!box || QApplication::activeWindow() != box) && tries > 0) return whenShown(press, tries - 1);
            if (!box) return;
            seen << box->windowTitle() << box->text();
            EXPECT_EQ(box->windowHandle()->transientParent(), EditStockForm->windowHandle());
            EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            EXPECT_EQ(QApplication::activeWindow(), box);
            for (QAbstractButton* b : box->buttons())
                if (b->text() == press) return b->click();
            box->close();
        });
    };
    whenShown(QStringLiteral("Отказ"), 500);
    QTest::mouseClick(EditStockForm->DBNavigator1->Button(platform::NavigateBtn::Delete), Qt::LeftButton);
    EXPECT_EQ(seen, QStringList({QStringLiteral("Потвърждение"), QStringLiteral("Да се изтрие ли записът?")}));
    seen.clear();
    testsupport::ExecuteOn(defaultFile, "delete from STOCK");  // by another workstation
    whenShown(QStringLiteral("OK"), 500);
    QTest::mouseClick(EditStockForm->OKButton, Qt::LeftButton);
    EXPECT_EQ(seen.size(), 2);
    EXPECT_TRUE(EditStockForm->isVisible());
    platform::DialogGate::SetResponder(fallback);
}

// The windows that name a default and a cancel button: Enter and Escape click
// them wherever the focus is, except where the focused control uses the key
// itself (a multi-line text, a push button with the focus, an open list).
TEST_F(Registers, EnterAndEscapeClickTheDefaultAndCancelButtonsWhereverTheFocusIs) {
    AddCustomer(1, QStringLiteral("Alfa"), QStringLiteral("111"));
    AddCustomer(2, QStringLiteral("Beta"), QStringLiteral("222"));
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    platform::ScriptedDialogs dialogs;

    // The customer list: "Затвори" is both, from either grid.
    Main->SpeedButton7->click();
    ASSERT_TRUE(CustForm->isVisible());
    PressIn(CustForm->StringGrid2->View(), Qt::Key_Escape);
    EXPECT_FALSE(CustForm->isVisible());
    Main->SpeedButton7->click();
    PressIn(CustForm->StringGrid1->View(), Qt::Key_Return);
    EXPECT_FALSE(CustForm->isVisible());
    // A push button with the focus takes Enter itself: "Редактирай" opens the card.
    Main->SpeedButton7->click();
    PressIn(CustForm->Button3, Qt::Key_Return);
    EXPECT_TRUE(CustForm->isVisible());
    ASSERT_TRUE(EditCustForm->isVisible());

    // The customer card: Enter is "OK" and stores the typing, Escape is "Cancel" and drops it.
    EditCustForm->DBEdit1->setFocus();
    EditCustForm->DBEdit1->selectAll();
    QTest::keyClicks(EditCustForm->DBEdit1, QStringLiteral("Gama"));
    QTest::keyClick(EditCustForm->DBEdit1, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(EditCustForm->isVisible());
    const QString stored = testsupport::QueryRows(defaultFile, "select company1 from customer order by custno").join(u',');
    EXPECT_TRUE(stored == QStringLiteral("Alfa,Gama") || stored == QStringLiteral("Gama,Beta")) << stored.toStdString();
    CustForm->Button3->click();
    ASSERT_TRUE(EditCustForm->isVisible());
    EditCustForm->DBEdit16->setFocus();
    QTest::keyClicks(EditCustForm->DBEdit16, QStringLiteral("xyz"));
    PressIn(EditCustForm->DBEdit16, Qt::Key_Escape);
    EXPECT_FALSE(EditCustForm->isVisible());
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select company1 from customer order by custno").join(u','), stored);
    EXPECT_TRUE(CustForm->isVisible());
    // Enter with a modifier is not the default button's.
    CustForm->StringGrid2->View()->setFocus();
    QTest::keyClick(CustForm->StringGrid2->View(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(CustForm->isVisible());

    // The goods list: "Затвори" is both.
    Main->SpeedButton3->click();
    ASSERT_TRUE(Stocks->isVisible());
    PressIn(Stocks->StringGrid1->View(), Qt::Key_Return);
    EXPECT_FALSE(Stocks->isVisible());
    Main->SpeedButton3->click();
    PressIn(Stocks->StringGrid1->View(), Qt::Key_Escape);
    EXPECT_FALSE(Stocks->isVisible());

    // The goods card: Enter in the description is a new line; Enter in the
    // quantity box is "OK" and adds nothing to the box's choices.
    Main->SpeedButton3->click();
    Stocks->Button2->click();
    ASSERT_TRUE(EditStockForm->isVisible());
    EditStockForm->DBMemo1->setFocus();
    QTest::keyClicks(EditStockForm->DBMemo1, QStringLiteral("Bolt"));
    QTest::keyClick(EditStockForm->DBMemo1, Qt::Key_Return);
    QTest::keyClicks(EditStockForm->DBMemo1, QStringLiteral("M8"));
    EXPECT_TRUE(EditStockForm->isVisible());
    EXPECT_EQ(EditStockForm->DBMemo1->toPlainText(), QStringLiteral("Bolt\nM8"));
    const int choices = EditStockForm->DBEdit2->count();
    EditStockForm->DBEdit2->setFocus();
    EditStockForm->DBEdit2->lineEdit()->selectAll();
    QTest::keyClicks(EditStockForm->DBEdit2, QStringLiteral("3"));
    QTest::keyClick(EditStockForm->DBEdit2, Qt::Key_Return);
    EXPECT_FALSE(EditStockForm->isVisible());
    EXPECT_EQ(EditStockForm->DBEdit2->count(), choices);
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select qty from stock"), QStringList{QStringLiteral("3")});
    Stocks->EditBtn->click();
    ASSERT_TRUE(EditStockForm->isVisible());
    EditStockForm->DBEdit5->setFocus();
    QTest::keyClicks(EditStockForm->DBEdit5, QStringLiteral("12"));
    PressIn(EditStockForm->DBEdit5, Qt::Key_Escape);
    EXPECT_FALSE(EditStockForm->isVisible());
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select sellprice from stock"), QStringList{QStringLiteral("<null>")});
    EXPECT_TRUE(dialogs.Shown().empty());
}

// "Изтрий" and "Отвори" act on the panel that was right-clicked.
TEST_F(Registers, TheRightClickChoosesThePanelTheMenuActsOn) {
    Add({Number(3), "ФАКТУРА"});
    Add({Number(5), "ORDER CONFIRMATION"});  // the last saved: chosen after every refresh
    Sort->Show();
    ASSERT_EQ(PositionOf(Number(3)), 0);
    QWidget* label = Panel(0)->findChildren<QLabel*>().at(1);
    const QPoint at = label->rect().center();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, label->mapToGlobal(at));
    QCoreApplication::sendEvent(label, &rightClick);  // as the right button does, on the title
    ASSERT_TRUE(Sort->PopupMenu1->isVisible());
    EXPECT_EQ(Colour(Panel(0)), 0xC0DCC0u);
    EXPECT_EQ(Colour(Panel(1)), 0xFFFFFFu);
    QTest::mouseClick(Sort->PopupMenu1, Qt::LeftButton, {}, Sort->PopupMenu1->actionGeometry(Sort->N2).center());
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select num from store"), QStringList{Number(5)});
}

// An empty panel points at no document: a click, a right click or a double
// click on it chooses and opens nothing, and its menu deletes nothing.
TEST_F(Registers, AnEmptyPanelChoosesOpensAndDeletesNothing) {
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    for (int n = 1; n <= 7; ++n) Add({Number(n)});
    MakeOpenable();
    QTest::mouseClick(Main->ReportBtn, Qt::LeftButton);
    ASSERT_TRUE(Sort->isVisible());
    ASSERT_EQ(PositionOf(Number(7)), 6);
    RightClickAndChoose(Panel(0), Sort->N1);  // a panel's document opens
    ASSERT_TRUE(OrderForm->isVisible());
    OrderForm->hide();
    const auto numbers = [this] { return testsupport::QueryRows(defaultFile, "select num from store order by num"); };
    // The last document deleted through its panel's menu: its panel is empty.
    RightClickAndChoose(Panel(6), Sort->N2);
    ASSERT_EQ(numbers().size(), 6);
    ASSERT_EQ(PanelNumber(6), QString());
    // Its menu again: nothing goes, and nothing opens.
    RightClickAndChoose(Panel(6), Sort->N2);
    EXPECT_EQ(numbers().size(), 6);
    RightClickAndChoose(Panel(6), Sort->N1);
    EXPECT_FALSE(OrderForm->isVisible());
    // A click chooses nothing, and the chosen panel's document stays the one acted on.
    QTest::mouseClick(Panel(2), Qt::LeftButton, {}, QPoint(150, 50));
    QTest::mouseClick(Panel(6), Qt::LeftButton, {}, QPoint(150, 50));
    EXPECT_EQ(Colour(Panel(6)), 0xFFFFFFu);
    EXPECT_EQ(Colour(Panel(2)), 0xC0DCC0u);
    QTest::mouseDClick(Panel(7), Qt::LeftButton, {}, QPoint(150, 50));
    EXPECT_FALSE(OrderForm->isVisible());
    RightClickAndChoose(Panel(2), Sort->N2);
    EXPECT_EQ(numbers(), QStringList({Number(1), Number(2), Number(4), Number(5), Number(6)}));
}

// On the last page of a longer register, the panels under the last document
// are empty, whatever they showed on the pages before.
TEST_F(Registers, TheEmptyPanelsOfTheLastPageDeleteNothing) {
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    for (int n = 1; n <= 21; ++n) Add({Number(n)});
    Add({QString()});  // two documents without a number: in the record count, on no panel
    Add({QString()});
    MakeOpenable();
    QTest::mouseClick(Main->ReportBtn, Qt::LeftButton);
    ASSERT_TRUE(Sort->isVisible());
    for (int step = 0; step < 14; ++step) QTest::keyClick(Sort->ScrollBar1, Qt::Key_Down);
    ASSERT_EQ(Sort->ScrollBar1->value(), Sort->ScrollBar1->maximum());
    ASSERT_EQ(PanelNumber(7), Number(21));
    ASSERT_EQ(PanelNumber(8), QString());
    ASSERT_EQ(PanelNumber(9), QString());
    const int before = DataModule1->store.RecordCount();
    for (int k : {8, 9}) {
        RightClickAndChoose(Panel(k), Sort->N2);
        RightClickAndChoose(Panel(k), Sort->N1);
    }
    EXPECT_EQ(DataModule1->store.RecordCount(), before);
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select count(*) from store"), QStringList{QString::number(before)});
    EXPECT_FALSE(OrderForm->isVisible());
}

// The up arrow raises the year, within 2010 to 2030, from the year shown or typed.
TEST_F(Registers, TheYearArrowsStepTheYearUpAndDown) {
    StatForm->Show();
    QScrollBar* arrows = StatForm->UpDown1;
    // ▲ at the top, ▼ at the bottom.
    const QPoint up(arrows->width() / 2, 2), down(arrows->width() / 2, arrows->height() - 3);
    QTest::mouseClick(arrows, Qt::LeftButton, {}, up);
    EXPECT_EQ(StatForm->Edit1->text(), QStringLiteral("2014"));
    QTest::mouseClick(arrows, Qt::LeftButton, {}, down);
    QTest::mouseClick(arrows, Qt::LeftButton, {}, down);
    EXPECT_EQ(StatForm->Edit1->text(), QStringLiteral("2012"));
    StatForm->Edit1->setFocus();
    StatForm->Edit1->selectAll();
    QTest::keyClicks(StatForm->Edit1, QStringLiteral("2029"));
    QTest::mouseClick(arrows, Qt::LeftButton, {}, up);
    QTest::mouseClick(arrows, Qt::LeftButton, {}, up);
    EXPECT_EQ(StatForm->Edit1->text(), QStringLiteral("2030"));
}

// The card's navigator moves to a customer whose document cannot be read: the
// report comes, and the card, the chosen row and the documents are all that
// customer's; so they are after the list's own arrows and clicks.
TEST_F(Registers, TheCardTheChosenRowAndTheDocumentsShowOneCustomer) {
    AddCustomer(1, QStringLiteral("Клиент 01"), QStringLiteral("101"));
    AddCustomer(14, QStringLiteral("Клиент 14 АД"), QStringLiteral("114"));
    AddCustomer(7, QStringLiteral("Клиент 07"), QStringLiteral("107"));
    Add({Number(1), "ФАКТУРА", "Фирма А", "120", "10.03.2013 г.", "False", "да", "101"});
    Add({Number(2), "ФАКТУРА", "Фирма А", "60", "10.03.2013 г.", "False", "False", "114"});
    Add({Number(3), "ФАКТУРА", "Фирма А", "30", "10.03.2013 г.", "False", "False", "107"});
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    platform::ScriptedDialogs dialogs;
    Main->SpeedButton7->click();
    // Клиент 14 АД chosen by a click on its row (the third: the list goes by number).
    platform::StringGrid* list = CustForm->StringGrid2;
    QWidget* rows = list->View()->viewport();
    QTest::mouseClick(rows, Qt::LeftButton, {}, rows->mapFrom(list, list->CellRect(1, 3).center()));
    EXPECT_EQ(ChosenCustomer(), QStringLiteral("Клиент 14 АД"));
    EXPECT_EQ(ListedDocuments(), QStringList{Number(2)});
    CustForm->Button3->click();
    EXPECT_EQ(EditCustForm->DBEdit1->Text(), QStringLiteral("Клиент 14 АД"));

    dialogs.Clear();
    QTest::mouseClick(EditCustForm->DBNavigator->Button(platform::NavigateBtn::First), Qt::LeftButton);
    EXPECT_TRUE(testsupport::ShownOnceWith(dialogs, QStringLiteral("Документ № 0000000001")));
    EXPECT_EQ(EditCustForm->DBEdit1->Text(), QStringLiteral("Клиент 01"));
    EXPECT_EQ(ChosenCustomer(), QStringLiteral("Клиент 01"));
    EXPECT_EQ(ListedDocuments(), QStringList{Number(1)});
    EXPECT_EQ(EditCustForm->TotalLabel->text(), QStringLiteral("0 лв."));
    // Typing edits the customer shown.
    EditCustForm->DBEdit2->setFocus();
    QTest::keyClicks(EditCustForm->DBEdit2, QStringLiteral("Client One"));
    EditCustForm->OKButton->click();
    EXPECT_EQ(testsupport::QueryRows(defaultFile, "select company2 from customer where custno = 1"),
              QStringList{QStringLiteral("Client One")});

    // The navigator's next customer (Клиент 14 АД) is the list's chosen row too.
    CustForm->Button3->click();
    QTest::mouseClick(EditCustForm->DBNavigator->Button(platform::NavigateBtn::Next), Qt::LeftButton);
    EXPECT_EQ(EditCustForm->DBEdit1->Text(), QStringLiteral("Клиент 14 АД"));
    EXPECT_EQ(ChosenCustomer(), EditCustForm->DBEdit1->Text());
    EXPECT_EQ(ListedDocuments(), QStringList{Number(2)});
    // The list's up arrow: its new row's customer and documents, in the card as well.
    PressIn(list->View(), Qt::Key_Up);
    EXPECT_EQ(ChosenCustomer(), QStringLiteral("Клиент 07"));
    EXPECT_EQ(ListedDocuments(), QStringList{Number(3)});
    EXPECT_EQ(EditCustForm->DBEdit1->Text(), QStringLiteral("Клиент 07"));
    EXPECT_EQ(EditCustForm->TotalLabel->text(), QStringLiteral("30 лв."));
}

// A number counts once within its title's counter group: a proforma stored
// first hides no invoice of the same number. The same invoice number from two
// own firms is listed and counted once, the first stored.
TEST_F(Registers, AProformaHidesNoInvoiceOfTheSameNumberFromTheCustomer) {
    AddCustomer(1, QStringLiteral("Клиент"), QStringLiteral("123"));
    Add({Number(20), "ПРОФОРМА ФАКТУРА", "Фирма А", "50.00"});
    Add({Number(20), "ФАКТУРА", "Фирма А", "120.00", "11.03.2013 г.", "True"});
    Add({Number(21), "ФАКТУРА", "Фирма А", "30"});
    Add({Number(21), "ФАКТУРА", "Фирма Б", "700"});
    Add({Number(20), "Кредитно известие", "Фирма Б", "5"});  // the invoices' 20 again
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    platform::ScriptedDialogs dialogs;
    QTest::mouseClick(Main->SpeedButton7, Qt::LeftButton);
    ASSERT_TRUE(CustForm->Visible());
    platform::StringGrid* documents = CustForm->StringGrid1;
    QStringList listed;
    for (int r = 1; r < documents->RowCount(); ++r)
        listed << documents->Cell(1, r) + u' ' + documents->Cell(2, r) + u' ' + documents->Cell(0, r) + u' ' +
                      documents->Cell(4, r);
    EXPECT_EQ(listed, QStringList({QStringLiteral("0000000020 ПРОФОРМА ФАКТУРА Фирма А 50.00"),
                                   QStringLiteral("0000000020 ФАКТУРА Фирма А 120.00"),
                                   QStringLiteral("0000000021 ФАКТУРА Фирма А 30")}));
    QTest::mouseClick(CustForm->Button3, Qt::LeftButton);
    ASSERT_TRUE(EditCustForm->Visible());
    EXPECT_EQ(EditCustForm->TotalLabel->text(), QStringLiteral("150 лв."));  // 120 + 30
    EXPECT_TRUE(dialogs.Shown().empty());
}

// Down on the last customer, End, or a click under the list: the rows there
// hold no customer, and the last customer stays chosen, as the card and the
// documents show it.
TEST_F(Registers, TheLastCustomerStaysChosenBelowTheList) {
    AddCustomer(1, QStringLiteral("Клиент 01"), QStringLiteral("101"));
    AddCustomer(14, QStringLiteral("Клиент 14 АД"), QStringLiteral("114"));
    AddCustomer(7, QStringLiteral("Клиент 07"), QStringLiteral("107"));
    // Customers stored without a number, as an empty card's "OK" stores them: on no row.
    testsupport::ExecuteOn(defaultFile, "insert into customer (pnom, company1) values ('n1', 'Без номер')");
    testsupport::ExecuteOn(defaultFile, "insert into customer (pnom) values ('n2')");
    Add({Number(2), "ФАКТУРА", "Фирма А", "60", "10.03.2013 г.", "False", "False", "114"});
    Add({Number(3), "ФАКТУРА", "Фирма А", "30", "10.03.2013 г.", "False", "False", "107"});
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    platform::ScriptedDialogs dialogs;
    QTest::mouseClick(Main->SpeedButton7, Qt::LeftButton);
    platform::StringGrid* list = CustForm->StringGrid2;
    ASSERT_EQ(list->RowCount(), 6);  // two rows under the list
    QWidget* rows = list->View()->viewport();
    const auto clickRow = [&](int r) {
        QTest::mouseClick(rows, Qt::LeftButton, {}, rows->mapFrom(list, list->CellRect(1, r).center()));
    };
    clickRow(3);
    ASSERT_EQ(ChosenCustomer(), QStringLiteral("Клиент 14 АД"));
    const auto lastCustomerShown = [&] {
        EXPECT_EQ(list->Row(), 3);
        EXPECT_EQ(ChosenCustomer(), QStringLiteral("Клиент 14 АД"));
        EXPECT_EQ(ListedDocuments(), QStringList{Number(2)});
        EXPECT_EQ(DataModule1->cust.FieldByName(QStringLiteral("Company1")).AsString(), QStringLiteral("Клиент 14 АД"));
    };
    PressIn(list->View(), Qt::Key_Down);
    lastCustomerShown();
    PressIn(list->View(), Qt::Key_Down);
    lastCustomerShown();
    PressIn(list->View(), Qt::Key_End);
    lastCustomerShown();
    clickRow(5);
    lastCustomerShown();
    QTest::mouseClick(CustForm->Button3, Qt::LeftButton);  // "Редактирай"
    EXPECT_EQ(EditCustForm->DBEdit1->Text(), QStringLiteral("Клиент 14 АД"));
    EXPECT_EQ(EditCustForm->TotalLabel->text(), QStringLiteral("60 лв."));
    // Up goes on from the last customer.
    EditCustForm->close();
    PressIn(list->View(), Qt::Key_Up);
    EXPECT_EQ(ChosenCustomer(), QStringLiteral("Клиент 07"));
    EXPECT_EQ(ListedDocuments(), QStringList{Number(3)});
    EXPECT_TRUE(dialogs.Shown().empty());
}

// Every column of the customer's documents fits inside the grid with its whole
// text, also when the rows need the vertical scroll bar.
TEST_F(Registers, TheCustomersDocumentsFitTheGrid) {
    AddCustomer(1, QStringLiteral("Клиент"), QStringLiteral("123"));
    for (int n = 1; n <= 30; ++n)
        Add({Number(n), n % 3 ? "ФАКТУРА" : "ПРОФОРМА ФАКТУРА", "Фирма А", "12345.60", "07.12.2026 г."});
    testsupport::WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), {});
    platform::ScriptedDialogs dialogs;
    Main->SpeedButton7->click();
    QTest::qWait(0);  // the grid's scroll bars are laid out
    platform::StringGrid* documents = CustForm->StringGrid1;
    ASSERT_EQ(documents->RowCount(), 31);
    QTableView* view = documents->View();
    EXPECT_TRUE(view->verticalScrollBar()->isVisible());
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
    const int viewportRight = view->viewport()->mapTo(documents, QPoint(view->viewport()->width(), 0)).x();
    EXPECT_LE(documents->CellRect(4, 1).right() + 1, viewportRight);
    const QFontMetrics metrics(view->font());
    const auto whole = [&](int c, int r) {
        return metrics.horizontalAdvance(documents->Cell(c, r)) <= documents->ColWidth(c) - 4;
    };
    for (int r = 0; r < documents->RowCount(); ++r)  // the number, the date and the amount whole
        for (int c : {1, 3, 4}) EXPECT_TRUE(whole(c, r)) << "column " << c << ", row " << r;
    EXPECT_TRUE(whole(0, 0) && whole(0, 1) && whole(2, 0) && whole(2, 1));  // the headers, the supplier, "ФАКТУРА"
    EXPECT_EQ(documents->Cell(3, 1), QStringLiteral("07.12.2026 г."));
}

}  // namespace
