#pragma once
// The connection to a Firebird database, its transaction and a plain
// statement, over Firebird's object interface. Every error of the server or
// the client arrives as a DatabaseError carrying the server's text and code.

#include "platform/Exception.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace Firebird {
class IAttachment;
class IXpbBuilder;
class ITransaction;
class IStatus;
}  // namespace Firebird

namespace data {

class DatabaseError : public platform::Exception {
public:
    DatabaseError(QString message, QString serverText = {}, long code = 0, int sqlCode = 0,
                  std::vector<long> codes = {})
        : platform::Exception(std::move(message)),
          serverText_(std::move(serverText)),
          code_(code),
          sqlCode_(sqlCode),
          codes_(std::move(codes)) {}
    const QString& ServerText() const { return serverText_; }
    long Code() const { return code_; }  // the first error code of the status vector
    int SqlCode() const { return sqlCode_; }
    // True when the status vector holds the code anywhere.
    bool HasCode(long code) const;
    // The server refused a text longer than its column.
    bool TextTooLong() const;
    const std::vector<long>& Codes() const { return codes_; }

private:
    QString serverText_;
    long code_;
    int sqlCode_;
    std::vector<long> codes_;
};

// Another work place holds an uncommitted change of the same row (the
// server's update conflict or lock conflict); nothing of this change is written.
class RecordInUseError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// The connection to the server was lost (the server stopped, the network
// broke): the server's network and shut-down errors. Message() tells it in
// the user's words; Lost() texts name the database and what became of the
// change that was being made.
class ConnectionLostError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
    // What became of the change that was being made when the connection broke.
    enum class Change { None, NotStored, Unknown };
    static ConnectionLostError Lost(const QString& database, Change change, bool connectedAgain,
                                    const DatabaseError& cause);
    // What the text of Lost() tells of the change (None for the server's own error).
    Change WhatBecame() const { return change_; }

private:
    Change change_ = Change::None;
};

// The engine refused to commit (a full disk, a file it cannot write) for a
// reason other than a lost connection: what the commit was to store may be
// stored or not. The post or save that made it looks it up (see
// Transaction::SettleFailedCommit) and tells which.
class CommitFailedError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// A change whose commit was refused, and which could not be looked up
// since: whether it is stored is not known.
class OutcomeUnknownError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// Another work place changed or deleted the row since this one read it.
class RecordChangedError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// More than one row carries the record's key (rows written by an older
// program): a change or a delete would reach them all, so nothing is written.
class SharedKeyError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// True for a write that another work place's change refused: the row changed
// or went since it was read (RecordChangedError), or is held by an
// uncommitted change (RecordInUseError). A post refused because the row
// changed marks its edit as refused for good (DataSet::Post), and the data
// set's next move cancels it (DataSet::CheckBrowseMode).
bool IsConcurrentChange(const std::exception_ptr& error);

class Database;
class Transaction;
class Status;

// The type of a result column as the data sets see it.
enum class ColumnKind { Text, Integer, Blob, Other };

// A row as a post wrote it: where the connection breaks or the commit is
// refused, it tells whether the post is stored. The row found by its record
// key must also hold the written values (and stand at the place the row was
// written at, when known): another work place may write the same key in the
// same millisecond, and its row is never taken for this one.
struct WrittenRow {
    QString table;
    QByteArray key;    // PNOM as written
    QByteArray place;  // the RDB$DB_KEY it was written at; empty when not known
    QStringList columns;
    std::vector<ColumnKind> kinds;
    std::vector<QByteArray> values;
    std::vector<bool> nulls;
};

// Whether the committed database holds the written row (read through the transaction).
bool IsStored(Database* db, Transaction* tr, const WrittenRow& row);

// A database connection. The database name is a file path (opened by the
// embedded engine), "host:alias" or "\\host\alias" (both reach a server).
class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QString DatabaseName;
    QStringList Params;  // "name=value" lines: user_name, password, lc_ctype, sql_role_name
    int SQLDialect = 3;
    bool LoginPrompt = false;

    void Open();
    void Close();  // ends the transactions (committing) and closes the data sets first
    bool Connected() const { return attachment_ != nullptr; }

    // Creates the database file named by DatabaseName with the given creation
    // parameters ("USER 'x'", "PASSWORD 'y'", "DEFAULT CHARACTER SET z") and
    // leaves it connected.
    void CreateDatabase(const QStringList& creationParams);
    // Deletes the connected database (its file goes too) and disconnects.
    void DropDatabase();

    // True when the embedded engine (not a server) serves the connection.
    bool IsEmbedded() const { return embedded_; }

    // The name handed to Firebird: "\\host\alias" becomes "host:alias".
    static QString ConnectionString(const QString& databaseName);

    Firebird::IAttachment* Attachment() const { return attachment_; }

    // Connecting again after a lost connection. The owner sets Reconnect (it
    // connects to the same place and opens the data sets again). A lost
    // connection is marked, so that the next action connects again first.
    std::function<void()> Reconnect;
    void MarkLost() { lost_ = true; }
    // The change (table, record key) that a lost connection left unknown
    // when it could not be looked up: the owner looks it up once connected again.
    std::vector<WrittenRow> Unsettled;
    // Leaves the row as the unsettled change, named as "the last change" until
    // the action that told the user of it names it (SettleTexts).
    void LeaveUnsettled(const WrittenRow& row) {
        Unsettled = {row};
        UnsettledTexts = {};
    }
    // What the owner tells once the unsettled change is looked up, in words
    // that name it (empty: those of "the last change"), and what it does then.
    struct SettleTexts {
        QString stored, notStored;
        std::function<void(bool stored)> settled;
    };
    SettleTexts UnsettledTexts;
    // The unsettled change goes untold: the user was never told that its
    // outcome could not be known.
    void ForgetUnsettled() {
        Unsettled.clear();
        UnsettledTexts = {};
    }
    bool Lost() const { return lost_; }
    bool Reconnecting() const { return reconnecting_; }
    // Connects again through Reconnect: false when there is none or it fails
    // (the connection stays marked lost; *error then holds why).
    bool ConnectAgain(QString* error = nullptr);

    // The database's oldest active transaction, as the server keeps it: no
    // transaction that is still active, or begins later, has a lower number.
    // -1 when not connected or the server does not tell.
    long long OldestActive();

    // Transactions register themselves so that closing the connection ends them.
    void Register(Transaction* t);
    void Unregister(Transaction* t);

private:
    // Attaches to (or creates) the database; fillParams adds the connection's own parameters.
    void Attach(bool create, const std::function<void(Status&, Firebird::IXpbBuilder*)>& fillParams);
    void AfterAttach();

    Firebird::IAttachment* attachment_ = nullptr;
    bool embedded_ = false;
    bool lost_ = false, reconnecting_ = false;
    std::vector<Transaction*> transactions_;
};

// One transaction. Params are lines such as "read_committed", "rec_version",
// "nowait", "concurrency", "read", "write", "wait".
class Transaction {
public:
    explicit Transaction(Database* db = nullptr);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void SetDefaultDatabase(Database* db);
    Database* DefaultDatabase() const { return db_; }
    QStringList Params;

    void StartTransaction();
    void Commit();           // ends it; the data sets on it are closed first
    void CommitRetaining();  // keeps it, and the data sets, open (see HoldCommits)
    void Rollback();

    // Holds commits, so that several changes are committed as one: while
    // held, CommitRetaining only notes that a commit is due. CommitHeld ends
    // the hold with one commit; RollbackHeld ends it undoing every change
    // made since the hold began. Holds nest; the outermost end acts.
    void HoldCommits() { ++holds_; }
    void CommitHeld();
    void RollbackHeld();
    bool CommitsHeld() const { return holds_ > 0; }
    // Runs work once the changes made so far are committed: at once while
    // commits are not held, else after the held commit (never after a
    // rollback of the hold).
    void AfterCommit(std::function<void()> work);
    // Commits made so far (retaining or not).
    unsigned long long CommitCount() const { return commits_; }
    // Ends the transaction whatever state its connection is in: commits, and
    // where that fails (a lost connection) rolls back or lets the handle go.
    // Never throws.
    void Release();
    bool Active() const { return handle_ != nullptr; }
    // Deactivating commits.
    void SetActive(bool on);

    Firebird::ITransaction* Handle() const { return handle_; }

    // Data sets register a closer that runs when the transaction ends, and
    // what they do when RollbackHeld undoes, with the transaction kept open,
    // the changes made since the last commit (`undone`, optional).
    using Closer = std::function<void()>;
    int AddCloser(Closer c, Closer undone = {});
    void RemoveCloser(int id);

    void DetachDatabase() { db_ = nullptr; }

    // The rows written since the last commit, by table and record key: when
    // the connection is lost at a commit, they tell whether it was made.
    void NoteWritten(WrittenRow row) { written_.push_back(std::move(row)); }
    // After the connection was lost at a commit (or before it): connects
    // again and looks the written rows up. Returns when they are stored;
    // otherwise throws a ConnectionLostError saying they are not, or that it
    // cannot be known while the server cannot be reached.
    void SettleLostCommit(const DatabaseError& cause);
    // After the engine refused a commit (CommitFailedError): undoes the
    // transaction, so that no later commit stores what it held, connects
    // again and looks the written rows up. Returns when they are stored;
    // otherwise throws an error saying they are not, or that it cannot be known.
    void SettleFailedCommit(const DatabaseError& cause);
    // Undoes the transaction after a refused commit and connects again;
    // false when the connection could not be made again.
    bool UndoFailedCommit(QString* error = nullptr);

private:
    void CloseDataSets();

    Database* db_ = nullptr;
    Firebird::ITransaction* handle_ = nullptr;
    int holds_ = 0;
    bool commitDue_ = false;
    unsigned long long commits_ = 0;
    std::vector<WrittenRow> written_;
    std::vector<std::function<void()>> afterCommit_;
    std::vector<std::pair<int, Closer>> closers_;
    std::vector<std::pair<int, Closer>> undoneWatchers_;
    int nextCloser_ = 1;
};

// Holds a transaction's commits while it lives (Transaction::HoldCommits):
// Commit commits what was written meanwhile as one; ending without Commit
// undoes it.
class HeldCommits {
public:
    // A connection found lost before is made again first, while nothing is held.
    explicit HeldCommits(Transaction& tr) : tr_(tr) {
        if (Database* db = tr_.DefaultDatabase(); db && db->Lost() && !tr_.CommitsHeld()) db->ConnectAgain();
        tr_.HoldCommits();
    }
    ~HeldCommits() {
        if (!held_) return;
        try {
            tr_.RollbackHeld();
        } catch (...) {
            // A connection that broke commits nothing either.
        }
    }
    HeldCommits(const HeldCommits&) = delete;
    HeldCommits& operator=(const HeldCommits&) = delete;
    // A connection lost at the commit is settled (Transaction::SettleLostCommit).
    void Commit();
    void Rollback() {
        held_ = false;
        tr_.RollbackHeld();
    }

private:
    Transaction& tr_;
    bool held_ = true;
};

// One parameter of a statement.
struct ParamValue {
    bool isNull = true;
    QByteArray bytes;  // Windows-1251 text, decimal digits of an integer, or blob contents
    static ParamValue Null() { return {}; }
    static ParamValue Text(const QString& text);
    static ParamValue Bytes(const QByteArray& b) { return {false, b}; }
};


struct ColumnInfo {
    QString name;  // upper case, as the server reports it
    ColumnKind kind = ColumnKind::Text;
    unsigned length = 0;  // bytes, for text
};

// A row of a result: one byte string per column and a null flag.
struct ResultRow {
    std::vector<QByteArray> values;
    std::vector<bool> nulls;
};

// A prepared statement with named parameters (":NAME"), executed on a transaction.
class Statement {
public:
    Statement(Database* db, Transaction* tr, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameter names in the order they stand in the text (upper case).
    const QStringList& ParamNames() const { return paramNames_; }
    const std::vector<ColumnInfo>& Columns() const { return columns_; }

    // Runs the statement; returns the number of rows it inserted, changed or
    // deleted. The values a "returning" clause gives back go into *returned.
    unsigned long long Execute(const std::vector<ParamValue>& params, ResultRow* returned = nullptr);

    // Runs a select and hands every row to the sink.
    void Fetch(const std::vector<ParamValue>& params, const std::function<void(ResultRow&)>& sink);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    QStringList paramNames_;
    std::vector<ColumnInfo> columns_;
};

// The plain statement object of the data module: SQL text run once.
class SqlStatement {
public:
    Database* DatabaseRef = nullptr;
    Transaction* TransactionRef = nullptr;
    QStringList SQL;
    void ExecQuery();
};

// Replaces ":NAME" parameters by "?" outside quoted text; returns the names in order.
QString PositionalSql(const QString& sql, QStringList* names);

}  // namespace data
