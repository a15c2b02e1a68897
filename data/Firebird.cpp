#include "data/Firebird.h"

#include "platform/CodePage.h"
#include "platform/Paths.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <QDir>
#include <QStringDecoder>

#include <algorithm>
#include <type_traits>
#include <utility>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <unistd.h>

using namespace Firebird;

namespace data {

// A status object that is disposed of when it leaves the scope.
class Status {
public:
    Status() : raw_(fb_get_master_interface()->getStatus()), wrapper_(raw_) {}
    ~Status() { raw_->dispose(); }
    CheckStatusWrapper* operator&() { return &wrapper_; }
    bool Failed() const { return (const_cast<CheckStatusWrapper&>(wrapper_).getState() & IStatus::STATE_ERRORS) != 0; }
    CheckStatusWrapper& Wrapper() { return wrapper_; }

private:
    IStatus* raw_;
    CheckStatusWrapper wrapper_;
};

namespace {

// The embedded engine keeps its lock files in /tmp/firebird, which the
// server's package makes writable only for its own group. A user outside it
// gets a lock folder of their own, so that a database of their own folder
// still opens; users who share one database file on this computer belong in
// group firebird.
void PrepareLockFolder() {
    static const bool prepared = [] {
        if (qEnvironmentVariableIsSet("FIREBIRD_LOCK")) return true;
        const QByteArray shared = "/tmp/firebird";
        if (::access(shared.constData(), F_OK) != 0 || ::access(shared.constData(), W_OK | X_OK) == 0) return true;
        const QByteArray own = QStringLiteral("%1/firebird-%2").arg(QDir::tempPath()).arg(::getuid()).toLocal8Bit();
        QDir().mkpath(QString::fromLocal8Bit(own));
        qputenv("FIREBIRD_LOCK", own);
        return true;
    }();
    Q_UNUSED(prepared);
}

// The engine turns a database's file name into the character set of the
// process's locale. A locale that is not UTF-8 (LANG=C) holds no Cyrillic
// letter, so a folder named in Cyrillic could not be reached. File names on
// Linux are UTF-8 by convention, whatever the locale: the character type is
// made UTF-8 before the engine first looks; the rest of the locale stays.
void PrepareFileNameCharset() {
    static const bool prepared = [] {
        if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
        return true;
    }();
    Q_UNUSED(prepared);
}

IMaster* Master() {
    PrepareLockFolder();
    PrepareFileNameCharset();
    return fb_get_master_interface();
}

bool IsConflict(const std::vector<long>& codes) {
    for (long c : codes)
        if (c == isc_update_conflict || c == isc_deadlock || c == isc_lock_conflict) return true;
    return false;
}

// The server cannot be reached or has dropped the connection.
bool IsLostConnection(const std::vector<long>& codes) {
    for (long c : codes)
        if (c == isc_network_error || c == isc_net_read_err || c == isc_net_write_err || c == isc_lost_db_connection ||
            c == isc_conn_lost || c == isc_att_shutdown || c == isc_shutdown || c == isc_net_connect_err ||
            c == isc_net_connect_listen_err || c == isc_bad_db_handle ||
            // what the client says when the server died in the middle of its answer
            c == isc_req_sync)
            return true;
    return false;
}

// The server's messages are English; what they quote is a file name (UTF-8)
// or a value of the program's columns (Windows-1251).
QString ServerText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? platform::DecodeCp1251(bytes) : text;
}

// The error of a status vector. An update or lock conflict (another work
// place has changed the row and not yet committed) is told in words of its own.
[[noreturn]] void ThrowFrom(CheckStatusWrapper& st, const QString& context = {}, const QString& hint = {}) {
    char buffer[2048];
    Master()->getUtilInterface()->formatStatus(buffer, sizeof buffer, &st);
    const QString serverText = ServerText(QByteArray(buffer)).trimmed();
    const intptr_t* errors = st.getErrors();
    std::vector<long> codes;
    for (const intptr_t* p = errors; p && *p != isc_arg_end; p += 2) {
        if (*p == isc_arg_gds) codes.push_back(static_cast<long>(p[1]));
        if (*p == isc_arg_cstring) ++p;  // a counted string takes one more cell
    }
    const long code = codes.empty() ? 0 : codes.front();
    const int sqlCode = errors ? static_cast<int>(isc_sqlcode(reinterpret_cast<const ISC_STATUS*>(errors))) : 0;
    if (IsConflict(codes))
        throw RecordInUseError(QStringLiteral("Този запис в момента се променя от друго работно място, затова "
                                              "нищо не е записано. Опитайте отново след малко."),
                               serverText, code, sqlCode, std::move(codes));
    if (IsLostConnection(codes))
        throw ConnectionLostError(QStringLiteral("Няма връзка със сървъра!\nВръзката с базата данни е прекъсната. "
                                                 "Проверете дали сървърът работи и дали мрежата е свързана."),
                                  serverText, code, sqlCode, std::move(codes));
    QString message = QStringLiteral("Грешка в базата данни");
    if (!context.isEmpty()) message += QStringLiteral(" (") + context + QLatin1Char(')');
    message += QStringLiteral(":\n") + serverText + hint;
    throw DatabaseError(message, serverText, code, sqlCode, std::move(codes));
}

void Check(Status& st, const QString& context = {}) {
    if (st.Failed()) ThrowFrom(st.Wrapper(), context);
}

// A refused commit: a lost connection is told as such; any other refusal
// leaves unknown what the commit stored (CommitFailedError).
void CheckCommit(Status& st) {
    if (!st.Failed()) return;
    try {
        ThrowFrom(st.Wrapper());
    } catch (const ConnectionLostError&) {
        throw;
    } catch (const DatabaseError& e) {
        throw CommitFailedError(e.Message(), e.ServerText(), e.Code(), e.SqlCode(), e.Codes());
    }
}

// The engine's own words, after what became of the user's work.
QString EngineDetail(const QString& serverText) {
    return serverText.isEmpty() ? QString() : QStringLiteral("\n\nСъобщение на базата данни: ") + serverText;
}

// Holds an interface and gives it back when the scope ends, whatever happens:
// reference-counted ones are released, builders disposed of.
template <class T>
class Held {
public:
    explicit Held(T* p = nullptr) : p_(p) {}
    ~Held() {
        if (!p_) return;
        if constexpr (std::is_base_of_v<IReferenceCounted, T>)
            p_->release();
        else
            p_->dispose();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    // Hands the interface over (or marks it given back by a successful close).
    T* take() { return std::exchange(p_, nullptr); }

private:
    T* p_;
};

template <class T>
void Release(T*& p) {
    if (p) {
        p->release();
        p = nullptr;
    }
}

// Splits "name=value" and keeps the value's text as it stands.
bool SplitParam(const QString& line, QString* name, QString* value) {
    const int eq = line.indexOf(QLatin1Char('='));
    *name = (eq < 0 ? line : line.left(eq)).trimmed().toLower();
    *value = eq < 0 ? QString() : line.mid(eq + 1);
    return !name->isEmpty();
}

// Reads the text of a creation parameter value: 'quoted' with '' for a quote, or a bare word.
QString UnquoteValue(QString v) {
    v = v.trimmed();
    if (v.size() >= 2 && v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\'')))
        return v.mid(1, v.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return v;
}

struct AlignedBuffer {
    std::vector<int64_t> storage;
    void Resize(unsigned bytes) { storage.assign((bytes + 7) / 8 + 1, 0); }
    unsigned char* Data() { return reinterpret_cast<unsigned char*>(storage.data()); }
};

constexpr unsigned kCharsetNone = 0;  // bytes passed as they are
constexpr qsizetype kLongestText = 32765;  // the longest VARCHAR a message carries

bool IsIntegerType(unsigned type) { return type == SQL_LONG || type == SQL_SHORT || type == SQL_INT64; }

}  // namespace

bool DatabaseError::HasCode(long code) const { return std::find(codes_.begin(), codes_.end(), code) != codes_.end(); }

bool DatabaseError::TextTooLong() const { return HasCode(isc_string_truncation); }

ConnectionLostError ConnectionLostError::Lost(const QString& database, Change change, bool connectedAgain,
                                              const DatabaseError& cause) {
    QString text = QStringLiteral("Няма връзка със сървъра!\nВръзката с базата данни „%1“ беше прекъсната").arg(database);
    text += connectedAgain ? QStringLiteral(" и е възстановена.")
                           : QStringLiteral(". Проверете дали сървърът работи и дали мрежата е свързана; програмата "
                                            "ще се свърже отново сама при следващото действие.");
    if (change == Change::NotStored)
        text += QStringLiteral("\nПоследната промяна не е записана: направете я отново.");
    else if (change == Change::Unknown)
        text += QStringLiteral("\nНе може да се разбере дали последната промяна е записана. Когато връзката се "
                               "възстанови, проверете я, преди да я направите отново.");
    else if (connectedAgain)
        text += QStringLiteral("\nОпитайте отново.");
    text += EngineDetail(cause.ServerText());
    std::vector<long> codes;
    if (cause.Code()) codes.push_back(cause.Code());
    ConnectionLostError error(text, cause.ServerText(), cause.Code(), cause.SqlCode(), std::move(codes));
    error.change_ = change;
    return error;
}

bool IsConcurrentChange(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const RecordChangedError&) {
        return true;
    } catch (const RecordInUseError&) {
        return true;
    } catch (...) {
        return false;
    }
}

bool IsStored(Database* db, Transaction* tr, const WrittenRow& row) {
    bool found = false;
    Statement find(db, tr, QStringLiteral("select t.*, t.RDB$DB_KEY from %1 t where t.PNOM = :PNOM").arg(row.table));
    const std::vector<ColumnInfo>& columns = find.Columns();
    find.Fetch({ParamValue::Bytes(row.key)}, [&](ResultRow& r) {
        if (found) return;
        if (!row.place.isEmpty() && r.values.back() != row.place) return;
        for (qsizetype i = 0; i < row.columns.size(); ++i) {
            const auto at = std::find_if(columns.begin(), columns.end() - 1,
                                         [&](const ColumnInfo& c) { return c.name == row.columns[i]; });
            if (at == columns.end() - 1) return;
            const size_t c = static_cast<size_t>(at - columns.begin());
            if (r.nulls[c] != row.nulls[i]) return;
            if (row.nulls[i]) continue;
            const bool same = row.kinds[i] == ColumnKind::Integer
                                  ? r.values[c].trimmed().toLongLong() == row.values[i].trimmed().toLongLong()
                                  : r.values[c] == row.values[i];
            if (!same) return;
        }
        found = true;
    });
    return found;
}

// ---------------------------------------------------------------- Database

Database::Database() = default;

Database::~Database() {
    try {
        Close();
    } catch (...) {
    }
    for (Transaction* t : transactions_) t->DetachDatabase();
}

QString Database::ConnectionString(const QString& databaseName) {
    // "\\host\alias" names a server on another computer.
    if (databaseName.startsWith(QStringLiteral("\\\\"))) {
        const QString rest = databaseName.mid(2);
        const int slash = rest.indexOf(QLatin1Char('\\'));
        if (slash > 0) return rest.left(slash) + QLatin1Char(':') + rest.mid(slash + 1);
    }
    return databaseName;
}

namespace {

IXpbBuilder* NewDpb(Status& st) {
    IXpbBuilder* dpb = Master()->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    Check(st);
    return dpb;
}

void AddParamLine(Status& st, IXpbBuilder* dpb, const QString& line) {
    QString name, value;
    if (!SplitParam(line, &name, &value)) return;
    const QByteArray v = platform::EncodeCp1251(value);
    if (name == QLatin1String("user_name") || name == QLatin1String("user"))
        dpb->insertString(&st, isc_dpb_user_name, v.constData());
    else if (name == QLatin1String("password"))
        dpb->insertString(&st, isc_dpb_password, v.constData());
    else if (name == QLatin1String("lc_ctype"))
        dpb->insertString(&st, isc_dpb_lc_ctype, v.constData());
    else if (name == QLatin1String("sql_role_name"))
        dpb->insertString(&st, isc_dpb_sql_role_name, v.constData());
    else
        throw DatabaseError(QStringLiteral("Непознат параметър на връзката с базата данни: „%1“.").arg(line));
    Check(st);
}

QString ProviderHint(const QString& connectName) {
    // A plain path goes to the embedded engine; say so when it is not installed.
    if (connectName.contains(QLatin1Char(':')) || connectName.isEmpty()) return {};
    const QString engine = platform::Path(platform::PathKind::FirebirdEngine);
    if (platform::FileExists(engine)) return {};
    return QStringLiteral("\nВграденият сървър на Firebird не е инсталиран (липсва %1).").arg(engine);
}

}  // namespace

void Database::Open() {
    if (Connected()) return;
    Attach(false, [this](Status& st, IXpbBuilder* dpb) {
        for (const QString& line : Params) AddParamLine(st, dpb, line);
    });
    lost_ = false;
}

void Database::CreateDatabase(const QStringList& creationParams) {
    if (Connected()) Close();
    Attach(true, [&creationParams](Status& st, IXpbBuilder* dpb) {
        for (const QString& raw : creationParams) {
            const QString line = raw.trimmed();
            const QString upper = line.toUpper();
            if (upper.startsWith(QLatin1String("USER "))) {
                dpb->insertString(&st, isc_dpb_user_name, platform::EncodeCp1251(UnquoteValue(line.mid(5))).constData());
            } else if (upper.startsWith(QLatin1String("PASSWORD "))) {
                dpb->insertString(&st, isc_dpb_password, platform::EncodeCp1251(UnquoteValue(line.mid(9))).constData());
            } else if (upper.startsWith(QLatin1String("DEFAULT CHARACTER SET "))) {
                dpb->insertString(&st, isc_dpb_set_db_charset, UnquoteValue(line.mid(22)).toLatin1().constData());
            } else if (upper.startsWith(QLatin1String("PAGE_SIZE "))) {
                dpb->insertInt(&st, isc_dpb_page_size, UnquoteValue(line.mid(10)).toInt());
            } else if (!line.isEmpty()) {
                throw DatabaseError(QStringLiteral("Непознат параметър при създаване на базата данни: „%1“.").arg(line));
            }
            Check(st);
        }
    });
}

void Database::Attach(bool create, const std::function<void(Status&, IXpbBuilder*)>& fillParams) {
    Status st;
    Held<IXpbBuilder> dpb(NewDpb(st));
    fillParams(st, dpb.get());
    dpb->insertInt(&st, isc_dpb_sql_dialect, SQLDialect);
    // The file name goes as UTF-8 whatever the computer's locale, so that a
    // folder with Cyrillic letters is found under any locale.
    dpb->insertTag(&st, isc_dpb_utf8_filename);
    Check(st);
    const QString name = ConnectionString(DatabaseName);
    const QByteArray path = name.toUtf8();
    Held<IProvider> provider(Master()->getDispatcher());
    attachment_ = create ? provider->createDatabase(&st, path.constData(), dpb->getBufferLength(&st), dpb->getBuffer(&st))
                         : provider->attachDatabase(&st, path.constData(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
    if (st.Failed()) {
        attachment_ = nullptr;
        try {
            ThrowFrom(st.Wrapper(), name, ProviderHint(name));
        } catch (const ConnectionLostError& e) {
            // No connection was made, so none was broken: the server was not reached.
            throw ConnectionLostError(
                QStringLiteral("Няма връзка със сървъра!\nСървърът на базата данни „%1“ не може да бъде достигнат. "
                               "Проверете дали сървърът работи, дали името или адресът му е верен и дали мрежата е "
                               "свързана.")
                        .arg(name) +
                    EngineDetail(e.ServerText()),
                e.ServerText(), e.Code(), e.SqlCode(), e.Codes());
        }
    }
    AfterAttach();
}

void Database::AfterAttach() {
    // The embedded engine has no network protocol.
    embedded_ = false;
    Transaction probe(this);
    probe.Params = {QStringLiteral("read"), QStringLiteral("read_committed"), QStringLiteral("rec_version")};
    probe.StartTransaction();
    Statement s(this, &probe, QStringLiteral("select rdb$get_context('SYSTEM', 'NETWORK_PROTOCOL') from rdb$database"));
    s.Fetch({}, [&](ResultRow& row) { embedded_ = row.nulls.at(0); });
    probe.Commit();
}

void Database::Close() {
    if (!attachment_) return;
    for (Transaction* t : std::vector<Transaction*>(transactions_)) t->Release();
    Status st;
    attachment_->detach(&st);
    if (st.Failed()) {
        // A broken connection cannot be detached cleanly; drop it all the same.
        attachment_->release();
    }
    attachment_ = nullptr;
}

void Database::DropDatabase() {
    if (!attachment_) throw DatabaseError(QStringLiteral("Няма връзка с базата данни."));
    for (Transaction* t : std::vector<Transaction*>(transactions_)) t->Release();
    Status st;
    attachment_->dropDatabase(&st);
    Check(st);
    attachment_ = nullptr;  // a successful drop releases the interface
}

long long Database::OldestActive() {
    if (!attachment_) return -1;
    const unsigned char items[] = {isc_info_oldest_active, isc_info_end};
    unsigned char answer[64] = {};
    Status st;
    attachment_->getInfo(&st, sizeof items, items, sizeof answer, answer);
    if (st.Failed()) return -1;
    // item, two bytes of length, then the number, least significant byte first
    if (answer[0] != isc_info_oldest_active) return -1;
    const int length = answer[1] | (answer[2] << 8);
    if (length <= 0 || length > 8) return -1;
    long long number = 0;
    for (int i = length - 1; i >= 0; --i) number = (number << 8) | answer[3 + i];
    return number;
}

bool Database::ConnectAgain(QString* error) {
    lost_ = true;
    if (!Reconnect || reconnecting_) return false;
    reconnecting_ = true;
    try {
        Reconnect();
    } catch (const platform::Exception& e) {
        reconnecting_ = false;
        lost_ = true;
        if (error) *error = e.Message();
        return false;
    } catch (...) {
        reconnecting_ = false;
        lost_ = true;
        throw;
    }
    reconnecting_ = false;
    lost_ = false;
    return true;
}

void Database::Register(Transaction* t) {
    if (std::find(transactions_.begin(), transactions_.end(), t) == transactions_.end()) transactions_.push_back(t);
}

void Database::Unregister(Transaction* t) {
    transactions_.erase(std::remove(transactions_.begin(), transactions_.end(), t), transactions_.end());
}

// ---------------------------------------------------------------- Transaction

Transaction::Transaction(Database* db) { SetDefaultDatabase(db); }

Transaction::~Transaction() {
    try {
        if (Active()) Commit();
    } catch (...) {
        if (handle_) handle_->release();
        handle_ = nullptr;
    }
    if (db_) db_->Unregister(this);
}

void Transaction::SetDefaultDatabase(Database* db) {
    if (db_) db_->Unregister(this);
    db_ = db;
    if (db_) db_->Register(this);
}

void Transaction::StartTransaction() {
    if (Active()) throw DatabaseError(QStringLiteral("Транзакцията вече е започната."));
    if (!db_ || !db_->Connected()) throw DatabaseError(QStringLiteral("Няма връзка с базата данни."));
    Status st;
    Held<IXpbBuilder> tpb(Master()->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0));
    Check(st);
    bool access = false;
    for (const QString& raw : Params) {
        const QString p = raw.trimmed().toLower();
        int tag = -1;
        if (p == QLatin1String("read_committed")) tag = isc_tpb_read_committed;
        else if (p == QLatin1String("rec_version")) tag = isc_tpb_rec_version;
        else if (p == QLatin1String("no_rec_version")) tag = isc_tpb_no_rec_version;
        else if (p == QLatin1String("nowait")) tag = isc_tpb_nowait;
        else if (p == QLatin1String("wait")) tag = isc_tpb_wait;
        else if (p == QLatin1String("concurrency")) tag = isc_tpb_concurrency;
        else if (p == QLatin1String("consistency")) tag = isc_tpb_consistency;
        else if (p == QLatin1String("read")) tag = isc_tpb_read, access = true;
        else if (p == QLatin1String("write")) tag = isc_tpb_write, access = true;
        else if (p.isEmpty()) continue;
        else {
            throw DatabaseError(QStringLiteral("Непознат параметър на транзакцията: „%1“.").arg(raw));
        }
        tpb->insertTag(&st, tag);
        Check(st);
    }
    if (!access) tpb->insertTag(&st, isc_tpb_write);
    written_.clear();
    handle_ = db_->Attachment()->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
    if (st.Failed()) {
        handle_ = nullptr;
        ThrowFrom(st.Wrapper());
    }
}

void Transaction::CloseDataSets() {
    for (auto& c : std::vector<std::pair<int, Closer>>(closers_)) c.second();
}

void Transaction::Commit() {
    if (!Active()) return;
    CloseDataSets();
    Status st;
    handle_->commit(&st);
    CheckCommit(st);
    handle_ = nullptr;  // a successful commit releases the interface
    ++commits_;
    written_.clear();
}

void Transaction::CommitRetaining() {
    if (!Active()) throw DatabaseError(QStringLiteral("Транзакцията не е започната."));
    if (holds_ > 0) {
        commitDue_ = true;
        return;
    }
    Status st;
    handle_->commitRetaining(&st);
    CheckCommit(st);
    ++commits_;
    written_.clear();
}

void Transaction::CommitHeld() {
    if (holds_ == 0 || --holds_ > 0) return;
    std::vector<std::function<void()>> work;
    work.swap(afterCommit_);
    if (std::exchange(commitDue_, false) || !work.empty()) CommitRetaining();
    for (const auto& w : work) w();
}

void Transaction::RollbackHeld() {
    if (holds_ == 0 || --holds_ > 0) return;
    afterCommit_.clear();
    commitDue_ = false;
    written_.clear();
    if (!Active()) return;
    Status st;
    handle_->rollbackRetaining(&st);
    // The data sets on the transaction learn that what they wrote since the
    // last commit is gone (also where the rollback failed: they then only
    // trust less of what they hold).
    for (auto& w : std::vector<std::pair<int, Closer>>(undoneWatchers_)) w.second();
    try {
        Check(st);
    } catch (const ConnectionLostError&) {
        // A lost connection has undone the changes itself: it is made again
        // now, or by the next action.
        if (db_) db_->ConnectAgain();
    }
}

void Transaction::SettleLostCommit(const DatabaseError& cause) {
    const auto written = std::exchange(written_, {});
    if (!db_) throw cause;
    using Change = ConnectionLostError::Change;
    const QString name = db_->DatabaseName;
    if (!db_->ConnectAgain()) {
        if (!written.empty()) db_->LeaveUnsettled(written.back());
        throw ConnectionLostError::Lost(name, written.empty() ? Change::NotStored : Change::Unknown, false, cause);
    }
    if (written.empty()) throw ConnectionLostError::Lost(name, Change::NotStored, true, cause);
    // One commit makes every row of it stored or none: the last one written tells.
    bool stored = false;
    try {
        stored = IsStored(db_, this, written.back());
    } catch (const ConnectionLostError&) {
        db_->MarkLost();
        db_->LeaveUnsettled(written.back());
        throw ConnectionLostError::Lost(name, Change::Unknown, false, cause);
    }
    if (!stored) throw ConnectionLostError::Lost(name, Change::NotStored, true, cause);
}

bool Transaction::UndoFailedCommit(QString* error) {
    // Whatever the refused commit left in the transaction is undone, so that
    // no later commit stores it behind the user's back. Where even that is
    // refused, the transaction is let go: the engine ends it, uncommitted,
    // with its connection.
    if (Active()) {
        CloseDataSets();
        Status st;
        handle_->rollback(&st);
        if (st.Failed()) handle_->release();
        handle_ = nullptr;
    }
    holds_ = 0;
    commitDue_ = false;
    afterCommit_.clear();
    return db_ && db_->ConnectAgain(error);
}

void Transaction::SettleFailedCommit(const DatabaseError& cause) {
    const auto written = std::exchange(written_, {});
    const QString name = db_ ? db_->DatabaseName : QString();
    QString why;
    const bool again = UndoFailedCommit(&why);
    bool stored = false;
    bool known = again;
    if (again && !written.empty()) {
        try {
            stored = IsStored(db_, this, written.back());
        } catch (const DatabaseError& e) {
            known = false;
            why = e.Message();
        }
    }
    if (known && stored) return;
    const QString detail = EngineDetail(cause.ServerText());
    if (!known) {
        if (!written.empty() && db_) {
            db_->MarkLost();
            db_->LeaveUnsettled(written.back());
        }
        throw OutcomeUnknownError(QStringLiteral("Не може да се разбере дали последната промяна е записана: базата данни "
                                           "„%1“ отказа да я запише и после не можа да бъде отворена отново (%2). "
                                           "Проверете промяната, преди да я направите отново.")
                                    .arg(name, why) +
                                detail,
                            cause.ServerText(), cause.Code(), cause.SqlCode(), cause.Codes());
    }
    throw DatabaseError(QStringLiteral("Последната промяна не е записана: базата данни „%1“ отказа да я запише. "
                                       "Направете я отново, когато причината е отстранена.")
                                .arg(name) +
                            detail,
                        cause.ServerText(), cause.Code(), cause.SqlCode(), cause.Codes());
}

void HeldCommits::Commit() {
    held_ = false;
    const unsigned long long before = tr_.CommitCount();
    try {
        tr_.CommitHeld();
    } catch (const ConnectionLostError& e) {
        // Committed before the connection broke (while the work after the
        // commit ran): the changes are stored.
        if (tr_.CommitCount() > before) {
            if (tr_.DefaultDatabase()) tr_.DefaultDatabase()->ConnectAgain();
            return;
        }
        tr_.SettleLostCommit(e);
    } catch (const CommitFailedError& e) {
        // A later commit (of the work after this one) was refused: this one stands.
        if (tr_.CommitCount() > before) throw;
        tr_.SettleFailedCommit(e);
    }
}

void Transaction::AfterCommit(std::function<void()> work) {
    if (holds_ > 0)
        afterCommit_.push_back(std::move(work));
    else
        work();
}

void Transaction::Rollback() {
    if (!Active()) return;
    CloseDataSets();
    Status st;
    handle_->rollback(&st);
    if (st.Failed()) handle_->release();
    handle_ = nullptr;
}

void Transaction::Release() {
    if (!Active()) return;
    try {
        Commit();
    } catch (...) {
        Rollback();
    }
}

void Transaction::SetActive(bool on) {
    if (on == Active()) return;
    on ? StartTransaction() : Commit();
}

int Transaction::AddCloser(Closer c, Closer undone) {
    closers_.emplace_back(nextCloser_, std::move(c));
    if (undone) undoneWatchers_.emplace_back(nextCloser_, std::move(undone));
    return nextCloser_++;
}

void Transaction::RemoveCloser(int id) {
    const auto ofId = [id](const auto& p) { return p.first == id; };
    closers_.erase(std::remove_if(closers_.begin(), closers_.end(), ofId), closers_.end());
    undoneWatchers_.erase(std::remove_if(undoneWatchers_.begin(), undoneWatchers_.end(), ofId),
                          undoneWatchers_.end());
}

// ---------------------------------------------------------------- Statement

ParamValue ParamValue::Text(const QString& text) { return {false, platform::EncodeCp1251(text)}; }

QString PositionalSql(const QString& sql, QStringList* names) {
    QString out;
    out.reserve(sql.size());
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            out += c;
            if (c == quote) quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
            continue;
        }
        if (c == QLatin1Char(':') && i + 1 < sql.size() &&
            (sql.at(i + 1).isLetter() || sql.at(i + 1) == QLatin1Char('_'))) {
            qsizetype j = i + 1;
            while (j < sql.size() && (sql.at(j).isLetterOrNumber() || sql.at(j) == QLatin1Char('_') ||
                                      sql.at(j) == QLatin1Char('$')))
                ++j;
            names->append(sql.mid(i + 1, j - i - 1).toUpper());
            out += QLatin1Char('?');
            i = j - 1;
            continue;
        }
        out += c;
    }
    return out;
}

struct Statement::Impl {
    Database* db = nullptr;
    Transaction* tr = nullptr;
    IStatement* stmt = nullptr;
    IMessageMetadata* inMeta = nullptr;   // as the server describes the parameters
    IMessageMetadata* outMeta = nullptr;  // coerced to the types read here
    std::vector<unsigned> outOffsets, outNullOffsets, outTypes;
    AlignedBuffer outBuffer;

    ~Impl() {
        Release(outMeta);
        Release(inMeta);
        if (stmt) {
            Status st;
            stmt->free(&st);
            if (st.Failed()) stmt->release();
            stmt = nullptr;
        }
    }

    // Input message: text parameters go as VARCHAR of the value's own length, so
    // the server itself checks widths and converts numbers; blobs as blob ids.
    IMessageMetadata* BuildInput(Status& st, const std::vector<ParamValue>& params, const QStringList& names,
                                 AlignedBuffer& buffer) {
        const unsigned count = inMeta->getCount(&st);
        Check(st);
        if (params.size() != count)
            throw DatabaseError(QStringLiteral("Броят на параметрите не съвпада с командата."));
        Held<IMetadataBuilder> builder(inMeta->getBuilder(&st));
        Check(st);
        std::vector<bool> isBlob(count);
        for (unsigned i = 0; i < count; ++i) {
            const unsigned type = inMeta->getType(&st, i) & ~1u;
            Check(st);
            isBlob[i] = type == SQL_BLOB;
            if (isBlob[i]) continue;
            // Longer texts than a parameter can carry never reach the server cut short.
            if (params[i].bytes.size() > kLongestText)
                throw DatabaseError(QStringLiteral("Текстът за %1 е твърде дълъг: %2 знака (най-много %3).")
                                        .arg(i < names.size() ? names[i] : QString::number(i + 1))
                                        .arg(params[i].bytes.size())
                                        .arg(kLongestText));
            builder->setType(&st, i, SQL_VARYING);
            builder->setCharSet(&st, i, kCharsetNone);
            builder->setLength(&st, i, std::max<unsigned>(1, params[i].bytes.size()));
            Check(st);
        }
        Held<IMessageMetadata> meta(builder->getMetadata(&st));
        Check(st);
        buffer.Resize(meta->getMessageLength(&st));
        unsigned char* data = buffer.Data();
        for (unsigned i = 0; i < count; ++i) {
            const unsigned off = meta->getOffset(&st, i);
            const unsigned nullOff = meta->getNullOffset(&st, i);
            auto* nullFlag = reinterpret_cast<short*>(data + nullOff);
            *nullFlag = params[i].isNull ? -1 : 0;
            if (params[i].isNull) continue;
            const QByteArray& b = params[i].bytes;
            if (isBlob[i]) {
                auto* id = reinterpret_cast<ISC_QUAD*>(data + off);
                Held<IBlob> blob(db->Attachment()->createBlob(&st, tr->Handle(), id, 0, nullptr));
                Check(st);
                for (qsizetype pos = 0; pos < b.size(); pos += 32768) {
                    const unsigned len = static_cast<unsigned>(std::min<qsizetype>(32768, b.size() - pos));
                    blob->putSegment(&st, len, b.constData() + pos);
                    Check(st);
                }
                blob->close(&st);
                Check(st);
                blob.take();  // a successful close gave the interface back
            } else {
                *reinterpret_cast<unsigned short*>(data + off) = static_cast<unsigned short>(b.size());
                std::memcpy(data + off + 2, b.constData(), b.size());
            }
        }
        return meta.take();
    }

    QByteArray ReadBlob(Status& st, const ISC_QUAD* id) {
        ISC_QUAD copy = *id;
        IBlob* blob = db->Attachment()->openBlob(&st, tr->Handle(), &copy, 0, nullptr);
        Check(st);
        QByteArray bytes;
        char chunk[32768];
        for (;;) {
            unsigned got = 0;
            const int rc = blob->getSegment(&st, sizeof chunk, chunk, &got);
            if (rc == IStatus::RESULT_OK || rc == IStatus::RESULT_SEGMENT) {
                bytes.append(chunk, got);
                continue;
            }
            if (rc == IStatus::RESULT_NO_DATA) break;
            blob->release();
            Check(st);
            break;
        }
        blob->close(&st);
        if (st.Failed()) blob->release();
        return bytes;
    }

    void Decode(Status& st, ResultRow& row) {
        const unsigned char* data = outBuffer.Data();
        const size_t n = outOffsets.size();
        row.values.resize(n);
        row.nulls.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const bool isNull = *reinterpret_cast<const short*>(data + outNullOffsets[i]) != 0;
            row.nulls[i] = isNull;
            if (isNull) {
                row.values[i] = QByteArray();
                continue;
            }
            const unsigned char* p = data + outOffsets[i];
            switch (outTypes[i]) {
                case SQL_VARYING: {
                    // Written into the value of the row before, when the one who took
                    // that row kept no copy of it: rows of thousands are read without
                    // a memory request for each value.
                    const unsigned short len = *reinterpret_cast<const unsigned short*>(p);
                    QByteArray& value = row.values[i];
                    value.resize(len);
                    if (len) std::memcpy(value.data(), p + 2, len);
                    break;
                }
                case SQL_LONG: row.values[i] = QByteArray::number(*reinterpret_cast<const ISC_LONG*>(p)); break;
                case SQL_SHORT: row.values[i] = QByteArray::number(*reinterpret_cast<const short*>(p)); break;
                case SQL_INT64:
                    row.values[i] = QByteArray::number(static_cast<qlonglong>(*reinterpret_cast<const ISC_INT64*>(p)));
                    break;
                case SQL_BLOB: row.values[i] = ReadBlob(st, reinterpret_cast<const ISC_QUAD*>(p)); break;
                default: row.values[i] = QByteArray(); break;
            }
        }
    }
};

Statement::Statement(Database* db, Transaction* tr, const QString& sql) : impl_(std::make_unique<Impl>()) {
    if (!db || !db->Connected()) throw DatabaseError(QStringLiteral("Няма връзка с базата данни."));
    if (!tr || !tr->Active()) throw DatabaseError(QStringLiteral("Транзакцията не е започната."));
    impl_->db = db;
    impl_->tr = tr;
    const QByteArray text = platform::EncodeCp1251(PositionalSql(sql, &paramNames_));
    Status st;
    impl_->stmt = db->Attachment()->prepare(&st, tr->Handle(), 0, text.constData(), static_cast<unsigned>(db->SQLDialect),
                                            IStatement::PREPARE_PREFETCH_METADATA);
    if (st.Failed()) {
        impl_->stmt = nullptr;
        ThrowFrom(st.Wrapper());
    }
    impl_->inMeta = impl_->stmt->getInputMetadata(&st);
    Check(st);
    Held<IMessageMetadata> out(impl_->stmt->getOutputMetadata(&st));
    Check(st);
    const unsigned count = out->getCount(&st);
    Held<IMetadataBuilder> builder(out->getBuilder(&st));
    Check(st);
    columns_.resize(count);
    for (unsigned i = 0; i < count; ++i) {
        const unsigned type = out->getType(&st, i) & ~1u;
        const int scale = out->getScale(&st, i);
        ColumnInfo& c = columns_[i];
        c.name = platform::DecodeCp1251(QByteArray(out->getAlias(&st, i))).toUpper();
        if (type == SQL_VARYING || type == SQL_TEXT) {
            c.kind = ColumnKind::Text;
            c.length = out->getLength(&st, i);
            builder->setType(&st, i, SQL_VARYING);
        } else if (IsIntegerType(type) && scale == 0) {
            c.kind = ColumnKind::Integer;
        } else if (type == SQL_BLOB) {
            c.kind = ColumnKind::Blob;
        } else {
            c.kind = ColumnKind::Other;
            builder->setType(&st, i, SQL_VARYING);
            builder->setLength(&st, i, 64);
            builder->setCharSet(&st, i, kCharsetNone);
        }
        Check(st);
    }
    impl_->outMeta = builder->getMetadata(&st);
    Check(st);
    impl_->outBuffer.Resize(impl_->outMeta->getMessageLength(&st));
    for (unsigned i = 0; i < count; ++i) {
        impl_->outOffsets.push_back(impl_->outMeta->getOffset(&st, i));
        impl_->outNullOffsets.push_back(impl_->outMeta->getNullOffset(&st, i));
        impl_->outTypes.push_back(impl_->outMeta->getType(&st, i) & ~1u);
    }
    Check(st);
}

Statement::~Statement() = default;

unsigned long long Statement::Execute(const std::vector<ParamValue>& params, ResultRow* returned) {
    Status st;
    AlignedBuffer in;
    Held<IMessageMetadata> meta(impl_->BuildInput(st, params, paramNames_, in));
    const bool hasOutput = !columns_.empty();
    impl_->stmt->execute(&st, impl_->tr->Handle(), meta.get(), in.Data(), hasOutput ? impl_->outMeta : nullptr,
                         hasOutput ? impl_->outBuffer.Data() : nullptr);
    Check(st);
    const unsigned long long affected = impl_->stmt->getAffectedRecords(&st);
    Check(st);
    if (returned && hasOutput) impl_->Decode(st, *returned);
    Check(st);
    return affected;
}

void Statement::Fetch(const std::vector<ParamValue>& params, const std::function<void(ResultRow&)>& sink) {
    Status st;
    AlignedBuffer in;
    Held<IMessageMetadata> meta(impl_->BuildInput(st, params, paramNames_, in));
    IResultSet* rs = impl_->stmt->openCursor(&st, impl_->tr->Handle(), meta.get(), in.Data(), impl_->outMeta, 0);
    Check(st);
    ResultRow row;
    try {
        for (;;) {
            const int rc = rs->fetchNext(&st, impl_->outBuffer.Data());
            if (rc != IStatus::RESULT_OK) {
                Check(st);
                break;
            }
            impl_->Decode(st, row);
            sink(row);
        }
    } catch (...) {
        rs->release();
        throw;
    }
    rs->close(&st);
    if (st.Failed()) {
        rs->release();
        Check(st);
    }
}

void SqlStatement::ExecQuery() {
    Statement s(DatabaseRef, TransactionRef, SQL.join(QLatin1Char('\n')));
    if (!s.ParamNames().isEmpty()) throw DatabaseError(QStringLiteral("Командата очаква параметри."));
    s.Execute({});
}

}  // namespace data
