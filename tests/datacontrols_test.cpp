// Data-aware controls over the data module's data sets on a real database:
// they follow the current record, typing edits it, code writes only into a
// record being edited, the grid posts and drops new rows as users expect, the
// navigator asks before deleting, pictures keep their file bytes.

#include "data/DataModule.h"
#include "platform/DataControls.h"
#include "platform/Dialogs.h"
#include "platform/Handlers.h"
#include "support/testdatabase.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using platform::NavigateBtn;
using testsupport::QueryRows;

class DataControls : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureApplication();
        file = testsupport::CreateSchemaDatabase(folder.Path());
        dm.ConnectFirebird(folder.Path());
    }
    void AddRow(data::DataSet& ds, const QString& field, const QString& text) {
        ds.Append();
        ds.FieldByName(field).SetAsString(text);
        ds.Post();
    }
    testsupport::TempFolder folder;
    QString file;
    TDataModule1 dm;
    platform::ScriptedDialogs dialogs;
};

TEST_F(DataControls, ControlsFollowTheCurrentRecordUntilDetached) {
    for (const QString name : {"Алфа", "Бета", "Гама"}) AddRow(dm.firm, "Supplier1", name);
    platform::DBText text;
    platform::DBEdit edit;
    platform::DBCtrlGrid ctrlGrid;
    int changes = 0;
    text.OnChange = [&] { ++changes; };
    text.SetDataSource(&dm.DataSource2);
    text.SetDataField("Supplier1");
    edit.SetDataSource(&dm.DataSource2);
    edit.SetDataField("SUPPLIER1");
    ctrlGrid.SetDataSource(&dm.DataSource2);
    EXPECT_EQ(text.Text(), "Гама");  // the last posted row is current

    dm.firm.SetRecNo(1);
    EXPECT_EQ(text.Text(), "Алфа");
    EXPECT_EQ(edit.Text(), "Алфа");
    EXPECT_EQ(changes, 2);
    testsupport::ExecuteOn(file, "update firm set supplier1 = 'Алфа 2' where supplier1 = 'Алфа'");
    dm.firm.Refresh();
    EXPECT_EQ(edit.Text(), "Алфа 2");
    dm.firm.Edit();
    dm.firm.FieldByName("Supplier1").SetAsString("Алфа ЕООД");
    EXPECT_EQ(text.Text(), "Алфа ЕООД");
    dm.firm.Cancel();
    EXPECT_EQ(edit.Text(), "Алфа 2");

    // A quiet walk, nested or left by an error, tells the controls once of where it ended.
    changes = 0;
    {
        const data::QuietWalk walk(dm.firm);
        for (int i = 1; i <= 3; ++i) {
            const data::QuietWalk inner(dm.firm);
            dm.firm.SetRecNo(i);
        }
        EXPECT_EQ(edit.Text(), "Алфа 2");
    }
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(text.Text(), "Гама");
    try {
        const data::QuietWalk walk(dm.firm);
        dm.firm.SetRecNo(2);
        dm.firm.FieldByName("NoSuchField");
    } catch (const data::DatabaseError&) {
    }
    EXPECT_EQ(edit.Text(), "Бета");
    EXPECT_EQ(changes, 2);

    // Detached: the walk does not reach the control grid; attached again it follows.
    ctrlGrid.SetDataSource(nullptr);
    const int seen = ctrlGrid.ChangesSeen();
    for (int i = 3; i >= 1; --i) dm.firm.SetRecNo(i);
    EXPECT_EQ(ctrlGrid.ChangesSeen(), seen);
    ctrlGrid.SetDataSource(&dm.DataSource6);
    dm.store.Refresh();
    EXPECT_GT(ctrlGrid.ChangesSeen(), seen);

    text.SetDataSource(nullptr);
    EXPECT_EQ(text.Text(), "");
    dm.DataModuleDestroy();  // sources disabled, data sets closed
    EXPECT_EQ(edit.Text(), "");
}

TEST_F(DataControls, TypingEditsTheRecordWhileCodeWritesOnlyIntoAnEditedOne) {
    AddRow(dm.firm, "InvoiceNo", "0000000005");
    const QString keyBefore = dm.firm.FieldByName("pnom").AsString();
    platform::DBEdit edit;
    platform::DBMemo memo;
    int changes = 0;
    edit.OnChange = [&] { ++changes; };
    edit.SetDataSource(&dm.DataSource2);
    edit.SetDataField("InvoiceNo");
    memo.SetDataSource(&dm.DataSource2);
    memo.SetDataField("Address1");
    EXPECT_EQ(edit.maxLength(), 10);

    // Set in code while browsing: shown and handled, the record untouched.
    changes = 0;
    edit.SetText("7");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(dm.firm.GetState(), data::DataSet::State::Browse);
    EXPECT_EQ(dm.firm.FieldByName("InvoiceNo").AsString(), "0000000005");
    dm.firm.SetRecNo(1);
    EXPECT_EQ(edit.Text(), "0000000005");

    // Typed: the record goes into Edit and the post stores it.
    edit.setFocus();
    edit.setCursorPosition(10);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, "9");
    EXPECT_EQ(dm.firm.GetState(), data::DataSet::State::Edit);
    EXPECT_EQ(dm.firm.FieldByName("InvoiceNo").AsString(), "0000000009");
    // Set in code while editing: written, line ends kept.
    memo.SetText("ул. „Шипка“ 1\r\nСофия");
    dm.firm.Post();
    EXPECT_EQ(QueryRows(file, "select invoiceno, address1 from firm"), QStringList{"0000000009|ул. „Шипка“ 1\r\nСофия"});
    EXPECT_NE(dm.firm.FieldByName("pnom").AsString(), keyBefore);
    EXPECT_EQ(memo.Text(), "ул. „Шипка“ 1\r\nСофия");

    // Typed into the memo: Edit, and new lines end in CR LF.
    memo.moveCursor(QTextCursor::End);
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, "BG");
    EXPECT_EQ(dm.firm.GetState(), data::DataSet::State::Edit);
    EXPECT_EQ(dm.firm.FieldByName("Address1").AsString(), "ул. „Шипка“ 1\r\nСофия\r\nBG");
}

TEST_F(DataControls, GridPostsOnRowChangeDropsUntouchedNewRowsAndConfirmsDelete) {
    for (const QString name : {"Иван", "Мария"}) AddRow(dm.employee, "Name1", name);
    QWidget window;
    auto* grid = new platform::DBGrid(&window);
    auto* other = new QLineEdit(&window);
    grid->SetColumnsText("NUM:No:40;NAME1:Име:120");
    grid->SetDataSource(&dm.DataSource5);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(grid->columnWidth(0), 40);
    EXPECT_EQ(grid->CurrentRow(), 1);

    // A cell edit is posted when another row becomes current.
    ASSERT_TRUE(grid->ClickCell(0, 1));
    grid->model()->setData(grid->model()->index(0, 1), "Иван Петров");
    EXPECT_EQ(dm.employee.GetState(), data::DataSet::State::Edit);
    ASSERT_TRUE(grid->ClickCell(1, 1));
    EXPECT_EQ(QueryRows(file, "select name1 from employee order by name1"), (QStringList{"Иван Петров", "Мария"}));

    // A number column refuses a text: the error is shown, the record unchanged.
    grid->model()->setData(grid->model()->index(1, 0), "abc");
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].kind, platform::DialogKind::Exception);

    // New rows nobody typed into vanish: moving to another row, leaving the grid.
    dm.employee.Cancel();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Insert);
    EXPECT_EQ(grid->model()->rowCount(), 3);
    ASSERT_TRUE(grid->ClickCell(2, 0));  // the row below the new one, which moves up
    EXPECT_EQ(dm.employee.RecordCount(), 2);
    EXPECT_EQ(grid->CurrentRow(), 1);
    QTest::keyClick(grid, Qt::Key_Down);  // on the last row: a new row
    EXPECT_EQ(dm.employee.GetState(), data::DataSet::State::Insert);
    other->setFocus();
    EXPECT_EQ(dm.employee.GetState(), data::DataSet::State::Browse);
    EXPECT_EQ(grid->model()->rowCount(), 2);

    // Ctrl+Delete asks first.
    grid->setFocus();
    dialogs.Clear();
    dialogs.Answer(platform::DialogResponse::Cancel());
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(dm.employee.RecordCount(), 2);
    dialogs.Answer(platform::DialogResponse::Ok());
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(QueryRows(file, "select name1 from employee"), QStringList{"Иван Петров"});
    EXPECT_EQ(dialogs.Shown()[0].text, "Да се изтрие ли записът?");
}

TEST_F(DataControls, NavigatorMovesPostsAndAsksBeforeDeleting) {
    for (const QString bank : {"ОББ", "ДСК", "УниКредит"}) AddRow(dm.details, "Bank", bank);
    platform::DBNavigator nav;
    nav.SetVisibleButtonsText("first,prior,next,insert,delete,post,refresh");
    nav.SetHintsText("Първи запис|Предишен запис|Следващ запис|Добави|Изтрий|Запази|Опресни");
    nav.SetDataSource(&dm.DataSource3);
    std::vector<NavigateBtn> clicked;
    nav.OnClick = [&](NavigateBtn b) { clicked.push_back(b); };
    EXPECT_EQ(nav.Button(NavigateBtn::Post)->toolTip(), "Запази");
    EXPECT_TRUE(nav.Button(NavigateBtn::Last)->isHidden());

    EXPECT_FALSE(nav.Button(NavigateBtn::Next)->isEnabled());  // on the last record
    EXPECT_FALSE(nav.Button(NavigateBtn::Post)->isEnabled());
    platform::Click(nav.Button(NavigateBtn::First));
    platform::Click(nav.Button(NavigateBtn::Next));
    EXPECT_EQ(dm.details.RecNo(), 2);
    nav.BtnClick(NavigateBtn::Insert);
    EXPECT_TRUE(nav.Button(NavigateBtn::Post)->isEnabled());
    dm.details.FieldByName("Bank").SetAsString("Пощенска");
    platform::Click(nav.Button(NavigateBtn::Post));
    EXPECT_EQ(dm.details.RecordCount(), 4);

    dialogs.Answer(platform::DialogResponse::Ok());
    platform::Click(nav.Button(NavigateBtn::Delete));
    EXPECT_EQ(dialogs.Shown().size(), 1u);  // asked first
    EXPECT_EQ(QueryRows(file, "select count(*) from details"), QStringList{"3"});
    EXPECT_EQ(clicked, (std::vector<NavigateBtn>{NavigateBtn::First, NavigateBtn::Next, NavigateBtn::Insert,
                                                 NavigateBtn::Post, NavigateBtn::Delete}));
}

TEST_F(DataControls, PicturesAreStoredAsTheBytesOfTheFileLoaded) {
    AddRow(dm.firm, "Supplier1", "Алфа");
    platform::DBImage image;
    image.SetDataSource(&dm.DataSource2);
    image.SetDataField("LOGO");
    QImage picture(31, 17, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (const char* format : {"bmp", "png", "jpg"}) {
        SCOPED_TRACE(format);
        const QString path = folder.File(QStringLiteral("logo.") + format);
        ASSERT_TRUE(picture.save(path, format));
        dm.firm.Edit();
        image.LoadFromFile(path);
        dm.firm.Post();
        dm.firm.Close();
        dm.firm.Open();
        EXPECT_EQ(dm.firm.FieldByName("LOGO").AsBytes(), testsupport::ReadFile(path));
        EXPECT_EQ(image.Picture().size(), QSize(31, 17));
    }
    // A bitmap from an old table's graphic field is stored without its header.
    const QByteArray bmp = testsupport::ReadFile(folder.File("logo.bmp"));
    QByteArray header("\x01\x00\x00\x01", 4);
    for (int shift = 0; shift < 32; shift += 8) header.append(static_cast<char>((bmp.size() >> shift) & 0xFF));
    dm.firm.Edit();
    image.SetPictureBytes(header + bmp);
    dm.firm.Post();
    EXPECT_EQ(dm.firm.FieldByName("LOGO").AsBytes(), bmp);

    // A damaged file: an error, the picture and the record as they were.
    const QByteArray stored = dm.firm.FieldByName("LOGO").AsBytes();
    testsupport::WriteFile(folder.File("bad.bmp"), "BM not a picture");
    dm.firm.Edit();
    EXPECT_THROW(image.LoadFromFile(folder.File("bad.bmp")), platform::EConvertError);
    EXPECT_THROW(image.LoadFromFile(folder.File("missing.png")), platform::EFileError);
    EXPECT_FALSE(dm.firm.Modified());
    EXPECT_EQ(image.PictureBytes(), stored);
}

}  // namespace
