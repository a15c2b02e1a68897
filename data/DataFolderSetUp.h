#pragma once
// The set-up of a data folder: the database and its eight tables are created,
// and the older version's Paradox tables are moved into them.

#include "data/OldTableMap.h"
#include "platform/Exception.h"
#include "platform/Form.h"
#include "ui_DataFolderSetUp.h"

#include <QHash>

namespace data {
class TTable;
}

// The window's controls (forms/DataFolderSetUp.ui):
//   Label1   the text of the current step
//   CGauge1  the progress of the move, one step per record
class TForm7 : public platform::Form, public Ui::TForm7 {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    // Sets up the database at a location and moves the old tables into it.
    void MoveToSql(const QString& location);

    // While false, a set-up that finds no old tables makes the empty database
    // without a word: the start-up falling back to the default folder tells
    // it in its own message.
    bool TellNewEmptyDatabase = true;
    // The database file the last set-up made empty, finding no old tables;
    // empty when it moved old tables or failed.
    QString NewEmptyDatabase;

private:
    void ShowStep(const QString& text);
    void StepProgress();
    // An old table that is there but cannot be read; file is its .db file.
    class UnreadableTable : public platform::Exception {
    public:
        UnreadableTable(const QString& message, QString path) : platform::Exception(message), file(std::move(path)) {}
        QString file;
    };

    // Creates the empty database file of the folder at location; a failure is
    // told (the folder blamed only where it is the cause) and ends the set-up.
    void CreateDatabaseFile(const QString& location, const QString& file);
    // Moves every old table into the new database, which is connected, in one
    // transaction; what was moved otherwise than it stood is added to notes.
    void MoveOldTables(std::vector<data::MoveNote>& notes);
    void OpenOld(data::TTable& table);
    // The notes as the end message shows them; past kShownNotes the whole
    // list is written to a file in the data folder, which the message names.
    QString NotesForUser(const QString& location, const std::vector<data::MoveNote>& notes);
    // Disconnects and deletes the database this set-up created; returns what
    // the user is told about it.
    QString RemoveCreatedDatabase(const QString& databaseFile);
    // Closes the window, shows the message and ends the set-up with it.
    [[noreturn]] void FailSetUp(const QString& location, const QString& message);

    // Locations whose set-up failed in this run, with the message shown.
    QHash<QString, QString> failedLocations_;

    static constexpr int kStepsBetweenRepaints = 100;
    static constexpr int kShownNotes = 30;
};

extern TForm7* Form7;
