#include "registers/Statistics.h"

#include "app/MainWindow.h"
#include "data/DataFolderSetUp.h"
#include "data/DataModule.h"
#include "data/WorkPlace.h"
#include "data/WorkPlaceText.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Handlers.h"
#include "platform/Paths.h"
#include "platform/Printer.h"
#include "platform/TextFile.h"
#include "registers/DocumentRegister.h"
#include "registers/ListRules.h"
#include "registers/StoreRows.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFile>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLinearGradient>
#include <QMenu>
#include <QPrinter>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QValueAxis>

#include <algorithm>

TStatForm* StatForm = nullptr;

TStatForm::TStatForm(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    move(183, 200);

    BuildChart();

    QFont listFont = Memo1->font();
    listFont.setPixelSize(16);
    Memo1->setFont(listFont);
    Memo2->setFont(listFont);
    PopupMenu1 = new QMenu(this);
    PopupMenu2 = new QMenu(this);
    QAction* n1 = PopupMenu1->addAction(QStringLiteral("Копирай"));
    QAction* menuItem1 = PopupMenu2->addAction(QStringLiteral("Копирай"));

    connect(n1, &QAction::triggered, this, platform::Handler(this, &TStatForm::N1Click));
    connect(menuItem1, &QAction::triggered, this, platform::Handler(this, &TStatForm::MenuItem1Click));
    connect(Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(Memo1->viewport()->mapToGlobal(at)); });
    connect(Memo2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu2->popup(Memo2->viewport()->mapToGlobal(at)); });
    connect(Edit1, &QLineEdit::textChanged, this, platform::Handler(this, &TStatForm::Edit1Change));
    // The up-down is a vertical scroll bar, whose upper arrow lowers its value:
    // the value counts the years down from the top of the range, so that the
    // upper arrow raises the year. A year typed into the box is where the
    // arrows go on from.
    const auto flip = [this](int n) { return UpDown1->minimum() + UpDown1->maximum() - n; };
    {
        const QSignalBlocker block(UpDown1);
        UpDown1->setValue(flip(UpDown1->value()));
    }
    connect(UpDown1, &QScrollBar::valueChanged, this,
            [this, flip](int value) { Edit1->setText(QString::number(flip(value))); });
    connect(Edit1, &QLineEdit::textChanged, this, [this, flip](const QString& text) {
        bool number = false;
        const int year = text.trimmed().toInt(&number);
        if (!number || year < UpDown1->minimum() || year > UpDown1->maximum()) return;
        const QSignalBlocker block(UpDown1);
        UpDown1->setValue(flip(year));
    });
    connect(DBComboBox1, &QComboBox::activated, this, platform::Handler(this, &TStatForm::Edit1Change));
    connect(DBComboBox1->lineEdit(), &QLineEdit::textEdited, this, platform::Handler(this, &TStatForm::Edit1Change));
    DBComboBox1->OnDropDown = [this] { DBComboBox1DropDown(); };
    DBComboBox1->setInsertPolicy(QComboBox::NoInsert);
    DBComboBox1->setEditText(QStringLiteral("Собствена фирма..."));
    connect(ComboBox1, &QComboBox::activated, this, platform::Handler(this, &TStatForm::ComboBox1Change));
    connect(SpeedButton1, &QToolButton::clicked, this, platform::Handler(this, &TStatForm::SpeedButton1Click));
    connect(SpeedButton2, &QToolButton::clicked, this, platform::Handler(this, &TStatForm::SpeedButton2Click));
    for (QBarSet* set : {Series1, Series2})
        connect(set, &QBarSet::clicked, this, platform::Handler([this](int index) { Series1Click(index); }));
    for (QWidget* edit : {static_cast<QWidget*>(DBEdit1), static_cast<QWidget*>(DBEdit2),
                          static_cast<QWidget*>(DBEdit3), static_cast<QWidget*>(DBEdit4),
                          static_cast<QWidget*>(DBEdit5), static_cast<QWidget*>(DBEdit6),
                          static_cast<QWidget*>(DBEdit7)})
        static_cast<platform::DBEdit*>(edit)->SetDataSource(DataModule1 ? &DataModule1->DataSource6 : nullptr);
}

// The year chart: a blue band, the paid and unpaid bars of twelve months,
// their values on light yellow marks, and a legend under its caption.
void TStatForm::BuildChart() {
    auto* chart = new QChart();
    QLinearGradient background(0, 0, 0, 1);
    background.setCoordinateMode(QGradient::ObjectBoundingMode);
    background.setColorAt(0, QColor(0, 198, 255));
    background.setColorAt(1, Qt::black);
    chart->setBackgroundBrush(background);
    chart->setBackgroundRoundness(0);
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    titleFont.setPixelSize(14);
    chart->setTitleFont(titleFont);
    chart->setTitleBrush(Qt::white);
    chart->setMargins(QMargins(4, 4, 4, 4));
    // The legend shows its caption "Легенда:"; both series are left out of it.
    QLegend* legend = chart->legend();
    legend->setAlignment(Qt::AlignBottom);
    legend->setMarkerShape(QLegend::MarkerShapeRectangle);
    legend->setBackgroundVisible(true);
    legend->setBrush(Qt::white);
    legend->setPen(QPen(Qt::black));
    legend->setLabelColor(Qt::black);
    legend->layout()->setContentsMargins(70, 2, 6, 2);
    auto* caption = new QGraphicsSimpleTextItem(QStringLiteral("Легенда:"), legend);
    QFont captionFont = caption->font();
    captionFont.setBold(true);
    caption->setFont(captionFont);
    connect(legend, &QGraphicsWidget::geometryChanged, this, [caption, legend] {
        caption->setPos(6, (legend->size().height() - caption->boundingRect().height()) / 2);
    });

    Series1 = new QBarSet(QStringLiteral("Платени фактури"));
    Series1->setColor(QColor(0, 128, 0));
    Series2 = new QBarSet(QStringLiteral("Неплатени фактури"));
    Series2->setColor(QColor(255, 0, 0));
    for (int i = 0; i < 12; ++i) {
        Series1->append(0);
        Series2->append(0);
    }
    Bars = new QBarSeries();
    Bars->append(Series1);
    Bars->append(Series2);
    Bars->setBarWidth(0.5);  // a quarter of the month's slot for each series
    chart->addSeries(Bars);
    for (QLegendMarker* marker : legend->markers(Bars)) marker->setVisible(false);
    legend->setMinimumHeight(caption->boundingRect().height() + 6);
    // Each bar's value on a light yellow mark above it.
    for (int i = 0; i < 24; ++i) {
        auto* mark = new QGraphicsRectItem(chart);
        mark->setBrush(QColor(255, 255, 128));
        mark->setPen(QPen(Qt::black));
        mark->setZValue(10);
        auto* text = new QGraphicsSimpleTextItem(mark);
        QFont markFont = text->font();
        markFont.setPixelSize(9);
        text->setFont(markFont);
        ValueMarks.append(mark);
    }
    connect(chart, &QChart::plotAreaChanged, this, [this] { PlaceValueMarks(); });

    auto* months = new QBarCategoryAxis();
    months->append(registers::MonthNames());
    months->setLabelsBrush(Qt::white);
    QFont monthFont = months->labelsFont();
    monthFont.setPixelSize(9);
    months->setLabelsFont(monthFont);
    chart->addAxis(months, Qt::AlignBottom);
    Bars->attachAxis(months);
    auto* values = new QValueAxis();
    values->setLabelFormat(QStringLiteral("%.2f лв."));
    chart->addAxis(values, Qt::AlignLeft);
    Bars->attachAxis(values);
    values->setVisible(false);
    Chart1->setChart(chart);
    Chart1->setRenderHint(QPainter::Antialiasing);
}

namespace {

// What went wrong on the way to a database at start-up, told once at the end.
struct StartProblems {
    enum class Step { ReadingWorkPlace, OpeningWorkPlace, OpeningDefault };
    Step step = Step::ReadingWorkPlace;
    QString location, defaultFolder;
    QString workPlaceError, error, damagedWorkPlace;
    bool workPlaceFailed = false, failed = false;
    // Nothing can be opened without the engine: the work place's set-up, which
    // "OK" of the work-place window leaves to this start, says so only here.
    bool engineMissing = false;

    bool Any() const { return workPlaceFailed || failed || !damagedWorkPlace.isEmpty() || engineMissing; }

    QString Text() const {
        using platform::Path;
        using platform::PathKind;
        QStringList told;
        const QString engine = data::EngineMissingText();
        if (engineMissing && !workPlaceError.contains(engine) && !error.contains(engine)) told << engine;
        if (!damagedWorkPlace.isEmpty())
            told << QStringLiteral("Файлът на работното място „%1“ е повреден: %2. Работното място в него не е "
                                   "използвано.")
                        .arg(Path(PathKind::NetworkFile), damagedWorkPlace);
        if (step == Step::ReadingWorkPlace)
            told << QStringLiteral("Работното място не може да бъде прочетено:\n%1").arg(error);
        if (workPlaceFailed)
            told << QStringLiteral("Базата данни на работното място „%1“ не може да бъде отворена:\n%2")
                        .arg(location, workPlaceError);
        // The default folder's own failure, unless it was the work place itself.
        if (step == Step::OpeningDefault && failed && location != defaultFolder)
            told << QStringLiteral("Базата данни в папката по подразбиране „%1“ също не може да бъде отворена:\n%2")
                        .arg(defaultFolder, error);
        // The fallback's set-up says nothing of a new empty database: it is told here.
        if (DataModule1->IBDatabase1.Connected() && step == Step::OpeningDefault && Form7 &&
            !Form7->NewEmptyDatabase.isEmpty() && Form7->NewEmptyDatabase == DataModule1->IBDatabase1.DatabaseName)
            told << QStringLiteral("В папката по подразбиране е създадена нова празна база данни „%1“ и е отворена; "
                                   "в папката няма таблици от по-старата версия, които да бъдат прехвърлени.")
                        .arg(DataModule1->IBDatabase1.DatabaseName);
        else if (DataModule1->IBDatabase1.Connected())
            told << QStringLiteral("Отворена е базата данни „%1“ от папката по подразбиране.")
                        .arg(DataModule1->IBDatabase1.DatabaseName);
        else
            told << QStringLiteral("Няма отворена база данни.");
        told << QStringLiteral("Друго работно място се избира с бутона „Работно място“.");
        return told.join(QStringLiteral("\n\n"));
    }
};

// Shows the work place of network.txt's lines in the work-place window (one
// line alone opens that window) and gives the location its option names;
// `location` when no option is chosen.
QString TakeWorkPlace(const QStringList& lines, QString location) {
    if (lines.size() == 1) {
        Main->SpeedButton4Click();
    } else {
        const QString mode = lines.at(1);
        if (mode == QLatin1String("1")) {
            Form8->RadioButton1->setChecked(true);
            Form8->Edit1->setText(lines.at(0));
        }
        if (mode == QLatin1String("2")) {
            Form8->RadioButton2->setChecked(true);
            Form8->Edit2->setText(lines.at(0));
        }
        if (mode == QLatin1String("3")) {
            Form8->RadioButton3->setChecked(true);
            Form8->Edit3->setText(lines.at(0));
        }
    }
    if (Form8->RadioButton1->isChecked()) location = data::LocationText(Form8->Edit1->text(), 1);
    if (Form8->RadioButton2->isChecked()) location = data::LocationText(Form8->Edit2->text(), 2);
    if (Form8->RadioButton3->isChecked()) location = data::LocationText(Form8->Edit3->text(), 3);
    return location;
}

}  // namespace

void TStatForm::FormCreate() {
    using platform::Path;
    using platform::PathKind;

    // What a finished update left behind.
    const QString old = Path(PathKind::OldExecutable);
    if (platform::FileExists(old)) QFile::remove(old);

    // A version file that does not read as a number is shown, and the start
    // goes on: a damaged file on the maker's server must not keep every
    // workstation from its database.
    try {
        Main->CheckForUpdate(0);
    } catch (...) {
        platform::Application::ShowCurrentException();
    }

    StartProblems problems;
    using Step = StartProblems::Step;
    problems.defaultFolder = Path(PathKind::DataFolder);
    problems.location = problems.defaultFolder;
    try {
        const QString networkFile = Path(PathKind::NetworkFile);

        // A computer without the database engine goes through the set-up again.
        problems.engineMissing = !platform::FileExists(Path(PathKind::FirebirdEngine));
        if (problems.engineMissing && platform::FileExists(networkFile)) QFile::remove(networkFile);

        // A damaged file is told, and the default data folder opened instead.
        const data::WorkPlaceFile file = data::ReadWorkPlaceFile(networkFile);
        if (!file.problem.isEmpty()) problems.damagedWorkPlace = file.problem;
        if (!file.lines.isEmpty()) problems.location = TakeWorkPlace(file.lines, problems.location);

        problems.step = Step::OpeningWorkPlace;
        try {
            DataModule1->OpenDatabaseLocation(problems.location);
        } catch (...) {
            // The default data folder, locally, rather than no database at all.
            problems.workPlaceFailed = true;
            problems.workPlaceError = platform::Application::CurrentExceptionText();
            problems.step = Step::OpeningDefault;
            Form8->RadioButton1->setChecked(true);
            // A new empty database made there is told below, with the failure.
            Form7->TellNewEmptyDatabase = false;
            const auto tellAgain = qScopeGuard([] { Form7->TellNewEmptyDatabase = true; });
            DataModule1->OpenDatabaseLocation(problems.defaultFolder);
        }
    } catch (...) {
        problems.failed = true;
        problems.error = platform::Application::CurrentExceptionText();
    }
    // Whatever happened, another work place can be chosen.
    Main->SpeedButton4->setVisible(true);

    if (problems.Any())
        platform::ShowMessageBox(problems.Text(), platform::Application::Title(), platform::DialogIcon::Warning);

    if (DataModule1->firm.Active()) {
        const int recNo = DataModule1->firm.RecNo();
        for (int i = 1; i <= DataModule1->firm.RecordCount(); ++i) {
            DataModule1->firm.SetRecNo(i);
            DBComboBox1->addItem(DataModule1->firm.FieldByName(QStringLiteral("Supplier1")).AsString());
        }
        DataModule1->firm.SetRecNo(recNo);
    }
}

// ---------------------------------------------------------------- chart and lists

QString TStatForm::SelectedFirm() const {
    // A typed text that is none of the items chooses nothing.
    const int index = DBComboBox1->currentIndex();
    return index < 0 || DBComboBox1->itemText(index) != DBComboBox1->currentText() ? QString()
                                                                                   : DBComboBox1->itemText(index);
}

void TStatForm::ShowBars(const registers::YearIncome& income) {
    double low = 0, high = 0;
    for (int i = 0; i < 12; ++i) {
        Series1->replace(i, income.paid[i]);
        Series2->replace(i, income.unpaid[i]);
        low = std::min({low, income.paid[i], income.unpaid[i]});
        high = std::max({high, income.paid[i], income.unpaid[i]});
    }
    // The hidden value axis spans the bars with room for their value labels.
    const double room = (high - low) * 0.15;
    if (auto* axis = qobject_cast<QValueAxis*>(Chart1->chart()->axes(Qt::Vertical).value(0)))
        axis->setRange(low < 0 ? low - room : 0, high > low ? high + room : 1);
    PlaceValueMarks();
}

void TStatForm::PlaceValueMarks() {
    QChart* chart = Chart1->chart();
    if (ValueMarks.size() != 24 || chart->plotArea().isEmpty()) return;
    for (int i = 0; i < 24; ++i) {
        const int month = i / 2;
        QBarSet* set = i % 2 ? Series2 : Series1;
        const double value = set->at(month);
        auto* mark = ValueMarks[i];
        auto* text = static_cast<QGraphicsSimpleTextItem*>(mark->childItems().value(0));
        text->setText(registers::MoneyTotalText(value));
        const QRectF box = text->boundingRect().adjusted(-2, 0, 2, 0);
        mark->setRect(QRectF(0, 0, box.width(), box.height()));
        text->setPos(2, 0);
        // The bar's middle: the two bars share half of the month's slot.
        const QPointF top = chart->mapToPosition(QPointF(month + (i % 2 ? 0.125 : -0.125), value), Bars);
        const double y = value < 0 ? top.y() + 2 : top.y() - box.height() - 2;
        mark->setPos(top.x() - box.width() / 2, y);
        // The month's two marks one above the other where they would meet.
        if (i % 2) {
            QGraphicsRectItem* paid = ValueMarks[i - 1];
            const QRectF a = paid->mapRectToParent(paid->rect()), b = mark->mapRectToParent(mark->rect());
            if (a.intersects(b)) {
                QGraphicsRectItem* upper = a.top() <= b.top() ? paid : mark;
                QGraphicsRectItem* lower = upper == paid ? mark : paid;
                upper->setY(lower->y() - box.height() - 1);
            }
        }
    }
}

void TStatForm::Edit1Change() { Sort->ShowYearIncomeChart(); }

void TStatForm::ComboBox1Change() {
    ListedNumbers.clear();
    Memo1->clear();
    Memo2->clear();
    const int m = ComboBox1->findText(ComboBox1->currentText(), Qt::MatchExactly) + 1;
    if (m < 1 || m > 12 || ComboBox1->currentIndex() < 0) return;
    Sort->DBCtrlGrid1->SetDataSource(nullptr);
    PaidLineCount = UnpaidLineCount = 0;
    PaidGrossTotal = UnpaidGrossTotal = 0;
    const QString month = registers::MonthNames().at(m - 1);
    const QString year = Edit1->text(), firm = SelectedFirm();
    registers::MonthList list;
    for (const registers::IncomeDocument& d : IncomeDocumentsFromLast(firm, year))
        registers::AddMonthListLine(d, m, year, firm, ListedNumbers, list);
    PaidLineCount = list.paidCount;
    UnpaidLineCount = list.unpaidCount;
    PaidGrossTotal = list.paidGross;
    UnpaidGrossTotal = list.unpaidGross;
    const auto fill = [&](QTextEdit* memo, const QString& heading, const QStringList& lines, double net, double gross) {
        QStringList all{heading + month + QStringLiteral(" ") + year + QStringLiteral(" с ДДС")};
        all << lines << QString()
            << QStringLiteral("общо без ДДС: ") + registers::MoneyTotalText(net) + QStringLiteral(" лв.")
            << QStringLiteral("общо с ДДС: ") + registers::MoneyTotalText(gross) + QStringLiteral(" лв.");
        memo->setPlainText(all.join(u'\n'));
    };
    fill(Memo1, QStringLiteral("Извадка за платени фактури за месец "), list.paidLines, Series1->at(m - 1),
         PaidGrossTotal);
    fill(Memo2, QStringLiteral("Извадка за неплатени фактури за месец "), list.unpaidLines, Series2->at(m - 1),
         UnpaidGrossTotal);
    Sort->DBCtrlGrid1->SetDataSource(&DataModule1->DataSource6);
    Sort->DBCtrlGrid1->Repaint();
    list.unreadable.Report(QStringLiteral("Извадките за месеца не включват"));
}

void TStatForm::Series1Click(int index) {
    ComboBox1->setCurrentIndex(index);
    ComboBox1Change();
}

void TStatForm::DBComboBox1DropDown() {
    // The firm charted stays chosen in the list read again, so that a list
    // closed without a choice (Escape) leaves the box showing it; a typed
    // text that chooses no firm stays as it was.
    const QString chosen = SelectedFirm();
    const QString shown = DBComboBox1->currentText();
    const QSignalBlocker block(DBComboBox1);
    const QSignalBlocker blockEdit(DBComboBox1->lineEdit());
    DBComboBox1->clear();
    for (const auto& row : registers::RecordTexts(DataModule1->firm, {QStringLiteral("Supplier1")}))
        DBComboBox1->addItem(row[0]);
    const int index = chosen.isEmpty() ? -1 : DBComboBox1->findText(chosen, Qt::MatchExactly);
    DBComboBox1->setCurrentIndex(index);
    if (index < 0) DBComboBox1->lineEdit()->setText(shown);
}

void TStatForm::PrintList(QTextEdit* memo) {
    QPrinter& printer = platform::Printer();
    if (!platform::PrintDialog(printer, this)) return;
    printer.setDocName(QStringLiteral("Quillane 2013"));
    memo->document()->print(&printer);
}

void TStatForm::SpeedButton1Click() { PrintList(Memo1); }
void TStatForm::SpeedButton2Click() { PrintList(Memo2); }
void TStatForm::N1Click() { Memo1->copy(); }
void TStatForm::MenuItem1Click() { Memo2->copy(); }
