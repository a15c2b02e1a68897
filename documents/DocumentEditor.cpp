#include "documents/DocumentEditor.h"

#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "documents/CalculatorWindow.h"
#include "documents/EditorRules.h"
#include "documents/IdentificationNumber.h"
#include "documents/ItemColumns.h"
#include "documents/Lookup.h"
#include "documents/NumberText.h"
#include "documents/Numbering.h"
#include "documents/PageRules.h"
#include "documents/PrintOptions.h"
#include "documents/PrintedPage.h"
#include "platform/Application.h"
#include "platform/CodePage.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Handlers.h"
#include "platform/LocaleText.h"
#include "registers/OwnFirms.h"

#include <QComboBox>
#include <QDate>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPointer>
#include <QScopeGuard>
#include <QScrollBar>
#include <QStyle>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QToolButton>

#include <array>

TOrderForm* OrderForm = nullptr;

namespace {

const QColor kSkyBlue(166, 202, 240);
const QColor kPaleYellow(255, 255, 155);  // 10223615
const QColor kGreen(0, 128, 0);           // 32768
const QColor kRed(255, 0, 0);             // 255
const QColor kLightGrey(223, 223, 223);   // DFDFDF
constexpr int kItemHeight = 14;

QString HintOf(const QObject* control) { return control->property("Hint").toString(); }
void SetHintOf(QObject* control, const QString& hint) { control->setProperty("Hint", hint); }

void SetBackground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void SetTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

void SetBaseColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
}

// The lookup list's entries are all of one fixed height.
class FixedHeightItems : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight};
    }
};

// The combo box's drop-down is as wide as its longest entry.
void FitDropDownToEntries(QComboBox* combo) {
    const auto fit = [combo] {
        QAbstractItemView* view = combo->view();
        const QFontMetrics metrics(view->font());
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i) widest = std::max(widest, metrics.horizontalAdvance(combo->itemText(i)));
        const int margins = 2 * view->frameWidth() + view->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16;
        view->setMinimumWidth(widest + margins);
    };
    QAbstractItemModel* model = combo->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, combo, fit);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, combo, fit);
    QObject::connect(model, &QAbstractItemModel::dataChanged, combo, fit);
    QObject::connect(model, &QAbstractItemModel::modelReset, combo, fit);
    fit();
}

// A total label takes the room from its caption's text to the panel's right
// edge, keeping its right alignment, so that a large sum shows every digit.
void WidenTotalLabel(QLabel* total, int captionRight) {
    const int left = captionRight + 6;
    total->setGeometry(left, total->y(), total->parentWidget()->width() - 4 - left, total->height());
}

// The own-firms window's built-in logo as picture file bytes.
QByteArray BuiltInLogo() { return FillFirm ? FillFirm->Image1->PictureBytes() : QByteArray(); }

using platform::Handler;

}  // namespace

data::DataSet* LookupDataSet(const QString& name) {
    TDataModule1* m = DataModule1;
    if (m) {
        const std::pair<const char*, data::DataSet*> sets[] = {
            {"cust", &m->cust},   {"firm", &m->firm},         {"details", &m->details}, {"stock", &m->stock},
            {"employee", &m->employee}, {"store", &m->store}, {"currency", &m->currency}, {"user", &m->user}};
        for (const auto& [n, ds] : sets)
            if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return ds;
    }
    throw platform::Exception(QStringLiteral("Няма набор от данни „%1“.").arg(name));
}

TOrderForm::TOrderForm(QWidget* parent) : platform::Form(parent), KeyTime(new platform::SystemTime) {
    setupUi(this);
    SetBackground(this, Qt::white);
    SetBackground(Panel3, Qt::white);
    SetBackground(PageArea, Qt::white);
    SetBackground(Panel1, kSkyBlue);
    SetTextColour(Panel2, kRed);
    SetTextColour(SpeedButton2, kRed);
    ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // On a screen too small for the editor the page scrolls both ways in a
    // smaller window, the command column staying at the right.
    SetScrollsOwnContents(true);
    ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollBox->verticalScrollBar()->setSingleStep(54);

    // A combo box of the class library shows no item until one is chosen.
    for (QComboBox* combo : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5}) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        platform::SetComboIndexSilently(combo, -1);
        const QSignalBlocker block(combo->lineEdit());
        combo->lineEdit()->clear();
    }
    // Whole texts: drop-downs as wide as their longest entry, the title box
    // over the free room left of it (its text in a size that fits, below),
    // the totals as wide as their panel allows.
    for (QComboBox* combo : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5}) FitDropDownToEntries(combo);
    ComboBox2->setGeometry(0, ComboBox2->y(), ComboBox2->x() + ComboBox2->width(), ComboBox2->height());
    ComboBox2->lineEdit()->installEventFilter(this);
    WidenTotalLabel(Label7, Label217->x() + Label217->sizeHint().width());
    WidenTotalLabel(Label4, Edit9->x() + Edit9->width());
    WidenTotalLabel(Label11, Label219->x() + Label219->sizeHint().width());
    // Typing goes on in the edit or cell the list serves; the list never takes the keys.
    ListBox1->setFocusPolicy(Qt::NoFocus);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setItemDelegate(new FixedHeightItems(ListBox1));
    StringGrid1->SetHint(QStringLiteral("Description1;stock"));

    // Command column.
    connect(Save, &QPushButton::clicked, this, Handler([this] { SaveClick(Save); }));
    connect(View, &QPushButton::clicked, this, Handler([this] { ViewClick(View); }));
    connect(SpeedButton4, &QPushButton::clicked, this, Handler([this] { SpeedButton4Click(); }));
    connect(OrderBtn, &QPushButton::clicked, this, Handler([this] { OrderBtnClick(); }));
    connect(SpeedButton5, &QPushButton::clicked, this, Handler([this] { SpeedButton5Click(); }));
    connect(SpeedButton7, &QPushButton::clicked, this, Handler([this] { SpeedButton7Click(); }));

    // Parties.
    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit6, Edit7, Edit10, Edit12, Edit13, Edit14, Edit16, Edit4, Edit5})
        connect(e, &QLineEdit::textChanged, this, Handler([this, e] { Edit1Change(e); }));
    for (QLineEdit* e : {Edit8, Edit15}) connect(e, &QLineEdit::textChanged, this, Handler([this] { Edit8Change(); }));
    for (QToolButton* b : {SpeedButton1, BitBtn2, BitBtn1, BitBtn5, BitBtn6, BitBtn7, BitBtn8, BitBtn9, BitBtn10,
                           BitBtn11, BitBtn3, BitBtn4})
        connect(b, &QToolButton::clicked, this, Handler([this, b] { SpeedButton1Click(b); }));
    connect(ListBox1, &QListWidget::itemClicked, this, [this] {
        // The click leaves the keys with the edit or grid the list served.
        QPointer<QWidget> served = findChild<QWidget*>(HintOf(ListBox1).section(u';', 0, 0));
        platform::RunHandler([this] { ListBox1Click(); });
        if (served && served->isVisible()) served->setFocus(Qt::MouseFocusReason);
    });
    connect(SpeedButton3, &QPushButton::clicked, this, Handler([this] { SpeedButton3Click(SpeedButton3); }));
    Panel3->installEventFilter(this);

    // Line items.
    StringGrid1->OnSelectCell = Handler([this](int col, int row, bool& can) { StringGrid1SelectCell(col, row, can); });
    StringGrid1->OnSetEditText =
        Handler([this](int col, int row, const QString& text) { StringGrid1SetEditText(col, row, text); });
    StringGrid1->OnKeyDown = [this](int& key, Qt::KeyboardModifiers) {
        if (key != Qt::Key_Down) return;
        const bool listShown = ListBox1->isVisible();
        platform::RunHandler([this] { MoveDownOrAppendRow(); });
        if (listShown) key = 0;
    };
    StringGrid1->OnKeyUp = [this](int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Up) platform::RunHandler([this] { MoveUpOrDropEmptyRow(); });
    };
    connect(StringGrid1Button, &QToolButton::clicked, this, Handler([this] { StringGrid1ButtonClick(); }));
    connect(CheckBox7, &QCheckBox::toggled, this, Handler([this] { CheckBox7Click(); }));
    StringGrid2->OnSetEditText = Handler(this, &TOrderForm::StringGrid2SetEditText);
    StringGrid2->OnSelectCell = Handler(this, &TOrderForm::StringGrid2SelectCell);

    ConnectHeaderFields();
    ConnectViewAndLanguage();

    // Own firm and bank account: their navigators move the data sets, then the editor follows.
    DBNavigator1->OnClick = Handler(this, &TOrderForm::DBNavigator1Click);
    DBNavigator2->OnClick = Handler(this, &TOrderForm::DBNavigator2Click);
    DBGrid1->OnCellClick = Handler([this](int column) { DBGrid1CellClick(column); });
}

void TOrderForm::ConnectHeaderFields() {
    connect(ComboBox2, &QComboBox::editTextChanged, this, Handler([this] { ComboBox2Change(); }));
    connect(EDate, &QDateEdit::dateChanged, this, Handler([this] { EDateChange(); }));
    connect(MaskEdit1, &QLineEdit::textChanged, this, Handler([this] { EDateChange(); }));
    connect(CheckBox4, &QCheckBox::toggled, this, Handler([this] { CheckBox4Click(); }));
    connect(ComboBox1, &QComboBox::editTextChanged, this, Handler([this] { ComboBox1Change(); }));
    connect(EDate4, &QDateEdit::dateChanged, this, Handler([this] { EDate4Change(); }));
    connect(MaskEdit2, &QLineEdit::textChanged, this, Handler([this] { EDate4Change(); }));
    connect(CheckBox5, &QCheckBox::toggled, this, Handler([this] { CheckBox5Click(); }));
    connect(ComboBox4, &QComboBox::editTextChanged, this, Handler([this] { ComboBox4Change(); }));
    connect(ComboBox5, &QComboBox::editTextChanged, this, Handler([this] { ComboBox5Change(); }));
    connect(SpeedButton2, &QToolButton::clicked, this, Handler([this] { SpeedButton2Click(); }));
    connect(CheckBox1, &QCheckBox::toggled, this, Handler([this] { CheckBox1Click(); }));
    connect(CheckBox2, &QCheckBox::toggled, this, Handler([this] { CheckBox2Click(); }));
    connect(EDate2, &QDateEdit::dateChanged, this, Handler([this] { EDate2Change(); }));
    connect(EDate3, &QDateEdit::dateChanged, this, Handler([this] { EDate3Change(); }));
    connect(ComboBox3, &QComboBox::editTextChanged, this, Handler([this] { ComboBox3Change(); }));
    connect(ComboBox3, &QComboBox::activated, this, Handler([this](int index) { ComboBox3Select(index); }));
    // The combo box hands its keys to its line edit directly, past any filter
    // of the line edit: Enter is watched on the combo box itself.
    ComboBox3->installEventFilter(this);
    connect(CheckBox6, &QCheckBox::toggled, this, Handler([this] { CheckBox6Click(); }));
    connect(DBText7, &QLineEdit::textChanged, this, Handler([this] { DBText7Change(); }));
    connect(Edit20, &QLineEdit::textChanged, this, Handler([this] { DBText7Change(); }));
    connect(Edit9, &QLineEdit::textChanged, this, Handler([this] { Edit9Change(); }));
    Edit9->installEventFilter(this);
}

TOrderForm::~TOrderForm() { delete KeyTime; }

void TOrderForm::BindDataControls() {
    if (bound_ || !DataModule1) return;
    bound_ = true;
    DBImage2->SetDataSource(&DataModule1->DataSource2);
    DBImage3->SetDataSource(&DataModule1->DataSource2);
    DBNavigator1->SetDataSource(&DataModule1->DataSource2);
    DBNavigator2->SetDataSource(&DataModule1->DataSource3);
    DBGrid1->SetDataSource(&DataModule1->DataSource7);
    DBNavigator->SetDataSource(&DataModule1->DataSource7);
    MemoStore->SetDataSource(&DataModule1->DataSource6);
    MemoStr->SetDataSource(&DataModule1->DataSource6);
}

void TOrderForm::FormShow() { BindDataControls(); }

void TOrderForm::FormCreate() { ColumnWidths.clear(); }

void TOrderForm::FormClose() {
    if (Form1) Form1->SavePaymentMethods();
    if (PrtD && PrtD->isVisible()) PrtD->Close();
}

void TOrderForm::resizeEvent(QResizeEvent* event) {
    platform::Form::resizeEvent(event);
    const int column = Panel1->width();
    ScrollBox->setHorizontalScrollBarPolicy(width() < DesignSize().width() ? Qt::ScrollBarAsNeeded
                                                                          : Qt::ScrollBarAlwaysOff);
    Panel1->setGeometry(width() - column, 0, column, height());
    ScrollBox->setGeometry(0, 0, width() - column, height());
}

void TOrderForm::mousePressEvent(QMouseEvent* event) {
    platform::Form::mousePressEvent(event);
    platform::RunHandler([this] { HeaderPanelClick(); });
}

bool TOrderForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ComboBox2->lineEdit() && event->type() == QEvent::Paint) {
        // The title is drawn whole: in the design size when it fits the box, else smaller.
        QLineEdit* title = ComboBox2->lineEdit();
        QFont font = ComboBox2->font();
        const int room = title->contentsRect().width() - 6;
        while (font.pointSize() > 8 && QFontMetrics(font).horizontalAdvance(title->text()) > room)
            font.setPointSize(font.pointSize() - 1);
        if (font != title->font()) title->setFont(font);
    } else if (watched == Panel3 && event->type() == QEvent::MouseButtonPress) {
        platform::RunHandler([this] { HeaderPanelClick(); });
    } else if (watched == Edit9 && event->type() == QEvent::KeyPress) {
        // Only digits, Backspace, "%" and the decimal separator reach the VAT rate.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (!text.isEmpty() && key->key() != Qt::Key_Backspace && text[0].isPrint()) {
            const QChar c = text[0];
            if (!(c.isDigit() && c.unicode() < 128) && c != u'%' && c != platform::DecimalSeparator()) return true;
        }
    } else if (watched == ComboBox3 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            platform::RunHandler([this, key] { ComboBox3KeyDown(key); });
            return true;
        }
    }
    return platform::Form::eventFilter(watched, event);
}

QLabel* TOrderForm::PageLabel(const char* name) const {
    return Doc ? Doc->findChild<QLabel*>(QLatin1String(name)) : nullptr;
}

void TOrderForm::SetPageLabel(const char* name, const QString& text) const {
    if (QLabel* label = PageLabel(name)) label->setText(text);
}

// ---------------------------------------------------------------- frame

void TOrderForm::ResetNewDocument() {
    static const char* const titles[] = {"Пор. №", "Наименование на стоките или услугите", "Мярка", "К-во",
                                         "Ед. цена", "Стойност"};
    for (const char* title : titles) {
        for (int c = 0; c < StringGrid1->ColCount(); ++c) {
            if (StringGrid1->Cell(c, 0).isEmpty()) {
                StringGrid1->SetCell(c, 0, QString::fromUtf8(title));
                break;
            }
        }
    }
    StringGrid1->SetCurrentCell(5, 1);
    StringGrid1->SetEditorMode(true);
    for (QDateEdit* d : {EDate, EDate2, EDate3, EDate4}) d->setDate(QDate::currentDate());
    try {
        NextDocumentNumber();
    } catch (...) {
        // A counter that is no number is shown; the new document is set up all the same.
        platform::Application::ShowCurrentException();
    }
    platform::SetComboIndexSilently(ComboBox3, 0);
    RenderPageToImage();
    StringGrid1Button->move(566, 336);
    if (Form1) Form1->LoadPaymentMethods();
}

void TOrderForm::SpeedButton4Click() { Close(); }
void TOrderForm::CheckBox6Click() { EnableSave(); }
void TOrderForm::DBText7Change() { EnableSave(); }
void TOrderForm::StringGrid2SetEditText() { EnableSave(); }
void TOrderForm::OrderBtnClick() { platform::Click(Main->OrderBtn); }
void TOrderForm::SpeedButton5Click() { platform::Click(Main->SpeedButton3); }
void TOrderForm::SpeedButton7Click() { platform::Click(Main->SpeedButton7); }

// ---------------------------------------------------------------- parties

void TOrderForm::Edit1Change(QLineEdit* edit) {
    GoodsLookupMode = false;
    SetHintOf(ListBox1, edit->objectName() + u';' + ParseLookupHint(HintOf(edit)).dataSet);
    FillLookupList(edit);
    EnableSave();
    Label1->setVisible(true);
    const bool valid = CheckIdentificationNumber(Edit7->text());
    Label1->setText(valid ? QStringLiteral("Валиден") : QStringLiteral("Невалиден"));
    SetTextColour(Label1, valid ? kGreen : kRed);
}

void TOrderForm::Edit8Change() { EnableSave(); }

void TOrderForm::FillLookupList(QLineEdit* edit) {
    const LookupHint hint = ParseLookupHint(HintOf(edit));
    data::DataSet* ds = LookupDataSet(hint.dataSet);
    ListBox1->clear();
    // With no text or no match the list would stay open, empty, under the edit.
    const auto hideWhenEmpty = qScopeGuard([this] {
        if (ListBox1->count() == 0) ListBox1->hide();
    });
    const QString typed = edit->text();
    if (typed.isEmpty()) return;
    // Matched on the stored Windows-1251 bytes; only the entries are decoded.
    const std::optional<QByteArray> typedLower = LookupTypedBytes(typed);
    data::Field field = ds->FieldByName(hint.field);
    QStringList entries;
    const int count = ds->RecordCount();
    {
        const data::QuietWalk quiet(*ds);
        for (int i = 1; i <= count && typedLower; ++i) {
            ds->SetRecNo(i);
            const QByteArrayView view = field.View();
            const QByteArray bytes = QByteArray::fromRawData(view.data(), view.size());
            if (LookupStartsWithBytes(bytes, *typedLower)) entries << platform::DecodeCp1251(bytes);
        }
        if (count > 0) ds->SetRecNo(1);
    }
    ListBox1->addItems(entries);
    PlaceLookupList(edit);
}

void TOrderForm::PlaceLookupList(QWidget* edit) {
    if (ListBox1->count() == 0) return;
    const QPoint at = Panel3->mapFromGlobal(edit->mapToGlobal(QPoint(0, 0)));
    int top = at.y() + edit->height();
    SetBaseColour(ListBox1, edit->palette().color(QPalette::Base));
    const int height = LookupListHeight(ListBox1->count(), kItemHeight, 150);
    if (Panel3->mapTo(this, QPoint(0, top)).y() + height >= this->height() - 25) top = at.y() - height;
    ListBox1->setGeometry(at.x(), top, edit->width() + 17, height);
    ListBox1->show();
    ListBox1->raise();
}

void TOrderForm::SpeedButton1Click(QAbstractButton* button) {
    QLineEdit* edit = nullptr;
    for (QLineEdit* e : button->parentWidget()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
        if (e->x() + e->width() == button->x() && e->y() == button->y()) edit = e;
    if (!edit) return;
    GoodsLookupMode = false;
    const LookupHint hint = ParseLookupHint(HintOf(edit));
    SetHintOf(ListBox1, edit->objectName() + u';' + hint.dataSet);
    ListBox1->clear();
    data::DataSet* ds = LookupDataSet(hint.dataSet);
    ds->Refresh();
    data::Field field = ds->FieldByName(hint.field);
    QStringList entries;
    const int count = ds->RecordCount();
    {
        const data::QuietWalk quiet(*ds);
        for (int i = 1; i <= count; ++i) {
            ds->SetRecNo(i);
            entries << field.AsString();
        }
    }
    ListBox1->addItems(entries);
    PlaceLookupList(edit);
}

void TOrderForm::ListBox1Click() {
    EnableSave();
    TakeLookupEntry(ListBox1->currentRow());
    ListBox1->hide();
}

void TOrderForm::HeaderPanelClick() {
    RecalculateThroughVatRate();
    ListBox1->hide();
}

void TOrderForm::TakeLookupEntry(int index) {
    try {
        if (index < 0 || index >= ListBox1->count()) return;
        const QString entry = ListBox1->item(index)->text();
        const QString hint = HintOf(ListBox1);
        const QString served = hint.section(u';', 0, 0);
        const QString dataSetName = hint.section(u';', 1);
        ListBox1->hide();
        if (GoodsLookupMode) {
            DataModule1->stock.SetRecNo(GoodsEntryRecNo(entry));
            FillGoodsRow(CurrentItemRow);
            return;
        }
        auto* edit = Panel3->findChild<QLineEdit*>(served);
        if (!edit) edit = findChild<QLineEdit*>(served);
        if (!edit) return;
        edit->setText(entry);
        data::DataSet* ds = LookupDataSet(dataSetName);
        data::Field key = ds->FieldByName(ParseLookupHint(HintOf(edit)).field);
        const data::QuietWalk quiet(*ds);
        int found = 0;
        for (int i = ds->RecordCount(); i >= 1 && !found; --i) {
            ds->SetRecNo(i);
            if (key.AsString() == edit->text()) found = i;
        }
        if (!found) return;
        // Each filled edit runs its own type-ahead, which moves the data set;
        // the record is sought again before every field.
        for (QWidget* w : Panel3->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            auto* target = qobject_cast<QLineEdit*>(w);
            if (!target || HintOf(target).isEmpty()) continue;
            const LookupHint h = ParseLookupHint(HintOf(target));
            if (h.dataSet != dataSetName) continue;
            ds->SetRecNo(found);
            QString value = ds->FieldByName(h.firstField).AsString();
            if (value.isEmpty() && !h.secondField.isEmpty()) value = ds->FieldByName(h.secondField).AsString();
            target->setText(value);
        }
    } catch (...) {
        // A list entry that cannot be taken leaves the fields filled so far.
    }
}

void TOrderForm::StringGrid1SelectCell(int col, int row, bool& canSelect) {
    Q_UNUSED(canSelect);
    if (col == ItemColumn::Description) StringGrid1->SetHint(QStringLiteral("Description1;stock"));
    CurrentItemCol = col;
    CurrentItemRow = row;
    ListBox1->hide();
    const QRect cell = StringGrid1->CellRect(col, row);
    StringGrid1Button->move(cell.right() + 1 + StringGrid1->x() - StringGrid1Button->width(),
                            cell.top() + StringGrid1->y());
    StringGrid1Button->setVisible(col == ItemColumn::Description);
    StringGrid1Button->raise();
    RecalculateThroughVatRate();
    enteredCol_ = col;
    enteredRow_ = row;
    enteredText_ = StringGrid1->Cell(col, row);
    enteredTyped_ = false;
}

namespace {

// The goods entries in record order, as stored (Windows-1251): the
// description's first line, "~" and the record number.
std::vector<QByteArray> GoodsEntryBytes(const LookupHint& hint) {
    data::DataSet* ds = LookupDataSet(hint.dataSet);
    data::Field field = ds->FieldByName(hint.field);
    std::vector<QByteArray> entries;
    const int count = ds->RecordCount();
    entries.reserve(count);
    const data::QuietWalk quiet(*ds);
    for (int i = 1; i <= count; ++i) {
        ds->SetRecNo(i);
        const QByteArrayView view = field.View();
        const qsizetype end = view.indexOf('\n');
        const qsizetype cr = view.indexOf('\r');
        const qsizetype cut = end < 0 ? cr : (cr < 0 ? end : std::min(end, cr));
        QByteArray entry = (cut >= 0 ? view.first(cut) : view).toByteArray();
        entry += '~' + QByteArray::number(i);
        entries.push_back(std::move(entry));
    }
    return entries;
}

// The entries that contain the typed text, both lowered in the code page's terms.
QStringList EntriesContaining(const std::vector<QByteArray>& entries, const QString& typed) {
    const std::optional<QByteArray> typedLower = LookupTypedBytes(typed);
    QStringList kept;
    if (!typedLower) return kept;
    for (const QByteArray& entry : entries)
        if (LookupLowerBytes(entry).contains(*typedLower)) kept << platform::DecodeCp1251(entry);
    return kept;
}

QStringList Decoded(const std::vector<QByteArray>& entries) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(entries.size()));
    for (const QByteArray& entry : entries) texts << platform::DecodeCp1251(entry);
    return texts;
}

// The width the list's items ask for, of the widest of the entries: the
// entries that may be the widest are picked by their characters' widths in
// the list's font, then by their texts' widths, and only those within two
// points of the widest text are measured as the item view measures them.
int WidestEntryWidth(QListWidget* list, const std::vector<QByteArray>& entries) {
    std::array<double, 256> advances{};
    const QFontMetricsF metrics(list->font());
    for (int b = 0; b < 256; ++b) {
        const QString c = platform::DecodeCp1251(QByteArray(1, static_cast<char>(b)));
        advances[b] = b < 0x20 || c.size() != 1 ? -1 : metrics.horizontalAdvance(c[0]);
    }
    QStringList candidates;
    std::vector<double> widths;
    double widestText = 0;
    for (int i : GoodsEntriesThatMayBeWidest(entries, advances)) {
        candidates << platform::DecodeCp1251(entries[i]);
        widths.push_back(metrics.horizontalAdvance(candidates.last()));
        widestText = std::max(widestText, widths.back());
    }
    QStringList widest;
    for (qsizetype i = 0; i < candidates.size(); ++i)
        if (widths[i] >= widestText - 2 || candidates[i].contains(u'\t')) widest << candidates[i];
    list->addItems(widest);
    const int width = list->sizeHintForColumn(0);
    list->clear();
    return width;
}

}  // namespace

void TOrderForm::StringGrid1ButtonClick() { OpenGoodsList(nullptr); }

void TOrderForm::OpenGoodsList(const QString* typed) {
    GoodsLookupMode = true;
    const LookupHint hint = ParseLookupHint(StringGrid1->Hint());
    SetHintOf(ListBox1, QStringLiteral("StringGrid1;") + hint.dataSet);
    ListBox1->clear();
    LookupDataSet(hint.dataSet)->Refresh();
    const std::vector<QByteArray> entries = GoodsEntryBytes(hint);
    if (entries.empty()) return;
    const QRect cell = StringGrid1->CellRect(CurrentItemCol, CurrentItemRow);
    const QRect below = StringGrid1->CellRect(CurrentItemCol, CurrentItemRow + 1);
    const int top = (below.isEmpty() ? cell.bottom() + 2 : below.top()) + StringGrid1->y();
    // At least the cell's width, and wide enough for every entry with its "~"
    // number; moved left as far as needed to stay on the page. As high as
    // every entry needs, also when only those that contain a typed text are listed.
    const int widest = WidestEntryWidth(ListBox1, entries) + 2 * ListBox1->frameWidth() +
                       ListBox1->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4;
    const int width = std::min(std::max(cell.width(), widest), Panel3->width());
    const int left = std::min(cell.left() + StringGrid1->x(), Panel3->width() - width);
    ListBox1->addItems(typed ? EntriesContaining(entries, *typed) : Decoded(entries));
    SetBaseColour(ListBox1, kPaleYellow);
    ListBox1->setGeometry(left, top, width,
                          LookupListHeight(static_cast<int>(entries.size()), kItemHeight, 100));
    ListBox1->show();
    ListBox1->raise();
}

void TOrderForm::StringGrid1SetEditText(int col, int row, const QString&) {
    if (col == enteredCol_ && row == enteredRow_) enteredTyped_ = true;
    EnableSave();
    if (StringGrid1Button->isVisible()) FilterGoodsList();
}

void TOrderForm::FilterGoodsList() {
    const QString typed = StringGrid1->Cell(CurrentItemCol, CurrentItemRow);
    const bool filtered = CurrentItemCol == ItemColumn::Description && !typed.isEmpty();
    // The goods are read afresh when the list opens, and only the entries
    // that contain the typed text are put in; while it stays open each
    // keystroke filters the rows already read.
    const bool open = ListBox1->isVisible() && GoodsLookupMode;
    if (!open) OpenGoodsList(filtered ? &typed : nullptr);
    if (!filtered) {
        ListBox1->hide();
        return;
    }
    if (open) {
        const QStringList kept =
            EntriesContaining(GoodsEntryBytes(ParseLookupHint(StringGrid1->Hint())), typed);
        ListBox1->clear();
        ListBox1->addItems(kept);
    }
    // No goods match: no empty list stays on screen.
    if (ListBox1->count() == 0) ListBox1->hide();
}

bool TOrderForm::CheckIdentificationNumber(const QString& text) { return IdentificationNumberValid(text); }

void TOrderForm::SpeedButton3Click(QObject* sender) {
    try {
        data::DataSet& cust = DataModule1->cust;
        const int recNo = cust.RecNo();
        cust.Refresh();
        int found = 0;
        for (int i = cust.RecordCount(); i >= 1 && !found; --i) {
            cust.SetRecNo(i);
            if (cust.FieldByName(QStringLiteral("ID")).AsString() == Edit7->text()) found = i;
        }
        data::PostGuard guard(cust);
        if (found) cust.Edit();
        else cust.Append();
        const auto set = [&cust](const char* field, const QString& text) {
            cust.FieldByName(QLatin1String(field)).SetAsString(text);
        };
        set("pnom", DataModule1->NextRecordKey());
        set("ID", Edit7->text());
        set("VAT", Edit6->text());
        const std::optional<PageLanguage> language = ChosenLanguage();
        if (language == PageLanguage::Bulgarian) {
            set("Company1", Edit1->text());
            set("Address1", Edit3->text());
            set("RespPerson1", Edit2->text());
            set("ContactPerson1", Edit8->text());
        } else if (language == PageLanguage::English) {
            set("Company2", Edit1->text());
            set("Address2", Edit3->text());
            set("RespPerson2", Edit2->text());
            set("ContactPerson2", Edit8->text());
        } else {
            set("Company2", Edit12->text());
            set("Address2", Edit13->text());
            set("RespPerson2", Edit14->text());
            set("ContactPerson2", Edit15->text());
        }
        guard.Post();
        cust.SetRecNo(recNo);
        ListBox1->hide();
        if (sender) platform::ShowMessage(QStringLiteral("Запазен успешно!"));
    } catch (const data::DatabaseError& e) {
        // The document save that asked for it goes on; no success is reported,
        // and a half-written customer has been dropped. A write whose outcome
        // could not be known is not told later either: the user was never
        // told of it, and would take the news for the document's.
        const auto* lost = dynamic_cast<const data::ConnectionLostError*>(&e);
        if (dynamic_cast<const data::OutcomeUnknownError*>(&e) ||
            (lost && lost->WhatBecame() == data::ConnectionLostError::Change::Unknown))
            DataModule1->IBDatabase1.ForgetUnsettled();
    } catch (...) {
        // Any other failure: the document save goes on all the same.
    }
}

// ---------------------------------------------------------------- line items

void TOrderForm::ApplyColumnWidthEntries(const char* gridName, int first, int count) {
    auto* grid = Doc ? Doc->findChild<platform::StringGrid*>(QLatin1String(gridName)) : nullptr;
    if (!grid) return;
    for (int c = 0; c < count && first + c < ColumnWidths.size(); ++c)
        grid->SetColWidth(c, platform::StrToInt(ColumnWidths[first + c]));
}

void TOrderForm::SetItemColumnWidths() {
    static const int design[] = {49, 522, 44, 47, 72, 73};
    for (int c = 0; c < 6; ++c)
        StringGrid1->SetColWidth(c, c < ColumnWidths.size() ? platform::StrToInt(ColumnWidths[c]) : design[c]);
    ApplyColumnWidthEntries("StringGrid2", 6, 6);
    ApplyColumnWidthEntries("StringGrid4", 12, 8);
}

void TOrderForm::CheckBox7Click() {
    auto* pageGrid = Doc ? Doc->findChild<platform::StringGrid*>(QStringLiteral("StringGrid2")) : nullptr;
    auto* bilingualGrid = Doc ? Doc->findChild<platform::StringGrid*>(QStringLiteral("StringGrid4")) : nullptr;
    const int rows = StringGrid1->RowCount();
    if (!CheckBox7->isChecked()) {
        StringGrid1->SetColCount(ItemColumn::WithoutDiscount);
        if (pageGrid) pageGrid->SetColCount(ItemColumn::WithoutDiscount);
        if (bilingualGrid) bilingualGrid->SetColCount(TwoLanguageColumn::Count(ItemColumn::WithoutDiscount));
        const int value = ItemColumn::Value(ItemColumn::WithoutDiscount);
        StringGrid1->SetCell(value, 0, QStringLiteral("Стойност"));
        for (int r = 1; r < rows; ++r) StringGrid1->SetCell(value, r, QString());
        SetItemColumnWidths();
        StringGrid1Button->move(566, StringGrid1Button->y());
    } else {
        StringGrid1->SetColCount(ItemColumn::WithDiscount);
        if (pageGrid) pageGrid->SetColCount(ItemColumn::WithDiscount);
        const int value = ItemColumn::Value(ItemColumn::WithDiscount);
        StringGrid1->SetCell(ItemColumn::Discount, 0, QStringLiteral("Отстъпка %"));
        StringGrid1->SetCell(value, 0, QStringLiteral("Стойност"));
        for (int r = 1; r < rows; ++r) {
            StringGrid1->SetCell(ItemColumn::Discount, r, QString());
            StringGrid1->SetCell(value, r, QString());
        }
        const auto entry = [this](int i, int design) {
            return i < ColumnWidths.size() ? platform::StrToInt(ColumnWidths[i]) : design;
        };
        StringGrid1->SetColWidth(ItemColumn::Description, entry(ItemColumn::Description, 522) - 72);
        // The page grids make room for the discount column within their own
        // width, the value columns keeping theirs.
        const auto widen = [this](platform::StringGrid* grid, int first, int count, int valueColumns) {
            if (!grid || ColumnWidths.size() < first + count) return;
            QList<int> design;
            for (int c = 0; c < count; ++c) design << platform::StrToInt(ColumnWidths[first + c]);
            const QList<int> widths = DiscountColumnWidths(design, valueColumns, grid->width());
            grid->SetColCount(int(widths.size()));
            for (int c = 0; c < widths.size(); ++c) grid->SetColWidth(c, widths[c]);
        };
        widen(pageGrid, 6, 6, 1);
        widen(bilingualGrid, 12, 8, 2);
        StringGrid1Button->move(494, StringGrid1Button->y());
    }
    RecalculateThroughVatRate();
}

void TOrderForm::RecalculateThroughVatRate() {
    const QString rate = Edit9->text();
    Edit9->setText(QString());
    Edit9->setText(rate);
}

// A quantity, price or discount cell takes its number text. A text that is no
// number gives way, in the cell the user typed it into, to that cell's text at
// the last recalculation (the line's value was computed from it), elsewhere
// to the empty text; either way the user is told.
void TOrderForm::NormalizeNumberCell(int col, int row, QStringList& notices) {
    const QString typed = StringGrid1->Cell(col, row);
    QString text = NormalizeDecimalText(typed);
    if (text.isEmpty() && !typed.trimmed().isEmpty()) {
        if (col == enteredCol_ && row == enteredRow_ && enteredTyped_) text = NormalizeDecimalText(enteredText_);
        const QString where = QStringLiteral("„%1“ не е число (%2, ред %3): ").arg(typed, StringGrid1->Cell(col, 0)).arg(row);
        notices << where + (text.isEmpty() ? QStringLiteral("клетката е изчистена.")
                                           : QStringLiteral("клетката остава „%1“.").arg(text));
    }
    StringGrid1->SetCell(col, row, text);
}

void TOrderForm::RecalculateLineItems() {
    Form1->Label7->setText(QStringLiteral("0"));
    Form1->Label3->setText(QStringLiteral("0"));
    Form1->Label5->setText(QStringLiteral("0"));
    const bool discount = StringGrid1->ColCount() != ItemColumn::WithoutDiscount;
    const int value = ValueColumn();
    QStringList notices;
    for (int r = 1; r < StringGrid1->RowCount(); ++r) {
        NormalizeNumberCell(ItemColumn::Quantity, r, notices);
        NormalizeNumberCell(ItemColumn::Price, r, notices);
        if (StringGrid1->Cell(ItemColumn::Quantity, r).isEmpty() || StringGrid1->Cell(ItemColumn::Price, r).isEmpty())
            continue;
        if (discount) NormalizeNumberCell(ItemColumn::Discount, r, notices);
        Form1->Edit3->setText(StringGrid1->Cell(ItemColumn::Quantity, r));
        Form1->Edit1->setText(StringGrid1->Cell(ItemColumn::Price, r));
        Form1->Edit2->setText(discount ? StringGrid1->Cell(ItemColumn::Discount, r) : QString());
        platform::Click(Form1->SpeedButton1);
        StringGrid1->SetCell(value, r, Form1->result->text());
        Label7->setText(Form1->Label7->text());
        Label4->setText(Form1->Label3->text());
        Label11->setText(Form1->Label5->text());
    }
    enteredText_ = StringGrid1->Cell(enteredCol_, enteredRow_);
    if (!notices.isEmpty()) platform::ShowMessage(notices.join(u'\n'));
}

void TOrderForm::RenumberLineItems() {
    const int value = ValueColumn();
    int number = 0;
    for (int r = 1; r < StringGrid1->RowCount(); ++r)
        if (!StringGrid1->Cell(value, r).isEmpty()) StringGrid1->SetCell(ItemColumn::Number, r, QString::number(++number));
}

void TOrderForm::MoveDownOrAppendRow() {
    if (ListBox1->isVisible()) {
        const int sel = ListBox1->currentRow();
        ListBox1->setCurrentRow(sel < 0 || sel >= ListBox1->count() - 1 ? 0 : sel + 1);
        return;
    }
    const int last = StringGrid1->RowCount() - 1;
    if (CurrentItemRow != last) return;
    for (const QString& cell : StringGrid1->RowTexts(last)) {
        if (!cell.isEmpty()) {
            StringGrid1->SetRowCount(last + 2);
            return;
        }
    }
}

void TOrderForm::MoveUpOrDropEmptyRow() {
    if (ListBox1->isVisible()) {
        const int sel = ListBox1->currentRow();
        ListBox1->setCurrentRow(sel >= 1 ? sel - 1 : 0);
        return;
    }
    const int rows = StringGrid1->RowCount();
    if (rows <= 2) return;
    for (const QString& cell : StringGrid1->RowTexts(rows - 1))
        if (!cell.isEmpty()) return;
    StringGrid1->SetRowCount(rows - 1);
}

void TOrderForm::FillGoodsRow(int row) {
    data::DataSet& stock = DataModule1->stock;
    StringGrid1->SetCell(ItemColumn::Unit, row, stock.FieldByName(QStringLiteral("Unit1")).AsString());
    StringGrid1->SetCell(ItemColumn::Price, row, stock.FieldByName(QStringLiteral("SellPrice")).AsString());
    if (StringGrid1->Cell(ItemColumn::Quantity, row).isEmpty())
        StringGrid1->SetCell(ItemColumn::Quantity, row, QStringLiteral("1"));
    const int limit =
        DescriptionLineLimit(ChosenLanguage() == PageLanguage::Both, StringGrid1->ColCount() == ItemColumn::WithDiscount);
    const QStringList lines = WrapDescription(stock.FieldByName(QStringLiteral("Description1")).AsString(), limit);
    StringGrid1->SetCell(ItemColumn::Description, row, lines.value(0));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        StringGrid1->SetRowCount(StringGrid1->RowCount() + 1);
        StringGrid1->SetCell(ItemColumn::Description, StringGrid1->RowCount() - 1, lines[i]);
    }
    StringGrid1->SetRowCount(StringGrid1->RowCount() + 1);
    RecalculateLineItems();
    RenumberLineItems();
    MoveDownOrAppendRow();
}

// ---------------------------------------------------------------- header fields

void TOrderForm::SetRemembered(int line, const QString& text) {
    if (!Form1) return;
    while (Form1->MemList.size() <= line) Form1->MemList.append(QString());
    Form1->MemList[line] = text;
}

QString TOrderForm::NoteLine() const {
    return QStringLiteral("от дата: ") + platform::DateToStr(EDate4->date()) + QStringLiteral(", към фактура № ") +
           MaskEdit2->text();
}

// In two lines: in one, the note's box would reach under the supplier's block.
QString TOrderForm::BilingualNoteLine() const {
    return QStringLiteral("от дата / from date: ") + platform::DateToStr(EDate4->date()) +
           QStringLiteral(",\nкъм фактура № / to invoice No: ") + MaskEdit2->text();
}

void TOrderForm::WriteNoteLines() {
    SetPageLabel("Label22", NoteLine());
    SetPageLabel("Label90", BilingualNoteLine());
}

void TOrderForm::ComboBox2Change() {
    const QString title = ComboBox2->currentText();
    SetPageLabel("Label1", title);
    SetRemembered(1, title);
    NextDocumentNumber();
    EnableSave();
}

void TOrderForm::EDateChange() {
    SetPageLabel("Label15",
                 QStringLiteral("№ ") + MaskEdit1->text() + QStringLiteral(" / Дата: ") + platform::DateToStr(EDate->date()));
    EnableSave();
}

void TOrderForm::CheckBox4Click() {
    const bool on = CheckBox4->isChecked();
    ComboBox1->setEnabled(on);
    EDate4->setEnabled(on);
    MaskEdit2->setEnabled(on);
}

void TOrderForm::ComboBox1Change() {
    const QString noteKind = ComboBox1->currentText();
    SetPageLabel("Label21", noteKind);
    SetRemembered(2, noteKind);
    WriteNoteLines();
    RebuildDocumentView(false);
    EnableSave();
}

void TOrderForm::EDate4Change() {
    WriteNoteLines();
    EnableSave();
}

void TOrderForm::CheckBox5Click() {
    const bool on = CheckBox5->isChecked();
    ComboBox4->setEnabled(on);
    ComboBox5->setEnabled(on);
    SpeedButton2->setEnabled(on);
}

void TOrderForm::ComboBox4Change() {
    const QString article = ComboBox4->currentText();
    SetPageLabel("Label19", article);
    SetRemembered(3, article);
    WriteNoteLines();
    EnableSave();
}

void TOrderForm::ComboBox5Change() {
    const QString reason = ComboBox5->currentText();
    if (QLabel* label = PageLabel("Label20")) {
        label->setText(reason.isEmpty() ? QString() : u'/' + reason + u'/');
        if (QLabel* article = PageLabel("Label19")) label->move(article->x(), label->y());
    }
    SetRemembered(4, reason);
    EnableSave();
}

void TOrderForm::SpeedButton2Click() {
    if (Doc) Doc->Close();
    static const char* const paragraphs[] = {
        "чл. 28с(Е)(3) 77/388/ЕЕС-за доставки на стоки като посредник в тристранна операция",
        "чл. 113, ал. 9 - за доставките на нерегистрирани по закона лица или лица, регистрирани на основание чл. 99 и "
        "чл. 100, ал. 2 от закона",
        "чл. 22, ал. 2 ЗДДС - Когато получател по доставката по ал. 1 е лице, регистрирано за целите на ДДС в друга "
        "държава членка, мястото на изпълнение на доставката е територията на държавата членка, издала "
        "идентификационния номер по ДДС на получателя, под който му е оказана услугата",
        "чл. 23, ал. 1 ЗДДС - Мястото на изпълнение при доставка на услуга, свързана с транспортна обработка на стоки, "
        "съпътстващи доставката по чл. 22 , е на територията на държавата членка, издала идентификационния номер по "
        "ДДС на получателя, под който му е оказана услугата",
        "чл. 23, ал. 3 ЗДДС - Когато получател по доставката по ал. 2 е лице, регистрирано за целите на ДДС в друга "
        "държава членка, мястото на изпълнение на доставката е територията на държавата членка, издала "
        "идентификационния номер по ДДС на получателя, под който му е оказана услугата",
        "чл. 23, ал. 4 ЗДДС - Мястото на изпълнение при доставка на услуга, оказвана от посредник, действащ от името и "
        "за сметка на друго лице, във връзка с предоставянето на услуга по транспортна обработка на стоки по ал. 1 е "
        "мястото, където фактически е извършена транспортната обработка на стоките",
        "чл. 23, ал. 5 ЗДДС - Когато получател по доставката по ал. 4 е лице, регистрирано за целите на ДДС в друга "
        "държава членка, мястото на изпълнение на доставката е територията на държавата членка, издала "
        "идентификационния номер по ДДС на получателя, под който му е оказана услугата",
        "чл. 24, ал. 1 ЗДДС - Мястото на изпълнение при доставка на услуга, оказвана от посредник, действащ от името и "
        "за сметка на друго лице, когато тази услуга е свързана с доставка на услуги, различни от тези по чл. 21, ал. "
        "3 , чл. 22 и 23 , е мястото на изпълнение на доставката, във връзка с която е оказано посредничеството",
        "чл. 24, ал. 2 ЗДДС - Когато получател по доставката е лице, регистрирано за целите на ДДС в друга държава "
        "членка, мястото на изпълнение на доставката е територията на държавата членка, издала идентификационния номер "
        "по ДДС на получателя, под който му е оказана услугата",
        "чл. 24, ал. 3 ЗДДС - Мястото на изпълнение при доставка на услуга по оценка или работа върху движими вещи е на "
        "територията на държавата членка, издала идентификационния номер по ДДС на получателя, под който му е оказана "
        "услугата, когато са налице едновременно следните условия:",
        "1. получател по доставката е лице, регистрирано за целите на ДДС в друга държава членка;",
        "2. стоките са изпратени или транспортирани от територията на страната извън нея.",
        "чл. 86, ал. 1 ППЗДДС - Туроператорите и туристическите агенти документират извършените от тях доставки на обща "
        "туристическа услуга, включително получените авансови плащания по такива доставки, с издаването на фактури и "
        "известия към фактури, в които не се посочва данък.",
        "чл.116,ал.4 от ЗДДС - Издаване на ПРОТОКОЛ по чл.116, ал. 4 от ЗДДС."};
    QStringList lines;
    for (const char* p : paragraphs) lines << QString::fromUtf8(p);
    platform::ShowMessage(lines.join(u'\n'));
}

void TOrderForm::CheckBox1Click() { EDate2->setEnabled(CheckBox1->isChecked()); }
void TOrderForm::CheckBox2Click() { EDate3->setEnabled(CheckBox2->isChecked()); }

void TOrderForm::EDate2Change() {
    SetPageLabel("Label57", platform::DateToStr(EDate2->date()));
    EnableSave();
}

void TOrderForm::EDate3Change() {
    SetPageLabel("Label40", platform::DateToStr(EDate3->date()));
    EnableSave();
}

void TOrderForm::ComboBox3Change() {
    SetPageLabel("Label37", ComboBox3->currentText());
    EnableSave();
}

void TOrderForm::ComboBox3KeyDown(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
    const QString text = ComboBox3->currentText();
    if (ComboBox3->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive) >= 0) return;
    const QSignalBlocker block(ComboBox3);
    const QSignalBlocker blockEdit(ComboBox3->lineEdit());
    const int current = ComboBox3->currentIndex();
    ComboBox3->insertItem(0, text);
    ComboBox3->setCurrentIndex(current < 0 ? -1 : current + 1);
    ComboBox3->setEditText(text);
}

void TOrderForm::ComboBox3Select(int index) {
    if (index < 0 || index >= ComboBox3->count()) return;
    const QString text = ComboBox3->itemText(index);
    {
        const QSignalBlocker block(ComboBox3);
        const QSignalBlocker blockEdit(ComboBox3->lineEdit());
        ComboBox3->removeItem(index);
        ComboBox3->insertItem(0, text);
        ComboBox3->setCurrentIndex(0);
    }
    SetPageLabel("Label37", text);
    EnableSave();
}

void TOrderForm::StringGrid2SelectCell() { RebuildDocumentView(false); }

void TOrderForm::DBGrid1CellClick(int column) {
    if (column != 0) return;
    Doc->CurrencyPrefix.clear();
    Doc->CurrencyRate = 1.0;
    data::DataSet& currency = DataModule1->currency;
    const QString rate = currency.FieldByName(QStringLiteral("course")).AsString();
    if (rate.isEmpty()) return;
    const double value = platform::StrToFloat(StoredNumberText(rate));
    Doc->CurrencyRate = value;
    Doc->CurrencyPrefix = currency.FieldByName(QStringLiteral("currency")).AsString();
    platform::ShowMessage(QStringLiteral("Избраната валута е въведена."));
    EnableSave();
}

void TOrderForm::Edit9Change() {
    const QString text = Edit9->text();
    if (!text.isEmpty() && text != QStringLiteral("%") && text != QStringLiteral("%%") &&
        text != QStringLiteral("%%%")) {
        SetBaseColour(Edit9, kLightGrey);
        Form1->SetVatRate(text);
        RecalculateLineItems();
        RenumberLineItems();
    } else {
        SetBaseColour(Edit9, kRed);
    }
    EnableSave();
}

// ---------------------------------------------------------------- own firm, bank, number

void TOrderForm::LoadFirmFields() {
    if (!DataModule1) return;
    BindDataControls();
    const QString responsible = DBText2->text();
    const QString responsible2 = Edit19->text();
    data::DataSet& firm = DataModule1->firm;
    const std::optional<PageLanguage> language = ChosenLanguage();
    const bool english = language == PageLanguage::English;
    const bool both = language == PageLanguage::Both;
    if (firm.Active() && !firm.IsEmpty()) {
        const auto field = [&firm](const char* name) { return firm.FieldByName(QLatin1String(name)).AsString(); };
        DBText1->SetText(field(english ? "Supplier2" : "Supplier1"));
        DBText2->SetText(field(english ? "RespPerson2" : "RespPerson1"));
        DBText3->SetText(field("InvoiceNo"));
        DBText4->SetText(field("ProformaNo"));
        Edit11->setText(field("VOP"));
        DBText5->SetText(field("ID"));
        DBText6->SetText(field("VAT"));
        DBText7->setText(field(english ? "PlaceofPublishment2" : "PlaceofPublishment1"));
        DBText8->SetText(field(english ? "Address2" : "Address1"));
        if (both) {
            Edit17->setText(field("Supplier2"));
            Edit19->setText(field("RespPerson2"));
            Edit20->setText(field("PlaceofPublishment2"));
            Edit18->setText(field("Address2"));
        }
    }
    ShowFirmLogo();
    // The issuer follows the firm unless the user typed another.
    if (Edit10->text().isEmpty() || Edit10->text() == responsible) Edit10->setText(DBText2->text());
    if (Edit16->text().isEmpty() || Edit16->text() == responsible2) Edit16->setText(Edit19->text());
}

// The page logo: the firm's own picture, else the built-in one; the English
// logo on an English or two-language page. A new document and a reopened one
// take it by this one rule, so a reprint looks like the first print.
void TOrderForm::ShowFirmLogo() {
    const std::optional<PageLanguage> language = ChosenLanguage();
    const bool english = language == PageLanguage::English || language == PageLanguage::Both;
    const platform::DBImage* logo = english ? DBImage3 : DBImage2;
    if (logo->HasPicture()) DBImage1->Assign(*logo);
    else DBImage1->SetPictureBytes(BuiltInLogo());
    DBImage1->update();
    DBImage2->update();
    DBImage3->update();
}

void TOrderForm::LoadBankFields() {
    if (!DataModule1) return;
    BindDataControls();
    data::DataSet& details = DataModule1->details;
    if (!details.Active() || details.IsEmpty()) return;
    Bank->setText(details.FieldByName(QStringLiteral("Bank")).AsString());
    IBAN->setText(details.FieldByName(QStringLiteral("IBAN")).AsString());
    SWIFT->setText(details.FieldByName(QStringLiteral("SWIFT")).AsString());
}

void TOrderForm::NextDocumentNumber() {
    LoadFirmFields();
    if (ComboBox2->currentText().isEmpty() && ComboBox2->count() > 0) platform::SetComboIndexSilently(ComboBox2, 0);
    QWidget* counter = DBText4;
    QString text = DBText4->text();
    switch (CounterGroupOfTitle(ComboBox2->currentText())) {
    case CounterGroup::Invoice: counter = DBText3, text = DBText3->text(); break;
    case CounterGroup::Protocol117: counter = Edit11, text = Edit11->text(); break;
    case CounterGroup::Proforma: break;
    }
    MaskEdit1->setText(NextDocumentNumberText(text, HintOf(counter)));
}

void TOrderForm::DBNavigator1Click() {
    LoadFirmFields();
    NextDocumentNumber();
    EnableSave();
}

void TOrderForm::DBNavigator2Click() {
    LoadBankFields();
    SetPageLabel("Label38", Bank->text());
    SetPageLabel("Label39", IBAN->text());
    SetPageLabel("Label53", SWIFT->text());
    EnableSave();
}
