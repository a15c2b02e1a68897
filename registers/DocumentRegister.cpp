#include "registers/DocumentRegister.h"

#include "data/DataModule.h"
#include "data/Login.h"
#include "documents/DocumentEditor.h"
#include "documents/DocumentRecord.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Handlers.h"
#include "registers/ListRules.h"
#include "registers/RegisterColumns.h"
#include "registers/Statistics.h"
#include "registers/StoreRows.h"

#include <QBarSet>
#include <QChart>
#include <QCheckBox>
#include <QDateTime>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

TSort* Sort = nullptr;

namespace {

const QRgb kWhite = 0xFFFFFF;

}  // namespace


void OpenStoredDocument(int recNo) {
    if (OrderForm) OrderForm->LoadDocument(recNo);
}

std::vector<registers::IncomeDocument> IncomeDocumentsFromLast(const QString& firm, const QString& yearText) {
    // Documents of another firm or year, or without a month, change neither
    // the chart nor the lists (nor which numbers count): they are not read further.
    data::DataSet& store = DataModule1->store;
    enum { Firm, Date };
    const auto keys = registers::RecordTexts(store, {QStringLiteral("Supplier1"), QStringLiteral("Fromdate")});
    std::vector<int> wanted;
    for (int i = static_cast<int>(keys.size()) - 1; i >= 0; --i)
        if (keys[i][Firm] == firm && !registers::MonthText(keys[i][Date]).isEmpty() &&
            registers::YearDigits(keys[i][Date]) == registers::YearBoxDigits(yearText))
            wanted.push_back(i);
    enum { Document, Num, FromDate, Supplier, Customer, Total, Percent, Paid, Annulled, NoteKind };
    const auto texts = registers::RecordTexts(
        store, {QStringLiteral("Document"), QStringLiteral("Num"), QStringLiteral("Fromdate"),
                QStringLiteral("Supplier1"), QStringLiteral("Customer1"), QStringLiteral("Total"),
                QStringLiteral("percent"), QStringLiteral("PaidL"), QStringLiteral("AnuliranaL"),
                QStringLiteral("cdnote")},
        &wanted);
    std::vector<registers::IncomeDocument> docs;
    docs.reserve(texts.size());
    for (const auto& t : texts)
        docs.push_back({.document = t[Document], .num = t[Num], .fromDate = t[FromDate], .supplier = t[Supplier],
                        .customer = t[Customer], .total = t[Total], .percent = t[Percent], .paid = t[Paid],
                        .annulled = t[Annulled], .noteKind = t[NoteKind]});
    return docs;
}

TSort::TSort(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    StringGrid1->setVisible(false);
    DBCtrlGrid1->SetDataSource(&DataModule1->DataSource6);
    DBNavigator1->SetDataSource(&DataModule1->DataSource6);
    // Search results 14 pixels a line, as the list's height rule counts them.
    QFont listFont = ListBox1->font();
    listFont.setPixelSize(11);
    ListBox1->setFont(listFont);
    ListBox1->setStyleSheet(QStringLiteral("QListWidget::item { height: 14px; padding: 0px; }"));

    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QStringLiteral("Отвори"));
    N2 = PopupMenu1->addAction(QStringLiteral("Изтрий"));
    connect(N1, &QAction::triggered, this, platform::Handler(this, &TSort::DBGrid1DblClick));
    connect(N2, &QAction::triggered, this, platform::Handler(this, &TSort::N2Click));
    connect(SpeedButton1, &QToolButton::clicked, this, platform::Handler(this, &TSort::SpeedButton1Click));
    connect(Button1, &QPushButton::clicked, this, platform::Handler(this, &TSort::Button1Click));
    connect(ScrollBar1, &QScrollBar::valueChanged, this, platform::Handler(this, &TSort::ScrollBar1Change));
    connect(ListBox1, &QListWidget::itemClicked, this, platform::Handler(this, &TSort::ListBox1Click));

    installEventFilter(this);
    Edit1->installEventFilter(this);
    for (QFrame* panel : findChildren<QFrame*>(QRegularExpression(QStringLiteral("^Panel\\d+$")))) {
        panel->installEventFilter(this);
        panel->setContextMenuPolicy(Qt::CustomContextMenu);
        // A right click chooses the panel, as a click does, so that the menu
        // acts on the document pointed at.
        // An empty panel points at no document: its menu offers nothing.
        connect(panel, &QWidget::customContextMenuRequested, this, [this, panel](const QPoint& at) {
            platform::RunHandler([&] { Panel1Click(panel); });
            const bool document = ShowsDocument(panel);
            N1->setEnabled(document);
            N2->setEnabled(document);
            PopupMenu1->popup(panel->mapToGlobal(at));
        });
        SetPanelColour(panel, kWhite);
        for (QWidget* child : panel->findChildren<QWidget*>()) child->installEventFilter(this);
    }
}

void TSort::FormCreate() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
    ListBox1->move(ListBox1->x(), Edit1->y() + Edit1->height());
    PanelNames = {QStringLiteral("Panel1"), QStringLiteral("Panel2"), QStringLiteral("Panel4"),
                  QStringLiteral("Panel3"), QStringLiteral("Panel8"), QStringLiteral("Panel7"),
                  QStringLiteral("Panel5"), QStringLiteral("Panel6"), QStringLiteral("Panel10"),
                  QStringLiteral("Panel9")};
}

void TSort::FormShow() { DataModule1->store.Refresh(); }

// ---------------------------------------------------------------- panels

TSort::Slot TSort::SlotOf(const QString& panelName) const {
    Slot s{};
    s.panel = findChild<QFrame*>(panelName);
    // Children in their designed order: number, title, firm, record number, three boxes.
    const QList<QLabel*> labels = s.panel->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    const QList<QCheckBox*> boxes = s.panel->findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly);
    s.number = labels.at(0);
    s.title = labels.at(1);
    s.firm = labels.at(2);
    s.recNo = labels.at(3);
    s.printed = boxes.at(0);
    s.paid = boxes.at(1);
    s.annulled = boxes.at(2);
    return s;
}

void TSort::SetPanelColour(QWidget* panel, QRgb colour) {
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, QColor(colour));
    panel->setPalette(p);
}

QRgb TSort::PanelColour(const QWidget* panel) { return panel->palette().color(QPalette::Window).rgb() & 0xFFFFFF; }

void TSort::ScrollBar1Change() {
    const int position = ScrollBar1->value();
    const int current = DataModule1->store.RecNo();
    for (int r = position; r <= position + 9; ++r) {
        const Slot s = SlotOf(PanelNames.at(r - position));
        SetPanelColour(s.panel, kWhite);
        if (StringGrid1->Cell(registers::RegisterColumn::Annulled, r).isEmpty()) {
            // The record number of the row shown before goes too: the panel points at no document.
            s.recNo->clear();
            for (QWidget* w : {static_cast<QWidget*>(s.number), static_cast<QWidget*>(s.title),
                               static_cast<QWidget*>(s.firm), static_cast<QWidget*>(s.printed),
                               static_cast<QWidget*>(s.paid), static_cast<QWidget*>(s.annulled)})
                w->setVisible(false);
            continue;
        }
        for (QWidget* w : {static_cast<QWidget*>(s.number), static_cast<QWidget*>(s.title),
                           static_cast<QWidget*>(s.firm), static_cast<QWidget*>(s.printed),
                           static_cast<QWidget*>(s.paid), static_cast<QWidget*>(s.annulled)})
            w->setVisible(true);
        namespace column = registers::RegisterColumn;
        s.number->setText(StringGrid1->Cell(column::Num, r));
        s.title->setText(StringGrid1->Cell(column::Document, r));
        s.firm->setText(StringGrid1->Cell(column::Supplier, r));
        s.recNo->setText(StringGrid1->Cell(column::RecordNumber, r));
        // A flag text from older data that is no flag shows as not set.
        s.printed->setChecked(registers::FlagValue(StringGrid1->Cell(column::Printed, r)).value_or(false));
        s.paid->setChecked(registers::FlagValue(StringGrid1->Cell(column::Paid, r)).value_or(false));
        s.annulled->setChecked(registers::FlagValue(StringGrid1->Cell(column::Annulled, r)).value_or(false));
        if (registers::WholeNumber(s.recNo->text()) == current) SetPanelColour(s.panel, kChosenColour);
    }
}

bool TSort::ShowsDocument(QWidget* panel) const {
    return registers::WholeNumber(SlotOf(panel->objectName()).recNo->text()).has_value();
}

void TSort::Panel1Click(QWidget* Sender) {
    // A click on an empty panel chooses nothing.
    if (!ShowsDocument(Sender)) return;
    for (const QString& name : PanelNames) SetPanelColour(findChild<QWidget*>(name), kWhite);
    SetPanelColour(Sender, kChosenColour);
    DataModule1->store.SetRecNo(*registers::WholeNumber(SlotOf(Sender->objectName()).recNo->text()));
}

void TSort::Label28Click(QWidget* Sender) { Panel1Click(Sender->parentWidget()); }

void TSort::Panel9DblClick(QWidget* Sender) {
    if (!ShowsDocument(Sender)) return;
    Panel1Click(Sender);
    DBGrid1DblClick();
}

void TSort::Label28DblClick(QWidget* Sender) { Panel9DblClick(Sender->parentWidget()); }

void TSort::DBGrid1DblClick() {
    try {
        OpenStoredDocument(DataModule1->store.RecNo());
    } catch (...) {
        // Opening a document that cannot be loaded leaves the editor as it was.
    }
}

// ---------------------------------------------------------------- delete

void TSort::N2Click() {
    bool chosen = false;
    for (const QString& name : PanelNames) {
        QWidget* panel = findChild<QWidget*>(name);
        if (PanelColour(panel) == kChosenColour && registers::WholeNumber(SlotOf(name).recNo->text())) {
            chosen = true;
            break;
        }
    }
    if (!chosen) return;
    data::DataSet& store = DataModule1->store;
    data::DataSet& user = DataModule1->user;
    const QString us = store.FieldByName(QStringLiteral("us")).AsString();
    // A document without an owner is the first registered user's.
    QString firstUser;
    if (us.isEmpty() && user.RecordCount() > 0) {
        user.SetRecNo(1);
        firstUser = user.FieldByName(QStringLiteral("us")).AsString();
    }
    const QString refusing = RefusingOwner(us, user.RecordCount() > 0, firstUser, Form9 ? Form9->LoggedUser : QString());
    if (!refusing.isEmpty()) {
        platform::ShowMessage(OwnerRuleMessage(refusing));
        return;
    }
    store.Delete();
}

// ---------------------------------------------------------------- search

void TSort::ComboBox1KeyPress(int& Key) {
    if (Key == 13) {
        platform::Click(SpeedButton1);
        Key = 0;
        return;
    }
    if ((Key >= '0' && Key <= '9') || Key == 8) return;
    Key = 0;
}

void TSort::SpeedButton1Click() {
    const QString searched = Edit1->text();
    if (searched.isEmpty()) {
        ListBox1->setVisible(false);
        return;
    }
    DBCtrlGrid1->SetDataSource(nullptr);
    ListBox1->clear();
    SearchResults = QStringList();
    const std::optional<std::int64_t> wanted = registers::LongWholeNumber(searched);
    enum { Num, Document, Supplier };
    const auto texts = registers::RecordTexts(
        DataModule1->store, {QStringLiteral("Num"), QStringLiteral("Document"), QStringLiteral("Supplier1")});
    for (int i = static_cast<int>(texts.size()); i >= 1; --i) {
        const auto& t = texts[i - 1];
        const std::optional<std::int64_t> number = registers::LongWholeNumber(t[Num]);
        if (!number || number != wanted) continue;
        const QString item = t[Num] + QStringLiteral(" - ") + t[Document] + QStringLiteral(" - ") + t[Supplier];
        ListBox1->addItem(item);
        SearchResults << item + QStringLiteral("@") + QString::number(i);
    }
    ListBox1->setFixedHeight(registers::SearchListHeight(ListBox1->count()));
    ListBox1->setVisible(true);
    ListBox1->raise();
    DBCtrlGrid1->SetDataSource(&DataModule1->DataSource6);
    DBCtrlGrid1->Repaint();
}

void TSort::ListBox1Click() {
    const int index = ListBox1->currentRow();
    if (index < 0 || index >= SearchResults.size()) return;
    const QString line = SearchResults.at(index);
    const int n = registers::WholeNumber(line.mid(line.lastIndexOf(u'@') + 1)).value_or(1);
    DataModule1->store.SetRecNo(n);
    ScrollBar1->setValue(n - 9);
    ScrollBar1Change();
    ListBox1->setVisible(false);
}

void TSort::FormClick() { ListBox1->setVisible(false); }

// ---------------------------------------------------------------- flags

void TSort::CheckBox1MouseDown() { PrintedBoxPressed = true; }
void TSort::CheckBox2MouseDown() { PaidBoxPressed = true; }
void TSort::CheckBox3MouseDown() { AnnulledBoxPressed = true; }

void TSort::StoreFlag(QCheckBox* box, const char* field) {
    const bool checked = box->isChecked();
    const Slot s = SlotOf(box->parentWidget()->objectName());
    data::DataSet& store = DataModule1->store;
    store.SetRecNo(registers::WholeNumber(s.recNo->text()).value_or(1));
    data::PostGuard guard(store);
    store.Edit();
    store.FieldByName(QString::fromLatin1(field)).SetAsString(checked ? QStringLiteral("True") : QStringLiteral("False"));
    guard.Post();
}

void TSort::CheckBox1MouseLeave(QCheckBox* Sender) {
    if (!PrintedBoxPressed) return;
    PrintedBoxPressed = false;
    StoreFlag(Sender, "STATUS");
}

void TSort::CheckBox2MouseLeave(QCheckBox* Sender) {
    if (!PaidBoxPressed) return;
    PaidBoxPressed = false;
    StoreFlag(Sender, "PAIDL");
}

void TSort::CheckBox3MouseLeave(QCheckBox* Sender) {
    if (!AnnulledBoxPressed) return;
    AnnulledBoxPressed = false;
    StoreFlag(Sender, "ANULIRANAL");
}

// ---------------------------------------------------------------- events

bool TSort::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    auto* widget = qobject_cast<QWidget*>(watched);
    if (watched == Edit1 && type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        int code = 0;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            code = 13;
        else if (key->key() == Qt::Key_Backspace)
            code = 8;
        else if (!key->text().isEmpty())
            code = key->text().at(0).unicode();
        else
            return false;  // arrows, Delete and the like move in the box
        platform::RunHandler([&] { ComboBox1KeyPress(code); });
        return code == 0;
    }
    if (watched == this && type == QEvent::MouseButtonPress) {
        platform::RunHandler([this] { FormClick(); });
        return false;
    }
    if (!widget || widget == this) return false;
    const bool isPanel = PanelNames.contains(widget->objectName());
    auto* box = qobject_cast<QCheckBox*>(widget);
    const bool isLabel = qobject_cast<QLabel*>(widget) && widget->isVisible();
    const auto left = [](QEvent* e) { return static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton; };
    if (box) {
        const int column = SlotOf(box->parentWidget()->objectName()).printed == box  ? 1
                           : SlotOf(box->parentWidget()->objectName()).paid == box ? 2
                                                                                    : 3;
        if (type == QEvent::MouseButtonPress && left(event)) {
            platform::RunHandler([&] {
                column == 1 ? CheckBox1MouseDown() : column == 2 ? CheckBox2MouseDown() : CheckBox3MouseDown();
            });
        } else if (type == QEvent::Leave) {
            platform::RunHandler([&] {
                column == 1 ? CheckBox1MouseLeave(box) : column == 2 ? CheckBox2MouseLeave(box) : CheckBox3MouseLeave(box);
            });
        }
        return false;
    }
    if ((isPanel || isLabel) && type == QEvent::MouseButtonPress && left(event)) {
        platform::RunHandler([&] { isPanel ? Panel1Click(widget) : Label28Click(widget); });
        return false;
    }
    if ((isPanel || isLabel) && type == QEvent::MouseButtonDblClick && left(event)) {
        platform::RunHandler([&] { isPanel ? Panel9DblClick(widget) : Label28DblClick(widget); });
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- statistics

void TSort::Button1Click() {
    StatForm->Show();
    ShowYearIncomeChart();
}

void TSort::SumMonthIncome(const registers::IncomeDocument& d) {
    registers::SumMonthIncome(d, StatForm->Edit1->text(), StatForm->SelectedFirm(), CountedNumbers, income_);
}

void TSort::ShowYearIncomeChart() {
    CountedNumbers.clear();
    DBCtrlGrid1->SetDataSource(nullptr);
    StatForm->Chart1->chart()->setTitle(QStringLiteral("Приходи без ДДС за ") + StatForm->Edit1->text() +
                                        QStringLiteral(" г."));
    income_ = {};
    StatForm->ShowBars(income_);
    platform::FillComboKeepingNoSelection(StatForm->ComboBox1, registers::MonthNames());
    DataModule1->store.Refresh();

    for (const registers::IncomeDocument& d : IncomeDocumentsFromLast(StatForm->SelectedFirm(), StatForm->Edit1->text()))
        SumMonthIncome(d);
    StatForm->ShowBars(income_);

    const int month = QDateTime::currentDateTimeUtc().date().month();
    platform::SetComboIndexSilently(StatForm->ComboBox1, month - 1);
    // Documents that cannot be read are told once: the year's, or else the month's lists'.
    try {
        StatForm->ComboBox1Change();
    } catch (const platform::EConvertError&) {
        if (income_.unreadable.Count() == 0) throw;
    }
    DBCtrlGrid1->SetDataSource(&DataModule1->DataSource6);
    DBCtrlGrid1->Repaint();
    income_.unreadable.Report(QStringLiteral("Приходите в графиката не включват"));
}
