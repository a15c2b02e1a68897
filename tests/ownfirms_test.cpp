// The own firms window in the running program: typing is kept by "OK" only,
// every save gives the record a new key, the English tab and its logo, logos
// from files and the built-in one, the one bank list.

#include "data/DataModule.h"
#include "platform/Dialogs.h"
#include "platform/Handlers.h"
#include "platform/SystemClock.h"
#include "registers/OwnFirms.h"
#include "support/programtest.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using testsupport::ExecuteOn;
using testsupport::QueryRows;

class OwnFirms : public testsupport::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ExecuteOn(defaultFile, "insert into firm (pnom, supplier1, invoiceno) values ('k1', 'Алфа', '0000000003')");
        ExecuteOn(defaultFile, "insert into firm (pnom, supplier1, invoiceno) values ('k2', 'Бета', '0000000010')");
        ExecuteOn(defaultFile, "insert into details (pnom, bank) values ('b1', 'ОББ')");
        Start();
        platform::SetFixedClock(QDateTime(QDate(2013, 3, 5), QTime(9, 7, 3, 45), Qt::UTC));
        FillFirm->Show();
        DataModule1->firm.SetRecNo(1);
    }
    void TearDown() override {
        platform::SetFixedClock(std::nullopt);
        ProgramTest::TearDown();
    }
    static void Type(QLineEdit* edit, const QString& latinText) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, latinText);
    }
    // Rows with a key given now read "key" in its place (the clock stands still, the keys step on).
    static QStringList Keyed(QStringList rows) {
        static const QRegularExpression now(QStringLiteral("^5\\.3\\.2013 9:7:3\\.\\d+\\|"));
        for (QString& row : rows) row.replace(now, QStringLiteral("key|"));
        return rows;
    }
    QStringList Firms() {
        return Keyed(QueryRows(defaultFile, "select pnom, supplier1, invoiceno from firm order by supplier1"));
    }
    platform::ScriptedDialogs dialogs;
};

TEST_F(OwnFirms, TypingIsKeptByOkOnlyAndEverySaveGivesANewKey) {
    EXPECT_EQ(FillFirm->DBEdit1->Text(), "Алфа");

    // Typed, then the close box: dropped.
    Type(FillFirm->DBEdit7, "0000000042");
    FillFirm->close();
    EXPECT_EQ(Firms(), (QStringList{"k1|Алфа|0000000003", "k2|Бета|0000000010"}));
    EXPECT_EQ(FillFirm->DBEdit7->Text(), "0000000003");

    // Typed, then "OK": stored, both current records with a new key.
    FillFirm->Show();
    Type(FillFirm->DBEdit7, "0000000042");
    platform::Click(FillFirm->OKButton);
    EXPECT_FALSE(FillFirm->isVisible());
    EXPECT_EQ(Firms(), (QStringList{"key|Алфа|0000000042", "k2|Бета|0000000010"}));
    EXPECT_EQ(Keyed(QueryRows(defaultFile, "select pnom, bank from details")), QStringList{"key|ОББ"});

    // A click on a firm in the list re-saves it with a key; the bank list stays.
    FillFirm->Show();
    ASSERT_TRUE(FillFirm->DBGrid1->ClickCell(1, 0));
    EXPECT_EQ(Firms()[1], "key|Бета|0000000010");
    EXPECT_EQ(FillFirm->DBEdit10->Text(), "ОББ");
    EXPECT_EQ(FillFirm->DBGrid3->model()->rowCount(), 1);

    // "Cancel" drops typing.
    Type(FillFirm->DBEdit10, "DSK");
    platform::Click(FillFirm->CancelButton);
    EXPECT_EQ(QueryRows(defaultFile, "select bank from details"), QStringList{"ОББ"});
}

TEST_F(OwnFirms, LogosGoIntoTheShownLanguagesColumnAndABadFileChangesNothing) {
    FillFirm->TabControl1->setCurrentIndex(1);
    EXPECT_EQ(QStringList({FillFirm->Label1->text(), FillFirm->Label4->text()}), QStringList({"Supplier", "Place of publishment"}));
    EXPECT_TRUE(FillFirm->DBEdit12->isVisible() && FillFirm->LOGO2->isVisible());

    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QString png = home.File("logo.png");
    ASSERT_TRUE(picture.save(png));
    dialogs.Answer(platform::DialogResponse::Path(png));
    platform::Click(FillFirm->SpeedButton1);
    EXPECT_EQ(QueryRows(defaultFile, "select octet_length(logo2), logo from firm where supplier1 = 'Алфа'"),
              QStringList{QString::number(testsupport::ReadFile(png).size()) + "|<null>"});

    // Cancelled dialog, then a file that is no picture: nothing changes.
    const auto logos = [this] { return QueryRows(defaultFile, "select pnom, octet_length(logo2) from firm order by supplier1"); };
    const QStringList before = logos();
    platform::Click(FillFirm->SpeedButton1);
    testsupport::WriteFile(home.File("bad.bmp"), QByteArray("BM") + QByteArray(100, 'x'));
    dialogs.Answer(platform::DialogResponse::Path(home.File("bad.bmp")));
    EXPECT_THROW(platform::Click(FillFirm->SpeedButton1), platform::EConvertError);
    EXPECT_EQ(DataModule1->firm.GetState(), data::DataSet::State::Browse);
    EXPECT_EQ(logos(), before);

    // Back on the Bulgarian tab, the built-in logo goes into LOGO.
    FillFirm->TabControl1->setCurrentIndex(0);
    EXPECT_EQ(FillFirm->Label1->text(), "ДОСТАВЧИК");
    EXPECT_FALSE(FillFirm->LOGO2->isVisible());
    platform::Click(FillFirm->SpeedButton2);
    DataModule1->firm.Refresh();
    EXPECT_EQ(DataModule1->firm.FieldByName("LOGO").AsBytes(), TFillFirm::BuiltInLogo());
    EXPECT_EQ(FillFirm->LOGO->Picture().size(), QSize(105, 91));
}

// "OK" is the default button and "Cancel" the cancel button, also while the
// list of firms has the focus, as it has when the window opens.
TEST_F(OwnFirms, EnterAndEscapeWorkFromTheListOfFirms) {
    Type(FillFirm->DBEdit7, "0000000042");
    FillFirm->DBGrid1->setFocus();
    QTest::keyClick(FillFirm->DBGrid1, Qt::Key_Escape);
    EXPECT_FALSE(FillFirm->isVisible());
    EXPECT_EQ(Firms(), (QStringList{"k1|Алфа|0000000003", "k2|Бета|0000000010"}));

    FillFirm->Show();
    Type(FillFirm->DBEdit7, "0000000042");
    FillFirm->DBGrid1->setFocus();
    QTest::keyClick(FillFirm->DBGrid1, Qt::Key_Return);
    EXPECT_FALSE(FillFirm->isVisible());
    EXPECT_EQ(Firms(), (QStringList{"key|Алфа|0000000042", "k2|Бета|0000000010"}));

    // The bank list and an edit alike.
    FillFirm->Show();
    Type(FillFirm->DBEdit10, "DSK");
    FillFirm->DBGrid3->setFocus();
    QTest::keyClick(FillFirm->DBGrid3, Qt::Key_Escape);
    EXPECT_FALSE(FillFirm->isVisible());
    FillFirm->Show();
    Type(FillFirm->DBEdit10, "DSK");
    QTest::keyClick(FillFirm->DBEdit10, Qt::Key_Return);
    EXPECT_EQ(QueryRows(defaultFile, "select bank from details"), QStringList{"DSK"});
    EXPECT_TRUE(dialogs.Shown().empty());
}

// Typing into a cell of the list of firms or of banks replaces its text,
// from the first key on.
TEST_F(OwnFirms, TypingIntoTheListsCellsReplacesTheirText) {
    QApplication::setActiveWindow(FillFirm);
    const auto typeIntoCell = [](platform::DBGrid* grid, int row, const QString& text) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        testsupport::TypeKeys(grid, text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    ASSERT_EQ(FillFirm->DBGrid1->CellText(0, 0), "Алфа");
    typeIntoCell(FillFirm->DBGrid1, 0, QStringLiteral("Гама"));
    typeIntoCell(FillFirm->DBGrid3, 0, QStringLiteral("ДСК"));
    QTest::mouseClick(FillFirm->OKButton, Qt::LeftButton);
    EXPECT_FALSE(FillFirm->isVisible());
    EXPECT_EQ(QueryRows(defaultFile, "select supplier1 from firm order by supplier1"), (QStringList{"Бета", "Гама"}));
    EXPECT_EQ(QueryRows(defaultFile, "select bank from details"), QStringList{"ДСК"});
    EXPECT_TRUE(dialogs.Shown().empty());
}

}  // namespace
