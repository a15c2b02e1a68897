#include "platform/Application.h"
#include "platform/Exception.h"
#include "platform/StringGrid.h"
#include "ui_GridPromotionForm.h"

#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using platform::StringGrid;

void PressKey(QWidget* target, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

// Typing as a keyboard does it, one character a key event (any script).
void Type(QWidget* target, const QString& text) {
    for (QChar ch : text) PressKey(target, Qt::Key_unknown, QString(ch));
}

// The editor's line-item grid as the windows lay it out, editing and shown when told.
std::unique_ptr<StringGrid> LineItemGrid(bool editing = false, bool shown = true) {
    auto grid = std::make_unique<StringGrid>();
    grid->SetColCount(6);
    grid->SetRowCount(2);
    grid->SetFixedCols(0);
    grid->SetDefaultRowHeight(18);
    grid->SetColWidthsText("49,522,44,47,72,73");
    grid->resize(830, 200);
    const QStringList titles = {"Пор. №", "Наименование на стоките или услугите", "Мярка", "К-во", "Ед. цена", "Стойност"};
    for (int c = 0; c < 6; ++c) grid->SetCell(c, 0, titles[c]);
    grid->SetEditing(editing);
    grid->setVisible(shown);
    return grid;
}

// A plain shown grid of 16-pixel rows.
std::unique_ptr<StringGrid> ShownGrid(int cols, int rows) {
    auto grid = std::make_unique<StringGrid>();
    grid->SetColCount(cols);
    grid->SetRowCount(rows);
    grid->SetDefaultRowHeight(16);
    grid->resize(300, 200);
    grid->show();
    return grid;
}

QImage Rendered(StringGrid& grid) {
    QImage image(grid.size(), QImage::Format_RGB32);
    grid.render(&image);
    return image;
}

QColor PixelInCell(const QImage& image, const StringGrid& grid, int col, int row) {
    const QRect r = grid.CellRect(col, row);
    return image.pixelColor(r.right() - 2, r.bottom() - 2);  // a corner away from the text
}

QString Numbered(int c, int r) { return QString("%1/%2").arg(c).arg(r); }

TEST(StringGridTest, CellsKeepTheirTextsOnlyWithinTheGrid) {
    StringGrid grid;
    grid.SetColCount(4);
    grid.SetRowCount(6);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c) grid.SetCell(c, r, Numbered(c, r));
    // Writes outside the grid are dropped, and do not come back when it grows.
    for (auto [c, r] : std::vector<std::pair<int, int>>{{4, 0}, {0, 6}, {-1, 0}, {0, -1}, {10, 10}}) {
        grid.SetCell(c, r, "x");
        EXPECT_EQ(grid.Cell(c, r), "") << c << "," << r;
    }
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.RowCount(), 6);
    grid.ExchangeRows(1, 5);
    EXPECT_EQ(grid.RowTexts(1), QStringList({"0/5", "1/5", "2/5", "3/5"}));
    EXPECT_EQ(grid.RowTexts(5), QStringList({"0/1", "1/1", "2/1", "3/1"}));
    grid.ExchangeRows(1, 5);

    // Shrinking loses the outer cells; growing shows them empty.
    grid.SetRowCount(3);
    grid.SetColCount(2);
    grid.SetRowCount(7);
    grid.SetColCount(5);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(grid.Cell(c, r), (r < 3 && c < 2) ? Numbered(c, r) : QString()) << c << "," << r;

    // Whole rows: extra texts are dropped, missing ones read empty.
    grid.SetRowTexts(1, {"а", "б", "в", "г", "д", "е"});
    EXPECT_EQ(grid.RowTexts(1), QStringList({"а", "б", "в", "г", "д"}));
    grid.SetRowTexts(1, {"ж"});
    EXPECT_EQ(grid.RowTexts(1), QStringList({"ж", "", "", "", ""}));
    EXPECT_EQ(grid.RowTexts(99), QStringList());
    grid.ClearCells();
    EXPECT_EQ(grid.RowTexts(0), QStringList(5, QString()));
    EXPECT_EQ(grid.RowCount(), 7);
}

TEST(StringGridTest, FixedRowsAndColumnsStayBelowTheGridsSizeAndShrinkingMovesTheCurrentCell) {
    StringGrid grid;
    grid.SetRowCount(2);
    grid.SetColCount(3);
    try {
        grid.SetFixedRows(2);
        FAIL() << "accepted";
    } catch (const platform::Exception& e) {
        EXPECT_TRUE(e.Message().contains("фиксираните редове")) << e.Message().toStdString();
    }
    EXPECT_THROW(grid.SetFixedCols(3), platform::Exception);
    EXPECT_THROW(grid.SetFixedRows(-1), platform::Exception);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.FixedCols(), 1);

    // One row leaves no fixed row; the fixed row comes back after growing.
    grid.SetRowCount(1);
    EXPECT_EQ(grid.FixedRows(), 0);
    EXPECT_EQ(grid.Row(), 0);
    grid.SetRowCount(grid.RowCount() + 1);
    grid.SetFixedRows(1);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.Row(), 1);
    grid.SetRowCount(0);
    EXPECT_EQ(grid.RowCount(), 1);

    // Shrinking past the current cell moves it to the last row or column, and
    // fixed columns push it off them, without asking the handler.
    grid.SetRowCount(10);
    grid.SetRow(8);
    int asked = 0;
    grid.OnSelectCell = [&](int, int, bool&) { ++asked; };
    grid.SetRowCount(4);
    EXPECT_EQ(grid.Row(), 3);
    grid.SetFixedCols(0);
    grid.SetCol(0);
    grid.SetFixedCols(2);
    EXPECT_EQ(grid.Col(), 2);
    grid.SetColCount(1);
    EXPECT_EQ(grid.FixedCols(), 0);
    EXPECT_EQ(grid.Col(), 0);
    EXPECT_EQ(asked, 1);  // only the explicit SetCol
}

TEST(StringGridTest, MovingTheCurrentCellAsksTheHandlerFirstAndMayBeRefused) {
    StringGrid grid;
    grid.SetColCount(6);
    grid.SetRowCount(4);
    std::vector<std::tuple<int, int, int, int>> asked;  // target col, row; current col, row while asking
    bool allow = true;
    int clicks = 0;
    grid.OnSelectCell = [&](int col, int row, bool& canSelect) {
        asked.emplace_back(col, row, grid.Col(), grid.Row());
        canSelect = allow;
    };
    grid.OnClick = [&] { ++clicks; };

    grid.SetCol(5);
    grid.SetRow(2);
    EXPECT_EQ(asked, (std::vector<std::tuple<int, int, int, int>>{{5, 1, 1, 1}, {5, 2, 5, 1}}));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(grid.Col(), 5);
    EXPECT_EQ(grid.Row(), 2);

    asked.clear();
    grid.SetRow(2);  // already there: nothing runs
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(grid.SetCurrentCell(5, 2));  // an explicit move asks even so
    EXPECT_EQ(asked.size(), 1u);

    allow = false;
    EXPECT_FALSE(grid.SetCurrentCell(3, 3));
    grid.SetRow(1);
    EXPECT_EQ(grid.Col(), 5);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(clicks, 3);

    allow = true;
    asked.clear();
    for (auto [c, r] : std::vector<std::pair<int, int>>{{5, 0}, {0, 2}, {6, 1}, {1, 4}, {-1, -1}})
        EXPECT_FALSE(grid.SetCurrentCell(c, r)) << c << "," << r;
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(grid.Row(), 2);
}

TEST(StringGridTest, ArrowKeysMoveThroughTheHandlerWhichMayAddARowFirst) {
    auto grid = LineItemGrid();
    QWidget* view = grid->View();
    std::vector<std::pair<int, int>> ups;
    // As the line-item window does: Down on the last row adds a row when it is not empty.
    grid->OnKeyDown = [&](int& key, Qt::KeyboardModifiers) {
        if (key != Qt::Key_Down) return;
        if (grid->Row() == grid->RowCount() - 1 && !grid->Cell(1, grid->Row()).isEmpty())
            grid->SetRowCount(grid->RowCount() + 1);
    };
    grid->OnKeyUp = [&](int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Up) ups.emplace_back(grid->Col(), grid->Row());
    };
    grid->SetCurrentCell(1, 1);

    PressKey(view, Qt::Key_Down);  // last row is empty: nothing to go to
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->Row(), 1);

    grid->SetCell(1, 1, "Услуга");
    PressKey(view, Qt::Key_Down);
    EXPECT_EQ(grid->RowCount(), 3);
    EXPECT_EQ(grid->Row(), 2);

    PressKey(view, Qt::Key_Up);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(ups, (std::vector<std::pair<int, int>>{{1, 1}}));  // the key goes up after the move
    PressKey(view, Qt::Key_Up);  // row 0 is fixed
    EXPECT_EQ(grid->Row(), 1);

    PressKey(view, Qt::Key_Right);
    EXPECT_EQ(grid->Col(), 2);
    PressKey(view, Qt::Key_End);
    EXPECT_EQ(grid->Col(), 5);
    PressKey(view, Qt::Key_Home);
    EXPECT_EQ(grid->Col(), 0);

    bool allow = false;
    grid->OnSelectCell = [&](int, int, bool& canSelect) { canSelect = allow; };
    PressKey(view, Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 1);

    // A handler that takes the key away stops the grid's own move.
    allow = true;
    grid->OnKeyDown = [](int& key, Qt::KeyboardModifiers) { key = 0; };
    PressKey(view, Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 1);
}

TEST(StringGridTest, AClickChoosesACellButNotAFixedOne) {
    auto shown = ShownGrid(4, 5);
    StringGrid& grid = *shown;
    std::vector<std::pair<int, int>> asked;
    int clicks = 0, doubleClicks = 0;
    grid.OnSelectCell = [&](int c, int r, bool&) { asked.emplace_back(c, r); };
    grid.OnClick = [&] { ++clicks; };
    grid.OnDblClick = [&] { ++doubleClicks; };
    QWidget* viewport = grid.View()->viewport();
    auto centre = [&](int c, int r) { return viewport->mapFrom(&grid, grid.CellRect(c, r).center()); };

    QTest::mouseClick(viewport, Qt::LeftButton, {}, centre(2, 3));
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 3);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, centre(2, 0));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, centre(0, 2));
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 3);
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{2, 3}}));
    EXPECT_EQ(clicks, 1);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, centre(3, 4));
    EXPECT_EQ(grid.Row(), 4);
    EXPECT_EQ(doubleClicks, 1);
}

TEST(StringGridTest, TypingOpensTheEditorOnlyWhenEditingAndEveryKeystrokeReachesTheCellAtOnce) {
    auto grid = LineItemGrid();
    grid->SetCurrentCell(1, 1);
    grid->SetCell(1, 1, "стар текст");
    QStringList edits;
    grid->OnSetEditText = [&](int c, int r, const QString& text) {
        EXPECT_EQ(QPoint(c, r), QPoint(1, 1));
        EXPECT_EQ(grid->Cell(c, r), text);  // the handler reads the cell, as the type-ahead does
        edits << text;
    };
    int keyDowns = 0;
    grid->OnKeyDown = [&](int&, Qt::KeyboardModifiers) { ++keyDowns; };

    // Without editing, keys and editor requests change nothing.
    Type(grid->View(), "абв");
    grid->SetEditorMode(true);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cell(1, 1), "стар текст");
    EXPECT_TRUE(edits.isEmpty());

    grid->SetEditing(true);
    keyDowns = 0;
    Type(grid->View(), "Ж");  // the first key replaces the cell's text
    ASSERT_TRUE(grid->EditorMode());
    QLineEdit* editor = grid->InplaceEditor();
    ASSERT_NE(editor, nullptr);
    Type(editor, "ар");
    EXPECT_EQ(grid->Cell(1, 1), "Жар");
    EXPECT_EQ(edits, QStringList({"Ж", "Жа", "Жар"}));
    EXPECT_EQ(keyDowns, 3);

    // Enter closes the editor once: the event loop finds nothing more to
    // close (a second close used to write two warnings to the terminal).
    static QStringList warnings;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    PressKey(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings, QStringList());
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cell(1, 1), "Жар");
    EXPECT_EQ(edits.size(), 3);
}

TEST(StringGridTest, TheOpenEditorFollowsTheCellAndClosesOnAMoveKeepingTheText) {
    auto grid = LineItemGrid(true, false);
    grid->SetRowCount(3);
    grid->SetCurrentCell(5, 1);
    grid->SetCell(5, 1, "12,50");
    grid->SetEditorMode(true);  // before the window is shown
    EXPECT_TRUE(grid->EditorMode());
    grid->show();
    ASSERT_TRUE(grid->EditorMode());
    QLineEdit* editor = grid->InplaceEditor();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->text(), "12,50");

    int edits = 0;
    grid->OnSetEditText = [&](int, int, const QString&) { ++edits; };
    grid->SetCell(5, 1, "25,00");  // written in code: shown, no handler
    EXPECT_EQ(editor->text(), "25,00");
    EXPECT_EQ(edits, 0);

    editor->end(false);
    Type(editor, "1");
    EXPECT_EQ(grid->Cell(5, 1), "25,001");
    PressKey(editor, Qt::Key_Down);  // the editor hands the key to the grid
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cell(5, 1), "25,001");

    grid->SetEditorMode(true);
    Type(grid->InplaceEditor(), "x");
    PressKey(grid->InplaceEditor(), Qt::Key_Escape);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cell(5, 2), "x");  // what was typed stays in the cell
    EXPECT_EQ(edits, 2);

    // With AlwaysShowEditor the editor opens again on every new cell.
    grid->SetAlwaysShowEditor(true);
    grid->SetCurrentCell(3, 1);
    EXPECT_TRUE(grid->EditorMode());
    PressKey(grid->InplaceEditor(), Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_TRUE(grid->EditorMode());
}

TEST(StringGridTest, TheEditorPassesEveryKeyToTheKeyHandlerAndLeavesTheCellAtTheTextsEnds) {
    auto grid = LineItemGrid(true);
    grid->SetCurrentCell(2, 1);
    grid->SetCell(2, 1, "бр");
    grid->SetEditorMode(true);
    QLineEdit* editor = grid->InplaceEditor();
    ASSERT_NE(editor, nullptr);
    std::vector<int> keys;
    grid->OnKeyDown = [&](int& key, Qt::KeyboardModifiers) {
        keys.push_back(key);
        if (key == Qt::Key_unknown) key = 0;  // refuses typed characters
    };
    editor->setCursorPosition(1);
    PressKey(editor, Qt::Key_Left);  // inside the text: the cursor moves
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(editor->cursorPosition(), 0);
    Type(editor, "x");
    EXPECT_EQ(grid->Cell(2, 1), "бр");
    PressKey(editor, Qt::Key_Left);  // at the start: the grid moves
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(keys, (std::vector<int>{Qt::Key_Left, Qt::Key_unknown, Qt::Key_Left}));

    grid->OnKeyDown = nullptr;
    grid->SetEditorMode(true);
    Type(grid->InplaceEditor(), "ок");
    PressKey(grid->InplaceEditor(), Qt::Key_Right);  // at the end: the grid moves
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Cell(1, 1), "ок");
}

TEST(StringGridTest, ColumnWidthsAndRowHeightsGiveTheCellRectangles) {
    auto grid = LineItemGrid();
    const std::vector<int> widths = {49, 522, 44, 47, 72, 73};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(grid->ColWidth(c), widths[c]);
        EXPECT_EQ(grid->CellRect(c, 1).width(), widths[c]) << c;
        EXPECT_EQ(grid->CellRect(c, 1).height(), 18) << c;
    }
    // One pixel of grid line between neighbours.
    EXPECT_EQ(grid->CellRect(1, 1).left(), grid->CellRect(0, 1).left() + 50);
    EXPECT_EQ(grid->CellRect(1, 1).top(), grid->CellRect(1, 0).top() + 19);
    EXPECT_EQ(grid->ColWidthsText(), "49,522,44,47,72,73");
    EXPECT_EQ(grid->CellRect(6, 1), QRect());

    grid->SetColCount(7);
    EXPECT_EQ(grid->ColWidth(6), 64);
    grid->SetColWidth(1, 522 - 72);
    EXPECT_EQ(grid->CellRect(2, 1).left(), grid->CellRect(1, 1).left() + 451);
    grid->SetDefaultColWidth(30);  // resets every column
    EXPECT_EQ(grid->ColWidthsText(), "30,30,30,30,30,30,30");
    grid->SetDefaultRowHeight(24);
    EXPECT_EQ(grid->CellRect(0, 1).top(), grid->CellRect(0, 0).top() + 25);
    EXPECT_THROW(grid->SetColWidthsText("30,широка"), platform::Exception);

    // A hidden column keeps its data and the keys pass over it.
    grid->SetColWidth(3, -1);
    grid->SetColWidth(4, -1);
    grid->SetCell(4, 1, "17");
    EXPECT_EQ(grid->Cell(4, 1), "17");
    EXPECT_TRUE(grid->View()->isColumnHidden(4));
    grid->SetCurrentCell(2, 1);
    PressKey(grid->View(), Qt::Key_Right);
    EXPECT_EQ(grid->Col(), 5);
}

TEST(StringGridTest, FixedCellsLookLikeAHeaderAndStayInPlaceWhileTheRowsScroll) {
    auto shown = ShownGrid(4, 300);
    StringGrid& grid = *shown;
    const QColor button = grid.palette().color(QPalette::Button);
    const QColor base = grid.palette().color(QPalette::Base);
    const QColor highlight = grid.palette().color(QPalette::Highlight);
    grid.SetCurrentCell(2, 2);
    QImage image = Rendered(grid);
    EXPECT_EQ(PixelInCell(image, grid, 1, 0), button);
    EXPECT_EQ(PixelInCell(image, grid, 0, 1), button);
    EXPECT_EQ(PixelInCell(image, grid, 1, 1), base);
    EXPECT_EQ(PixelInCell(image, grid, 2, 2), highlight);

    const QRect titleBefore = grid.CellRect(2, 0);
    grid.SetCurrentCell(1, 299);  // scrolls to the last row
    const QRect last = grid.CellRect(2, 299);
    EXPECT_EQ(grid.CellRect(2, 0), titleBefore);
    EXPECT_EQ(grid.CellRect(0, 299).top(), last.top());
    EXPECT_GT(last.top(), titleBefore.bottom());
    EXPECT_LE(last.bottom(), grid.height());
    image = Rendered(grid);
    EXPECT_EQ(PixelInCell(image, grid, 2, 0), button);
    EXPECT_EQ(PixelInCell(image, grid, 0, 299), button);
    EXPECT_EQ(PixelInCell(image, grid, 1, 299), highlight);
    EXPECT_EQ(PixelInCell(image, grid, 2, 299), base);
    // The first data row lies just under the title row again after scrolling back.
    grid.SetRow(1);
    EXPECT_EQ(grid.CellRect(2, 1).top(), titleBefore.top() + 17);

    // RowSelect marks the whole row and ignores sideways keys.
    grid.SetRowSelect(true);
    grid.SetRow(2);
    PressKey(grid.View(), Qt::Key_Right);
    EXPECT_EQ(grid.Col(), 1);
    image = Rendered(grid);
    for (int c = 1; c < 4; ++c) EXPECT_EQ(PixelInCell(image, grid, c, 2), highlight) << c;
    EXPECT_NE(PixelInCell(image, grid, 1, 3), highlight);

    // A disabled grid (the printed page's) paints its text as an enabled one
    // does, without a current-cell mark.
    grid.SetRowSelect(false);
    grid.SetCell(1, 1, "ТЕКСТ");
    grid.SetCell(1, 2, "ТЕКСТ");
    grid.SetCurrentCell(2, 1);
    const QImage enabled = Rendered(grid);
    grid.setEnabled(false);
    const QImage disabled = Rendered(grid);
    const QRect text = grid.CellRect(1, 2);
    EXPECT_EQ(enabled.copy(text), disabled.copy(text));
    EXPECT_NE(enabled.copy(text), enabled.copy(grid.CellRect(2, 2)));  // the text did paint
    EXPECT_EQ(PixelInCell(disabled, grid, 2, 1), base);
}

TEST(StringGridTest, ADesignerFormBuildsTheGridFromItsProperties) {
    QWidget form;
    Ui::TGridPromotionForm ui;
    ui.setupUi(&form);
    StringGrid* grid = ui.StringGrid1;
    EXPECT_EQ(grid->ColCount(), 6);
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->FixedCols(), 0);
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->DefaultRowHeight(), 18);
    EXPECT_EQ(grid->ColWidth(1), 522);
    EXPECT_TRUE(grid->Editing());
    EXPECT_EQ(grid->ScrollBars(), StringGrid::ScrollBarKind::Vertical);
    EXPECT_EQ(grid->View()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(grid->Hint(), "Description1;stock");
}

}  // namespace
