// The employees window in the running program: a new row nobody typed into
// leaves no record, an employee without a number is stored, delete asks first.

#include "data/DataModule.h"
#include "platform/Dialogs.h"
#include "platform/Handlers.h"
#include "registers/Employees.h"
#include "support/programtest.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using platform::NavigateBtn;
using testsupport::QueryRows;

class Employees : public testsupport::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        testsupport::ExecuteOn(defaultFile, "insert into employee (pnom, num, name1) values ('e1', 1, 'Иван')");
        Start();
        Emp->Show();
    }
    platform::ScriptedDialogs dialogs;
};

TEST_F(Employees, TheGridAndNavigatorKeepTheEmployees) {
    EXPECT_EQ(Emp->DBGrid1->CellText(0, 1), "Иван");

    // Insert, then away without typing: no record.
    platform::Click(Emp->DBNavigator1->Button(NavigateBtn::Insert));
    EXPECT_EQ(Emp->DBGrid1->model()->rowCount(), 2);
    platform::Click(Emp->DBNavigator1->Button(NavigateBtn::Last));
    EXPECT_EQ(Emp->DBGrid1->model()->rowCount(), 1);

    // Insert, type a name only, post: stored with a key and no number.
    platform::Click(Emp->DBNavigator1->Button(NavigateBtn::Insert));
    Emp->DBGrid1->model()->setData(Emp->DBGrid1->model()->index(Emp->DBGrid1->CurrentRow(), 1), "Мария");
    platform::Click(Emp->DBNavigator1->Button(NavigateBtn::Post));
    EXPECT_EQ(QueryRows(defaultFile, "select num, name1 from employee where pnom <> '' order by name1"),
              (QStringList{"1|Иван", "<null>|Мария"}));

    // Delete asks; "Cancel" keeps the employee.
    platform::Click(Emp->DBNavigator1->Button(NavigateBtn::Delete));
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(QueryRows(defaultFile, "select count(*) from employee"), QStringList{"2"});
}

// Typing into a cell replaces its text, from the first key on.
TEST_F(Employees, TypingIntoACellReplacesItsText) {
    DataModule1->employee.Append();
    DataModule1->employee.FieldByName("NAME1").SetAsString("Bob");
    DataModule1->employee.Post();
    DataModule1->employee.Append();
    DataModule1->employee.FieldByName("NAME1").SetAsString("Ivan");
    DataModule1->employee.Post();
    QApplication::setActiveWindow(Emp);
    platform::DBGrid* grid = Emp->DBGrid1;
    const auto typeIntoCell = [grid](int row, const QString& text) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        testsupport::TypeKeys(grid, text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::mouseClick(Emp->DBNavigator1->Button(NavigateBtn::Post), Qt::LeftButton);
    };
    const auto names = [this] {
        QStringList rows = QueryRows(defaultFile, "select name1 from employee");
        rows.sort();
        return rows;
    };
    ASSERT_EQ(grid->CellText(1, 1), "Bob");
    ASSERT_EQ(grid->CellText(2, 1), "Ivan");

    typeIntoCell(2, QStringLiteral("Петър"));
    EXPECT_EQ(names(), (QStringList{"Bob", "Иван", "Петър"}));
    typeIntoCell(1, QStringLiteral("н"));
    EXPECT_EQ(names(), (QStringList{"Иван", "Петър", "н"}));
    EXPECT_EQ(grid->CellText(1, 1), "н");
    EXPECT_EQ(grid->CellText(2, 1), "Петър");
    EXPECT_TRUE(dialogs.Shown().empty());
}

}  // namespace
