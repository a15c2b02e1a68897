#pragma once
// The set-up of a data folder: the database and its eight tables are created,
// and the older version's Paradox tables are moved into them.

#include "platform/Form.h"
#include "ui_DataFolderSetUp.h"

#include <QHash>

class TForm7 : public platform::Form, public Ui::TForm7 {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    // Sets up the database at a location and moves the old tables into it.
    void MoveToSql(const QString& location);

private:
    void ShowStep(const QString& text);
    void StepProgress();
    // Moves every old table into the new database, in one transaction.
    void MoveOldTables(const QString& location);
    // Disconnects and deletes the database this set-up created; returns what
    // the user is told about it.
    QString RemoveCreatedDatabase(const QString& databaseFile);
    // Closes the window, shows the message and ends the set-up with it.
    [[noreturn]] void FailSetUp(const QString& location, const QString& message);

    // Locations whose set-up failed in this run, with the message shown.
    QHash<QString, QString> failedLocations_;

    static constexpr int kStepsBetweenRepaints = 100;
};

extern TForm7* Form7;
