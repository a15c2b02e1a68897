#include "data/DataSet.h"

#include "platform/CodePage.h"
#include "platform/SystemClock.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

namespace data {

namespace {

constexpr int kKeyTries = 50;  // keys tried before a post gives up (two work places would have to keep meeting)

// The statement reaches the one row found before by its RDB$DB_KEY, and no
// other row that carries the same key.
QString OnOneRow(const QString& sql) { return sql + QStringLiteral(" and RDB$DB_KEY = :DB_KEY"); }

// A value's text: integers and other numbers as their decimal text, the rest read in Windows-1251.
QString TextOf(QByteArrayView v, ColumnKind kind) {
    if (kind == ColumnKind::Integer || kind == ColumnKind::Other) return QString::fromLatin1(v);
    return platform::DecodeCp1251(QByteArray::fromRawData(v.data(), v.size()));
}

// A row's block: the count of values, the end of each (top bit: null), then the bytes.
constexpr quint32 kNullBit = 0x80000000u;

quint32 Word(const QByteArray& block, int at) {
    quint32 w;
    std::memcpy(&w, block.constData() + 4 * at, 4);
    return w;
}

// A block of n values, value i given by part(i) as its bytes and whether it is null.
template <class Part>
QByteArray PackRow(int n, Part part) {
    qsizetype bytes = 0;
    for (int i = 0; i < n; ++i) bytes += part(i).first.size();
    QByteArray block(4 + 4 * qsizetype(n) + bytes, Qt::Uninitialized);
    char* out = block.data();
    const quint32 count = static_cast<quint32>(n);
    std::memcpy(out, &count, 4);
    char* data = out + 4 + 4 * qsizetype(n);
    quint32 end = 0;
    for (int i = 0; i < n; ++i) {
        const auto [value, null] = part(i);
        if (!value.empty()) std::memcpy(data + end, value.data(), value.size());
        end += static_cast<quint32>(value.size());
        const quint32 word = end | (null ? kNullBit : 0);
        std::memcpy(out + 4 + 4 * i, &word, 4);
    }
    return block;
}

// A select of all columns of one table names that table; any other select
// gives the empty text.
QString OneTableOf(const QString& select) {
    static const QRegularExpression allOfOne(QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+([A-Za-z_][A-Za-z0-9_$]*)\\s*$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = allOfOne.match(select);
    return m.hasMatch() ? m.captured(1) : QString();
}

// A row's place (RDB$DB_KEY) and version: the number of the transaction that
// wrote the version read, which no later change of the row shares (each
// change is written by a later transaction, also after a commit that keeps
// the transaction open, and a place freed and taken again holds the new
// row's version). Only the transaction that reads may change a row again
// under the same number, while it is open; its own rows are therefore given
// version 0, which says "read it again".
QString PlaceAndVersion(const QString& table) {
    return QStringLiteral("%1.RDB$DB_KEY, iif(%1.RDB$RECORD_VERSION = CURRENT_TRANSACTION, 0, %1.RDB$RECORD_VERSION)")
        .arg(table);
}

// Every column of the table, then its place and version, in the table's own order.
QString WholeRowsOf(const QString& table) {
    return QStringLiteral("select %1.*, %2 from %1").arg(table, PlaceAndVersion(table));
}

qint64 VersionOf(const QByteArray& text) { return text.toLongLong(); }

// The number of a row's place, in the order a read of every row gives the
// places: a place (RDB$DB_KEY) is the table's number in two bytes, the high
// byte of the record's number, a spare byte, and the number's four low bytes,
// least significant first. Any other form gives no number.
constexpr quint64 kNoPlace = ~quint64(0);
quint64 PlaceNumber(const QByteArray& key) {
    if (key.size() != 8) return kNoPlace;
    const auto* b = reinterpret_cast<const unsigned char*>(key.constData());
    return quint64(b[2]) << 32 | quint64(b[7]) << 24 | quint64(b[6]) << 16 | quint64(b[5]) << 8 | b[4];
}

// Changed rows are read one by one while they are few; beyond this, and
// beyond an eighth of the table, every row is read whole in one pass.
constexpr size_t kRowsReadByPlace = 16;

}  // namespace

// ---------------------------------------------------------------- Row

DataSet::Row::Row(const std::vector<QByteArray>& v, const std::vector<bool>& n)
    : block(PackRow(static_cast<int>(v.size()), [&](int i) {
          // A null keeps no bytes.
          return std::pair{n[i] ? QByteArrayView() : QByteArrayView(v[i]), bool(n[i])};
      })) {}

int DataSet::Row::Count() const { return block.isEmpty() ? 0 : static_cast<int>(Word(block, 0)); }

bool DataSet::Row::IsNull(int i) const { return Word(block, 1 + i) & kNullBit; }

QByteArrayView DataSet::Row::Raw(int i) const {
    const int n = Count();
    const quint32 begin = i == 0 ? 0 : Word(block, i) & ~kNullBit;
    const quint32 end = Word(block, 1 + i) & ~kNullBit;
    return QByteArrayView(block.constData() + 4 + 4 * qsizetype(n) + begin, end - begin);
}

QByteArray DataSet::Row::Bytes(int i) const { return IsNull(i) ? QByteArray() : Raw(i).toByteArray(); }

void DataSet::Row::Set(int i, const QByteArray& bytes, bool null) {
    block = PackRow(Count(), [&](int j) {
        return j == i ? std::pair{QByteArrayView(bytes), null} : std::pair{Raw(j), IsNull(j)};
    });
}

void DataSet::Row::Fill(int n, const QByteArray& value, bool null) {
    block = PackRow(n, [&](int) { return std::pair{QByteArrayView(value), null}; });
}

// ---------------------------------------------------------------- Field

QString Field::FieldName() const { return ds_->columns_.at(index_).name; }
ColumnKind Field::Kind() const { return ds_->columns_.at(index_).kind; }

bool Field::IsNull() const {
    const DataSet::Row* row = ds_->CurrentRow();
    return !row || row->nulls[index_];
}

QString Field::AsString() const {
    const DataSet::Row* row = ds_->CurrentRow();
    if (!row || row->IsNull(index_)) return {};
    return TextOf(row->Raw(index_), Kind());
}

void Field::SetAsString(const QString& text) {
    if (Kind() == ColumnKind::Integer) {
        const QString t = text.trimmed();
        if (t.isEmpty()) {
            Clear();
            return;
        }
        bool ok = false;
        const int value = t.toInt(&ok);
        if (!ok)
            throw platform::EConvertError(
                QStringLiteral("„%1“ не е правилно цяло число (поле %2).").arg(text, FieldName()));
        SetAsBytes(QByteArray::number(value));
        return;
    }
    DataSet::Row& row = ds_->EditRow();
    row.values[index_] = platform::EncodeCp1251(text);
    row.nulls[index_] = false;
    ds_->modified_ = true;
    ds_->Notify(DataChange::Record);
}

QByteArray Field::AsBytes() const {
    const DataSet::Row* row = ds_->CurrentRow();
    if (!row || row->nulls[index_]) return {};
    return row->values[index_];
}

QByteArrayView Field::View() const {
    const DataSet::Row* row = ds_->CurrentRow();
    if (!row || row->IsNull(index_)) return {};
    return row->Raw(index_);
}

void Field::SetAsBytes(const QByteArray& bytes) {
    DataSet::Row& row = ds_->EditRow();
    row.values[index_] = bytes;
    row.nulls[index_] = bytes.isEmpty() && Kind() != ColumnKind::Text;
    ds_->modified_ = true;
    ds_->Notify(DataChange::Record);
}

void Field::Clear() {
    DataSet::Row& row = ds_->EditRow();
    row.values[index_] = QByteArray();
    row.nulls[index_] = true;
    ds_->modified_ = true;
    ds_->Notify(DataChange::Record);
}

// ---------------------------------------------------------------- DataSet

DataSet::DataSet() = default;

DataSet::~DataSet() {
    if (tr_ && closerId_) tr_->RemoveCloser(closerId_);
    for (DataLink* link : std::vector<DataLink*>(links_)) link->dataSet_ = nullptr;
}

void DataSet::SetTransaction(Transaction* tr) {
    if (tr_ && closerId_) tr_->RemoveCloser(closerId_);
    if (tr != tr_) DropStatements();  // prepared on the other transaction
    tr_ = tr;
    closerId_ = tr_ ? tr_->AddCloser([this] { Close(); }, [this] { OwnChangesUndone(); }) : 0;
}

// A rollback that keeps the transaction open puts back every row this
// connection wrote or deleted since its last commit, as it was and under its
// old version, which may be older than the bound of the quick refresh
// (FetchRecentOnly): that refresh would not list such a row, and another work
// place's change elsewhere in the table can make its count balance all the
// same. So a data set that holds a row of the open transaction (version 0),
// or has deleted or fetched rows since the last commit, reads every row's
// place and version at its next refresh, and reads whole the rows that differ.
void DataSet::OwnChangesUndone() {
    if (!Active() || !rowPlaces_ || writtenSince_ < 0) return;
    const bool sinceCommit = deletedAtCommits_ == tr_->CommitCount() || fetchedAfterCommits_ == tr_->CommitCount();
    if (sinceCommit || std::find(versions_.begin(), versions_.end(), 0) != versions_.end()) writtenSince_ = -1;
}

void DataSet::CheckActive() const {
    if (state_ == State::Inactive)
        throw DatabaseError(
            QStringLiteral("Няма връзка с базата данни: таблицата %1 не е отворена.").arg(Name));
}

void DataSet::CheckBrowseMode() {
    CheckActive();
    if (state_ == State::Edit || state_ == State::Insert) {
        // An edit refused because another work place changed the row would
        // only be refused again, and the user has been told so: it goes.
        if (modified_ && !editRefused_)
            Post();
        else
            Cancel();
    }
}

const DataSet::Row* DataSet::CurrentRow() const {
    if (state_ == State::Edit || state_ == State::Insert) return &buffer_;
    if (current_ < 0 || current_ >= static_cast<int>(rows_.size())) return nullptr;
    return &rows_[current_];
}

DataSet::Row& DataSet::EditRow() {
    if (state_ != State::Edit && state_ != State::Insert)
        throw DatabaseError(QStringLiteral("Таблицата %1 не е в режим на редактиране или добавяне.").arg(Name));
    return buffer_;
}

Field DataSet::FieldByName(const QString& name) {
    auto it = columnIndex_.constFind(name.toUpper());
    if (it == columnIndex_.constEnd())
        throw DatabaseError(QStringLiteral("Поле „%1“ не е намерено в таблицата %2.").arg(name, Name));
    return Field(this, it.value());
}

// A lost connection is made again by the data set's next action, through
// the connection's Reconnect (the data module connects to the same place
// and opens its data sets again). A read is then made once more; a write is
// never repeated: where the connection broke at its commit, the written row
// is looked for by its record key, and the user is told whether it is
// stored. Inside a span of held commits the owner of the span decides.
bool DataSet::Reconnects() const {
    return db_ && db_->Reconnect && !db_->Reconnecting() && !(tr_ && tr_->CommitsHeld());
}

void DataSet::Reach() {
    if (!db_ || !db_->Lost() || !db_->Reconnect || db_->Reconnecting()) return;
    QString why;
    // Inside a held span the connection is not made again; a data set that
    // the lost connection has closed cannot go on.
    if (!Reconnects() ? Active() : db_->ConnectAgain(&why)) return;
    throw ConnectionLostError::Lost(db_->DatabaseName, ConnectionLostError::Change::None, false, DatabaseError(why));
}

void DataSet::ThrowLost(const ConnectionLostError& e, ConnectionLostError::Change change) {
    if (!db_ || db_->Reconnecting()) throw e;
    db_->MarkLost();
    throw ConnectionLostError::Lost(db_->DatabaseName, change, false, e);
}

template <class Once>
void DataSet::Read(Once once) {
    Reach();
    try {
        once();
        return;
    } catch (const ConnectionLostError& e) {
        if (!Reconnects()) ThrowLost(e, ConnectionLostError::Change::None);
        if (!db_->ConnectAgain()) ThrowLost(e, ConnectionLostError::Change::None);
    }
    try {
        once();
    } catch (const ConnectionLostError& e) {
        ThrowLost(e, ConnectionLostError::Change::None);
    }
}

void DataSet::Open() {
    if (Active()) return;
    if (db_ && db_->Reconnecting()) return OpenOnce();
    Read([this] { OpenOnce(); });
}

void DataSet::OpenOnce() {
    if (Active()) return;
    if (!db_ || !tr_) throw DatabaseError(QStringLiteral("Таблицата %1 няма връзка с база данни.").arg(Name));
    placedTable_ = OneTableOf(SelectSQL);
    rowPlaces_ = !placedTable_.isEmpty();
    static unsigned long long openings = 0;
    opening_ = ++openings;
    FetchAll();
    Opened();
}

void DataSet::FetchAll() {
    const qint64 since = db_->OldestActive();
    Statement select(db_, tr_, rowPlaces_ ? WholeRowsOf(placedTable_) : SelectSQL);
    columns_ = select.Columns();
    if (rowPlaces_) columns_.resize(columns_.size() - 2);
    columnIndex_.clear();
    for (int i = 0; i < static_cast<int>(columns_.size()); ++i) columnIndex_.insert(columns_[i].name, i);
    keyIndex_ = columnIndex_.value(QStringLiteral("PNOM"), -1);
    rows_.clear();
    dbKeys_.clear();
    versions_.clear();
    select.Fetch({}, [this](ResultRow& r) {
        if (rowPlaces_) {
            versions_.push_back(VersionOf(r.values.back()));
            r.values.pop_back();
            r.nulls.pop_back();
            dbKeys_.push_back(std::move(r.values.back()));
            r.values.pop_back();
            r.nulls.pop_back();
        }
        rows_.push_back(Row{std::move(r.values), std::move(r.nulls)});
    });
    rowsReadWhole_ = placesRead_ = static_cast<int>(rows_.size());
    ++changes_;
    writtenSince_ = rowPlaces_ ? since : -1;
    NotePlaceOrder();
}

void DataSet::NotePlaceOrder() {
    placesInOrder_ = rowPlaces_;
    for (size_t i = 0; placesInOrder_ && i < dbKeys_.size(); ++i)
        placesInOrder_ = PlaceNumber(dbKeys_[i]) != kNoPlace && (i == 0 || PlaceNumber(dbKeys_[i - 1]) < PlaceNumber(dbKeys_[i]));
}

// The end of a fetch of every row: browsing from the first row.
void DataSet::Opened() {
    fetchedAfterCommits_ = tr_->CommitCount();
    state_ = State::Browse;
    current_ = rows_.empty() ? -1 : 0;
    modified_ = false;
    Notify(DataChange::Active);
    RunCalcFields();
}

void DataSet::FetchAgain() {
    if (db_ && db_->Reconnecting()) return FetchAgainOnce();
    Read([this] { FetchAgainOnce(); });
}

// A row written since the last fetch began has a version of at least the
// oldest transaction then active; first only such rows, with the count of
// all rows, are read (see FetchRecentOnly). Otherwise the places and
// versions of all rows are read in the table's own order, the order in which
// a fetch of every row gives them. A row held with the same
// place and version is the row a new fetch would give, byte for byte; any
// other is read whole by its place. Where such a row has changed again or
// gone by the time it is read, every row is read whole, as Open does.
void DataSet::FetchAgainOnce() {
    if (!Active() || !rowPlaces_ || state_ != State::Browse) {
        Close();
        OpenOnce();
        return;
    }
    const qint64 since = db_->OldestActive();
    if (FetchRecentOnly()) {
        writtenSince_ = since;
        Opened();
        return;
    }
    Statement& places =
        Prepared(placesStmt_, QStringLiteral("select %1 from %2").arg(PlaceAndVersion(placedTable_), placedTable_));
    std::vector<QByteArray> keys;
    std::vector<qint64> versions;
    keys.reserve(dbKeys_.size() + 16);
    versions.reserve(dbKeys_.size() + 16);
    places.Fetch({}, [&](ResultRow& r) {
        keys.push_back(std::move(r.values[0]));
        versions.push_back(VersionOf(r.values[1]));
    });

    // The held rows go over to their new places; those not held are read afterwards.
    std::vector<Row> fresh(keys.size());
    std::vector<size_t> toRead;
    QHash<QByteArray, size_t> heldAt;  // made only when the order is not the held one
    size_t next = 0;
    bool moved = keys.size() != rows_.size();
    for (size_t i = 0; i < keys.size(); ++i) {
        size_t at = dbKeys_.size();
        if (next < dbKeys_.size() && dbKeys_[next] == keys[i]) {
            at = next;
        } else {
            if (heldAt.isEmpty())
                for (size_t j = 0; j < dbKeys_.size(); ++j) heldAt.insert(dbKeys_[j], j);
            at = heldAt.value(keys[i], dbKeys_.size());
        }
        if (at < dbKeys_.size()) next = at + 1;
        if (at < dbKeys_.size() && versions_[at] != 0 && versions_[at] == versions[i] && !rows_[at].block.isEmpty()) {
            fresh[i] = std::move(rows_[at]);
            moved = moved || at != i;
        } else {
            toRead.push_back(i);
        }
    }
    if (toRead.size() > kRowsReadByPlace && toRead.size() > keys.size() / 8) {
        rows_.clear();
        FetchAll();
    } else {
        rows_.clear();
        if (!FetchByPlace(fresh, toRead, keys, versions)) {
            fresh.clear();
            FetchAll();
        } else {
            const int placesRead = static_cast<int>(keys.size());
            TakeRows(std::move(fresh), std::move(keys), std::move(versions), static_cast<int>(toRead.size()),
                     placesRead, moved);
            writtenSince_ = since;
            NotePlaceOrder();
        }
    }
    Opened();
}

// The rows older than the bound were written by transactions that had ended
// when the last fetch began: each is held as it is now, unless it has been
// deleted since. Read are the places and versions of the newer rows alone
// (and of this connection's own rows), with the count of all rows: where the
// held older rows and the newer ones make that count, none is gone, and the
// newer rows go among the older ones by the order of their places.
bool DataSet::FetchRecentOnly() {
    if (writtenSince_ < 0 || !placesInOrder_) return false;
    Statement& recent = Prepared(
        recentStmt_,
        QStringLiteral("select K, V, C from (select %1.RDB$DB_KEY K, "
                       "iif(%1.RDB$RECORD_VERSION = CURRENT_TRANSACTION, 0, %1.RDB$RECORD_VERSION) V, "
                       "%1.RDB$RECORD_VERSION W, count(*) over () C, row_number() over () R from %1) "
                       "where W >= :SINCE or V = 0 or R = 1")
            .arg(placedTable_));
    std::vector<QByteArray> keys;
    std::vector<qint64> versions;
    qint64 count = 0;
    recent.Fetch({ParamValue::Bytes(QByteArray::number(writtenSince_))}, [&](ResultRow& r) {
        count = r.values[2].toLongLong();
        const qint64 version = VersionOf(r.values[1]);
        if (version != 0 && version < writtenSince_) return;  // the first row, one of the older ones
        keys.push_back(std::move(r.values[0]));
        versions.push_back(version);
    });
    const auto older = [this](size_t i) { return versions_[i] != 0 && versions_[i] < writtenSince_; };
    size_t olderHeld = 0;
    for (size_t i = 0; i < rows_.size(); ++i) olderHeld += older(i);
    if (olderHeld + keys.size() != static_cast<size_t>(count)) return false;

    std::vector<size_t> order(keys.size());
    for (size_t j = 0; j < order.size(); ++j) {
        if (PlaceNumber(keys[j]) == kNoPlace) return false;
        order[j] = j;
    }
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return PlaceNumber(keys[a]) < PlaceNumber(keys[b]); });
    // The newer rows held as they are now are kept; the others are read.
    QHash<QByteArray, size_t> newerHeld;
    for (size_t i = 0; i < rows_.size(); ++i)
        if (!older(i)) newerHeld.insert(dbKeys_[i], i);
    constexpr size_t kNone = ~size_t(0);
    std::vector<size_t> held(keys.size(), kNone), toRead;
    for (size_t j = 0; j < keys.size(); ++j) {
        const auto it = newerHeld.constFind(keys[j]);
        if (it != newerHeld.cend() && versions_[*it] != 0 && versions_[*it] == versions[j])
            held[j] = *it;
        else
            toRead.push_back(j);
    }
    if (toRead.size() > kRowsReadByPlace && toRead.size() > static_cast<size_t>(count) / 8) return false;
    std::vector<Row> read(keys.size());
    if (!FetchByPlace(read, toRead, keys, versions)) return false;

    std::vector<Row> fresh;
    std::vector<QByteArray> freshKeys;
    std::vector<qint64> freshVersions;
    fresh.reserve(count);
    freshKeys.reserve(count);
    freshVersions.reserve(count);
    size_t next = 0;
    bool moved = static_cast<size_t>(count) != rows_.size();
    const auto takeNewer = [&] {
        const size_t j = order[next++];
        moved = moved || held[j] != fresh.size();
        fresh.push_back(held[j] != kNone ? std::move(rows_[held[j]]) : std::move(read[j]));
        freshKeys.push_back(std::move(keys[j]));
        freshVersions.push_back(versions[j]);
    };
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (!older(i)) continue;
        const quint64 place = PlaceNumber(dbKeys_[i]);
        while (next < order.size() && PlaceNumber(keys[order[next]]) < place) takeNewer();
        moved = moved || i != fresh.size();
        fresh.push_back(std::move(rows_[i]));
        freshKeys.push_back(std::move(dbKeys_[i]));
        freshVersions.push_back(versions_[i]);
    }
    while (next < order.size()) takeNewer();
    TakeRows(std::move(fresh), std::move(freshKeys), std::move(freshVersions), static_cast<int>(toRead.size()),
             static_cast<int>(keys.size()), moved);
    return true;
}

void DataSet::TakeRows(std::vector<Row> rows, std::vector<QByteArray> keys, std::vector<qint64> versions, int readWhole,
                       int placesRead, bool moved) {
    rows_ = std::move(rows);
    dbKeys_ = std::move(keys);
    versions_ = std::move(versions);
    rowsReadWhole_ = readWhole;
    placesRead_ = placesRead;
    if (moved || readWhole > 0) ++changes_;
}

bool DataSet::FetchByPlace(std::vector<Row>& fresh, const std::vector<size_t>& indexes,
                           const std::vector<QByteArray>& keys, const std::vector<qint64>& versions) {
    if (indexes.empty()) return true;
    Statement& s = Prepared(rowByPlaceStmt_, WholeRowsOf(placedTable_) +
                                                 QStringLiteral(" where %1.RDB$DB_KEY = :DB_KEY").arg(placedTable_));
    const size_t n = columns_.size();
    if (s.Columns().size() != n + 2) return false;  // the table has other columns now
    for (size_t i : indexes) {
        bool found = false;
        s.Fetch({ParamValue::Bytes(keys[i])}, [&](ResultRow& r) {
            if (found || VersionOf(r.values[n + 1]) != versions[i]) return;
            found = true;
            r.values.resize(n);
            r.nulls.resize(n);
            fresh[i] = Row{std::move(r.values), std::move(r.nulls)};
        });
        if (!found) return false;
    }
    return true;
}

void DataSet::Close() {
    if (!Active()) return;
    state_ = State::Inactive;
    rows_.clear();
    rows_.shrink_to_fit();
    dbKeys_.clear();
    dbKeys_.shrink_to_fit();
    versions_.clear();
    versions_.shrink_to_fit();
    writtenSince_ = -1;
    placesInOrder_ = false;
    ++changes_;
    current_ = -1;
    modified_ = false;
    DropStatements();
    Notify(DataChange::Active);
}

void DataSet::DropStatements() {
    modifyStmt_.reset();
    deleteStmt_.reset();
    refreshStmt_.reset();
    insertKeyedStmt_.reset();
    findKeyStmt_.reset();
    moveKeyStmt_.reset();
    placesStmt_.reset();
    rowByPlaceStmt_.reset();
    recentStmt_.reset();
}

Statement& DataSet::Prepared(std::unique_ptr<Statement>& slot, const QString& sql) {
    if (!slot) slot = std::make_unique<Statement>(db_, tr_, sql);
    return *slot;
}

void DataSet::RunCalcFields() {
    if (inCalc_ || !OnCalcFields) return;
    inCalc_ = true;
    try {
        OnCalcFields(*this);
    } catch (...) {
        inCalc_ = false;
        throw;
    }
    inCalc_ = false;
}

int DataSet::RecordCount() const {
    if (!Active()) return 0;
    return static_cast<int>(rows_.size());
}

int DataSet::RecNo() const {
    if (!Active()) return 0;
    if (state_ == State::Insert) return insertAt_ + 1;
    return current_ + 1;
}

void DataSet::SetRecNo(int recNo) {
    CheckBrowseMode();
    if (rows_.empty()) return;
    if (recNo < 1) recNo = 1;
    if (recNo > static_cast<int>(rows_.size())) recNo = static_cast<int>(rows_.size());
    current_ = recNo - 1;
    Notify(DataChange::Scroll);
}

void DataSet::Refresh() {
    Read([this] { RefreshOnce(); });
}

void DataSet::RefreshOnce() {
    CheckBrowseMode();
    if (current_ >= 0 && !RefreshSQL.isEmpty() && !AfterRefreshFetchesAll) {
        Statement& s = Prepared(refreshStmt_, RefreshSQL);
        Row& row = rows_[current_];
        std::vector<ParamValue> params = ParamsFor(s, row, &row);
        bool found = false;
        Row fresh;
        s.Fetch(params, [&](ResultRow& r) {
            if (found) return;
            found = true;
            fresh.values.assign(columns_.size(), QByteArray());
            fresh.nulls.assign(columns_.size(), true);
            for (size_t i = 0; i < s.Columns().size(); ++i) {
                auto it = columnIndex_.constFind(s.Columns()[i].name);
                if (it == columnIndex_.constEnd()) continue;
                fresh.values[it.value()] = std::move(r.values[i]);
                fresh.nulls[it.value()] = r.nulls[i];
            }
        });
        if (found) {
            row = std::move(fresh);
            ++changes_;
        }
        Notify(DataChange::Record);
    }
    Fire(AfterRefresh);
}

void DataSet::Append() {
    Reach();
    CheckBrowseMode();
    // The new record stands after the last one, which is current again after a cancel.
    if (!rows_.empty()) current_ = static_cast<int>(rows_.size()) - 1;
    StartInsert(static_cast<int>(rows_.size()));
}

void DataSet::Insert() {
    Reach();
    CheckBrowseMode();
    StartInsert(current_ < 0 ? 0 : current_);
}

void DataSet::StartInsert(int at) {
    buffer_.values.assign(columns_.size(), QByteArray());
    buffer_.nulls.assign(columns_.size(), true);
    insertAt_ = at;
    editRefused_ = false;
    state_ = State::Insert;
    modified_ = false;
    Notify(DataChange::Rows);
    Fire(OnNewRecord);
    Fire(AfterInsert);
    modified_ = false;  // what the new-record handlers wrote is no change of the user's
}

void DataSet::Edit() {
    Reach();
    CheckActive();
    if (state_ == State::Edit || state_ == State::Insert) return;
    if (rows_.empty()) {
        Insert();
        return;
    }
    buffer_ = rows_[current_];
    state_ = State::Edit;
    modified_ = false;
    editRefused_ = false;
    Notify(DataChange::State);
}

std::vector<ParamValue> DataSet::ParamsFor(const Statement& s, const Row& current, const Row* old,
                                           const QByteArray* dbKey) const {
    std::vector<ParamValue> params;
    params.reserve(s.ParamNames().size());
    for (const QString& name : s.ParamNames()) {
        if (dbKey && name == QLatin1String("DB_KEY")) {
            params.push_back(ParamValue::Bytes(*dbKey));
            continue;
        }
        const Row* source = &current;
        QString column = name;
        if (name.startsWith(QLatin1String("OLD_")) && !columnIndex_.contains(name)) {
            column = name.mid(4);
            source = old;
        }
        auto it = columnIndex_.constFind(column);
        if (it == columnIndex_.constEnd() || !source)
            throw DatabaseError(QStringLiteral("Параметърът %1 не отговаря на поле от таблицата %2.").arg(name, Name));
        const int i = it.value();
        if (source->nulls[i])
            params.push_back(ParamValue::Null());
        else
            params.push_back(ParamValue::Bytes(source->values[i]));
    }
    return params;
}

void DataSet::Post() {
    const unsigned long long commitsBefore = tr_ ? tr_->CommitCount() : 0;
    try {
        PostOnce();
    } catch (const RecordChangedError&) {
        editRefused_ = state_ == State::Edit || state_ == State::Insert;
        throw;
    } catch (const SharedKeyError&) {
        editRefused_ = state_ == State::Edit || state_ == State::Insert;
        throw;
    } catch (const ConnectionLostError& e) {
        if (!Reconnects()) ThrowLost(e, ConnectionLostError::Change::NotStored);
        // Committed before the connection broke (while the key was settled or
        // the table read again): the row is stored.
        if (tr_->CommitCount() > commitsBefore) {
            db_->ConnectAgain();
            return;
        }
        tr_->SettleLostCommit(e);
    } catch (const CommitFailedError& e) {
        // Inside a span of held commits its owner settles it.
        if (tr_->CommitsHeld() || tr_->CommitCount() > commitsBefore) throw;
        tr_->SettleFailedCommit(e);
    }
}

// A key for a changed row: later than the key the row was read with (where
// one was), also where another work place whose clock runs ahead wrote that
// key. Only this row's key is moved past it; the clock of every other key
// goes on as it stands.
QString DataSet::KeyAfter(std::optional<qint64> readTime) {
    const QString key = NewKey();
    if (!readTime) return key;
    const std::optional<qint64> time = platform::RecordKeyMSecs(key);
    if (time && *time > *readTime) return key;
    return platform::RecordKeyTextAfter(*readTime);
}

void DataSet::PostOnce() {
    CheckActive();
    if (state_ != State::Edit && state_ != State::Insert) return;
    Notify(DataChange::UpdateRecord);
    Fire(BeforePost);
    const bool inserting = state_ == State::Insert;
    // A key asked for now says whether keys are given, and serves when the posted one is taken.
    QString spare = NewKey && keyIndex_ >= 0 ? NewKey() : QString();
    const bool keyed = !spare.isEmpty();
    std::optional<qint64> keyFloor;  // the moment of the key the changed row was read with
    if (keyed && !inserting) {
        // A changed row never keeps the key it was read with, even when
        // another work place wrote that key in this very millisecond: every
        // work place still holding it then finds the row changed. Nor does it
        // go back to a key it carried before: its new key is later than the
        // one read, also where this computer's clock stands behind the one
        // that wrote it.
        const Row& read = rows_[current_];
        if (!read.nulls[keyIndex_]) {
            const QString readKey = platform::DecodeCp1251(read.values[keyIndex_]);
            const std::optional<qint64> readTime = platform::RecordKeyMSecs(readKey);
            const std::optional<qint64> newTime =
                buffer_.nulls[keyIndex_] ? std::nullopt
                                         : platform::RecordKeyMSecs(platform::DecodeCp1251(buffer_.values[keyIndex_]));
            const bool same = !buffer_.nulls[keyIndex_] && buffer_.values[keyIndex_] == read.values[keyIndex_];
            if (same || (readTime && (!newTime || *newTime <= *readTime))) {
                keyFloor = readTime;
                buffer_.values[keyIndex_] = platform::EncodeCp1251(KeyAfter(keyFloor));
                buffer_.nulls[keyIndex_] = false;
                spare = KeyAfter(keyFloor);
            }
        }
    }
    const QByteArray dbKey = WriteRow(inserting);
    if (keyIndex_ >= 0 && !buffer_.nulls[keyIndex_]) tr_->NoteWritten(Written(dbKey));
    if (inserting) {
        rows_.insert(rows_.begin() + insertAt_, buffer_);
        if (rowPlaces_) {
            dbKeys_.insert(dbKeys_.begin() + insertAt_, dbKey);
            versions_.insert(versions_.begin() + insertAt_, 0);
        }
        current_ = insertAt_;
    } else {
        rows_[current_] = buffer_;
        if (rowPlaces_) versions_[current_] = 0;
    }
    ++changes_;
    state_ = State::Browse;
    modified_ = false;
    Notify(DataChange::State);
    // The key is settled once the row is committed: by the commit after the
    // post, or by the one commit of a held span of changes.
    const bool settle = keyed && !dbKey.isEmpty();
    const PostedKey posted{dbKey, settle ? buffer_.values[keyIndex_] : QByteArray(), spare, tr_->CommitCount(),
                           keyFloor};
    try {
        Fire(AfterPost);
    } catch (const CommitFailedError&) {
        // Nothing more is committed before the refused commit is settled (see Post).
        throw;
    } catch (...) {
        if (settle) {
            try {
                tr_->AfterCommit([this, posted] { SettleKey(posted); });
            } catch (...) {
                // The error of the handler is the one to show.
            }
        }
        throw;
    }
    if (settle) tr_->AfterCommit([this, posted] { SettleKey(posted); });
}

// Record keys are the time of the post to the millisecond, and one process
// never gives the same key twice; but two work places may post in the same
// millisecond, and no unique index guards the tables. Two transactions that
// write one key at the same moment cannot see each other's rows before they
// commit, so no look before the commit can tell. While keys are given here,
// the posted row is looked for by its key once it is committed (SettleKey):
// whoever finds more than one row moves its own row (known by its
// RDB$DB_KEY) to the next key, commits and looks again. Of two rows left with
// one key, the one committed last was looked for after both were committed
// and would have been moved; so once every post has returned, no key is
// shared. (When both move, both look again under their new keys.) Where the
// data set fetches all its rows again after that commit (the handler after a
// post refreshes it), the look is made in those rows and costs nothing more.
// A change or a delete reaches the one row the user is on, by the
// RDB$DB_KEY it was fetched with, and only while that row still carries the
// key it was read with; rows of an older program that share a key are thus
// reached one by one. (Where the select gives no RDB$DB_KEY, the row is found
// by its key, and a key carried by more than one row lets nothing be written.)
// A post never leaves a row with the key it was read with (see Post), so a
// row changed by another work place since it was read is never overwritten.
// Returns the written row's RDB$DB_KEY.
QByteArray DataSet::WriteRow(bool inserting) {
    try {
        if (inserting) {
            Statement& s = Prepared(insertKeyedStmt_, InsertSQL + QStringLiteral(" returning RDB$DB_KEY"));
            ResultRow returned;
            s.Execute(ParamsFor(s, buffer_, nullptr), &returned);
            return returned.values.at(0);
        }
        const QByteArray dbKey = RowToChange(false);
        Statement& s = Prepared(modifyStmt_, OnOneRow(ModifySQL));
        if (s.Execute(ParamsFor(s, buffer_, &rows_[current_], &dbKey)) == 0) throw RowChangedElsewhere(false);
        return dbKey;
    } catch (const DatabaseError& e) {
        if (e.TextTooLong()) ThrowTextTooLong(e);
        throw;
    }
}

void DataSet::SettleKey(const PostedKey& posted) {
    if (!Active()) return;
    // Nothing has committed the row yet (no handler commits after a post).
    if (tr_->CommitCount() == posted.commitsBefore) tr_->CommitRetaining();
    const auto countIn = [this](const QByteArray& key) {
        return std::count_if(rows_.begin(), rows_.end(),
                             [&](const Row& r) { return !r.nulls[keyIndex_] && r.values[keyIndex_] == key; });
    };
    bool fetchedSince = rowPlaces_ && fetchedAfterCommits_ > posted.commitsBefore;
    QByteArray key = posted.key;
    QString spare = posted.spare;
    for (int attempt = 0; attempt < kKeyTries; ++attempt) {
        const qsizetype sharing = std::exchange(fetchedSince, false) ? countIn(key) : RowsWithKey(key).size();
        if (sharing <= 1) return;
        const QByteArray next =
            platform::EncodeCp1251(spare.isEmpty() ? KeyAfter(posted.keyFloor) : std::exchange(spare, {}));
        Statement& move = Prepared(moveKeyStmt_, QStringLiteral("update %1 set PNOM = :PNOM where RDB$DB_KEY = :DB_KEY "
                                                                "and PNOM = :OLD_PNOM")
                                                     .arg(Name));
        // No row moved: another work place has changed it since, and given it its own key.
        if (move.Execute({ParamValue::Bytes(next), ParamValue::Bytes(posted.dbKey), ParamValue::Bytes(key)}) == 0)
            return;
        tr_->CommitRetaining();
        // The row as this data set holds it takes the new key too.
        const auto at = rowPlaces_ ? std::find(dbKeys_.begin(), dbKeys_.end(), posted.dbKey) : dbKeys_.end();
        const qsizetype index = at != dbKeys_.end() ? at - dbKeys_.begin() : (rowPlaces_ ? -1 : current_);
        if (index >= 0 && index < static_cast<qsizetype>(rows_.size()) && rows_[index].values[keyIndex_] == key) {
            rows_[index].values[keyIndex_] = next;
            if (rowPlaces_) versions_[index] = 0;
            ++changes_;
        }
        key = next;
    }
    throw DatabaseError(
        QStringLiteral("Записът в %1 е записан, но с ключ, който носи и друг запис. Опреснете данните.").arg(Name));
}

QByteArray DataSet::RowToChange(bool deleting) {
    if (keyIndex_ < 0) throw DatabaseError(QStringLiteral("Таблицата %1 няма колона PNOM.").arg(Name));
    if (rowPlaces_) return dbKeys_.at(current_);
    const Row& row = rows_[current_];
    const std::vector<QByteArray> found = RowsWithKey(row.values[keyIndex_]);
    if (found.empty()) throw RowChangedElsewhere(deleting);
    if (found.size() > 1)
        throw SharedKeyError(QStringLiteral("В %1 има %2 записа с един и същ ключ „%3“, а %4 би засегнало всички тях. "
                                            "Нищо не е %5.")
                                 .arg(Name)
                                 .arg(found.size())
                                 .arg(platform::DecodeCp1251(row.values[keyIndex_]))
                                 .arg(deleting ? QStringLiteral("изтриването") : QStringLiteral("промяната"))
                                 .arg(deleting ? QStringLiteral("изтрито") : QStringLiteral("записано")));
    return found.front();
}

RecordChangedError DataSet::RowChangedElsewhere(bool deleting) const {
    return RecordChangedError(
        deleting ? QStringLiteral("Записът в %1 е променен или изтрит от друго работно място, след като е бил прочетен. "
                                  "Нищо не е изтрито. Опреснете данните и опитайте отново.")
                       .arg(Name)
                 : QStringLiteral("Записът в %1 е променен или изтрит от друго работно място, след като е бил прочетен. "
                                  "Промените не са записани. Откажете редакцията, опреснете данните и опитайте отново.")
                       .arg(Name));
}

std::vector<QByteArray> DataSet::RowsWithKey(const QByteArray& key) {
    Statement& find = Prepared(findKeyStmt_, QStringLiteral("select RDB$DB_KEY from %1 where PNOM = :PNOM").arg(Name));
    std::vector<QByteArray> found;
    find.Fetch({ParamValue::Bytes(key)}, [&](ResultRow& r) { found.push_back(r.values.at(0)); });
    return found;
}

void DataSet::ThrowTextTooLong(const DatabaseError& e) const {
    QStringList fields;
    for (size_t i = 0; i < columns_.size(); ++i) {
        const ColumnInfo& c = columns_[i];
        const qsizetype length = buffer_.nulls[i] ? 0 : buffer_.values[i].size();
        if (c.kind == ColumnKind::Text && c.length > 0 && length > c.length)
            fields << QStringLiteral("%1 (%2 знака при най-много %3)").arg(c.name).arg(length).arg(c.length);
    }
    if (fields.isEmpty()) throw e;
    throw DatabaseError(QStringLiteral("Твърде дълъг текст в таблицата %1, %2 %3. Нищо не е записано.")
                            .arg(Name, fields.size() == 1 ? QStringLiteral("поле") : QStringLiteral("полета"),
                                 fields.join(QStringLiteral(", "))),
                        e.ServerText(), e.Code(), e.SqlCode());
}

void DataSet::Cancel() {
    CheckActive();
    if (state_ != State::Edit && state_ != State::Insert) return;
    const bool dropsRow = state_ == State::Insert;
    state_ = State::Browse;
    modified_ = false;
    buffer_ = Row();
    Notify(dropsRow ? DataChange::Rows : DataChange::State);
    try {
        Fire(AfterCancel);
    } catch (const ConnectionLostError& e) {
        // The edit is given up all the same; the connection is made again.
        if (!Reconnects() || !db_->ConnectAgain()) ThrowLost(e, ConnectionLostError::Change::None);
    }
}

void DataSet::Delete() {
    Reach();
    const unsigned long long commitsBefore = tr_ ? tr_->CommitCount() : 0;
    const QByteArray key = Active() && state_ == State::Browse && current_ >= 0 && keyIndex_ >= 0
                               ? QByteArray(rows_[current_].values[keyIndex_])
                               : QByteArray();
    try {
        DeleteOnce();
    } catch (const ConnectionLostError& e) {
        if (!Reconnects()) ThrowLost(e, ConnectionLostError::Change::NotStored);
        if (!db_->ConnectAgain())
            ThrowLost(e, tr_->CommitCount() > commitsBefore ? ConnectionLostError::Change::None
                                                            : ConnectionLostError::Change::Unknown);
        // Deleted when the row is no longer there.
        if (tr_->CommitCount() > commitsBefore || (!key.isEmpty() && RowsWithKey(key).empty())) return;
        throw ConnectionLostError::Lost(db_->DatabaseName, ConnectionLostError::Change::NotStored, true, e);
    } catch (const CommitFailedError& e) {
        if (tr_->CommitsHeld() || tr_->CommitCount() > commitsBefore) throw;
        QString why;
        if (!tr_->UndoFailedCommit(&why))
            throw OutcomeUnknownError(QStringLiteral("Не може да се разбере дали записът в %1 е изтрит: базата данни отказа "
                                               "да запише изтриването и после не можа да бъде отворена отново (%2). "
                                               "Проверете, преди да го изтриете отново.")
                                        .arg(Name, why) +
                                    QStringLiteral("\n\nСъобщение на базата данни: ") + e.ServerText(),
                                e.ServerText(), e.Code(), e.SqlCode(), e.Codes());
        // Deleted when the row is no longer there.
        if (!key.isEmpty() && RowsWithKey(key).empty()) return;
        throw DatabaseError(QStringLiteral("Записът в %1 не е изтрит: базата данни отказа да запише изтриването. "
                                           "Опитайте отново, когато причината е отстранена.")
                                    .arg(Name) +
                                QStringLiteral("\n\nСъобщение на базата данни: ") + e.ServerText(),
                            e.ServerText(), e.Code(), e.SqlCode(), e.Codes());
    }
}

WrittenRow DataSet::Written(const QByteArray& place) const {
    WrittenRow row{Name, buffer_.values[keyIndex_], place, {}, {}, {}, {}};
    for (size_t i = 0; i < columns_.size(); ++i) {
        // Blobs are left out: the values around them tell enough, and they may be large.
        if (columns_[i].kind == ColumnKind::Blob || columns_[i].kind == ColumnKind::Other) continue;
        row.columns << columns_[i].name;
        row.kinds.push_back(columns_[i].kind);
        row.values.push_back(buffer_.values[i]);
        row.nulls.push_back(buffer_.nulls[i]);
    }
    return row;
}

void DataSet::DeleteOnce() {
    CheckActive();
    if (state_ == State::Insert) {
        Cancel();
        return;
    }
    if (rows_.empty()) throw DatabaseError(QStringLiteral("Таблицата %1 е празна: няма какво да се изтрие.").arg(Name));
    const Row& row = rows_[current_];
    const QByteArray dbKey = RowToChange(true);
    Statement& s = Prepared(deleteStmt_, OnOneRow(DeleteSQL));
    if (s.Execute(ParamsFor(s, row, &row, &dbKey)) == 0) throw RowChangedElsewhere(true);
    state_ = State::Browse;
    modified_ = false;
    rows_.erase(rows_.begin() + current_);
    deletedAtCommits_ = tr_->CommitCount();
    if (rowPlaces_) {
        dbKeys_.erase(dbKeys_.begin() + current_);
        versions_.erase(versions_.begin() + current_);
    }
    ++changes_;
    if (current_ >= static_cast<int>(rows_.size())) current_ = static_cast<int>(rows_.size()) - 1;
    Notify(DataChange::Rows);
    Fire(AfterDelete);
}

PostGuard::~PostGuard() {
    if (posted_ || !ds_.Active()) return;
    const DataSet::State state = ds_.GetState();
    if (state != DataSet::State::Edit && state != DataSet::State::Insert) return;
    try {
        ds_.Cancel();
    } catch (...) {
        // The refusal that ended the writing is the error the user sees.
    }
}

// ---------------------------------------------------------------- controls

int DataSet::DisplayRowCount() const {
    if (!Active()) return 0;
    return static_cast<int>(rows_.size()) + (state_ == State::Insert ? 1 : 0);
}

int DataSet::DisplayRow() const {
    if (!Active()) return -1;
    return state_ == State::Insert ? insertAt_ : current_;
}

DataSet::Identity DataSet::RowIdentity(int row) const {
    if (!Active() || !rowPlaces_ || state_ != State::Browse || row < 0 || row >= static_cast<int>(rows_.size()) ||
        versions_[row] == 0 || dbKeys_[row].size() != sizeof(quint64))
        return {};
    // Places and versions are those of one database: the opening they were read in goes with them.
    Identity identity{opening_, 0, versions_[row], true};
    std::memcpy(&identity.place, dbKeys_[row].constData(), sizeof identity.place);
    return identity;
}

QString DataSet::DisplayText(int row, int column) const {
    if (!Active() || column < 0 || column >= FieldCount()) return {};
    const Row* r = nullptr;
    if (state_ == State::Insert && row == insertAt_) {
        r = &buffer_;
    } else {
        const int index = state_ == State::Insert && row > insertAt_ ? row - 1 : row;
        if (index < 0 || index >= static_cast<int>(rows_.size())) return {};
        r = state_ == State::Edit && index == current_ ? &buffer_ : &rows_[index];
    }
    if (r->IsNull(column)) return {};
    return TextOf(r->Raw(column), columns_[column].kind);
}

void DataSet::Notify(DataChange change) {
    if (controlsDisabled_ > 0 && change != DataChange::UpdateRecord) {
        if (std::find(heldChanges_.begin(), heldChanges_.end(), change) == heldChanges_.end())
            heldChanges_.push_back(change);
        return;
    }
    // A control may detach itself or another one while it is told.
    const std::vector<DataLink*> links = links_;
    for (DataLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) == links_.end()) continue;
        if (link->OnChange) link->OnChange(change);
    }
}

void DataSet::EnableControls() {
    if (controlsDisabled_ == 0 || --controlsDisabled_ > 0) return;
    const std::vector<DataChange> held = std::exchange(heldChanges_, {});
    for (DataChange change : held) Notify(change);
}

QuietWalk::QuietWalk(DataSet& ds) : ds_(ds), exceptions_(std::uncaught_exceptions()) { ds_.DisableControls(); }

QuietWalk::~QuietWalk() noexcept(false) {
    if (std::uncaught_exceptions() == exceptions_) {
        ds_.EnableControls();
        return;
    }
    // Unwinding already: the controls are still told, and what they raise gives way to the first error.
    try {
        ds_.EnableControls();
    } catch (...) {
    }
}

DataSource::~DataSource() {
    for (DataLink* link : std::vector<DataLink*>(links_)) link->SetDataSource(nullptr);
}

DataLink::~DataLink() {
    OnChange = nullptr;
    Detach();
}

void DataLink::Detach() {
    if (dataSet_) std::erase(dataSet_->links_, this);
    if (source_) std::erase(source_->links_, this);
    dataSet_ = nullptr;
    source_ = nullptr;
}

void DataLink::SetDataSource(DataSource* source) {
    if (source == source_ && (!source || source->DataSetRef == dataSet_)) return;
    Detach();
    source_ = source;
    if (source_) {
        source_->links_.push_back(this);
        dataSet_ = source_->DataSetRef;
        if (dataSet_) dataSet_->links_.push_back(this);
    }
    if (OnChange) OnChange(DataChange::Active);
}

bool DataLink::Active() const { return source_ && source_->Enabled && dataSet_ && dataSet_->Active(); }

}  // namespace data
