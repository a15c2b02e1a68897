#pragma once
// A grid of text cells, addressed as Cell(column, row). Row 0 is ordinary data
// (the windows write their column titles into it); the first FixedRows rows and
// FixedCols columns are drawn like a header and can never become the current
// cell. Only the cells inside ColCount x RowCount exist: reading outside gives
// the empty text, writing outside is dropped. A column that carries hidden data
// (a record number, say) must therefore lie inside ColCount; give it the width
// -1 to hide it.
//
// Behaviour kept from the grid the windows were designed with:
// - defaults: 5 x 5 cells, 1 fixed row, 1 fixed column, columns 64 and rows 24
//   pixels (plus a one-pixel grid line each), no editing;
// - RowCount and ColCount are at least 1; making them no larger than the fixed
//   count lowers the fixed count; a shrunk grid loses its outer cells for good;
// - FixedRows/FixedCols must stay below RowCount/ColCount (else an Exception);
// - changing the current cell asks OnSelectCell first (which may refuse), then
//   runs OnClick; setting Row or Col to the value it already has does nothing;
//   a cell that is fixed or outside the grid cannot become current (ignored);
// - every keystroke in the in-place editor goes into the cell at once, then
//   OnSetEditText runs; writing a cell in code runs no handler;
// - setting DefaultColWidth / DefaultRowHeight resets every column / row.
// A disabled grid paints like an enabled one without the current-cell mark,
// so that a page rendered for printing shows plain cells.

#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

class QKeyEvent;
class QLineEdit;
class QTableView;

namespace platform {

namespace detail {
class GridModel;
class GridView;
class GridDelegate;
class FixedView;
}  // namespace detail

class StringGrid : public QWidget {
    Q_OBJECT
    // For Qt Designer (promoted widget; set these as dynamic properties,
    // stdset="0"). Set ColCount before ColWidthsText.
    Q_PROPERTY(int RowCount READ RowCount WRITE SetRowCount)
    Q_PROPERTY(int ColCount READ ColCount WRITE SetColCount)
    Q_PROPERTY(int FixedRows READ FixedRows WRITE SetFixedRows)
    Q_PROPERTY(int FixedCols READ FixedCols WRITE SetFixedCols)
    Q_PROPERTY(int DefaultRowHeight READ DefaultRowHeight WRITE SetDefaultRowHeight)
    Q_PROPERTY(int DefaultColWidth READ DefaultColWidth WRITE SetDefaultColWidth)
    Q_PROPERTY(QString ColWidthsText READ ColWidthsText WRITE SetColWidthsText)
    Q_PROPERTY(bool Editing READ Editing WRITE SetEditing)
    Q_PROPERTY(bool AlwaysShowEditor READ AlwaysShowEditor WRITE SetAlwaysShowEditor)
    Q_PROPERTY(bool RowSelect READ RowSelect WRITE SetRowSelect)
    Q_PROPERTY(bool Tabs READ Tabs WRITE SetTabs)
    Q_PROPERTY(bool Border READ Border WRITE SetBorder)
    Q_PROPERTY(ScrollBarKind ScrollBars READ ScrollBars WRITE SetScrollBars)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)

public:
    enum class ScrollBarKind { None, Horizontal, Vertical, Both };
    Q_ENUM(ScrollBarKind)

    explicit StringGrid(QWidget* parent = nullptr);
    ~StringGrid() override;

    // Cells.
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    QStringList RowTexts(int row) const;                    // ColCount texts ({} outside)
    void SetRowTexts(int row, const QStringList& texts);    // extra texts dropped, missing ones empty
    void ExchangeRows(int a, int b);                        // whole rows, no handler runs
    void ClearCells();                                      // every cell empty, sizes kept
    // Between these, written cells are drawn once, at the last EndUpdate.
    void BeginUpdate() { ++updating_; }
    void EndUpdate();

    // Size.
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    int ColCount() const { return colCount_; }
    void SetColCount(int count);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);

    // Geometry. Widths and heights exclude the one-pixel grid line.
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width);
    int ColWidth(int col) const;                 // 0 outside the grid
    void SetColWidth(int col, int width);        // -1 hides the column
    QString ColWidthsText() const;               // "49,522,44"
    void SetColWidthsText(const QString& widths);
    // The cell's rectangle in this widget's coordinates, grid line excluded;
    // right() + 1 is the cell's right edge. Cells scrolled out of sight keep
    // their position relative to the visible ones. Empty outside the grid.
    QRect CellRect(int col, int row) const;

    // Current cell.
    int Row() const { return row_; }
    void SetRow(int row);
    int Col() const { return col_; }
    void SetCol(int col);
    // Moves to (col, row): asks OnSelectCell even when it is the current cell
    // already, then runs OnClick. False when refused or not selectable.
    bool SetCurrentCell(int col, int row);

    // Options.
    bool Editing() const { return editing_; }
    void SetEditing(bool on);
    bool AlwaysShowEditor() const { return alwaysShowEditor_; }
    void SetAlwaysShowEditor(bool on);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool on);
    bool Tabs() const { return tabs_; }  // Tab moves between cells instead of leaving the grid
    void SetTabs(bool on);
    bool Border() const;
    void SetBorder(bool on);
    ScrollBarKind ScrollBars() const { return scrollBars_; }
    void SetScrollBars(ScrollBarKind kind);
    // A free text the windows keep with the grid; it is not shown.
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint) { hint_ = hint; }

    // In-place editor (only while Editing and on a cell that is not fixed).
    bool EditorMode() const;
    void SetEditorMode(bool on);  // on: open on the current cell; off: close, keeping the text
    QLineEdit* InplaceEditor() const;  // the open editor, or nullptr

    // The view that draws the cells (for painting and for tests' input events).
    QTableView* View() const;

    // Handlers. Each may be empty.
    std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
    std::function<void(int col, int row, const QString& text)> OnSetEditText;
    std::function<void()> OnClick;     // the current cell moved, or a cell was clicked
    std::function<void()> OnDblClick;  // double click on a cell
    // Before the grid acts on a key; setting key to 0 stops the grid's own action.
    std::function<void(int& key, Qt::KeyboardModifiers modifiers)> OnKeyDown;
    std::function<void(int& key, Qt::KeyboardModifiers modifiers)> OnKeyUp;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class detail::GridModel;
    friend class detail::GridView;
    friend class detail::GridDelegate;
    friend class detail::FixedView;

    bool Selectable(int col, int row) const;
    void MoveCurrent(int col, int row);        // no handlers
    void KeepCurrentInside();                  // after a size change, no handlers
    std::array<QTableView*, 4> Views() const;
    void ApplyRowHeights();
    void ApplyColWidth(int col);
    void ApplyFixedCells();   // hides the fixed rows and columns from the scrolling view
    void LayoutFixedViews();
    void ApplyScrollBars();
    void CopyActiveColoursToDisabled();
    void RefreshCurrentMark(int col, int row);
    void EditorTextEdited(int col, int row, const QString& text);
    void HandleKeyPress(QKeyEvent* event);     // keys of the view and of the editor
    void HandleKeyRelease(QKeyEvent* event);
    bool NavigationKey(int key, Qt::KeyboardModifiers modifiers);
    void OpenEditor(QKeyEvent* firstKey);

    // Storage: one vector per row, allocated on the first write into that row
    // and never longer than ColCount.
    std::vector<std::vector<QString>> rows_;
    int rowCount_ = 5;
    int colCount_ = 5;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int defaultRowHeight_ = 24;
    int defaultColWidth_ = 64;
    std::vector<int> colWidths_;
    int row_ = 1;
    int col_ = 1;
    bool editing_ = false;
    bool alwaysShowEditor_ = false;
    bool rowSelect_ = false;
    bool tabs_ = false;
    ScrollBarKind scrollBars_ = ScrollBarKind::Both;
    QString hint_;
    bool adjustingPalette_ = false;
    bool layingOut_ = false;
    bool replayingKey_ = false;
    int appliedFixedRows_ = 0;
    int updating_ = 0;
    bool changedWhileUpdating_ = false;

    detail::GridModel* model_ = nullptr;
    detail::GridView* view_ = nullptr;
    detail::GridDelegate* delegate_ = nullptr;
    detail::FixedView* top_ = nullptr;     // fixed rows
    detail::FixedView* left_ = nullptr;    // fixed columns
    detail::FixedView* corner_ = nullptr;  // where both meet
};

}  // namespace platform
