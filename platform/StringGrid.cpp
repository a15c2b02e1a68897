#include "platform/StringGrid.h"

#include "platform/Exception.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <algorithm>

namespace platform {
namespace detail {

// Shows the grid's cells to the view; the grid owns the texts.
class GridModel : public QAbstractTableModel {
public:
    explicit GridModel(StringGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : grid_->rowCount_; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : grid_->colCount_; }

    QVariant data(const QModelIndex& index, int role) const override {
        const int col = index.column(), row = index.row();
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return grid_->Cell(col, row);
        case Qt::BackgroundRole:
            if (Fixed(col, row)) return grid_->palette().brush(QPalette::Active, QPalette::Button);
            if (Marked(col, row)) return grid_->palette().brush(QPalette::Active, QPalette::Highlight);
            return {};
        case Qt::ForegroundRole:
            if (Fixed(col, row)) return grid_->palette().brush(QPalette::Active, QPalette::ButtonText);
            if (Marked(col, row)) return grid_->palette().brush(QPalette::Active, QPalette::HighlightedText);
            return {};
        default:
            return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole) return false;
        const QString text = value.toString();
        if (grid_->Cell(index.column(), index.row()) == text) return true;
        grid_->EditorTextEdited(index.column(), index.row(), text);
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        if (Fixed(index.column(), index.row()) || !grid_->editing_) return Qt::ItemIsEnabled;
        return Qt::ItemIsEnabled | Qt::ItemIsEditable;
    }

    void CellChanged(int col, int row) {
        const QModelIndex i = index(row, col);
        emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    }
    void RowChanged(int row) { emit dataChanged(index(row, 0), index(row, grid_->colCount_ - 1)); }
    void AllChanged() { emit dataChanged(index(0, 0), index(grid_->rowCount_ - 1, grid_->colCount_ - 1)); }
    void BeginInsertRows(int first, int last) { beginInsertRows({}, first, last); }
    void EndInsertRows() { endInsertRows(); }
    void BeginRemoveRows(int first, int last) { beginRemoveRows({}, first, last); }
    void EndRemoveRows() { endRemoveRows(); }
    void BeginInsertColumns(int first, int last) { beginInsertColumns({}, first, last); }
    void EndInsertColumns() { endInsertColumns(); }
    void BeginRemoveColumns(int first, int last) { beginRemoveColumns({}, first, last); }
    void EndRemoveColumns() { endRemoveColumns(); }

private:
    bool Fixed(int col, int row) const { return row < grid_->fixedRows_ || col < grid_->fixedCols_; }
    bool Marked(int col, int row) const {
        if (!grid_->isEnabled() || row != grid_->row_) return false;
        return grid_->rowSelect_ || col == grid_->col_;
    }

    StringGrid* grid_;
};

// The in-place editor: a frameless line edit whose every change goes to the grid.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        const int col = index.column(), row = index.row();
        StringGrid* grid = grid_;
        QObject::connect(edit, &QLineEdit::textEdited, grid,
                         [grid, col, row](const QString& text) { grid->EditorTextEdited(col, row, text); });
        editor_ = edit;
        return edit;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* edit = static_cast<QLineEdit*>(editor);
        const QString text = grid_->Cell(index.column(), index.row());
        if (edit->text() != text) edit->setText(text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
    }

    QLineEdit* Editor() const { return editor_; }

protected:
    // Keys typed in the editor: the grid's key handler sees every press; the
    // keys that move between cells (Left and Right only at the ends of the
    // text), Enter and Escape are the grid's to act on.
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* edit = qobject_cast<QLineEdit*>(object);
        if (edit && event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (GridKey(key, edit)) {
                forwarded_ = key->key();
                grid_->HandleKeyPress(key);
                return true;
            }
            forwarded_ = 0;
            if (grid_->OnKeyDown && !grid_->replayingKey_) {
                int code = key->key();
                grid_->OnKeyDown(code, key->modifiers());
                if (code == 0 && key->key() != 0) return true;
            }
        } else if (edit && event->type() == QEvent::KeyRelease) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == forwarded_ && forwarded_ != 0) {
                grid_->HandleKeyRelease(key);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    bool GridKey(const QKeyEvent* event, const QLineEdit* edit) const {
        const bool atStart = edit->cursorPosition() == 0 && !edit->hasSelectedText();
        const bool atEnd = edit->cursorPosition() == edit->text().size() && !edit->hasSelectedText();
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        // Enter and Escape close the editor through the grid alone; the item
        // delegate's own handling would close it a second time later, from
        // the event loop, when the view has let go of it already.
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return true;
        case Qt::Key_Left:
        case Qt::Key_Home:
            return atStart && event->modifiers() == Qt::NoModifier;
        case Qt::Key_Right:
        case Qt::Key_End:
            return atEnd && event->modifiers() == Qt::NoModifier;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return grid_->tabs_;
        default:
            return false;
        }
    }

    int forwarded_ = 0;
    StringGrid* grid_;
    mutable QPointer<QLineEdit> editor_;
};

// Settings shared by the four views of the grid.
void SetUpTable(QTableView* view) {
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->horizontalHeader()->setMinimumSectionSize(0);
    view->verticalHeader()->setMinimumSectionSize(0);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);
    view->setTextElideMode(Qt::ElideNone);
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    view->setAutoScroll(false);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

// Draws the cells that scroll; the grid decides every move of the current
// cell. The fixed rows and columns sit in the viewport margins, drawn by
// FixedViews.
class GridView : public QTableView {
public:
    explicit GridView(StringGrid* grid) : QTableView(grid), grid_(grid) { SetUpTable(this); }

    bool Open(const QModelIndex& index) { return edit(index, QAbstractItemView::AllEditTriggers, nullptr); }

    void CloseOpen(QWidget* editor) {
        commitData(editor);
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }

    void SetFixedMargins(int left, int top) {
        if (left == marginLeft_ && top == marginTop_) return;
        marginLeft_ = left;
        marginTop_ = top;
        updateGeometries();
    }

protected:
    void updateGeometries() override {
        QTableView::updateGeometries();  // sets the margins of the (hidden) headers
        setViewportMargins(marginLeft_, marginTop_, 0, 0);
        grid_->LayoutFixedViews();
    }

    bool viewportEvent(QEvent* event) override {
        if (event->type() == QEvent::Resize) grid_->LayoutFixedViews();
        return QTableView::viewportEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override { grid_->HandleKeyPress(event); }
    void keyReleaseEvent(QKeyEvent* event) override { grid_->HandleKeyRelease(event); }

    void mousePressEvent(QMouseEvent* event) override {
        setFocus(Qt::MouseFocusReason);
        if (event->button() != Qt::LeftButton) return;
        const QModelIndex index = indexAt(event->position().toPoint());
        if (!index.isValid()) return;
        const bool wasCurrent = index.column() == grid_->col_ && index.row() == grid_->row_;
        if (grid_->SetCurrentCell(index.column(), index.row()) && wasCurrent && grid_->editing_) grid_->OpenEditor(nullptr);
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        const QModelIndex index = indexAt(event->position().toPoint());
        if (!index.isValid()) return;
        // The first press of a double click has normally chosen the cell already.
        if (index.column() != grid_->col_ || index.row() != grid_->row_)
            if (!grid_->SetCurrentCell(index.column(), index.row())) return;
        if (grid_->OnDblClick) grid_->OnDblClick();
        if (grid_->editing_) grid_->OpenEditor(nullptr);
    }

    void mouseMoveEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent*) override {}
    void keyboardSearch(const QString&) override {}
    QModelIndex moveCursor(CursorAction, Qt::KeyboardModifiers) override { return currentIndex(); }

    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
        if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem)
            hint = QAbstractItemDelegate::NoHint;
        QTableView::closeEditor(editor, hint);
    }

private:
    StringGrid* grid_;
    int marginLeft_ = 0;
    int marginTop_ = 0;
};

// The fixed rows (along the top), the fixed columns (down the left) or the
// corner where both meet. It shows the same cells as the main view, follows
// its scrolling in one direction and lets every mouse event through.
class FixedView : public QTableView {
public:
    FixedView(QTableView* main, Qt::Orientations follow) : QTableView(main), main_(main), follow_(follow) {
        SetUpTable(this);
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setModel(main->model());
        hide();
        if (follow & Qt::Horizontal)
            connect(main->horizontalScrollBar(), &QScrollBar::valueChanged, horizontalScrollBar(), &QScrollBar::setValue);
        if (follow & Qt::Vertical)
            connect(main->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    }

    void Follow() {
        if (follow_ & Qt::Horizontal) horizontalScrollBar()->setValue(main_->horizontalScrollBar()->value());
        if (follow_ & Qt::Vertical) verticalScrollBar()->setValue(main_->verticalScrollBar()->value());
    }

protected:
    void updateGeometries() override {
        QTableView::updateGeometries();
        Follow();  // the range may only now have grown to the main view's
    }

private:
    QTableView* main_;
    Qt::Orientations follow_;
};

}  // namespace detail

StringGrid::StringGrid(QWidget* parent) : QWidget(parent) {
    rows_.resize(rowCount_);
    colWidths_.assign(colCount_, defaultColWidth_);
    model_ = new detail::GridModel(this);
    delegate_ = new detail::GridDelegate(this);
    view_ = new detail::GridView(this);
    view_->setModel(model_);
    view_->setItemDelegate(delegate_);
    view_->setGeometry(rect());
    top_ = new detail::FixedView(view_, Qt::Horizontal);
    left_ = new detail::FixedView(view_, Qt::Vertical);
    corner_ = new detail::FixedView(view_, {});
    setFocusProxy(view_);
    setFocusPolicy(Qt::StrongFocus);
    CopyActiveColoursToDisabled();
    ApplyRowHeights();
    for (QTableView* v : Views()) v->horizontalHeader()->setDefaultSectionSize(defaultColWidth_ + 1);
    ApplyFixedCells();
    view_->selectionModel()->setCurrentIndex(model_->index(row_, col_), QItemSelectionModel::NoUpdate);
}

// The views go first: they still read the model and the delegate while they close.
StringGrid::~StringGrid() { delete view_; }

// ---- cells

QString StringGrid::Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return {};
    const auto& cells = rows_[static_cast<size_t>(row)];
    return static_cast<size_t>(col) < cells.size() ? cells[static_cast<size_t>(col)] : QString();
}

void StringGrid::SetCell(int col, int row, const QString& text) {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return;
    auto& cells = rows_[static_cast<size_t>(row)];
    if (static_cast<size_t>(col) >= cells.size()) {
        if (text.isEmpty()) return;
        cells.resize(static_cast<size_t>(colCount_));
    }
    QString& cell = cells[static_cast<size_t>(col)];
    if (cell == text) return;
    cell = text;
    if (updating_ > 0)
        changedWhileUpdating_ = true;
    else
        model_->CellChanged(col, row);
}

void StringGrid::EndUpdate() {
    if (updating_ > 0 && --updating_ == 0 && changedWhileUpdating_) {
        changedWhileUpdating_ = false;
        model_->AllChanged();
    }
}

QStringList StringGrid::RowTexts(int row) const {
    if (row < 0 || row >= rowCount_) return {};
    QStringList texts;
    texts.reserve(colCount_);
    for (int c = 0; c < colCount_; ++c) texts.append(Cell(c, row));
    return texts;
}

void StringGrid::SetRowTexts(int row, const QStringList& texts) {
    if (row < 0 || row >= rowCount_) return;
    for (int c = 0; c < colCount_; ++c) SetCell(c, row, c < texts.size() ? texts[c] : QString());
}

void StringGrid::ExchangeRows(int a, int b) {
    if (a < 0 || b < 0 || a >= rowCount_ || b >= rowCount_ || a == b) return;
    std::swap(rows_[static_cast<size_t>(a)], rows_[static_cast<size_t>(b)]);
    model_->RowChanged(a);
    model_->RowChanged(b);
}

void StringGrid::ClearCells() {
    for (auto& cells : rows_) cells = {};
    model_->AllChanged();
}

// ---- size

void StringGrid::SetRowCount(int count) {
    count = std::max(1, count);
    if (count == rowCount_) return;
    if (count <= fixedRows_) fixedRows_ = count - 1;
    if (count < rowCount_) {
        model_->BeginRemoveRows(count, rowCount_ - 1);
        rows_.resize(static_cast<size_t>(count));
        rowCount_ = count;
        model_->EndRemoveRows();
    } else {
        model_->BeginInsertRows(rowCount_, count - 1);
        rows_.resize(static_cast<size_t>(count));
        rowCount_ = count;
        model_->EndInsertRows();
    }
    ApplyFixedCells();
    KeepCurrentInside();
}

void StringGrid::SetColCount(int count) {
    count = std::max(1, count);
    if (count == colCount_) return;
    if (count <= fixedCols_) fixedCols_ = count - 1;
    const int old = colCount_;
    if (count < old) {
        model_->BeginRemoveColumns(count, old - 1);
        for (auto& cells : rows_)
            if (cells.size() > static_cast<size_t>(count)) cells.resize(static_cast<size_t>(count));
        colCount_ = count;
        colWidths_.resize(static_cast<size_t>(count));
        model_->EndRemoveColumns();
    } else {
        model_->BeginInsertColumns(old, count - 1);
        colCount_ = count;
        colWidths_.resize(static_cast<size_t>(count), defaultColWidth_);
        model_->EndInsertColumns();
    }
    ApplyFixedCells();
    KeepCurrentInside();
}

void StringGrid::SetFixedRows(int count) {
    SetFixedCount(fixedRows_, count, rowCount_,
                  QStringLiteral("Броят на фиксираните редове (%1) трябва да е по-малък от броя на редовете (%2)."));
}

void StringGrid::SetFixedCols(int count) {
    SetFixedCount(fixedCols_, count, colCount_,
                  QStringLiteral("Броят на фиксираните колони (%1) трябва да е по-малък от броя на колоните (%2)."));
}

void StringGrid::SetFixedCount(int& fixed, int count, int lines, const QString& tooMany) {
    if (count < 0 || count >= lines) throw Exception(tooMany.arg(count).arg(lines));
    if (count == fixed) return;
    fixed = count;
    model_->AllChanged();
    ApplyFixedCells();
    KeepCurrentInside();
}

// ---- geometry

void StringGrid::SetDefaultRowHeight(int height) {
    defaultRowHeight_ = std::max(0, height);
    ApplyRowHeights();
}

void StringGrid::SetDefaultColWidth(int width) {
    defaultColWidth_ = std::max(0, width);
    for (QTableView* v : Views()) v->horizontalHeader()->setDefaultSectionSize(defaultColWidth_ + 1);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
    ApplyFixedCells();
}

int StringGrid::ColWidth(int col) const {
    if (col < 0 || col >= colCount_) return 0;
    return colWidths_[static_cast<size_t>(col)];
}

void StringGrid::SetColWidth(int col, int width) {
    if (col < 0 || col >= colCount_) return;
    colWidths_[static_cast<size_t>(col)] = std::max(-1, width);
    ApplyColWidth(col);
    LayoutFixedViews();
}

QString StringGrid::ColWidthsText() const {
    QStringList parts;
    for (int w : colWidths_) parts.append(QString::number(w));
    return parts.join(QLatin1Char(','));
}

void StringGrid::SetColWidthsText(const QString& widths) {
    const QStringList parts = widths.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (int c = 0; c < parts.size() && c < colCount_; ++c) {
        bool ok = false;
        const int w = parts[c].trimmed().toInt(&ok);
        if (!ok) throw Exception(QStringLiteral("Неправилна ширина на колона: \"%1\".").arg(parts[c].trimmed()));
        SetColWidth(c, w);
    }
}

QRect StringGrid::CellRect(int col, int row) const {
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return {};
    const bool fixedRow = row < fixedRows_, fixedCol = col < fixedCols_;
    QTableView* view = fixedRow ? (fixedCol ? corner_ : top_) : (fixedCol ? static_cast<QTableView*>(left_) : view_);
    QRect r = view->visualRect(model_->index(row, col));
    r.moveTopLeft(view->viewport()->mapTo(this, r.topLeft()));
    return r;
}

std::array<QTableView*, 4> StringGrid::Views() const { return {view_, top_, left_, corner_}; }

void StringGrid::ApplyRowHeights() {
    for (QTableView* v : Views()) v->verticalHeader()->setDefaultSectionSize(defaultRowHeight_ + 1);
    LayoutFixedViews();
}

void StringGrid::ApplyColWidth(int col) {
    const int w = colWidths_[static_cast<size_t>(col)];
    for (QTableView* v : Views()) {
        const bool scrolls = v == view_ || v == top_;
        v->setColumnHidden(col, w < 0 || (scrolls && col < fixedCols_));
        if (w >= 0) v->setColumnWidth(col, w + 1);
    }
}

void StringGrid::ApplyFixedCells() {
    const int rows = std::min(rowCount_, std::max(appliedFixedRows_, fixedRows_));
    for (int r = 0; r < rows; ++r) {
        view_->setRowHidden(r, r < fixedRows_);
        left_->setRowHidden(r, r < fixedRows_);
    }
    appliedFixedRows_ = fixedRows_;
    for (int c = 0; c < colCount_; ++c) ApplyColWidth(c);
    LayoutFixedViews();
}

void StringGrid::LayoutFixedViews() {
    if (layingOut_ || !corner_) return;
    layingOut_ = true;
    const int height = fixedRows_ * (defaultRowHeight_ + 1);
    int width = 0;
    for (int c = 0; c < fixedCols_; ++c) width += std::max(0, colWidths_[static_cast<size_t>(c)] + 1);
    view_->SetFixedMargins(width, height);
    const QRect vp = view_->viewport()->geometry();
    top_->setGeometry(vp.left(), vp.top() - height, vp.width(), height);
    left_->setGeometry(vp.left() - width, vp.top(), width, vp.height());
    corner_->setGeometry(vp.left() - width, vp.top() - height, width, height);
    top_->setVisible(height > 0);
    left_->setVisible(width > 0);
    corner_->setVisible(height > 0 && width > 0);
    top_->Follow();
    left_->Follow();
    layingOut_ = false;
}

// ---- current cell

bool StringGrid::Selectable(int col, int row) const {
    return col >= fixedCols_ && row >= fixedRows_ && col < colCount_ && row < rowCount_;
}

void StringGrid::SetRow(int row) {
    if (row != row_) SetCurrentCell(col_, row);
}

void StringGrid::SetCol(int col) {
    if (col != col_) SetCurrentCell(col, row_);
}

bool StringGrid::SetCurrentCell(int col, int row) {
    if (!Selectable(col, row)) return false;
    bool canSelect = true;
    if (OnSelectCell) OnSelectCell(col, row, canSelect);
    if (!canSelect || !Selectable(col, row)) return false;
    MoveCurrent(col, row);
    view_->scrollTo(model_->index(row, col));
    if (editing_ && alwaysShowEditor_) OpenEditor(nullptr);
    if (OnClick) OnClick();
    return true;
}

void StringGrid::MoveCurrent(int col, int row) {
    const int oldCol = col_, oldRow = row_;
    col_ = col;
    row_ = row;
    view_->selectionModel()->setCurrentIndex(model_->index(row, col), QItemSelectionModel::NoUpdate);
    RefreshCurrentMark(oldCol, oldRow);
    RefreshCurrentMark(col, row);
}

void StringGrid::KeepCurrentInside() {
    const int col = std::clamp(col_, fixedCols_, colCount_ - 1);
    const int row = std::clamp(row_, fixedRows_, rowCount_ - 1);
    if (col != col_ || row != row_) MoveCurrent(col, row);
}

void StringGrid::RefreshCurrentMark(int col, int row) {
    if (row < 0 || row >= rowCount_) return;
    if (rowSelect_)
        model_->RowChanged(row);
    else if (col >= 0 && col < colCount_)
        model_->CellChanged(col, row);
}

// ---- options

void StringGrid::SetEditing(bool on) {
    if (on == editing_) return;
    if (!on) SetEditorMode(false);
    editing_ = on;
}

void StringGrid::SetAlwaysShowEditor(bool on) { alwaysShowEditor_ = on; }

void StringGrid::SetRowSelect(bool on) {
    if (on == rowSelect_) return;
    rowSelect_ = on;
    model_->RowChanged(row_);
}

void StringGrid::SetTabs(bool on) { tabs_ = on; }

bool StringGrid::Border() const { return view_->frameShape() != QFrame::NoFrame; }

void StringGrid::SetBorder(bool on) {
    view_->setFrameShape(on ? QFrame::StyledPanel : QFrame::NoFrame);
    if (on) view_->setFrameShadow(QFrame::Sunken);
}

void StringGrid::SetScrollBars(ScrollBarKind kind) {
    scrollBars_ = kind;
    ApplyScrollBars();
}

void StringGrid::ApplyScrollBars() {
    const bool h = scrollBars_ == ScrollBarKind::Horizontal || scrollBars_ == ScrollBarKind::Both;
    const bool v = scrollBars_ == ScrollBarKind::Vertical || scrollBars_ == ScrollBarKind::Both;
    view_->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    view_->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

// ---- in-place editor

QLineEdit* StringGrid::InplaceEditor() const {
    QLineEdit* editor = delegate_->Editor();
    return editor && view_->indexWidget(model_->index(row_, col_)) == editor ? editor : nullptr;
}

bool StringGrid::EditorMode() const { return InplaceEditor() != nullptr; }

void StringGrid::SetEditorMode(bool on) {
    if (on) {
        OpenEditor(nullptr);
    } else if (QLineEdit* editor = InplaceEditor()) {
        view_->CloseOpen(editor);
    }
}

void StringGrid::OpenEditor(QKeyEvent* firstKey) {
    if (!editing_ || !Selectable(col_, row_)) return;
    const QModelIndex index = model_->index(row_, col_);
    if (!InplaceEditor()) view_->Open(index);
    QLineEdit* editor = InplaceEditor();
    if (!editor) return;
    editor->selectAll();
    if (firstKey) {
        // The grid's key handler has seen this key already.
        QKeyEvent copy(firstKey->type(), firstKey->key(), firstKey->modifiers(), firstKey->text());
        replayingKey_ = true;
        QCoreApplication::sendEvent(editor, &copy);
        replayingKey_ = false;
    }
}

void StringGrid::EditorTextEdited(int col, int row, const QString& text) {
    SetCell(col, row, text);
    if (OnSetEditText) OnSetEditText(col, row, text);
}

QTableView* StringGrid::View() const { return view_; }

// ---- keys

void StringGrid::HandleKeyPress(QKeyEvent* event) {
    int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (OnKeyDown) {
        const int pressed = key;
        OnKeyDown(key, modifiers);
        if (key == 0 && pressed != 0) return;
    }
    if (NavigationKey(key, modifiers)) return;
    switch (key) {
    case Qt::Key_F2:
        if (editing_) OpenEditor(nullptr);
        return;
    // A grid without cell editing leaves Enter, and one without an open cell
    // editor leaves Escape, to the window's default and cancel buttons.
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!editing_) break;
        SetEditorMode(!EditorMode());
        return;
    case Qt::Key_Escape:
        if (!EditorMode()) break;
        SetEditorMode(false);
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (editing_ && !EditorMode() && !text.isEmpty() && text.at(0).isPrint()) {
        OpenEditor(event);
        return;
    }
    event->ignore();
}

void StringGrid::HandleKeyRelease(QKeyEvent* event) {
    int key = event->key();
    if (OnKeyUp) OnKeyUp(key, event->modifiers());
}

bool StringGrid::NavigationKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = modifiers & Qt::ControlModifier;
    const int firstCol = fixedCols_, lastCol = colCount_ - 1;
    const int firstRow = fixedRows_, lastRow = rowCount_ - 1;
    const int page = std::max(1, view_->viewport()->height() / std::max(1, defaultRowHeight_ + 1) - fixedRows_);
    auto shown = [this](int c) { return colWidths_[static_cast<size_t>(c)] >= 0; };
    auto stepCol = [&](int from, int step) {
        for (int c = from + step; c >= firstCol && c <= lastCol; c += step)
            if (shown(c)) return c;
        return from;
    };
    int col = col_, row = row_;
    switch (key) {
    case Qt::Key_Up: row = row_ - 1; break;
    case Qt::Key_Down: row = row_ + 1; break;
    case Qt::Key_PageUp: row = row_ - page; break;
    case Qt::Key_PageDown: row = row_ + page; break;
    case Qt::Key_Left:
        if (rowSelect_) return true;
        col = stepCol(col_, -1);
        break;
    case Qt::Key_Right:
        if (rowSelect_) return true;
        col = stepCol(col_, +1);
        break;
    case Qt::Key_Home:
        if (!rowSelect_) col = stepCol(firstCol - 1, +1);
        if (ctrl || rowSelect_) row = firstRow;
        break;
    case Qt::Key_End:
        if (!rowSelect_) col = stepCol(lastCol + 1, -1);
        if (ctrl || rowSelect_) row = lastRow;
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (!tabs_) return false;
        const int step = key == Qt::Key_Tab ? 1 : -1;
        col = stepCol(col_, step);
        if (col == col_) {  // wrap to the next or previous row
            const int nextRow = row_ + step;
            if (nextRow < firstRow || nextRow > lastRow) return true;
            row = nextRow;
            col = step > 0 ? stepCol(firstCol - 1, +1) : stepCol(lastCol + 1, -1);
        }
        break;
    }
    default:
        return false;
    }
    if (lastRow < firstRow || lastCol < firstCol) return true;
    row = std::clamp(row, firstRow, lastRow);
    col = std::clamp(col, firstCol, lastCol);
    if (col != col_ || row != row_) SetCurrentCell(col, row);
    return true;
}

// ---- look

void StringGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    view_->setGeometry(rect());
}

void StringGrid::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !adjustingPalette_) CopyActiveColoursToDisabled();
    if (event->type() == QEvent::EnabledChange) RefreshCurrentMark(col_, row_);
}

void StringGrid::CopyActiveColoursToDisabled() {
    adjustingPalette_ = true;
    QPalette p = palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        p.setBrush(QPalette::Disabled, r, p.brush(QPalette::Active, r));
    }
    view_->setPalette(p);
    adjustingPalette_ = false;
}

}  // namespace platform
