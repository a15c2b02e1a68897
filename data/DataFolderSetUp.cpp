#include "data/DataFolderSetUp.h"

#include "app/MainWindow.h"
#include "data/OldTableMap.h"
#include "data/ParadoxTable.h"
#include "data/Schema.h"
#include "data/DataModule.h"
#include "data/WorkPlaceText.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>

TForm7* Form7 = nullptr;

TForm7::TForm7(QWidget* parent) : platform::Form(parent) {
    setupUi(this);
    setFixedSize(545, 51);
    setWindowFlag(Qt::WindowStaysOnTopHint);
}

void TForm7::ShowStep(const QString& text) {
    Label1->setText(text);
    Label1->repaint();
}

void TForm7::StepProgress() {
    const int value = CGauge1->value() + 1;
    CGauge1->setValue(value);
    // A long move blocks the window: it is repainted, and its events are
    // handled (the user's input aside), every so many steps and at the end.
    if (value % kStepsBetweenRepaints == 0 || value >= CGauge1->maximum()) {
        CGauge1->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

namespace {

QString ErrorText(const std::exception& e) {
    if (const auto* own = dynamic_cast<const platform::Exception*>(&e)) return own->Message();
    return QString::fromUtf8(e.what());
}

}  // namespace

// The set-up tells nothing of its failure itself: whoever asked for it does,
// once (the start-up in its summary, the folder button through the exception
// display; "OK" starts the program again, whose start-up tells it).
void TForm7::FailSetUp(const QString& location, const QString& message) {
    failedLocations_.insert(location, message);
    DataModule1->GenerateKeys = true;
    DataModule1->SqlConnected = false;
    Close();
    throw platform::Exception(message);
}

QString TForm7::RemoveCreatedDatabase(const QString& databaseFile) {
    TDataModule1* dm = DataModule1;
    try {
        if (dm->IBTransaction1.Active()) dm->IBTransaction1.Rollback();
    } catch (const std::exception&) {
        // The file goes; what the transaction held goes with it.
    }
    try {
        dm->IBDatabase1.Close();
    } catch (const std::exception&) {
    }
    dm->SqlConnected = false;
    if (QFile::remove(databaseFile) || !QFile::exists(databaseFile))
        return QStringLiteral("Създадената база данни е изтрита; старите таблици не са променени и прехвърлянето "
                              "ще бъде опитано отново при следващото стартиране на програмата.");
    return QStringLiteral("Създадената база данни „%1“ не може да бъде изтрита: изтрийте я, за да бъде прехвърлянето "
                          "опитано отново при следващото стартиране. Старите таблици не са променени.")
        .arg(databaseFile);
}

void TForm7::MoveToSql(const QString& location) {
    TDataModule1* dm = DataModule1;
    if (Main) move(Main->geometry().center() - QPoint(width() / 2, height() / 2));

    dm->IBTransaction1.SetActive(false);
    dm->IBDatabase1.Close();

    const QString databaseFile = location + QStringLiteral("/tovelx.fdb");
    const bool engineInstalled = platform::FileExists(platform::Path(platform::PathKind::FirebirdEngine));
    if (engineInstalled && platform::FileExists(databaseFile)) return;

    // A failed set-up is tried again at the next start, not at once: the
    // start-up falls back to the default folder, which is often the same.
    if (failedLocations_.contains(location)) {
        Close();
        throw platform::Exception(failedLocations_.value(location));
    }

    ShowStep(QStringLiteral("3/4 Създаване на SQL база данни."));
    if (!engineInstalled) throw platform::Exception(data::EngineMissingText());

    // The alias lets a server on this computer serve the new database to others.
    data::WriteAliasLine(platform::Path(platform::PathKind::AliasesFile), databaseFile);

    // The database is made under a name of its own beside the real one and
    // gets the real name only when everything is in it: a set-up cut short
    // (the program killed, the computer off) leaves no database, and the
    // next start sets up again. What such a set-up left is removed first.
    const QString movingFile = databaseFile + QStringLiteral(".moving");
    NewEmptyDatabase.clear();
    QFile::remove(movingFile);
    CreateDatabaseFile(location, movingFile);

    std::vector<data::MoveNote> notes;
    bool moved = false;
    try {
        dm->IBTransaction1.SetDefaultDatabase(&dm->IBDatabase1);
        dm->IBTransaction1.StartTransaction();
        data::CreateSchemaTables(dm->IBSQL1);

        ShowStep(QStringLiteral("4/4 Прехвърляне на информацията в SQL формат."));
        const auto& moves = data::OldTableMoves();
        moved = std::any_of(moves.begin(), moves.end(), [&](const data::TableMove& m) {
            return data::TableFileExists(location, QString::fromLatin1(m.paradoxTable));
        });
        if (moved) {
            MoveOldTables(notes);
        } else {
            // Nothing to move: the gauge ends full all the same.
            CGauge1->setRange(0, 1);
            CGauge1->setValue(1);
        }
        dm->IBDatabase1.Close();
        if (!QFile::rename(movingFile, databaseFile))
            throw platform::Exception(QStringLiteral("Файлът „%1“ не може да бъде преименуван на „%2“.").arg(movingFile, databaseFile));
    } catch (const std::exception& e) {
        // A move that stops part-way leaves no database behind, so that the
        // next start moves everything anew.
        QString reason = ErrorText(e);
        if (const auto* unreadable = dynamic_cast<const UnreadableTable*>(&e))
            reason += QStringLiteral("\nАко таблицата не може да бъде поправена, преместете файла „%1“ извън папката „%2“ "
                                     "и стартирайте програмата отново: всичко останало ще бъде прехвърлено.")
                          .arg(unreadable->file, location);
        const QString outcome = RemoveCreatedDatabase(movingFile);
        FailSetUp(location, QStringLiteral("Старите данни не бяха прехвърлени в SQL базата данни.\n%1\n%2").arg(reason, outcome));
    }

    dm->ConnectFirebird(location);
    if (moved) {
        // The current record of each table is the last one whose contents
        // changed places.
        for (data::DataSet* target : {&dm->cust, &dm->firm, &dm->details, &dm->stock, &dm->employee, &dm->store, &dm->currency}) {
            const int count = target->RecordCount();
            if (count >= 2) target->SetRecNo(count + 1 - count / 2);
        }
    }
    if (moved) {
        QString done = QStringLiteral("Преминаването към SQL успешно!");
        if (!notes.empty()) done += QStringLiteral("\n\nПрехвърлено различно от старите таблици:\n") + NotesForUser(location, notes);
        platform::ShowMessage(done);
    } else {
        // Nothing was moved: the user is told of the new database, not of a move.
        NewEmptyDatabase = databaseFile;
        if (TellNewEmptyDatabase)
            platform::ShowMessage(QStringLiteral("Създадена е нова празна база данни „%1“.\nВ папката няма таблици от "
                                                 "по-старата версия, които да бъдат прехвърлени.")
                                      .arg(databaseFile));
    }
    Close();
}

QString TForm7::NotesForUser(const QString& location, const std::vector<data::MoveNote>& notes) {
    QString text = data::MoveNotesText(notes, kShownNotes);
    if (notes.size() <= size_t(kShownNotes)) return text;
    // Too many for a message: all of them go into a file beside the tables.
    const QString file = location + QStringLiteral("/tovelx-move.txt");
    QFile out(file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        out.write(data::MoveNotesText(notes, int(notes.size())).toUtf8() + "\n") > 0)
        text += QStringLiteral("\nЦелият списък е записан във файла „%1“.").arg(file);
    return text;
}

void TForm7::CreateDatabaseFile(const QString& location, const QString& file) {
    TDataModule1* dm = DataModule1;
    dm->IBDatabase1.DatabaseName = file;
    dm->IBDatabase1.SQLDialect = 3;
    dm->IBDatabase1.LoginPrompt = false;
    dm->IBDatabase1.Params.clear();
    try {
        dm->IBDatabase1.CreateDatabase(data::DatabaseCreationParams(QStringLiteral("SYSDBA"), TDataModule1::AdminPassword()));
    } catch (const std::exception& e) {
        // The folder is blamed only where it is the cause; else the server's own reason stands.
        const QFileInfo folder(location);
        const QString reason = !folder.isDir()         ? QStringLiteral("папката не съществува.\n")
                               : !folder.isWritable() ? QStringLiteral("в папката не може да се записва.\n")
                                                      : QString();
        FailSetUp(location, QStringLiteral("SQL базата данни не може да бъде създадена в „%1“: %2%3")
                      .arg(location, reason, ErrorText(e)));
    }
}

void TForm7::MoveOldTables(std::vector<data::MoveNote>& notes) {
    TDataModule1* dm = DataModule1;
    CGauge1->setValue(0);
    dm->GenerateKeys = false;
    const std::map<QString, data::DataSet*> targets = {
        {"cust", &dm->cust},   {"firm", &dm->firm},         {"details", &dm->details}, {"stock", &dm->stock},
        {"employee", &dm->employee}, {"store", &dm->store}, {"currency", &dm->currency}};
    for (const auto& [name, target] : targets) target->Open();

    // A table the folder lacks is moved as empty and named; one that is there
    // but cannot be read stops the move, naming its file.
    const std::vector<data::TTable*> tables = dm->ParadoxTables();
    std::vector<bool> present;
    for (data::TTable* t : tables) {
        present.push_back(data::TableFileExists(t->DatabaseName(), t->TableName()));
        if (present.back()) {
            OpenOld(*t);
        } else if (t != &dm->TTableae) {
            notes.push_back({t->TableName(), 0, {}, {}, {}, {}});
        }
    }
    std::vector<int> counts;
    for (size_t i = 0; i + 1 < tables.size(); ++i) counts.push_back(present[i] ? tables[i]->RecordCount() : 0);
    CGauge1->setMaximum(std::max(data::MoveProgressMaximum(counts), 1));

    // Each table's rows are read from the last old record to the first, each
    // key being its record number, and the contents are put back into the old
    // order before anything is written: the rows go in already as they stay,
    // in the order that keeps them in that order when read back.
    const auto& moves = data::OldTableMoves();
    for (size_t i = 0; i < moves.size(); ++i) {
        if (!present[i]) continue;
        data::DataSet& target = *targets.at(QString::fromLatin1(moves[i].dataSet));
        data::TTable* english = &target == &dm->firm && present.back() ? &dm->TTableae : nullptr;
        std::vector<data::MovedRow> rows;
        try {
            rows = data::ReadOldRows(moves[i], *tables[i], english, target.Columns(), [this] { StepProgress(); }, notes);
        } catch (const data::TableError& e) {
            throw UnreadableTable(e.Message(), data::FindTableFile(tables[i]->DatabaseName(), tables[i]->TableName()));
        }
        data::ExchangeRowsEnds(rows, target.Columns(), [this] { StepProgress(); });
        data::InsertMovedRows(target, QString::fromLatin1(moves[i].paradoxTable), rows);
    }
    // One commit for the whole move: it is there whole or not at all.
    dm->IBTransaction1.Commit();
    CGauge1->setValue(CGauge1->maximum());
    dm->GenerateKeys = true;
}

void TForm7::OpenOld(data::TTable& table) {
    try {
        table.Open();
    } catch (const data::TableError& e) {
        throw UnreadableTable(e.Message(), data::FindTableFile(table.DatabaseName(), table.TableName()));
    }
}
