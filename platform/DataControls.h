#pragma once
// Controls that show and edit the current record of a data source.
//
// Every control is bound in code to a source and a field:
//     DBText1->SetDataSource(&DataModule1->DataSource2);
//     DBText1->SetDataField("Supplier1");
// (in a .ui file the field may be given as the dynamic property DataField).
// Rules kept from the controls the windows were designed with:
// - a control follows the current record after every move, refresh, insert,
//   post, cancel and delete, and shows nothing while its source is detached,
//   disabled or closed;
// - typing into a bound control puts the data set into Edit and writes the
//   field at once; a text set in code is written only while the record is
//   already being edited or inserted (and is shown in any case);
// - the change handler OnChange runs whenever the shown text changes, by the
//   user, by code or by a move to another record (the combo box: only by the
//   user);
// - pictures are kept as the bytes of a picture file (BMP, PNG or JPEG);
// - the grid posts a pending change when the current row changes, drops a new
//   row that was left unchanged (moving away or leaving the grid), asks before
//   deleting (Ctrl+Delete) and appends a row with the Down key on the last one;
// - the navigator's delete asks for confirmation first;
// - an edit or combo box of a whole-number field ignores keys that cannot be
//   part of a whole number.
// An error of the data set raised by the user's action is shown by the
// application's exception display (or reaches the code that clicked).

#include "data/DataSet.h"

#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QToolButton;

namespace platform {

namespace detail {
class DBGridModel;
class DBGridDelegate;

// A data link with a field name; the one piece every bound control shares.
class FieldLink {
public:
    data::DataLink link;
    QString fieldName;

    data::DataSet* Set() const { return link.Active() ? link.GetDataSet() : nullptr; }
    // The data set when it is open and has the field.
    data::DataSet* FieldDataSet() const;
    bool Editing() const;  // the record is being edited or inserted
    QString Text() const;
    QByteArray Bytes() const;
    int MaxLength() const;  // the text column's width, 0 when none
    // Puts the data set into Edit (when asked) and writes the field.
    void WriteText(const QString& text, bool startEdit);
    void WriteBytes(const QByteArray& bytes, bool startEdit);
    // Runs load after every change of the data set but a write into the record.
    void FollowRecord(std::function<void()> load);
};

// A widget bound to one field: its source and the field's name.
template <class Widget>
class FieldControl : public Widget {
public:
    using Widget::Widget;
    void SetDataSource(data::DataSource* source) { link_.link.SetDataSource(source); }
    data::DataSource* DataSource() const { return link_.link.GetDataSource(); }
    QString DataField() const { return link_.fieldName; }
    void SetDataField(const QString& field) {
        link_.fieldName = field;
        Load();
    }

protected:
    virtual void Load() = 0;  // shows the field of the current record
    FieldLink link_;
};
}  // namespace detail

// A read-only text: a label that shows the field.
class DBText : public detail::FieldControl<QLabel> {
    Q_OBJECT
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
public:
    explicit DBText(QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void SetText(const QString& text);  // shown until the record changes; runs OnChange

    std::function<void()> OnChange;

private:
    void Load() override;
};

// A one-line edit of the field.
class DBEdit : public detail::FieldControl<QLineEdit> {
    Q_OBJECT
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
public:
    explicit DBEdit(QWidget* parent = nullptr);
    void SetDataField(const QString& field);

    QString Text() const { return text(); }
    void SetText(const QString& text) { setText(text); }

    std::function<void()> OnChange;

private:
    void Load() override;
    void ApplyMaxLength();
    bool loading_ = false;
};

// A multi-line edit of the field. Text() gives back exactly what SetText or
// the field gave (line ends included); typed lines end in CR LF.
class DBMemo : public detail::FieldControl<QPlainTextEdit> {
    Q_OBJECT
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
public:
    explicit DBMemo(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);

    std::function<void()> OnChange;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void Load() override;
    void TextEdited();
    template <class F>
    void AsUser(F&& f);
    mutable QString text_;
    mutable bool stale_ = false;       // the field was not read since the record changed
    mutable bool shownStale_ = false;  // text_ is newer than what the memo shows
    bool loading_ = false;
    int userInput_ = 0;
};

// A picture kept in a blob field as the bytes of a picture file.
class DBImage : public detail::FieldControl<QFrame> {
    Q_OBJECT
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)
public:
    explicit DBImage(QWidget* parent = nullptr);

    bool Stretch() const { return stretch_; }
    void SetStretch(bool on);
    bool Center() const { return center_; }
    void SetCenter(bool on);

    QByteArray PictureBytes() const { return bytes_; }
    QImage Picture() const { return image_; }
    bool HasPicture() const { return !image_.isNull(); }
    // Shows the picture; writes it into the field while the record is being
    // edited or inserted (an old table's graphic header left out). Bytes that
    // are no picture raise EConvertError and change nothing; empty bytes clear
    // the picture.
    void SetPictureBytes(const QByteArray& bytes);
    // Reads a picture file, decoded by the format its extension names (else by
    // its content). A file that cannot be read or decoded raises an error and
    // changes nothing.
    void LoadFromFile(const QString& path);
    void Assign(const DBImage& other) { SetPictureBytes(other.PictureBytes()); }

    // Decodes picture file bytes (BMP, PNG, JPEG...); a null image when they are none.
    static QImage Decode(const QByteArray& bytes, const char* format = nullptr);
    // The picture file inside bytes read from an old Paradox graphic field
    // (which puts a small header before it); other bytes as they are.
    static QByteArray WithoutTableHeader(const QByteArray& bytes);
    // The bytes of a picture file, checked: raises EFileError or EConvertError.
    static QByteArray ReadPictureFile(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Load() override;
    QByteArray bytes_;
    QImage image_;
    bool stretch_ = false;
    bool center_ = true;
};

// A combo box over the field: typed text or a chosen item is written.
class DBComboBox : public detail::FieldControl<QComboBox> {
    Q_OBJECT
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
public:
    explicit DBComboBox(QWidget* parent = nullptr);
    void SetDataField(const QString& field);

    QString Text() const { return currentText(); }

    std::function<void()> OnChange;    // the user typed or chose
    std::function<void()> OnDropDown;  // before the list opens

    void showPopup() override;

private:
    void Load() override;
    void UserChanged(const QString& text);
    bool loading_ = false;
};

struct DBGridColumn {
    QString FieldName;
    QString Title;  // empty: the field's name
    int Width = 64;
};

// A table of the data set's records, one row per record, the current record
// being the current row.
class DBGrid : public QTableView {
    Q_OBJECT
    // "FIELD:Title:width;FIELD:Title:width"
    Q_PROPERTY(QString ColumnsText READ ColumnsText WRITE SetColumnsText)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool ConfirmDelete READ ConfirmDelete WRITE SetConfirmDelete)
    Q_PROPERTY(bool CancelOnExit READ CancelOnExit WRITE SetCancelOnExit)
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE SetMultiSelect)
public:
    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;
    void SetDataSource(data::DataSource* source);
    data::DataSource* DataSource() const { return link_.GetDataSource(); }

    void SetColumns(const std::vector<DBGridColumn>& columns);
    const std::vector<DBGridColumn>& Columns() const { return columns_; }
    QString ColumnsText() const;
    void SetColumnsText(const QString& text);

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);
    bool ConfirmDelete() const { return confirmDelete_; }
    void SetConfirmDelete(bool on) { confirmDelete_ = on; }
    bool CancelOnExit() const { return cancelOnExit_; }
    void SetCancelOnExit(bool on) { cancelOnExit_ = on; }
    bool MultiSelect() const;
    void SetMultiSelect(bool on);

    // The shown text of a cell (row 0 is the first record).
    QString CellText(int row, int column) const;
    int CurrentRow() const { return currentIndex().row(); }
    // Makes row current, as a click on it would (posting a pending change);
    // runs OnCellClick. False when the move was refused by an error.
    bool ClickCell(int row, int column);

    std::function<void(int column)> OnCellClick;
    std::function<void()> OnDblClick;
    std::function<void(int& key, Qt::KeyboardModifiers modifiers)> OnKeyDown;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class detail::DBGridModel;
    friend class detail::DBGridDelegate;
    void DataChanged(data::DataChange change);
    void SyncCurrent();  // the current row follows the data set, no handler
    void ApplyWidths();
    bool MoveTo(int row);
    void DeleteRecord();
    void CancelUntouchedInsert();

    data::DataLink link_;
    std::vector<DBGridColumn> columns_;
    detail::DBGridModel* model_ = nullptr;
    detail::DBGridDelegate* delegate_ = nullptr;
    bool readOnly_ = false;
    bool confirmDelete_ = true;
    bool cancelOnExit_ = true;
    bool syncing_ = false;
};

enum class NavigateBtn { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

// A row of buttons that move through and change the data set.
class DBNavigator : public QWidget {
    Q_OBJECT
    // "first,prior,next,last,insert,delete,edit,post,cancel,refresh"
    Q_PROPERTY(QString VisibleButtonsText READ VisibleButtonsText WRITE SetVisibleButtonsText)
    // The hints of the visible buttons in their order, separated by "|".
    Q_PROPERTY(QString HintsText READ HintsText WRITE SetHintsText)
    Q_PROPERTY(bool ConfirmDelete READ ConfirmDelete WRITE SetConfirmDelete)
public:
    explicit DBNavigator(QWidget* parent = nullptr);
    void SetDataSource(data::DataSource* source) { link_.SetDataSource(source); }
    data::DataSource* DataSource() const { return link_.GetDataSource(); }

    void SetVisibleButtons(const std::vector<NavigateBtn>& buttons);
    std::vector<NavigateBtn> VisibleButtons() const;
    QString VisibleButtonsText() const;
    void SetVisibleButtonsText(const QString& text);
    void SetHint(NavigateBtn button, const QString& hint);
    QString Hint(NavigateBtn button) const;
    QString HintsText() const;
    void SetHintsText(const QString& text);
    bool ConfirmDelete() const { return confirmDelete_; }
    void SetConfirmDelete(bool on) { confirmDelete_ = on; }

    QToolButton* Button(NavigateBtn button) const { return buttons_[static_cast<int>(button)]; }
    // Does what the button does (whether shown or enabled), then runs OnClick.
    // An error reaches the caller and OnClick does not run.
    void BtnClick(NavigateBtn button);

    std::function<void(NavigateBtn button)> OnClick;

private:
    void UpdateButtons();
    data::DataLink link_;
    std::array<QToolButton*, 10> buttons_{};
    bool confirmDelete_ = true;
};

// A grid of panels, one per record. The program keeps it hidden and detaches
// it from its source while code walks through many records.
class DBCtrlGrid : public QWidget {
    Q_OBJECT
public:
    explicit DBCtrlGrid(QWidget* parent = nullptr);
    void SetDataSource(data::DataSource* source) { link_.SetDataSource(source); }
    data::DataSource* DataSource() const { return link_.GetDataSource(); }
    void Repaint() { repaint(); }
    // Changes of the data set seen since the grid was made.
    int ChangesSeen() const { return changes_; }

private:
    data::DataLink link_;
    int changes_ = 0;
};

// Asks "Да се изтрие ли записът?"; true when confirmed.
bool ConfirmRecordDelete();

}  // namespace platform
