// The program as its user runs it, on databases of 1,000, 10,000, 50,000 and
// 100,000 documents with 2,000 customers and 1,000 goods: every window built
// by the start-up code (bound controls, the data module's refresh handlers),
// keys sent as key events. Each figure is printed beside a baseline from the
// same run, timed alternately with it (one step, one baseline, and again),
// both as medians: one plain fetch of STORE through Firebird's object
// interface, or, for a keystroke, a plain loop over the same texts in memory.
// The save of a stored document is timed as the user makes it: "Запази"
// clicked, the real overwrite question shown and "Да" clicked as soon as it
// is painted, with what each phase of it costs; and as printing saves it,
// without the question.
//
//   program_bench                 runs itself once for each size and case
//   program_bench --documents=N   one size, the main case
//   --case=unnumbered             the register after a new save, with numbers above 3,000,000,000 and
//                                 1 % of the rows holding no number
//   --case=goods                  the key that opens the goods look-up list, with 10,000 goods
//   --sizes=N,M,...               the sizes of a run of every size (1000,10000,50000,100000 unless given)
//   --repeat=K                    timed repetitions of each figure (median), 5 unless given
//   --keys=K                      keystrokes timed in each keystroke figure, 40 unless given

#include "BenchSupport.h"
#include "DataGenerator.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "data/DataModule.h"
#include "data/Login.h"
#include "data/PasswordShift.h"
#include "documents/DocumentEditor.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "platform/LocaleText.h"
#include "platform/StringGrid.h"
#include "registers/DocumentRegister.h"

#include <firebird/Interface.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

std::string g_file;
int g_repeat = 5;
int g_keys = 40;  // keystrokes timed in each keystroke figure

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Ms(const std::function<void()>& step) {
    QElapsedTimer t;
    t.start();
    step();
    return t.nsecsElapsed() / 1e6;
}

// A figure and its baseline, median milliseconds each.
struct Timed {
    double ms = 0, base = 0;
};

// Times step and baseline in turn, `times` times each (before each step,
// prepare runs untimed): a busy machine slows both alike, so their ratio holds.
Timed Paired(int times, const std::function<void()>& step, const std::function<void()>& baseline,
             const std::function<void()>& prepare = {}) {
    std::vector<double> ms, base;
    for (int i = 0; i < times; ++i) {
        if (prepare) prepare();
        ms.push_back(Ms(step));
        base.push_back(Ms(baseline));
    }
    return {Median(ms), Median(base)};
}

// Plain fetches of STORE, each in a transaction of its own (as the program's
// refresh reads the committed rows), and changes of the database file made
// before the program starts.
struct Plain {
    Firebird::IMaster* master = Firebird::fb_get_master_interface();
    Firebird::IStatus* status = master->getStatus();
    Firebird::ThrowStatusWrapper st{status};
    Firebird::IAttachment* att = bench::AttachAsAdmin(st, g_file);
    ~Plain() {
        att->detach(&st);
        status->dispose();
    }
    void Fetch() {
        Firebird::ITransaction* tra = att->startTransaction(&st, 0, nullptr);
        bench::PlainFetchOfStore(att, tra, st);
        tra->commit(&st);
    }
    void Execute(const char* sql) {
        Firebird::ITransaction* tra = att->startTransaction(&st, 0, nullptr);
        att->execute(&st, tra, 0, sql, 3, nullptr, nullptr, nullptr, nullptr);
        tra->commit(&st);
    }
};
Plain* g_plain = nullptr;
void PlainFetch() { g_plain->Fetch(); }

// Bytes of the values of STORE's rows (Windows-1251, as stored), on average.
double AverageRowBytes(data::DataSet& store) {
    double bytes = 0;
    for (int r = 0; r < store.RecordCount(); ++r)
        for (int c = 0; c < store.FieldCount(); ++c) bytes += platform::EncodeCp1251(store.DisplayText(r, c)).size();
    return store.RecordCount() ? bytes / store.RecordCount() : 0;
}

long ResidentKb() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

void Key(QWidget* target, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

// Keystrokes in turn: a letter, then Backspace, so that each changes the text,
// each beside the loop in memory that does the same filtering. Timed from the
// key event to the end of its handling; the painting that follows (Qt's own,
// the same in any program that shows the list) is done between keys and not
// timed.
Timed Keystrokes(QWidget* target, const QString& letter, const std::function<void(bool)>& loop) {
    bool typed = false;
    return Paired(
        g_keys,
        [&] {
            if ((typed = !typed))
                Key(target, Qt::Key_unknown, letter);
            else
                Key(target, Qt::Key_Backspace);
        },
        [&] { loop(typed); }, [] { QCoreApplication::processEvents(); });
}

// What a plain program does for a keystroke: the texts that start with (or
// contain) the typed text, both lowered.
void Loop(const QStringList& texts, const QString& typedText, bool contains) {
    const QString typed = typedText.toLower();
    QStringList out;
    for (const QString& t : texts)
        if (contains ? t.toLower().contains(typed) : t.left(typed.size()).toLower() == typed) out << t;
    volatile qsizetype n = out.size();
    (void)n;
}

QStringList Column(data::DataSet& ds, const char* field) {
    QStringList out;
    const int c = [&] {
        for (int i = 0; i < ds.FieldCount(); ++i)
            if (ds.Columns()[i].name == QLatin1String(field).toString().toUpper()) return i;
        return 0;
    }();
    for (int r = 0; r < ds.RecordCount(); ++r) out << ds.DisplayText(r, c);
    return out;
}

// One printed figure: its median, its baseline's median from the same run,
// and its goal (a ratio to the baseline, or milliseconds when absolute).
struct Row {
    std::string what;
    Timed t;
    const char* baseline;  // what the baseline is, for the table
    double goal;
    bool absolute = false;
    double limitMs = 0;  // a second, absolute limit
    int goalFrom = 0;    // the goal is set for this many documents and more
};

void Print(const std::vector<Row>& rows, int documents, const char* title) {
    std::printf("\n%d documents, %s: median real times (ms) beside the baseline timed alternately with them\n",
                documents, title);
    std::printf("%-56s %10s %10s %-6s %8s  %s\n", "measure", "ours", "baseline", "of", "ratio", "goal");
    for (const Row& r : rows) {
        const double ratio = r.t.base > 0 ? r.t.ms / r.t.base : 0;
        bool met = r.absolute ? r.t.ms <= r.goal : ratio <= r.goal;
        if (r.limitMs > 0) met = met && r.t.ms <= r.limitMs;
        // Padded by characters, not bytes: a name may hold Cyrillic letters.
        const int pad = std::max(0, 56 - int(QString::fromStdString(r.what).size()));
        std::printf("%s%*s %10.3f %10.3f %-6s %7.2fx  ", r.what.c_str(), pad, "", r.t.ms, r.t.base, r.baseline, ratio);
        char goal[80];
        if (r.absolute)
            std::snprintf(goal, sizeof goal, "<= %.0f ms", r.goal);
        else if (r.limitMs > 0)
            std::snprintf(goal, sizeof goal, "<= %.0f ms and <= %.2fx", r.limitMs, r.goal);
        else
            std::snprintf(goal, sizeof goal, "<= %.2fx", r.goal);
        if (documents < r.goalFrom)
            std::printf("(goal %s set from %d documents on)\n", goal, r.goalFrom);
        else
            std::printf("%s: %s\n", goal, met ? "met" : "NOT met");
    }
    std::printf("baselines: fetch = a plain fetch of every row and column of STORE through Firebird's object\n"
                "interface; loop = a plain loop over the same texts in memory; bytes = the bytes of a stored row\n");
    std::fflush(stdout);
}

// A document of the stored ones, to be saved again under a number no other one has.
long long g_fresh = 900000;
void PrepareNew(int from) {
    OrderForm->LoadDocument(from);
    OrderForm->MaskEdit1->setText(QStringLiteral("%1").arg(++g_fresh, 10, 10, QChar(u'0')));
}
void SaveNew(int from) {
    PrepareNew(from);
    OrderForm->SaveClick();
}

// A left click on a button, pressed and released at its middle, as the mouse gives it.
void ClickButton(QAbstractButton* button) {
    const QPointF at = QRectF(button->rect()).center();
    const QPointF screen = button->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, screen, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, screen, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

// The save as the user makes it: "Запази" clicked, the overwrite question
// shown (the real message box, built, laid out and painted) and "Да" clicked
// as soon as it is on screen. Each phase is timed from marks the program's
// own events give: the data sets' handlers, the commit, the box's events.
class UserSave : public QObject {
public:
    // The phases in order, each from the mark before it.
    static constexpr const char* kPhases[] = {
        "checks, view rebuild, customer written back, FIRM read again",
        "STORE read again before the search (the register's list filled if open)",
        "search for the stored record",
        "question built, shown and painted, \"Да\" clicked, box closed",
        "record's fields written",
        "counter read again and raised, record posted",
        "commit",
        "STORE read again after the commit (the register's list filled if open)",
        "the rest, to the end of the click",
    };
    static constexpr int kPhaseCount = int(std::size(kPhases));

    UserSave() {
        data::DataSet& store = DataModule1->store;
        data::DataSet& firm = DataModule1->firm;
        keptStoreRefresh_ = store.AfterRefresh;
        keptStorePost_ = store.AfterPost;
        keptFirmRefresh_ = firm.AfterRefresh;
        store.AfterRefresh = [this](data::DataSet& ds) {
            Mark(1);  // the read before the search begins
            keptStoreRefresh_(ds);
            Mark(2);  // and ends
            Mark(8);  // the read after the commit ends
        };
        firm.AfterRefresh = [this](data::DataSet& ds) {
            Mark(5);  // the counter read again: the fields are written
            keptFirmRefresh_(ds);
        };
        store.AfterPost = [this](data::DataSet& ds) {
            if (Mark(6)) DataModule1->IBTransaction1.AfterCommit([this] { Mark(7); });
            keptStorePost_(ds);
        };
        qApp->installEventFilter(this);
    }
    ~UserSave() override {
        qApp->removeEventFilter(this);
        DataModule1->store.AfterRefresh = keptStoreRefresh_;
        DataModule1->store.AfterPost = keptStorePost_;
        DataModule1->firm.AfterRefresh = keptFirmRefresh_;
    }

    // One save; its phases (ms) are kept.
    void Run() {
        marks_.clear();
        answered_ = false;
        clock_.start();
        ClickButton(OrderForm->Save);
        const double end = clock_.nsecsElapsed() / 1e6;
        if (marks_.size() != size_t(kPhaseCount - 1)) {
            std::fprintf(stderr, "the save went otherwise than a save after the question: %zu of %d marks\n",
                         marks_.size(), kPhaseCount - 1);
            std::exit(3);
        }
        double from = 0;
        for (int i = 0; i < kPhaseCount; ++i) {
            const double to = i + 1 < kPhaseCount ? marks_[size_t(i)] : end;
            phases_[i].push_back(to - from);
            from = to;
        }
    }
    double PhaseMedian(int i) const { return Median(phases_[i]); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* box = widget ? qobject_cast<QMessageBox*>(widget->window()) : nullptr;
        if (!box) return false;
        Mark(3);  // the question's box is being built
        if (event->type() == QEvent::Show && watched == box &&
            !box->text().startsWith(QStringLiteral("Вече съществува"))) {
            std::fprintf(stderr, "Message shown: %s\n", box->text().toLocal8Bit().constData());
            std::exit(2);
        }
        // Answered once the box has been painted, as the user sees it first.
        if (event->type() == QEvent::Paint && !answered_) {
            answered_ = true;
            QTimer::singleShot(0, box, [box] {
                for (QAbstractButton* button : box->buttons())
                    if (box->buttonRole(button) == QMessageBox::YesRole) ClickButton(button);
            });
        }
        if (event->type() == QEvent::Hide && watched == box) Mark(4);
        return false;
    }

private:
    // Sets the mark of that number when it is the next one; false otherwise.
    bool Mark(size_t number) {
        if (marks_.size() + 1 != number) return false;
        marks_.push_back(clock_.nsecsElapsed() / 1e6);
        return true;
    }

    QElapsedTimer clock_;
    std::vector<double> marks_;
    std::vector<double> phases_[kPhaseCount];
    bool answered_ = false;
    data::DataSet::Event keptStoreRefresh_, keptStorePost_, keptFirmRefresh_;
};

// What the user does before saving again: a letter typed into the
// recipient's field and taken back, which enables "Запази".
void ChangeAndTakeBack() {
    TOrderForm* e = OrderForm;
    e->Edit8->setFocus();
    e->Edit8->end(false);
    Key(e->Edit8, Qt::Key_unknown, QStringLiteral("я"));
    Key(e->Edit8, Qt::Key_Backspace);
    QCoreApplication::processEvents();
    if (!e->Save->isEnabled()) throw std::runtime_error("a change did not enable the save button");
}

// The register shown after a new document was saved (its numbers sorted again).
Timed RegisterOpenAfterNewSave() {
    return Paired(
        g_repeat,
        [] {
            Sort->Show();
            QCoreApplication::processEvents();
        },
        PlainFetch,
        [] {
            Sort->Close();
            SaveNew(DataModule1->store.RecordCount() / 2);
        });
}

enum class Case { Main, Unnumbered, Goods };

// The goods look-up's figure is measured with this many goods.
constexpr int kLookupGoods = 10000;

// Changes of the database copy before the program starts.
void PrepareDatabase(Case c) {
    if (c == Case::Unnumbered) {
        // Every number moved above 3,000,000,000; the documents of one number in
        // a hundred hold a number that is no whole number (as a hand-edited row).
        g_plain->Execute(
            "update STORE set NUM = case when mod(cast(NUM as bigint), 100) = 37 then 'N' || NUM "
            "else cast(3000000000 + cast(NUM as bigint) as varchar(20)) end where NUM similar to '[0-9]+'");
        g_fresh = 3100000000LL;
    } else if (c == Case::Goods) {
        // The goods copied until there are that many, each copy with keys and numbers of its own.
        for (int k = 1; k < kLookupGoods / bench::kGoods; ++k) {
            const std::string sql =
                "insert into STOCK (pnom, Num, Description1, Description2, Unit1, Unit2, Qty, Price, SellPrice) "
                "select pnom || '." + std::to_string(k) + "', Num + " + std::to_string(k * bench::kGoods) +
                ", Description1, Description2, Unit1, Unit2, Qty, Price, SellPrice from STOCK where Num <= " +
                std::to_string(bench::kGoods);
            g_plain->Execute(sql.c_str());
        }
    }
}

// Starts the program to its main window (all windows made as at start-up),
// logs in as the first user and opens the editor.
double StartProgram() {
    const double ms = Ms([] {
        CreateAllForms();
        Main->Show();
        QCoreApplication::processEvents();
    });
    std::printf("%d documents in STORE, %d customers, %d goods\n", DataModule1->store.RecordCount(),
                DataModule1->cust.RecordCount(), DataModule1->stock.RecordCount());
    // Logged in as the first user, with the password kept for that user.
    data::DataSet& users = DataModule1->user;
    if (users.RecordCount() > 0) {
        users.SetRecNo(1);
        Form9->CheckUserPassword(users.FieldByName(QStringLiteral("us")).AsString(),
                                 data::ClearPassword(users.FieldByName(QStringLiteral("pas")).AsBytes()));
    }
    Main->OrderBtn->click();
    if (!OrderForm->isVisible()) throw std::runtime_error("the editor did not open");
    return ms;
}

// The description cell of the first line, chosen as a click or a Tab chooses
// it, and the first key typed there. Returns the widget the next keys go to.
QWidget* TypeIntoGoodsCell(const QString& first) {
    TOrderForm* e = OrderForm;
    e->StringGrid1->SetCurrentCell(0, 1);
    e->StringGrid1->SetCurrentCell(1, 1);
    Key(e->StringGrid1->View(), Qt::Key_unknown, first);
    QWidget* cell = e->StringGrid1->InplaceEditor();
    return cell ? cell : e->StringGrid1->View();
}

// The goods look-up list's entries as a plain program would keep them.
QStringList GoodsEntryTexts() {
    const QStringList goods = Column(DataModule1->stock, "Description1");
    QStringList entries;
    for (int i = 0; i < goods.size(); ++i) entries << goods[i].section(u'\n', 0, 0) + u'~' + QString::number(i + 1);
    return entries;
}

// The save as the user makes it, timed beside the plain fetch, with its phases.
void UserSaveRow(std::vector<Row>& rows, const char* what, bool registerOpen) {
    if (registerOpen) {
        Sort->Show();
        QCoreApplication::processEvents();
    }
    // The bench's guard against messages would answer the question: the real box is shown instead.
    const platform::DialogResponder guard = platform::DialogGate::SetResponder({});
    Timed user;
    std::vector<double> phases;
    {
        UserSave save;
        user = Paired(g_repeat, [&] { save.Run(); }, PlainFetch, ChangeAndTakeBack);
        for (int i = 0; i < UserSave::kPhaseCount; ++i) phases.push_back(save.PhaseMedian(i));
    }
    platform::DialogGate::SetResponder(guard);
    if (registerOpen) Sort->Close();
    rows.push_back({what, user, "fetch", 0.25, false, 0, 50000});
    std::printf("%s, by phase: median ms, and as a share of the plain fetch (%.3f ms)\n", what, user.base);
    double sum = 0;
    for (int i = 0; i < UserSave::kPhaseCount; ++i) {
        sum += phases[size_t(i)];
        std::printf("  %-74s %9.3f  %5.3fx\n", UserSave::kPhases[i], phases[size_t(i)],
                    user.base > 0 ? phases[size_t(i)] / user.base : 0);
    }
    std::printf("  %-74s %9.3f  %5.3fx\n", "(sum of the phases' medians)", sum, user.base > 0 ? sum / user.base : 0);
}

void RunMain(int documents, std::vector<Row>& rows) {
    // Start-up to the main window, once: the windows can be made only once.
    const long emptyKb = ResidentKb();
    std::vector<double> before;
    for (int i = 0; i < g_repeat; ++i) before.push_back(Ms(PlainFetch));
    const double startUp = StartProgram();
    rows.push_back({"start-up to the main window", {startUp, Median(before)}, "fetch", 1.2, false, 0, 50000});
    TOrderForm* e = OrderForm;

    // Type-ahead in a customer's name: its beginning up to the first letter, then the next letter typed
    // and taken back.
    const QStringList names = Column(DataModule1->cust, "Company1");
    const QString name = names.value(0);
    qsizetype letter = 0;
    while (letter < name.size() && !name[letter].isLetter()) ++letter;
    const QString first = name.left(letter + 1), second = name.mid(letter + 1, 1);
    e->Edit1->setFocus();
    for (QChar ch : first) Key(e->Edit1, Qt::Key_unknown, QString(ch));
    rows.push_back({"type-ahead keystroke in Edit1",
                    Keystrokes(e->Edit1, second, [&](bool typed) { Loop(names, typed ? first + second : first, false); }),
                    "loop", 5, false, 10});
    std::printf("Edit1 \"%s\" lists %d of %lld customers\n", e->Edit1->text().toLocal8Bit().constData(),
                e->ListBox1->count(), static_cast<long long>(names.size()));
    Key(e->Edit1, Qt::Key_Backspace);

    // The goods filter: the description cell of the first line.
    const QStringList entries = GoodsEntryTexts();
    const QString word = Column(DataModule1->stock, "Description1").value(0).section(u' ', 0, 0);
    QWidget* cell = TypeIntoGoodsCell(word.left(1));
    for (QChar ch : word.mid(1, 2)) Key(cell, Qt::Key_unknown, QString(ch));
    rows.push_back({"goods filter keystroke",
                    Keystrokes(cell, word.mid(3, 1),
                               [&](bool typed) { Loop(entries, typed ? word.left(4) : word.left(3), true); }),
                    "loop", 3, true});
    std::printf("goods cell \"%s\" lists %d of %lld goods\n", e->StringGrid1->Cell(1, 1).toLocal8Bit().constData(),
                e->ListBox1->count(), static_cast<long long>(entries.size()));
    e->ListBox1->hide();

    // Loading a stored document other than the open one.
    const int a = documents / 2, b = documents / 3;
    bool flip = false;
    rows.push_back({"load of another document", Paired(g_repeat, [&] { e->LoadDocument((flip = !flip) ? a : b); }, PlainFetch),
                    "fetch", 0.15, false, 0, 50000});

    // Saving the open document again as the user does, logged in as its
    // owner: "Запази", the question, "Да". Then as printing saves it, without the question.
    e->LoadDocument(a);
    bench::LogInAsOwnerOf(a);
    const int storedBefore = DataModule1->store.RecordCount();
    UserSaveRow(rows, "save as the user makes it: Запази, the question, Да", false);
    // As when the document was opened from the register, which stays open behind the editor.
    UserSaveRow(rows, "the same with the register open", true);
    if (DataModule1->store.RecordCount() != storedBefore) throw std::runtime_error("the save added a document");
    rows.push_back({"save without the question (as printing saves)", Paired(g_repeat, [&] { e->SaveClick(); }, PlainFetch),
                    "fetch", 0.25, false, 0, 50000});

    rows.push_back({"register open after a new save, all rows numbered", RegisterOpenAfterNewSave(), "fetch", 0.3,
                    false, 0, 50000});
    rows.push_back({"new-document save with the register open",
                    Paired(
                        g_repeat, [] { OrderForm->SaveClick(); }, PlainFetch,
                        [] { PrepareNew(DataModule1->store.RecordCount() / 3); }),
                    "fetch", 0.3, false, 0, 50000});
    Sort->Close();

    // Memory: what STORE's rows hold, against the bytes of the rows.
    data::DataSet& store = DataModule1->store;
    const double rowBytes = AverageRowBytes(store);
    const int count = store.RecordCount();
    malloc_trim(0);
    const long withRows = ResidentKb();
    store.Close();
    malloc_trim(0);
    const long withoutRows = ResidentKb();
    const double perDocument = count ? (withRows - withoutRows) * 1024.0 / count : 0;
    rows.push_back({"memory per stored document (bytes)", {perDocument, rowBytes}, "bytes", 1.2, false, 0, 50000});
    std::printf("resident: %ld KB before start-up, %ld KB with STORE's rows, %ld KB without\n", emptyKb, withRows,
                withoutRows);
}

void RunUnnumbered(std::vector<Row>& rows) {
    StartProgram();
    int unnumbered = 0;
    for (const QString& num : Column(DataModule1->store, "Num")) unnumbered += num.startsWith(u'N');
    std::printf("%d documents hold a number that is no whole number; the others are above 3,000,000,000\n",
                unnumbered);
    bench::LogInAsOwnerOf(1);
    rows.push_back({"register open after a new save, 1 % without a number", RegisterOpenAfterNewSave(), "fetch", 0.3,
                    false, 0, 50000});
    Sort->Close();
}

void RunGoods(std::vector<Row>& rows) {
    StartProgram();
    TOrderForm* e = OrderForm;
    const QStringList entries = GoodsEntryTexts();
    const QString word = Column(DataModule1->stock, "Description1").value(0).section(u' ', 0, 0);
    // The cell holds the word's first letter; each time the list is closed, its
    // second letter is the key that opens the list again, then taken back.
    QWidget* cell = TypeIntoGoodsCell(word.left(1));
    const Timed firstKey = Paired(
        g_repeat, [&] { Key(cell, Qt::Key_unknown, word.mid(1, 1)); }, [&] { Loop(entries, word.left(2), true); },
        [&] {
            if (e->StringGrid1->Cell(1, 1).size() > 1) Key(cell, Qt::Key_Backspace);
            e->ListBox1->hide();
            QCoreApplication::processEvents();
        });
    std::printf("goods cell \"%s\" lists %d of %lld goods\n", e->StringGrid1->Cell(1, 1).toLocal8Bit().constData(),
                e->ListBox1->count(), static_cast<long long>(entries.size()));
    rows.push_back({"key that opens the goods look-up list, " + std::to_string(entries.size()) + " goods", firstKey,
                    "loop", 50, true});
    e->ListBox1->hide();
}

int RunOne(int documents, Case c) {
    QTemporaryDir home;  // the program's installation folder, with a copy of the database
    g_file = bench::InstallDatabaseCopy(home.path(), documents);
    platform::SetDecimalSeparatorOverride(QChar(u','));  // a Bulgarian desktop's
    platform::DialogGate::SetResponder([](const platform::DialogRequest& r) -> platform::DialogResponse {
        std::fprintf(stderr, "Message shown: %s\n", r.text.toLocal8Bit().constData());
        std::exit(2);
    });
    Plain plain;
    g_plain = &plain;
    PrepareDatabase(c);
    std::vector<Row> rows;
    const char* title = "";
    switch (c) {
    case Case::Main:
        RunMain(documents, rows);
        title = "the program";
        break;
    case Case::Unnumbered:
        RunUnnumbered(rows);
        title = "numbers above 3,000,000,000, 1 % of the rows without a number";
        break;
    case Case::Goods:
        RunGoods(rows);
        title = "10,000 goods";
        break;
    }
    Print(rows, documents, title);
    platform::DestroyCreatedForms();
    g_plain = nullptr;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bench::PrepareEnvironment(true);
    QApplication app(argc, argv);
    int documents = 0;
    Case c = Case::Main;
    std::vector<int> sizes = {1000, 10000, 50000, 100000};
    for (const QString& arg : app.arguments().mid(1)) {
        if (arg.startsWith(QLatin1String("--documents="))) documents = arg.mid(12).toInt();
        if (arg.startsWith(QLatin1String("--repeat="))) g_repeat = std::max(1, arg.mid(9).toInt());
        if (arg.startsWith(QLatin1String("--keys="))) g_keys = std::max(2, arg.mid(7).toInt());
        if (arg == QLatin1String("--case=unnumbered")) c = Case::Unnumbered;
        if (arg == QLatin1String("--case=goods")) c = Case::Goods;
        if (arg.startsWith(QLatin1String("--sizes="))) {
            sizes.clear();
            for (const QString& n : arg.mid(8).split(u',', Qt::SkipEmptyParts))
                if (n.toInt() > 0) sizes.push_back(n.toInt());
        }
    }
    if (documents <= 0) {
        // Each size and case in a process of its own: the windows are made once per program.
        QStringList common;
        for (const QString& arg : app.arguments().mid(1))
            if (arg.startsWith(QLatin1String("--repeat=")) || arg.startsWith(QLatin1String("--keys="))) common << arg;
        std::vector<QStringList> runs;
        for (int n : sizes) {
            runs.push_back(common + QStringList{QStringLiteral("--documents=%1").arg(n)});
            if (n >= 10000)
                runs.push_back(common + QStringList{QStringLiteral("--documents=%1").arg(n),
                                                    QStringLiteral("--case=unnumbered")});
        }
        // The goods look-up does not depend on the documents: once, at 10,000.
        runs.push_back(common + QStringList{QStringLiteral("--documents=10000"), QStringLiteral("--case=goods")});
        int failed = 0;
        for (const QStringList& args : runs) {
            QProcess run;
            run.setProcessChannelMode(QProcess::ForwardedChannels);
            run.start(QCoreApplication::applicationFilePath(), args);
            run.waitForFinished(-1);
            if (run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0) {
                std::printf("\nthe run %s failed (exit code %d)\n", args.join(u' ').toLocal8Bit().constData(),
                            run.exitCode());
                ++failed;
            }
        }
        return failed ? 1 : 0;
    }
    try {
        return RunOne(documents, c);
    } catch (...) {
        std::fprintf(stderr, "%s\n", bench::ErrorText(std::current_exception()).c_str());
        return 1;
    }
}
