#pragma once
// An editable set of rows of one table, fetched whole at Open. Rows are
// addressed by record number (1-based); fields are read and written as text by
// name. The five statements (select, insert, modify, delete, refresh) name
// their parameters ":COLUMN", and ":OLD_COLUMN" for the value the row had
// when it was read.

#include "data/Firebird.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace data {

class DataSet;
class DataSource;
class DataLink;

// What a data-aware control is told about its data set (see DataLink).
enum class DataChange { Active, Scroll, Record, State, Rows, UpdateRecord };

// One column of the current record.
class Field {
public:
    Field(DataSet* ds, int index) : ds_(ds), index_(index) {}
    QString FieldName() const;
    ColumnKind Kind() const;
    bool IsNull() const;

    // Text of the value: text columns as they are, integers in decimal, blobs
    // as their bytes read in Windows-1251; a null value is the empty text.
    QString AsString() const;
    // Text columns take the text (it must fit Windows-1251); integer columns a
    // whole number or the empty text (null); blob columns its Windows-1251 bytes.
    void SetAsString(const QString& text);

    QByteArray AsBytes() const;
    // The stored bytes without a copy: valid until the data set moves or is
    // written; empty for a null.
    QByteArrayView View() const;
    void SetAsBytes(const QByteArray& bytes);  // an empty array stores null
    void Clear();

private:
    DataSet* ds_;
    int index_;
};

class DataSet {
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Event = std::function<void(DataSet&)>;

    DataSet();
    ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    QString Name;  // the table's name: in messages, and in the record key checks
    QString SelectSQL, InsertSQL, ModifySQL, DeleteSQL, RefreshSQL;
    void SetDatabase(Database* db) { db_ = db; }
    void SetTransaction(Transaction* tr);
    Database* GetDatabase() const { return db_; }
    Transaction* GetTransaction() const { return tr_; }

    Event OnNewRecord, AfterInsert, BeforePost, AfterPost, AfterCancel, AfterDelete, AfterRefresh, OnCalcFields;
    // Set when AfterRefresh fetches every row again: Refresh then leaves out
    // its own read of the current row, which the new fetch would replace.
    bool AfterRefreshFetchesAll = false;

    // Gives a fresh record key for the PNOM column, or the empty text while
    // rows keep the keys they were given. While it gives keys, a post makes
    // sure, once the row is committed, that no other row of the table
    // carries the posted row's key (see SettleKey).
    std::function<QString()> NewKey;

    void Open();
    void Close();
    bool Active() const { return state_ != State::Inactive; }
    void SetActive(bool on) { on ? Open() : Close(); }
    State GetState() const { return state_; }

    // Reads the current row again, then runs AfterRefresh. An edit is posted first.
    void Refresh();
    // Leaves the rows as Close and Open would fetch them now (the same rows in
    // the same order, the first current, the controls told the data set is
    // open), but reads whole only the rows that are new or changed since they
    // were read: the others are known by their place and version. Opens a
    // closed data set; drops a pending edit, as Close does.
    void FetchAgain();
    // How many rows the last Open or FetchAgain read whole, and of how many
    // FetchAgain read the place and version.
    int RowsReadWhole() const { return rowsReadWhole_; }
    int PlacesRead() const { return placesRead_; }
    // Grows whenever the held rows change (read again, posted, deleted, the
    // data set closed): while it stays, so do the rows and their order.
    unsigned long long Changes() const { return changes_; }
    // What tells a held row from every other state of any row: the opening it
    // was read in, its place and its version as last read. Not known where
    // that cannot be told (no places kept, a row this connection wrote and has
    // not read back since, a row being edited or inserted). Rows of one
    // identity hold the same texts. The place is copied out of the row's key,
    // so that an identity kept after the data set is closed holds none of its memory.
    struct Identity {
        unsigned long long opening = 0;
        quint64 place = 0;  // the 8 bytes of the row's key
        qint64 version = 0;
        bool known = false;
        bool operator==(const Identity& other) const {
            return known == other.known && opening == other.opening && version == other.version &&
                   place == other.place;
        }
    };
    Identity RowIdentity(int row) const;
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();

    int RecNo() const;
    void SetRecNo(int recNo);
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0; }

    Field FieldByName(const QString& name);
    bool HasField(const QString& name) const { return columnIndex_.contains(name.toUpper()); }
    int FieldCount() const { return static_cast<int>(columns_.size()); }
    const std::vector<ColumnInfo>& Columns() const { return columns_; }

    // True when the record being edited or inserted holds a change.
    bool Modified() const { return modified_; }
    // The text of a column in a row as a list shows it: row 0 is the first
    // row, and while a record is inserted it stands at its place in the list.
    int DisplayRowCount() const;
    int DisplayRow() const;  // the current record's row, -1 when there is none
    QString DisplayText(int row, int column) const;

    // While controls are disabled (the calls nest), the controls bound to the
    // data set are not told of its moves and changes; the last EnableControls
    // tells them once of each kind of change made meanwhile, in the order they
    // first came, so that they show the record the walk ended on. The call
    // for pending input before a post (UpdateRecord) is never held back.
    void DisableControls() { ++controlsDisabled_; }
    void EnableControls();

private:
    friend class Field;
    friend class DataLink;

    // One row held as it arrives: a single block with the end of every value
    // (its top bit marks a null) and then the values' bytes, Windows-1251 text,
    // integers in decimal and blob bytes. row.values[i] and row.nulls[i] read
    // and write one value; a write makes the block again.
    struct Row {
        class Value {
        public:
            Value(Row* row, int i) : row_(row), i_(i) {}
            operator QByteArray() const { return row_->Bytes(i_); }
            Value& operator=(const QByteArray& bytes) {
                row_->Set(i_, bytes, row_->IsNull(i_));
                return *this;
            }
            Value& operator=(const Value& other) { return *this = QByteArray(other); }
            qsizetype size() const { return row_->Raw(i_).size(); }
            friend bool operator==(const Value& a, const Value& b) { return a.row_->Raw(a.i_) == b.row_->Raw(b.i_); }
            friend bool operator==(const Value& a, const QByteArray& b) { return a.row_->Raw(a.i_) == QByteArrayView(b); }

        private:
            Row* row_;
            int i_;
        };
        class Null {
        public:
            Null(Row* row, int i) : row_(row), i_(i) {}
            operator bool() const { return row_->IsNull(i_); }
            Null& operator=(bool null) {
                row_->Set(i_, row_->Raw(i_).toByteArray(), null);
                return *this;
            }

        private:
            Row* row_;
            int i_;
        };
        struct Values {
            Row* row;
            Value operator[](size_t i) const { return Value(row, static_cast<int>(i)); }
            size_t size() const { return static_cast<size_t>(row->Count()); }
            void assign(size_t n, const QByteArray& value) { row->Fill(static_cast<int>(n), value, false); }
        };
        struct Nulls {
            Row* row;
            Null operator[](size_t i) const { return Null(row, static_cast<int>(i)); }
            size_t size() const { return static_cast<size_t>(row->Count()); }
            void assign(size_t n, bool null) { row->Fill(static_cast<int>(n), QByteArray(), null); }
        };

        Row() = default;
        Row(const std::vector<QByteArray>& v, const std::vector<bool>& n);
        Row(const Row& other) : block(other.block) {}
        Row(Row&& other) noexcept : block(std::move(other.block)) {}
        Row& operator=(const Row& other) {
            block = other.block;
            return *this;
        }
        Row& operator=(Row&& other) noexcept {
            block = std::move(other.block);
            return *this;
        }

        int Count() const;
        bool IsNull(int i) const;
        QByteArrayView Raw(int i) const;  // valid until the row is written
        QByteArray Bytes(int i) const;    // an empty array for a null
        void Set(int i, const QByteArray& bytes, bool null);
        void Fill(int n, const QByteArray& value, bool null);

        QByteArray block;
        Values values{this};
        Nulls nulls{this};
    };

    void CheckActive() const;
    void CheckBrowseMode();
    // A lost connection is made again by the next action (see Reach).
    bool Reconnects() const;
    void Reach();
    [[noreturn]] void ThrowLost(const ConnectionLostError& e, ConnectionLostError::Change change);
    template <class Once>
    void Read(Once once);
    void OpenOnce();
    void FetchAgainOnce();
    // Reads every row of the select into rows_ (with places and versions), from an empty set.
    void FetchAll();
    // Reads whole, by their places, the rows of `fresh` at the given indexes;
    // false when a row is gone or changed again since its place was read.
    bool FetchByPlace(std::vector<Row>& fresh, const std::vector<size_t>& indexes, const std::vector<QByteArray>& keys,
                      const std::vector<qint64>& versions);
    void Opened();
    // FetchAgain from the rows written since the last fetch alone; false
    // when that cannot tell (a row is gone): nothing is changed then.
    bool FetchRecentOnly();
    // The rows a refresh made, with their places and versions, become the held ones.
    void TakeRows(std::vector<Row> rows, std::vector<QByteArray> keys, std::vector<qint64> versions, int readWhole,
                  int placesRead, bool moved);
    void NotePlaceOrder();
    // Told by the transaction when a rollback undid its changes since the last commit.
    void OwnChangesUndone();
    void RefreshOnce();
    void PostOnce();
    void DeleteOnce();
    void StartInsert(int at);  // an empty new record at row `at`, in Insert
    Row& EditRow();
    const Row* CurrentRow() const;
    // A parameter DB_KEY, when no column has that name, takes *dbKey.
    std::vector<ParamValue> ParamsFor(const Statement& s, const Row& current, const Row* old,
                                      const QByteArray* dbKey = nullptr) const;
    Statement& Prepared(std::unique_ptr<Statement>& slot, const QString& sql);
    QByteArray WriteRow(bool inserting);
    // A posted row whose key is to be settled once it is committed.
    struct PostedKey {
        QByteArray dbKey, key;
        QString spare;
        unsigned long long commitsBefore = 0;  // the transaction's commits when it was written
        std::optional<qint64> keyFloor;        // every key it is given is later than this moment
    };
    QString KeyAfter(std::optional<qint64> readTime);
    // The row being posted as it is written, for the look-up of an unknown commit.
    WrittenRow Written(const QByteArray& place) const;
    void SettleKey(const PostedKey& posted);
    // The RDB$DB_KEY of the current row, the one a change or a delete reaches.
    QByteArray RowToChange(bool deleting);
    RecordChangedError RowChangedElsewhere(bool deleting) const;
    std::vector<QByteArray> RowsWithKey(const QByteArray& key);
    [[noreturn]] void ThrowTextTooLong(const DatabaseError& e) const;
    void DropStatements();
    void Fire(const Event& e) {
        if (e) e(*this);
    }
    void RunCalcFields();
    void Notify(DataChange change);

    Database* db_ = nullptr;
    Transaction* tr_ = nullptr;
    int closerId_ = 0;

    State state_ = State::Inactive;
    std::vector<Row> rows_;
    int current_ = -1;  // index into rows_, -1 when empty
    Row buffer_;        // the record being edited or inserted
    int insertAt_ = 0;  // where an inserted record will stand
    bool modified_ = false;
    bool editRefused_ = false;  // the edit's post was refused for good (the row changed elsewhere)
    bool inCalc_ = false;

    std::vector<ColumnInfo> columns_;
    QHash<QString, int> columnIndex_;
    std::unique_ptr<Statement> modifyStmt_, deleteStmt_, refreshStmt_;
    std::unique_ptr<Statement> insertKeyedStmt_, findKeyStmt_, moveKeyStmt_;
    std::unique_ptr<Statement> placesStmt_, rowByPlaceStmt_, recentStmt_;
    int keyIndex_ = -1;  // the PNOM column
    // Each fetched row's RDB$DB_KEY, beside rows_, when the select gives them
    // (a select of all columns of one table).
    bool rowPlaces_ = false;
    unsigned long long opening_ = 0;  // which opening of any data set of the process this is
    std::vector<QByteArray> dbKeys_;
    // Beside them, the version of each row: the number of the transaction
    // that wrote it, or 0 when the row is to be read whole again (written by
    // this connection's open transaction, or changed here since it was read).
    std::vector<qint64> versions_;
    QString placedTable_;  // the one table of such a select
    int rowsReadWhole_ = 0, placesRead_ = 0;
    unsigned long long changes_ = 0;
    // The database's oldest active transaction before the last fetch began:
    // a row written since has a version of at least that (-1: unknown).
    qint64 writtenSince_ = -1;
    // The held places stand in the table's own order (each place's number higher than the last).
    bool placesInOrder_ = false;
    unsigned long long fetchedAfterCommits_ = 0;  // the transaction's commits before the last Open
    // The transaction's commits when this data set last deleted a row (none: never).
    std::optional<unsigned long long> deletedAtCommits_;
    std::vector<DataLink*> links_;  // controls that show this data set
    int controlsDisabled_ = 0;
    std::vector<DataChange> heldChanges_;  // told when controls are enabled again
};

// Keeps the controls of a data set quiet while a walk reads its rows; at the
// end of the scope they are told of the record the walk ended on.
class QuietWalk {
public:
    explicit QuietWalk(DataSet& ds);
    ~QuietWalk() noexcept(false);
    QuietWalk(const QuietWalk&) = delete;
    QuietWalk& operator=(const QuietWalk&) = delete;

private:
    DataSet& ds_;
    int exceptions_;
};

// Keeps a writer from leaving its data set in Edit or Insert when the post is
// refused: made before Edit, Append or Insert, it cancels the edit at its end
// unless Post through it succeeded. The refusal itself goes on to the caller.
class PostGuard {
public:
    explicit PostGuard(DataSet& ds) : ds_(ds) {}
    ~PostGuard();
    PostGuard(const PostGuard&) = delete;
    PostGuard& operator=(const PostGuard&) = delete;

    void Post() {
        ds_.Post();
        posted_ = true;
    }

private:
    DataSet& ds_;
    bool posted_ = false;
};

}  // namespace data

namespace data {

// Links data-aware controls to a data set. Set DataSetRef before controls are
// bound to the source; while Enabled is false the controls show nothing.
class DataSource {
public:
    DataSource() = default;
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    DataSet* DataSetRef = nullptr;
    bool Enabled = true;

private:
    friend class DataLink;
    std::vector<DataLink*> links_;
};

// A control's tie to a data source. OnChange is told of every change of the
// data set seen through it: opened or closed, moved to another record, a
// field of the current record written, the state changed (edit, insert, post,
// cancel), rows added or removed; and, just before a post, that pending input
// must be written into the record now (UpdateRecord). Either end may be
// destroyed first.
class DataLink {
public:
    using Change = DataChange;

    DataLink() = default;
    ~DataLink();
    DataLink(const DataLink&) = delete;
    DataLink& operator=(const DataLink&) = delete;

    // nullptr detaches; OnChange then runs with Change::Active.
    void SetDataSource(DataSource* source);
    DataSource* GetDataSource() const { return source_; }
    DataSet* GetDataSet() const { return dataSet_; }
    // Attached to an enabled source whose data set is open.
    bool Active() const;

    std::function<void(Change)> OnChange;

private:
    friend class DataSet;
    friend class DataSource;
    void Detach();

    DataSource* source_ = nullptr;
    DataSet* dataSet_ = nullptr;
};

}  // namespace data
