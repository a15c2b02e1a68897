#include "platform/DataControls.h"

#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Form.h"
#include "platform/Handlers.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QToolButton>

namespace platform {

using data::DataChange;
using data::DataSet;

bool ConfirmRecordDelete() {
    return MessageDlg(QStringLiteral("Да се изтрие ли записът?"), DialogIcon::Question,
                      {DialogAnswer::Ok, DialogAnswer::Cancel}) == DialogAnswer::Ok;
}

namespace {
bool IsEditing(const DataSet* ds) {
    return ds && (ds->GetState() == DataSet::State::Edit || ds->GetState() == DataSet::State::Insert);
}
}  // namespace

// ---------------------------------------------------------------- FieldLink

namespace detail {

DataSet* FieldLink::FieldDataSet() const {
    DataSet* ds = Set();
    return ds && ds->HasField(fieldName) ? ds : nullptr;
}

bool FieldLink::Editing() const { return IsEditing(FieldDataSet()); }

QString FieldLink::Text() const {
    DataSet* ds = FieldDataSet();
    return ds ? ds->FieldByName(fieldName).AsString() : QString();
}

QByteArray FieldLink::Bytes() const {
    DataSet* ds = FieldDataSet();
    return ds ? ds->FieldByName(fieldName).AsBytes() : QByteArray();
}

int FieldLink::MaxLength() const {
    DataSet* ds = FieldDataSet();
    if (!ds) return 0;
    const data::Field f = ds->FieldByName(fieldName);
    if (f.Kind() != data::ColumnKind::Text) return 0;
    for (const data::ColumnInfo& c : ds->Columns())
        if (c.name == fieldName.toUpper()) return static_cast<int>(c.length);
    return 0;
}

void FieldLink::WriteText(const QString& text, bool startEdit) {
    DataSet* ds = link.GetDataSet();
    if (!ds || (!startEdit && !Editing())) return;
    if (startEdit) ds->Edit();
    data::Field field = ds->FieldByName(fieldName);
    // A sign typed before the digits of a whole number holds no number yet.
    const QString t = text.trimmed();
    const bool signOnly = t == QLatin1String("-") || t == QLatin1String("+");
    field.SetAsString(signOnly && field.Kind() == data::ColumnKind::Integer ? QString() : text);
}

void FieldLink::WriteBytes(const QByteArray& bytes, bool startEdit) {
    DataSet* ds = link.GetDataSet();
    if (!ds || (!startEdit && !Editing())) return;
    if (startEdit) ds->Edit();
    ds->FieldByName(fieldName).SetAsBytes(bytes);
}

void FieldLink::FollowRecord(std::function<void()> load) {
    link.OnChange = [load = std::move(load)](DataChange c) {
        if (c != DataChange::UpdateRecord) load();
    };
}

}  // namespace detail

namespace {
// A whole-number field takes only the keys of a whole number: digits and a
// leading sign. Any other key is ignored without a word, as a typed letter
// could never be stored. Text set in code is not checked here.
void ApplyWholeNumberKeys(QLineEdit* edit, const detail::FieldLink& link) {
    if (!edit) return;
    data::DataSet* ds = link.FieldDataSet();
    const bool whole = ds && ds->FieldByName(link.fieldName).Kind() == data::ColumnKind::Integer;
    if (whole == (edit->validator() != nullptr)) return;
    if (whole) {
        static const QRegularExpression pattern(QStringLiteral("[-+]?[0-9]*"));
        edit->setValidator(new QRegularExpressionValidator(pattern, edit));
    } else {
        delete edit->validator();
        edit->setValidator(nullptr);
    }
}

// Writes text into the field with `loading` set, so that the control takes no
// notice of the field's own echo. After an error the flag is cleared, reload
// runs (when given) and the error goes on.
void WriteField(detail::FieldLink& link, bool& loading, const QString& text, bool startEdit,
                const std::function<void()>& reload = {}) {
    loading = true;
    try {
        link.WriteText(text, startEdit);
    } catch (...) {
        loading = false;
        if (reload) reload();
        throw;
    }
    loading = false;
}
}  // namespace

// ---------------------------------------------------------------- DBText

DBText::DBText(QWidget* parent) : FieldControl(parent) {
    link_.FollowRecord([this] { Load(); });
}

void DBText::Load() { SetText(link_.Text()); }

void DBText::SetText(const QString& text) {
    if (text == QLabel::text()) return;
    setText(text);
    if (OnChange) RunHandler(OnChange);
}

// ---------------------------------------------------------------- DBEdit

DBEdit::DBEdit(QWidget* parent) : FieldControl(parent) {
    link_.link.OnChange = [this](DataChange c) {
        if (c == DataChange::Active) ApplyMaxLength();
        if (c != DataChange::UpdateRecord) Load();
    };
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (loading_) {
            if (OnChange) RunHandler(OnChange);
            return;
        }
        RunHandler([&] { WriteField(link_, loading_, text, false); });
        if (OnChange) RunHandler(OnChange);
    });
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        RunHandler([&] { WriteField(link_, loading_, text, true, [this] { Load(); }); });
    });
}

void DBEdit::SetDataField(const QString& field) {
    link_.fieldName = field;
    ApplyMaxLength();
    Load();
}

void DBEdit::ApplyMaxLength() {
    // The field's width limits typing, as the column holds no more.
    if (!link_.FieldDataSet()) return;
    const int width = link_.MaxLength();
    setMaxLength(width > 0 ? width : 32767);
    ApplyWholeNumberKeys(this, link_);
}

void DBEdit::Load() {
    if (loading_) return;
    loading_ = true;
    setText(link_.Text());
    loading_ = false;
}

// ---------------------------------------------------------------- DBMemo

DBMemo::DBMemo(QWidget* parent) : FieldControl(parent) {
    link_.FollowRecord([this] { Load(); });
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (loading_) return;
        if (userInput_ > 0) TextEdited();
    });
}

void DBMemo::Load() {
    if (loading_) return;
    // A hidden memo without a change handler reads its field only when asked:
    // code walking many records must not lay out each text.
    if (!OnChange && !isVisible()) {
        stale_ = true;
        return;
    }
    stale_ = false;
    const QString text = link_.Text();
    if (text == text_) return;
    loading_ = true;
    text_ = text;
    setPlainText(text);
    loading_ = false;
    if (OnChange) RunHandler(OnChange);
}

QString DBMemo::Text() const {
    if (stale_) {
        stale_ = false;
        text_ = link_.Text();
        shownStale_ = true;
    }
    return text_;
}

void DBMemo::showEvent(QShowEvent* event) {
    if (stale_ || shownStale_) {
        shownStale_ = false;
        stale_ = false;
        loading_ = true;
        text_ = link_.Text();
        setPlainText(text_);
        loading_ = false;
    }
    QPlainTextEdit::showEvent(event);
}

void DBMemo::SetText(const QString& text) {
    Text();  // brings a deferred text up to date
    shownStale_ = false;
    loading_ = true;
    const bool changed = text != text_;
    text_ = text;
    setPlainText(text);
    WriteField(link_, loading_, text, false);
    if (changed && OnChange) OnChange();
}

void DBMemo::TextEdited() {
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    text_ = text;
    RunHandler([&] { WriteField(link_, loading_, text, true, [this] { Load(); }); });
    if (OnChange) RunHandler(OnChange);
}

template <class F>
void DBMemo::AsUser(F&& f) {
    ++userInput_;
    try {
        f();
    } catch (...) {
        --userInput_;
        throw;
    }
    --userInput_;
}

void DBMemo::keyPressEvent(QKeyEvent* event) {
    AsUser([&] { QPlainTextEdit::keyPressEvent(event); });
}
void DBMemo::inputMethodEvent(QInputMethodEvent* event) {
    AsUser([&] { QPlainTextEdit::inputMethodEvent(event); });
}
void DBMemo::insertFromMimeData(const QMimeData* source) {
    AsUser([&] { QPlainTextEdit::insertFromMimeData(source); });
}

// ---------------------------------------------------------------- DBImage

DBImage::DBImage(QWidget* parent) : FieldControl(parent) {
    link_.FollowRecord([this] { Load(); });
}

void DBImage::SetStretch(bool on) {
    stretch_ = on;
    update();
}

void DBImage::SetCenter(bool on) {
    center_ = on;
    update();
}

void DBImage::Load() {
    const QByteArray bytes = link_.Bytes();
    if (bytes == bytes_) return;
    bytes_ = bytes;
    image_ = Decode(bytes);  // a damaged picture in the table shows as none
    update();
}

QByteArray DBImage::WithoutTableHeader(const QByteArray& bytes) {
    // Old Paradox graphic fields put 8 bytes before the bitmap file: the count 1,
    // the type 0x0100 and the size of what follows (all little-endian).
    if (bytes.size() > 8 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == 1) {
        const auto b = [&](int i) { return static_cast<quint32>(static_cast<quint8>(bytes[i])); };
        const quint32 size = b(4) | (b(5) << 8) | (b(6) << 16) | (b(7) << 24);
        if (size == static_cast<quint32>(bytes.size() - 8)) return bytes.mid(8);
    }
    return bytes;
}

QImage DBImage::Decode(const QByteArray& fieldBytes, const char* format) {
    if (fieldBytes.isEmpty()) return {};
    const QByteArray bytes = WithoutTableHeader(fieldBytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format ? QByteArray(format) : QByteArray());
    reader.setDecideFormatFromContent(format == nullptr);
    QImage image = reader.read();
    if (image.isNull() && format) return Decode(bytes, nullptr);
    return image;
}

QByteArray DBImage::ReadPictureFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Файлът „%1“ не може да бъде прочетен.").arg(path));
    const QByteArray bytes = file.readAll();
    const QString suffix = QFileInfo(path).suffix().toLower();
    const char* format = suffix == QLatin1String("bmp")                                     ? "bmp"
                         : suffix == QLatin1String("png")                                   ? "png"
                         : suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ? "jpeg"
                                                                                             : nullptr;
    if (Decode(bytes, format).isNull())
        throw EConvertError(
            QStringLiteral("Файлът „%1“ не е картина във формат BMP, PNG или JPEG или е повреден. "
                           "Логото не е променено.")
                .arg(QFileInfo(path).fileName()));
    return bytes;
}

void DBImage::SetPictureBytes(const QByteArray& picture) {
    const QByteArray bytes = WithoutTableHeader(picture);
    QImage image = Decode(bytes);
    if (!bytes.isEmpty() && image.isNull())
        throw EConvertError(QStringLiteral("Данните не са картина във формат BMP, PNG или JPEG."));
    link_.WriteBytes(bytes, false);
    bytes_ = bytes;
    image_ = std::move(image);
    update();
}

void DBImage::LoadFromFile(const QString& path) { SetPictureBytes(ReadPictureFile(path)); }

void DBImage::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (image_.isNull()) return;
    QPainter p(this);
    const QRect area = contentsRect();
    if (stretch_) {
        p.drawImage(area, image_);
        return;
    }
    QRect target(area.topLeft(), image_.size());
    if (center_) target.moveCenter(area.center());
    p.setClipRect(area);
    p.drawImage(target, image_);
}

// ---------------------------------------------------------------- DBComboBox

DBComboBox::DBComboBox(QWidget* parent) : FieldControl(parent) {
    setEditable(true);
    // Enter does not add the typed text to the choices.
    setInsertPolicy(QComboBox::NoInsert);
    link_.link.OnChange = [this](DataChange c) {
        if (c == DataChange::Active) ApplyWholeNumberKeys(lineEdit(), link_);
        if (c != DataChange::UpdateRecord) Load();
    };
    connect(this, &QComboBox::activated, this, [this](int index) { UserChanged(itemText(index)); });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) { UserChanged(text); });
}

void DBComboBox::SetDataField(const QString& field) {
    link_.fieldName = field;
    ApplyWholeNumberKeys(lineEdit(), link_);
    Load();
}

void DBComboBox::Load() {
    if (loading_) return;
    loading_ = true;
    const QString text = link_.Text();
    const QSignalBlocker block(this);
    if (isEditable())
        setEditText(text);
    else
        setCurrentIndex(findText(text));
    loading_ = false;
}

void DBComboBox::UserChanged(const QString& text) {
    RunHandler([&] { WriteField(link_, loading_, text, true, [this] { Load(); }); });
    if (OnChange) RunHandler(OnChange);
}

void DBComboBox::showPopup() {
    if (OnDropDown) RunHandler(OnDropDown);
    QComboBox::showPopup();
}

// ---------------------------------------------------------------- DBGrid

namespace detail {

class DBGridModel : public QAbstractTableModel {
public:
    explicit DBGridModel(DBGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

    DataSet* Set() const { return grid_->link_.Active() ? grid_->link_.GetDataSet() : nullptr; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(fields_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        DataSet* ds = Set();
        if (!ds || index.column() >= static_cast<int>(fields_.size())) return {};
        return ds->DisplayText(index.row(), fields_[index.column()]);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Vertical) {
            // The indicator: the current record, one being edited, one being inserted.
            DataSet* ds = Set();
            if (role != Qt::DisplayRole || !ds || section != ds->DisplayRow()) return {};
            if (ds->GetState() == DataSet::State::Insert) return QStringLiteral("*");
            return ds->GetState() == DataSet::State::Edit ? QStringLiteral("I") : QStringLiteral("▶");
        }
        if (role != Qt::DisplayRole) return {};
        if (section < 0 || section >= static_cast<int>(titles_.size())) return {};
        return titles_[section];
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = QAbstractTableModel::flags(index);
        if (!grid_->readOnly_) f |= Qt::ItemIsEditable;
        return f;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole) return false;
        DataSet* ds = Set();
        if (!ds || index.column() >= static_cast<int>(fields_.size())) return false;
        const QString name = ds->Columns()[fields_[index.column()]].name;
        const QString text = value.toString();
        bool ok = false;
        RunHandler([&] {
            if (ds->DisplayText(index.row(), fields_[index.column()]) == text && !IsEditing(ds)) return;
            ds->Edit();
            ds->FieldByName(name).SetAsString(text);
            ok = true;
        });
        return ok;
    }

    // Columns and rows again from the data set.
    void Reset() {
        beginResetModel();
        fields_.clear();
        titles_.clear();
        DataSet* ds = Set();
        if (ds) {
            if (grid_->columns_.empty()) {
                for (int i = 0; i < ds->FieldCount(); ++i) {
                    fields_.push_back(i);
                    titles_.push_back(ds->Columns()[i].name);
                }
            } else {
                for (const DBGridColumn& c : grid_->columns_) {
                    int index = -1;
                    for (int i = 0; i < ds->FieldCount(); ++i)
                        if (ds->Columns()[i].name == c.FieldName.toUpper()) index = i;
                    fields_.push_back(index);
                    titles_.push_back(c.Title.isEmpty() ? c.FieldName : c.Title);
                }
            }
        } else {
            for (const DBGridColumn& c : grid_->columns_) titles_.push_back(c.Title.isEmpty() ? c.FieldName : c.Title);
        }
        rows_ = ds ? ds->DisplayRowCount() : 0;
        endResetModel();
    }

    // The rows are re-read; a change of their number resets the model.
    void Changed(DataChange change) {
        DataSet* ds = Set();
        const int rows = ds ? ds->DisplayRowCount() : 0;
        if (change == DataChange::Active || rows != rows_) {
            Reset();
            return;
        }
        if (rows_ > 0 && !fields_.empty())
            emit dataChanged(index(0, 0), index(rows_ - 1, static_cast<int>(fields_.size()) - 1));
        if (rows_ > 0) emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
    }

    int FieldColumn(int column) const {
        return column >= 0 && column < static_cast<int>(fields_.size()) ? fields_[column] : -1;
    }

private:
    DBGrid* grid_;
    std::vector<int> fields_;  // the data set's column of each grid column (-1: none)
    QStringList titles_;
    int rows_ = 0;
};

class DBGridDelegate : public QStyledItemDelegate {
public:
    explicit DBGridDelegate(DBGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        DataSet* ds = grid_->model_->Set();
        const int field = grid_->model_->FieldColumn(index.column());
        if (ds && field >= 0 && ds->Columns()[field].kind == data::ColumnKind::Text && ds->Columns()[field].length > 0)
            editor->setMaxLength(static_cast<int>(ds->Columns()[field].length));
        // The first keystroke puts the record into Edit.
        QObject::connect(editor, &QLineEdit::textEdited, editor, [this] {
            DataSet* set = grid_->model_->Set();
            if (set && !IsEditing(set)) RunHandler([set] { set->Edit(); });
        });
        open_ = editor;
        return editor;
    }

    // The stored text, unless the user has typed into the editor: the first
    // keystroke puts the record into Edit, which repaints the row, and what
    // was typed must not give way to the text it replaces.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        if (line->isModified()) return;
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() != text) line->setText(text);
    }

    // Enter and Escape belong to the open editor, not to the window's default
    // and cancel buttons.
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride && GridKey(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

    static bool GridKey(const QKeyEvent* e) {
        return e->modifiers() == Qt::NoModifier &&
               (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape);
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        if (open_ == editor) open_ = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

    // Writes what the open editor holds into the record (before a post).
    void Flush() {
        if (open_ && grid_->model_->Set() && IsEditing(grid_->model_->Set())) emit commitData(open_);
    }

private:
    DBGrid* grid_;
    mutable QWidget* open_ = nullptr;
};

}  // namespace detail

DBGrid::DBGrid(QWidget* parent) : QTableView(parent) {
    model_ = new detail::DBGridModel(this);
    delegate_ = new detail::DBGridDelegate(this);
    setModel(model_);
    setItemDelegate(delegate_);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumWidth(14);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    link_.OnChange = [this](DataChange c) { DataChanged(c); };
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (OnCellClick) RunHandler([&] { OnCellClick(index.column()); });
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] {
        if (OnDblClick) RunHandler(OnDblClick);
    });
}

DBGrid::~DBGrid() { link_.OnChange = nullptr; }

void DBGrid::SetDataSource(data::DataSource* source) { link_.SetDataSource(source); }

void DBGrid::SetColumns(const std::vector<DBGridColumn>& columns) {
    columns_ = columns;
    model_->Reset();
    ApplyWidths();
    SyncCurrent();
}

QString DBGrid::ColumnsText() const {
    QStringList parts;
    for (const DBGridColumn& c : columns_) parts << QStringLiteral("%1:%2:%3").arg(c.FieldName, c.Title).arg(c.Width);
    return parts.join(QLatin1Char(';'));
}

void DBGrid::SetColumnsText(const QString& text) {
    std::vector<DBGridColumn> columns;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList f = part.split(QLatin1Char(':'));
        DBGridColumn c;
        c.FieldName = f.value(0).trimmed();
        c.Title = f.value(1);
        bool ok = false;
        const int width = f.value(2).toInt(&ok);
        if (ok) c.Width = width;
        columns.push_back(c);
    }
    SetColumns(columns);
}

void DBGrid::SetReadOnly(bool on) {
    readOnly_ = on;
    model_->Reset();
    ApplyWidths();
}

bool DBGrid::MultiSelect() const { return selectionMode() == QAbstractItemView::ExtendedSelection; }

void DBGrid::SetMultiSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void DBGrid::ApplyWidths() {
    for (int i = 0; i < static_cast<int>(columns_.size()); ++i) setColumnWidth(i, columns_[i].Width);
}

QString DBGrid::CellText(int row, int column) const { return model_->index(row, column).data().toString(); }

void DBGrid::DataChanged(DataChange change) {
    if (change == DataChange::UpdateRecord) {
        delegate_->Flush();
        return;
    }
    const bool reset = change == DataChange::Active || model_->rowCount() != (model_->Set() ? model_->Set()->DisplayRowCount() : 0);
    model_->Changed(change);
    if (reset) ApplyWidths();
    SyncCurrent();
}

void DBGrid::SyncCurrent() {
    DataSet* ds = model_->Set();
    const int row = ds ? ds->DisplayRow() : -1;
    if (row < 0 || model_->columnCount() == 0) return;
    if (currentIndex().row() == row) return;
    syncing_ = true;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    setCurrentIndex(model_->index(row, column));
    syncing_ = false;
}

bool DBGrid::MoveTo(int row) {
    DataSet* ds = model_->Set();
    if (!ds || row < 0) return false;
    if (row == ds->DisplayRow()) return true;
    // Leaving an untouched new row drops it, and the rows below it move up.
    int recNo = row + 1;
    if (ds->GetState() == DataSet::State::Insert && !ds->Modified() && row > ds->DisplayRow()) --recNo;
    bool ok = false;
    RunHandler([&] {
        ds->SetRecNo(recNo);
        ok = true;
    });
    return ok;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);  // commits an open editor first
    if (syncing_ || !current.isValid()) return;
    if (current.row() != previous.row()) MoveTo(current.row());
    SyncCurrent();  // back to the record when the move was refused
}

bool DBGrid::ClickCell(int row, int column) {
    if (!model_->index(row, column).isValid()) return false;
    const bool moved = MoveTo(row);
    SyncCurrent();
    if (moved && currentIndex().column() != column) {
        syncing_ = true;
        setCurrentIndex(model_->index(currentIndex().row(), column));
        syncing_ = false;
    }
    if (moved && OnCellClick) RunHandler([&] { OnCellClick(column); });
    return moved;
}

void DBGrid::DeleteRecord() {
    DataSet* ds = model_->Set();
    if (!ds || readOnly_ || ds->DisplayRowCount() == 0) return;
    if (confirmDelete_ && !ConfirmRecordDelete()) return;
    RunHandler([ds] { ds->Delete(); });
}

void DBGrid::CancelUntouchedInsert() {
    DataSet* ds = model_->Set();
    if (ds && ds->GetState() == DataSet::State::Insert && !ds->Modified()) RunHandler([ds] { ds->Cancel(); });
}

void DBGrid::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    if (OnKeyDown) {
        RunHandler([&] { OnKeyDown(key, event->modifiers()); });
        if (key == 0) return;
    }
    DataSet* ds = model_->Set();
    if (ds && !readOnly_ && state() != QAbstractItemView::EditingState) {
        if (key == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier)) {
            DeleteRecord();
            return;
        }
        if (key == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
            RunHandler([ds] { ds->Insert(); });
            return;
        }
        if (key == Qt::Key_Escape && IsEditing(ds)) {
            // A window's cancel button takes Escape before the grid does.
            auto* form = qobject_cast<Form*>(window());
            if (form && ButtonForKey(key, event->modifiers(), this, form->EnterButton(), form->EscapeButton())) {
                event->ignore();
                return;
            }
            RunHandler([ds] { ds->Cancel(); });
            return;
        }
        if (key == Qt::Key_Down && (ds->DisplayRowCount() == 0 || currentIndex().row() == ds->DisplayRowCount() - 1)) {
            if (ds->GetState() != DataSet::State::Insert || ds->Modified()) RunHandler([ds] { ds->Append(); });
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

bool DBGrid::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && detail::DBGridDelegate::GridKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTableView::event(event);
}

void DBGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    // Leaving the grid for another control drops a new row nobody typed into;
    // the grid's own editor and a window switch do not count.
    QWidget* next = QApplication::focusWidget();
    if (!cancelOnExit_ || !next || next == this || isAncestorOf(next)) return;
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) return;
    CancelUntouchedInsert();
}

// ---------------------------------------------------------------- DBNavigator

namespace {
struct ButtonInfo {
    const char* name;
    const char* glyph;
    const char* hint;
};
const std::array<ButtonInfo, 10> kButtons = {{
    {"first", "|◀", "Първи запис"},
    {"prior", "◀", "Предишен запис"},
    {"next", "▶", "Следващ запис"},
    {"last", "▶|", "Последен запис"},
    {"insert", "+", "Добави запис"},
    {"delete", "−", "Изтрий записа"},
    {"edit", "▲", "Редактирай записа"},
    {"post", "✔", "Запази промяната"},
    {"cancel", "✘", "Незапазвай промяната"},
    {"refresh", "↻", "Опресни"},
}};
}  // namespace

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < 10; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(kButtons[i].name));
        b->setText(QString::fromUtf8(kButtons[i].glyph));
        b->setToolTip(QString::fromUtf8(kButtons[i].hint));
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
        buttons_[i] = b;
        const auto which = static_cast<NavigateBtn>(i);
        connect(b, &QToolButton::clicked, this, [this, which] { RunHandler([this, which] { BtnClick(which); }); });
    }
    link_.OnChange = [this](DataChange c) {
        if (c != DataChange::UpdateRecord) UpdateButtons();
    };
    UpdateButtons();
}

void DBNavigator::SetVisibleButtons(const std::vector<NavigateBtn>& buttons) {
    for (QToolButton* b : buttons_) b->setVisible(false);
    for (NavigateBtn b : buttons) Button(b)->setVisible(true);
}

std::vector<NavigateBtn> DBNavigator::VisibleButtons() const {
    std::vector<NavigateBtn> result;
    for (int i = 0; i < 10; ++i)
        if (!buttons_[i]->isHidden()) result.push_back(static_cast<NavigateBtn>(i));
    return result;
}

QString DBNavigator::VisibleButtonsText() const {
    QStringList names;
    for (NavigateBtn b : VisibleButtons()) names << QString::fromLatin1(kButtons[static_cast<int>(b)].name);
    return names.join(QLatin1Char(','));
}

void DBNavigator::SetVisibleButtonsText(const QString& text) {
    std::vector<NavigateBtn> buttons;
    for (const QString& name : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        for (int i = 0; i < 10; ++i)
            if (name.trimmed().compare(QLatin1String(kButtons[i].name), Qt::CaseInsensitive) == 0)
                buttons.push_back(static_cast<NavigateBtn>(i));
    SetVisibleButtons(buttons);
}

void DBNavigator::SetHint(NavigateBtn button, const QString& hint) { Button(button)->setToolTip(hint); }
QString DBNavigator::Hint(NavigateBtn button) const { return Button(button)->toolTip(); }

QString DBNavigator::HintsText() const {
    QStringList hints;
    for (NavigateBtn b : VisibleButtons()) hints << Hint(b);
    return hints.join(QLatin1Char('|'));
}

void DBNavigator::SetHintsText(const QString& text) {
    const QStringList hints = text.split(QLatin1Char('|'));
    const std::vector<NavigateBtn> visible = VisibleButtons();
    for (size_t i = 0; i < visible.size() && i < static_cast<size_t>(hints.size()); ++i) SetHint(visible[i], hints[i]);
}

void DBNavigator::BtnClick(NavigateBtn button) {
    DataSet* ds = link_.Active() ? link_.GetDataSet() : nullptr;
    if (!ds) return;
    switch (button) {
        case NavigateBtn::First: ds->SetRecNo(1); break;
        case NavigateBtn::Prior: ds->SetRecNo(std::max(1, ds->RecNo() - 1)); break;
        case NavigateBtn::Next: ds->SetRecNo(ds->RecNo() + 1); break;
        case NavigateBtn::Last: ds->SetRecNo(ds->RecordCount()); break;
        case NavigateBtn::Insert: ds->Insert(); break;
        case NavigateBtn::Delete:
            if (ds->IsEmpty() && ds->GetState() != DataSet::State::Insert) return;
            if (confirmDelete_ && !ConfirmRecordDelete()) return;
            ds->Delete();
            break;
        case NavigateBtn::Edit: ds->Edit(); break;
        case NavigateBtn::Post: ds->Post(); break;
        case NavigateBtn::Cancel: ds->Cancel(); break;
        case NavigateBtn::Refresh: ds->Refresh(); break;
    }
    if (OnClick) OnClick(button);
}

void DBNavigator::UpdateButtons() {
    DataSet* ds = link_.Active() ? link_.GetDataSet() : nullptr;
    const bool active = ds != nullptr;
    const bool editing = IsEditing(ds);
    const int recNo = active ? ds->RecNo() : 0;
    const int count = active ? ds->RecordCount() : 0;
    // A record being inserted stands between the others: every move leaves it.
    const bool inserting = active && ds->GetState() == DataSet::State::Insert;
    Button(NavigateBtn::First)->setEnabled(active && (recNo > 1 || inserting));
    Button(NavigateBtn::Prior)->setEnabled(active && (recNo > 1 || inserting));
    Button(NavigateBtn::Next)->setEnabled(active && (recNo < count || inserting));
    Button(NavigateBtn::Last)->setEnabled(active && (recNo < count || inserting));
    Button(NavigateBtn::Insert)->setEnabled(active);
    Button(NavigateBtn::Delete)->setEnabled(active && (count > 0 || editing));
    Button(NavigateBtn::Edit)->setEnabled(active && !editing && count > 0);
    Button(NavigateBtn::Post)->setEnabled(editing);
    Button(NavigateBtn::Cancel)->setEnabled(editing);
    Button(NavigateBtn::Refresh)->setEnabled(active);
}

// ---------------------------------------------------------------- DBCtrlGrid

DBCtrlGrid::DBCtrlGrid(QWidget* parent) : QWidget(parent) {
    link_.OnChange = [this](DataChange c) {
        if (c == DataChange::UpdateRecord) return;
        ++changes_;
        update();
    };
}

}  // namespace platform
