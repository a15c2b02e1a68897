// The program as its user runs it, on databases of 1,000, 10,000 and 50,000
// documents with 2,000 customers and 1,000 goods: every window built by the
// start-up code (bound controls, the data module's refresh handlers), keys
// sent as key events. Each figure is printed beside a baseline from the same
// run: one plain fetch of STORE through Firebird's object interface, or, for
// a keystroke, a plain loop over the same texts in memory.
//
//   program_bench                 runs itself once for each size
//   program_bench --documents=N   one size
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
#include <QProcess>
#include <QTemporaryDir>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
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

// Median milliseconds of one call of step, over `times` timed calls; before
// each, prepare runs untimed.
double Time(int times, const std::function<void()>& step, const std::function<void()>& prepare = {}) {
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        if (prepare) prepare();
        QElapsedTimer t;
        t.start();
        step();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return Median(ms);
}

// Plain fetches of STORE, and the bytes of its rows as they arrive.
struct Plain {
    Firebird::IMaster* master = Firebird::fb_get_master_interface();
    Firebird::IStatus* status = master->getStatus();
    Firebird::ThrowStatusWrapper st{status};
    Firebird::IAttachment* att = bench::AttachAsAdmin(st, g_file);
    Firebird::ITransaction* tra = att->startTransaction(&st, 0, nullptr);
    ~Plain() {
        tra->commit(&st);
        att->detach(&st);
        status->dispose();
    }
    double FetchMs() {
        return Time(g_repeat, [this] { bench::PlainFetchOfStore(att, tra, st); });
    }
};

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

// Keystrokes in turn: a letter, then Backspace, so that each changes the text.
// Timed from the key event to the end of its handling; the painting that
// follows (Qt's own, the same in any program that shows the list) is done
// between keys and not timed.
double KeystrokeMs(QWidget* target, const QString& letter) {
    bool typed = false;
    return Time(
        g_keys,
        [&] {
            if ((typed = !typed))
                Key(target, Qt::Key_unknown, letter);
            else
                Key(target, Qt::Key_Backspace);
        },
        [] { QCoreApplication::processEvents(); });
}

double LoopMs(const QStringList& texts, const QString& a, const QString& b, bool contains) {
    bool flip = false;
    return Time(g_keys, [&] {
        const QString typed = ((flip = !flip) ? a : b).toLower();
        QStringList out;
        for (const QString& t : texts)
            if (contains ? t.toLower().contains(typed) : t.left(typed.size()).toLower() == typed) out << t;
        volatile qsizetype n = out.size();
        (void)n;
    });
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

struct Row {
    const char* what;
    double ms, base;
    double goal;   // ratio, or milliseconds when absolute
    bool absolute = false;
    double limitMs = 0;  // a second, absolute limit
    int goalFrom = 0;    // the goal is set for this many documents and more
};

void Print(const std::vector<Row>& rows, int documents) {
    std::printf("\n%d documents: median real times beside the baseline of the same run\n", documents);
    std::printf("%-48s %10s %10s %7s  %s\n", "measure", "ours", "baseline", "ratio", "goal");
    for (const Row& r : rows) {
        const double ratio = r.base > 0 ? r.ms / r.base : 0;
        bool met = r.absolute ? r.ms <= r.goal : ratio <= r.goal;
        if (r.limitMs > 0) met = met && r.ms <= r.limitMs;
        char goal[80];
        if (documents < r.goalFrom) {
            std::printf("%-48s %10.3f %10.3f %6.2fx  (goal set from %d documents on)\n", r.what, r.ms, r.base, ratio,
                        r.goalFrom);
            continue;
        }
        if (r.absolute)
            std::snprintf(goal, sizeof goal, "<= %.0f ms", r.goal);
        else if (r.limitMs > 0)
            std::snprintf(goal, sizeof goal, "<= %.0f ms and <= %.1fx", r.limitMs, r.goal);
        else
            std::snprintf(goal, sizeof goal, "<= %.1fx", r.goal);
        std::printf("%-48s %10.3f %10.3f %6.2fx  %s: %s\n", r.what, r.ms, r.base, ratio, goal, met ? "met" : "NOT met");
    }
    std::fflush(stdout);
}

// A document of the stored ones, to be saved again under a number no other one has.
int g_fresh = 900000;
void PrepareNew(int from) {
    OrderForm->LoadDocument(from);
    OrderForm->MaskEdit1->setText(QStringLiteral("%1").arg(++g_fresh, 10, 10, QChar(u'0')));
}
void SaveNew(int from) {
    PrepareNew(from);
    OrderForm->SaveClick();
}

int RunOne(int documents) {
    QTemporaryDir home;  // the program's installation folder, with a copy of the database
    g_file = bench::InstallDatabaseCopy(home.path(), documents);
    platform::SetDecimalSeparatorOverride(QChar(u','));  // a Bulgarian desktop's
    platform::DialogGate::SetResponder([](const platform::DialogRequest& r) -> platform::DialogResponse {
        std::fprintf(stderr, "Message shown: %s\n", r.text.toLocal8Bit().constData());
        std::exit(2);
    });

    Plain plain;
    const double fetch = plain.FetchMs();
    std::vector<Row> rows;

    // Start-up to the main window, once: the windows can be made only once.
    const long emptyKb = ResidentKb();
    QElapsedTimer t;
    t.start();
    CreateAllForms();
    Main->Show();
    QCoreApplication::processEvents();
    rows.push_back({"start-up to the main window", t.nsecsElapsed() / 1e6, fetch, 1.2, false, 0, 50000});
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
    TOrderForm* e = OrderForm;
    if (!e->isVisible()) throw std::runtime_error("the editor did not open");

    // Type-ahead in a customer's name: its beginning up to the first letter, then the next letter typed
    // and taken back.
    const QStringList names = Column(DataModule1->cust, "Company1");
    const QString name = names.value(0);
    qsizetype letter = 0;
    while (letter < name.size() && !name[letter].isLetter()) ++letter;
    const QString first = name.left(letter + 1), second = name.mid(letter + 1, 1);
    e->Edit1->setFocus();
    for (QChar ch : first) Key(e->Edit1, Qt::Key_unknown, QString(ch));
    rows.push_back({"type-ahead keystroke in Edit1 (vs. loop in memory)", KeystrokeMs(e->Edit1, second),
                    LoopMs(names, first + second, first, false), 5, false, 10});
    std::printf("Edit1 \"%s\" lists %d of %lld customers\n", e->Edit1->text().toLocal8Bit().constData(),
                e->ListBox1->count(), static_cast<long long>(names.size()));
    Key(e->Edit1, Qt::Key_Backspace);

    // The goods filter: the description cell of the first line.
    const QStringList goods = Column(DataModule1->stock, "Description1");
    const QString word = goods.value(0).section(u' ', 0, 0);
    e->StringGrid1->SetCurrentCell(0, 1);  // then the description cell, as a click or a Tab chooses it
    e->StringGrid1->SetCurrentCell(1, 1);
    Key(e->StringGrid1->View(), Qt::Key_unknown, word.left(1));
    QWidget* cell = e->StringGrid1->InplaceEditor();
    if (!cell) cell = e->StringGrid1->View();
    for (QChar ch : word.mid(1, 2)) Key(cell, Qt::Key_unknown, QString(ch));
    QStringList entries;
    for (int i = 0; i < goods.size(); ++i) entries << goods[i].section(u'\n', 0, 0) + u'~' + QString::number(i + 1);
    rows.push_back({"goods filter keystroke (vs. loop in memory)", KeystrokeMs(cell, word.mid(3, 1)),
                    LoopMs(entries, word.left(4), word.left(3), true), 3, true});
    std::printf("goods cell \"%s\" lists %d of %lld goods\n", e->StringGrid1->Cell(1, 1).toLocal8Bit().constData(),
                e->ListBox1->count(), static_cast<long long>(goods.size()));
    e->ListBox1->hide();

    // Loading a stored document other than the open one.
    const int a = documents / 2, b = documents / 3;
    bool flip = false;
    rows.push_back({"load of another document", Time(g_repeat, [&] { e->LoadDocument((flip = !flip) ? a : b); }),
                    fetch, 1.5, false, 0, 10000});

    // Saving the open document again (as printing does), logged in as its owner.
    e->LoadDocument(a);
    bench::LogInAsOwnerOf(a);
    rows.push_back({"save of the open document", Time(g_repeat, [&] { e->SaveClick(); }), fetch, 2.6, false, 0, 10000});

    // The register opened after a new document was saved (its numbers sorted again).
    rows.push_back({"register open after a new document was saved",
                    Time(
                        g_repeat,
                        [] {
                            Sort->Show();
                            QCoreApplication::processEvents();
                        },
                        [] {
                            Sort->Close();
                            SaveNew(DataModule1->store.RecordCount() / 2);
                        }),
                    fetch, 1.5, false, 0, 50000});
    rows.push_back({"new-document save with the register open",
                    Time(
                        g_repeat, [] { OrderForm->SaveClick(); },
                        [] { PrepareNew(DataModule1->store.RecordCount() / 3); }),
                    fetch, 3.0, false, 0, 50000});
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
    rows.push_back({"memory per stored document (bytes, vs. its row's)", perDocument, rowBytes, 1.5, false, 0, 50000});
    std::printf("resident: %ld KB before start-up, %ld KB with STORE's rows, %ld KB without\n", emptyKb, withRows,
                withoutRows);

    Print(rows, documents);
    platform::DestroyCreatedForms();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bench::PrepareEnvironment(true);
    QApplication app(argc, argv);
    int documents = 0;
    for (const QString& arg : app.arguments().mid(1)) {
        if (arg.startsWith(QLatin1String("--documents="))) documents = arg.mid(12).toInt();
        if (arg.startsWith(QLatin1String("--repeat="))) g_repeat = std::max(1, arg.mid(9).toInt());
        if (arg.startsWith(QLatin1String("--keys="))) g_keys = std::max(2, arg.mid(7).toInt());
    }
    if (documents <= 0) {
        // Each size in a process of its own: the windows are made once per program.
        int failed = 0;
        for (int n : {1000, 10000, 50000}) {
            QStringList args = app.arguments().mid(1);
            args << QStringLiteral("--documents=%1").arg(n);
            QProcess run;
            run.setProcessChannelMode(QProcess::ForwardedChannels);
            run.start(QCoreApplication::applicationFilePath(), args);
            run.waitForFinished(-1);
            failed += run.exitCode() != 0;
        }
        return failed ? 1 : 0;
    }
    try {
        return RunOne(documents);
    } catch (...) {
        std::fprintf(stderr, "%s\n", bench::ErrorText(std::current_exception()).c_str());
        return 1;
    }
}
