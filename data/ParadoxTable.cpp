#include "data/ParadoxTable.h"

#include "platform/CodePage.h"
#include "platform/LocaleText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

extern "C" {
#include <paradox.h>
}

// pxlib 0.6.8 reads the .db file: its header, field list, record blocks and
// field values. Its own .mb handling cannot be used: opening a blob file for
// reading overruns a stack buffer (it reads a 12-byte block header into a
// 9-byte variable) and aborts the program, and it writes no graphic field.
// So the .mb blocks are read here, and pxlib is handed only files whose
// structure has been checked first, from memory.

namespace data {
namespace {

constexpr int kMbBlock = 4096;
constexpr int kGraphicHeader = 8;
constexpr long kSdnOffset = 1721425;  // serial day number of 31.12.0000
constexpr double kMsecsPerDay = 86400000.0;

unsigned Byte(const QByteArray& b, qsizetype at) { return static_cast<unsigned char>(b[at]); }
unsigned Le16(const QByteArray& b, qsizetype at) { return Byte(b, at) | (Byte(b, at + 1) << 8); }
int SignedLe16(const QByteArray& b, qsizetype at) { return static_cast<int16_t>(Le16(b, at)); }
quint32 Le32(const QByteArray& b, qsizetype at) { return Le16(b, at) | (quint32(Le16(b, at + 2)) << 16); }

struct PxError {
    std::string last;
};

void CollectError(pxdoc_t*, int type, const char* msg, void* data) {
    if (type == PX_Warning || !data || !msg) return;
    static_cast<PxError*>(data)->last = msg;
}

struct KindInfo {
    int pxType;
    FieldType type;
    bool blob;
};

constexpr KindInfo kKinds[] = {
    {pxfAlpha, FieldType::String, false},     {pxfDate, FieldType::Date, false},
    {pxfShort, FieldType::Smallint, false},   {pxfLong, FieldType::Integer, false},
    {pxfCurrency, FieldType::Currency, false}, {pxfNumber, FieldType::Float, false},
    {pxfLogical, FieldType::Boolean, false},  {pxfMemoBLOb, FieldType::Memo, true},
    {pxfBLOb, FieldType::Blob, true},         {pxfFmtMemoBLOb, FieldType::FmtMemo, true},
    {pxfOLE, FieldType::OLE, true},           {pxfGraphic, FieldType::Graphic, true},
    {pxfTime, FieldType::Time, false},        {pxfTimestamp, FieldType::DateTime, false},
    {pxfAutoInc, FieldType::AutoInc, false},  {pxfBCD, FieldType::BCD, false},
    {pxfBytes, FieldType::Bytes, false},
};

const KindInfo* KindOfPx(int pxType) {
    for (const auto& k : kKinds)
        if (k.pxType == pxType) return &k;
    return nullptr;
}

// Bytes a field takes in the record; 0 for a length the kind cannot have.
int RecordLength(int pxType, int stored) {
    switch (pxType) {
    case pxfAlpha:
    case pxfBytes: return stored >= 1 && stored <= 255 ? stored : 0;
    case pxfShort: return stored == 2 ? 2 : 0;
    case pxfLogical: return stored == 1 ? 1 : 0;
    case pxfDate:
    case pxfLong:
    case pxfTime:
    case pxfAutoInc: return stored == 4 ? 4 : 0;
    case pxfCurrency:
    case pxfNumber:
    case pxfTimestamp: return stored == 8 ? 8 : 0;
    case pxfBCD: return stored <= 32 ? 17 : 0;  // stored is the number of decimals
    default: return stored >= 10 && stored <= 250 ? stored : 0;  // blobs: leader + 10
    }
}

// The structure of a .db file as far as reading it needs.
struct DbLayout {
    int recordSize = 0;
    int recordCount = 0;
    int numFields = 0;
    std::vector<int> pxTypes;
    std::vector<int> lengths;
};

// Checks everything pxlib will read, so that it never runs past the data.
// Returns the reason in Bulgarian, or the empty text; damaged is false when
// the file is no table at all rather than a damaged one.
QString CheckDb(const QByteArray& b, DbLayout& out, bool& damaged) {
    const qsizetype size = b.size();
    damaged = false;
    if (size == 0) return QStringLiteral("файлът е празен");
    // Shorter than the fixed part of any table's header: not a cut table but
    // some other file.
    if (size < 0x58) return QStringLiteral("това не е файл с таблица на Paradox (файлът има само %1 байта)").arg(size);
    const int recordSize = static_cast<int>(Le16(b, 0x00));
    const int headerSize = static_cast<int>(Le16(b, 0x02));
    const int fileType = static_cast<int>(Byte(b, 0x04));
    const int blockKb = static_cast<int>(Byte(b, 0x05));
    const qint64 numRecords = static_cast<qint32>(Le32(b, 0x06));
    const int fileBlocks = static_cast<int>(Le16(b, 0x0C));
    const int firstBlock = static_cast<int>(Le16(b, 0x0E));
    const int numFields = static_cast<int>(Le16(b, 0x21));
    const int version = static_cast<int>(Byte(b, 0x39));

    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        return QStringLiteral("това не е файл с таблица на Paradox");
    damaged = true;
    if (version < 3 || version > 15) return QStringLiteral("непозната версия на формата");
    if (blockKb < 1 || blockKb > 32) return QStringLiteral("непознат размер на блоковете");
    if (recordSize == 0 || headerSize == 0 || headerSize > size)
        return QStringLiteral("заглавната част е непълна");
    if (numFields < 1 || numFields > 1024) return QStringLiteral("непознат брой полета");

    const bool dataHeader = version >= 5;  // format 4.0 and later
    if (dataHeader && size < 0x78) return QStringLiteral("заглавната част е непълна");
    quint32 encryption = Le32(b, 0x25);
    if (encryption == 0xFF00FF00u) encryption = dataHeader ? Le32(b, 0x5C) : 0;
    if (encryption != 0) return QStringLiteral("таблицата е защитена с парола");

    // Field list, the table name pointer, the field name pointers, the table
    // name, then the field names, each ended by a zero byte.
    qsizetype at = dataHeader ? 0x78 : 0x58;
    if (at + qsizetype(numFields) * 2 > headerSize) return QStringLiteral("заглавната част е непълна");
    int sum = 0;
    for (int i = 0; i < numFields; ++i) {
        const int pxType = static_cast<int>(Byte(b, at + 2 * i));
        const int stored = static_cast<int>(Byte(b, at + 2 * i + 1));
        if (!KindOfPx(pxType)) return QStringLiteral("поле %1 е от непознат вид").arg(i + 1);
        const int length = RecordLength(pxType, stored);
        if (length == 0) return QStringLiteral("поле %1 има невъзможен размер").arg(i + 1);
        out.pxTypes.push_back(pxType);
        out.lengths.push_back(length);
        sum += length;
    }
    if (sum != recordSize) return QStringLiteral("размерът на записа не отговаря на полетата");
    at += qsizetype(numFields) * 2 + 4 + qsizetype(numFields) * 4;
    at += version == 12 ? 261 : 79;
    std::vector<std::pair<qsizetype, qsizetype>> names;  // start and end of each
    for (int i = 0; i < numFields; ++i) {
        if (at >= headerSize) return QStringLiteral("имената на полетата са непълни");
        const qsizetype end = b.indexOf('\0', at);
        if (end < 0 || end >= headerSize || end - at > 255) return QStringLiteral("имената на полетата са непълни");
        names.emplace_back(at, end);
        at = end + 1;
    }
    // The field numbers follow the names, each field's number once. Where the
    // byte that ends a name is damaged, the names run together and every later
    // name slides one field along: they no longer fill exactly the field count,
    // and what follows them is not the field numbers.
    if (at + qsizetype(numFields) * 2 > headerSize)
        return QStringLiteral("имената на полетата не отговарят на броя на полетата");
    std::vector<bool> numbered(static_cast<size_t>(numFields) + 1, false);
    for (int i = 0; i < numFields; ++i) {
        const int number = static_cast<int>(Le16(b, at + 2 * i));
        if (number < 1 || number > numFields || numbered[static_cast<size_t>(number)])
            return QStringLiteral("имената на полетата не отговарят на броя на полетата");
        numbered[static_cast<size_t>(number)] = true;
    }
    for (int i = 0; i < numFields; ++i) {
        const auto [start, end] = names[static_cast<size_t>(i)];
        if (end == start) return QStringLiteral("името на поле %1 е празно").arg(i + 1);
        for (qsizetype c = start; c < end; ++c)
            if (Byte(b, c) < 0x20) return QStringLiteral("името на поле %1 е повредено").arg(i + 1);
    }

    // The chain of data blocks, in the table's order.
    const qint64 blockSize = qint64(blockKb) * 1024;
    if (blockSize < 6 + recordSize) return QStringLiteral("записът е по-голям от блока");
    const int perBlock = static_cast<int>((blockSize - 6) / recordSize);
    const qint64 blocksInFile = (size - headerSize + blockSize - 1) / blockSize;
    qint64 counted = 0;
    int chain = 0;
    std::vector<bool> seen(static_cast<size_t>(blocksInFile) + 1, false);
    for (int block = firstBlock; block != 0;) {
        if (block > blocksInFile) return QStringLiteral("краят на файла липсва");
        if (seen[static_cast<size_t>(block)] || ++chain > fileBlocks)
            return QStringLiteral("веригата от блокове с данни е нарушена");
        seen[static_cast<size_t>(block)] = true;
        const qint64 start = headerSize + qint64(block - 1) * blockSize;
        if (start + 6 > size) return QStringLiteral("краят на файла липсва");
        const int added = SignedLe16(b, start + 4);
        if (added < -recordSize || (added >= 0 && added % recordSize != 0))
            return QStringLiteral("блок %1 е повреден").arg(block);
        const int records = added < 0 ? 0 : added / recordSize + 1;
        if (records > perBlock) return QStringLiteral("блок %1 е повреден").arg(block);
        if (start + 6 + qint64(records) * recordSize > size) return QStringLiteral("краят на файла липсва");
        counted += records;
        block = static_cast<int>(Le16(b, start));
    }
    if (counted != numRecords) return QStringLiteral("броят на записите не отговаря на блоковете с данни");

    out.recordSize = recordSize;
    out.recordCount = static_cast<int>(numRecords);
    out.numFields = numFields;
    return {};
}

QString LowerName(const QString& name) { return name.toLower(); }

// Text as the older version showed it. It ran on Bulgarian Windows, whose
// table driver passed the bytes of a Windows code page through unchanged and
// converted a DOS code page to Windows text: so a table that names a Windows
// code page (1250, 1251, 1252, ...) or none holds Windows-1251, and one that
// names a DOS code page reads in that page.
QString Decode(const QByteArray& bytes, int codePage) {
    return platform::IsDosCodePage(codePage) ? platform::DecodeDosCodePage(bytes, codePage)
                                             : platform::DecodeCp1251(bytes);
}

QString CurrencyText(double value) {
    QString text = QString::number(value, 'f', platform::CurrencyDecimals());
    text.replace(u'.', platform::DecimalSeparator());
    return text;
}

QDate DateOfDays(long days) {
    int year = 0, month = 0, day = 0;
    PX_SdnToGregorian(days + kSdnOffset, &year, &month, &day);
    return QDate(year, month, day);
}

QString TimeText(qint64 msecs) { return QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)).toString(u"HH:mm:ss"); }

QString MbFileName(const QString& dbFileName) {
    const QFileInfo info(dbFileName);
    const QString suffix = info.suffix();
    const bool upper = !suffix.isEmpty() && suffix == suffix.toUpper() && suffix != suffix.toLower();
    return info.completeBaseName() + (upper ? QStringLiteral(".MB") : QStringLiteral(".mb"));
}

}  // namespace

QString FindTableFile(const QString& folder, const QString& fileName) {
    if (fileName.isEmpty()) return {};
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QString exact = dir.filePath(fileName);
    if (QFileInfo(exact).isFile()) return exact;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names)
        if (name.compare(fileName, Qt::CaseInsensitive) == 0) return dir.filePath(name);
    return {};
}

struct TTable::FieldInfo {
    QString name;
    FieldType type;
    int pxType;
    int offset;
    int length;
    int decimals;  // BCD only
};

struct TTable::State {
    QString dbPath;
    QString mbPath;
    QByteArray db;
    QByteArray mb;
    int codePage = 0;  // as the header names it; 0 when it names none
    FILE* fp = nullptr;
    pxdoc_t* doc = nullptr;
    PxError error;
    std::vector<FieldInfo> fields;
    QHash<QString, int> byName;
    int recordSize = 0;
    int recordCount = 0;
    int recNo = 0;
    QByteArray record;

    ~State() {
        if (doc) {
            PX_close(doc);
            PX_delete(doc);
        }
        if (fp) std::fclose(fp);
    }
};

TTable::TTable(QString tableName) { SetTableName(tableName); }

TTable::~TTable() = default;

QString TTable::DisplayName() const { return tableName_; }

void TTable::SetDatabaseName(const QString& folder) {
    if (folder == databaseName_) return;
    if (Active())
        throw TableError(QStringLiteral("Таблицата „%1“ е отворена: папката ѝ не може да бъде сменена.").arg(DisplayName()));
    databaseName_ = folder;
}

void TTable::SetTableName(const QString& name) {
    QString full = name;
    if (!full.isEmpty() && QFileInfo(full).suffix().isEmpty()) full += QStringLiteral(".db");
    if (full == tableName_) return;
    if (Active())
        throw TableError(QStringLiteral("Таблицата „%1“ е отворена: името ѝ не може да бъде сменено.").arg(DisplayName()));
    tableName_ = full;
}

QString TTable::FilePath() const {
    return databaseName_.isEmpty() ? tableName_ : QDir(databaseName_).filePath(tableName_);
}

void TTable::AddFieldDef(const QString& name, FieldType type, int size, bool required) {
    FieldDefs.push_back(FieldDef{name, type, size, required});
}

void TTable::Open() {
    if (Active()) return;
    const QString wanted = FilePath();
    const auto fail = [&](const QString& reason) {
        return TableError(QStringLiteral("Таблицата „%1“ не може да бъде отворена: %2.").arg(wanted, reason));
    };
    if (tableName_.isEmpty()) throw TableError(QStringLiteral("Не е дадено име на таблица."));

    auto state = std::make_unique<State>();
    state->dbPath = FindTableFile(databaseName_, tableName_);
    if (state->dbPath.isEmpty()) throw fail(QStringLiteral("файлът не съществува"));
    {
        QFile file(state->dbPath);
        if (!file.open(QIODevice::ReadOnly)) throw fail(QStringLiteral("файлът не може да бъде прочетен (%1)").arg(file.errorString()));
        state->db = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw fail(QStringLiteral("файлът не може да бъде прочетен (%1)").arg(file.errorString()));
    }

    DbLayout layout;
    bool damaged = true;
    if (const QString reason = CheckDb(state->db, layout, damaged); !reason.isEmpty())
        throw fail(damaged ? QStringLiteral("файлът е повреден (%1)").arg(reason) : reason);

    state->fp = fmemopen(state->db.data(), static_cast<size_t>(state->db.size()), "rb");
    if (!state->fp) throw fail(QStringLiteral("няма достатъчно памет"));
    state->doc = PX_new3(CollectError, nullptr, nullptr, nullptr, &state->error);
    if (!state->doc) throw fail(QStringLiteral("няма достатъчно памет"));
    if (PX_open_fp(state->doc, state->fp) < 0)
        throw fail(QStringLiteral("файлът е повреден (%1)").arg(QString::fromStdString(state->error.last)));
    if (PX_get_num_fields(state->doc) != layout.numFields || PX_get_recordsize(state->doc) != layout.recordSize ||
        PX_get_num_records(state->doc) != layout.recordCount)
        throw fail(QStringLiteral("файлът е повреден (заглавната част е противоречива)"));
    state->codePage = state->doc->px_head ? state->doc->px_head->px_doscodepage : 0;

    bool needsMb = false;
    int offset = 0;
    for (int i = 0; i < layout.numFields; ++i) {
        const pxfield_t* px = PX_get_field(state->doc, i);
        if (!px) throw fail(QStringLiteral("файлът е повреден (полетата не могат да бъдат прочетени)"));
        const KindInfo* kind = KindOfPx(static_cast<unsigned char>(px->px_ftype));
        FieldInfo field{Decode(QByteArray(px->px_fname ? px->px_fname : ""), state->codePage), kind->type, kind->pxType,
                        offset, layout.lengths[i], kind->pxType == pxfBCD ? px->px_fdc : 0};
        if (px->px_flen != field.length) throw fail(QStringLiteral("файлът е повреден (заглавната част е противоречива)"));
        needsMb = needsMb || kind->blob;
        offset += field.length;
        state->byName.insert(LowerName(field.name), static_cast<int>(state->fields.size()));
        state->fields.push_back(field);
    }

    if (needsMb) {
        const QString mbName = MbFileName(QFileInfo(state->dbPath).fileName());
        state->mbPath = FindTableFile(QFileInfo(state->dbPath).absolutePath(), mbName);
        if (state->mbPath.isEmpty())
            throw fail(QStringLiteral("липсва файлът „%1“ с бележките и картините")
                           .arg(QDir(QFileInfo(state->dbPath).path()).filePath(mbName)));
        QFile file(state->mbPath);
        if (!file.open(QIODevice::ReadOnly))
            throw fail(QStringLiteral("файлът „%1“ не може да бъде прочетен (%2)").arg(state->mbPath, file.errorString()));
        state->mb = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw fail(QStringLiteral("файлът „%1“ не може да бъде прочетен (%2)").arg(state->mbPath, file.errorString()));
        if (state->mb.size() < 9 || Byte(state->mb, 0) != 0)
            throw fail(QStringLiteral("файлът „%1“ е повреден (заглавната част е непълна)").arg(state->mbPath));
    }

    state->recordSize = layout.recordSize;
    state->recordCount = layout.recordCount;
    state->record = QByteArray(layout.recordSize, '\0');

    std::vector<FieldDef> defs;
    for (const FieldInfo& f : state->fields) {
        int size = 0;
        if (f.pxType == pxfAlpha || f.pxType == pxfBytes) size = f.length;
        else if (KindOfPx(f.pxType)->blob) size = f.length - 10;
        else if (f.pxType == pxfBCD) size = f.decimals;
        defs.push_back(FieldDef{f.name, f.type, size, false});
    }

    state_ = std::move(state);
    FieldDefs = std::move(defs);
    if (state_->recordCount > 0) {
        try {
            SetRecNo(1);
        } catch (...) {
            state_.reset();
            throw;
        }
    }
}

void TTable::Close() { state_.reset(); }

const TTable::State& TTable::Opened() const {
    if (!state_) throw TableError(QStringLiteral("Таблицата „%1“ не е отворена.").arg(DisplayName()));
    return *state_;
}

int TTable::RecordCount() const { return Opened().recordCount; }

int TTable::CodePage() const { return Opened().codePage; }

QString TTable::CodePageProblem() const {
    const int page = CodePage();
    if (page == 0 || platform::IsDosCodePage(page) || platform::IsWindowsCodePage(page)) return {};
    return QStringLiteral("таблицата е в кодова таблица %1, която програмата не познава: текстовете ѝ са прочетени като "
                          "Windows-1251 и може да не са верни")
        .arg(page);
}

int TTable::RecNo() const { return Opened().recNo; }

void TTable::SetRecNo(int recNo) {
    Opened();
    State& s = *state_;
    if (recNo < 1 || recNo > s.recordCount || recNo == s.recNo) return;
    if (!PX_get_record(s.doc, recNo - 1, s.record.data()))
        throw TableError(QStringLiteral("Запис %1 на таблицата „%2“ не може да бъде прочетен: %3.")
                             .arg(recNo)
                             .arg(s.dbPath, QString::fromStdString(s.error.last)));
    s.recNo = recNo;
}

int TTable::FieldCount() const { return static_cast<int>(Opened().fields.size()); }

QStringList TTable::FieldNames() const {
    QStringList names;
    for (const FieldInfo& f : Opened().fields) names << f.name;
    return names;
}

bool TTable::HasField(const QString& name) const { return Opened().byName.contains(LowerName(name)); }

const TTable::FieldInfo& TTable::Find(const QString& name) const {
    const State& s = Opened();
    const auto it = s.byName.constFind(LowerName(name));
    if (it == s.byName.cend())
        throw TableError(QStringLiteral("Полето „%1“ не е намерено в таблицата „%2“.").arg(name, DisplayName()));
    return s.fields[static_cast<size_t>(*it)];
}

FieldType TTable::FieldKind(const QString& name) const { return Find(name).type; }

QByteArray TTable::Raw(const FieldInfo& field) const {
    const State& s = Opened();
    if (s.recNo == 0) return QByteArray(field.length, '\0');  // an empty table has only null values
    return s.record.mid(field.offset, field.length);
}

QByteArray TTable::BlobBytes(const FieldInfo& field) const {
    const State& s = Opened();
    const QByteArray raw = Raw(field);
    const int leader = field.length - 10;
    const quint32 pointer = Le32(raw, leader);
    const qint64 size = Le32(raw, leader + 4);
    if (size == 0) return {};
    const auto damaged = [&](const QString& reason) {
        return TableError(QStringLiteral("Полето „%1“ на запис %2 в таблицата „%3“ не може да бъде прочетено: %4.")
                              .arg(field.name)
                              .arg(s.recNo)
                              .arg(s.dbPath, reason));
    };
    const qint64 block = pointer & 0xFFFFFF00u;
    const unsigned index = pointer & 0xFFu;
    if (block == 0) {
        if (size <= leader) return raw.left(static_cast<int>(size));
        throw damaged(QStringLiteral("липсва указател към файла „%1“").arg(s.mbPath));
    }
    const QByteArray& mb = s.mb;
    const auto broken = [&](const QString& what) {
        return damaged(QStringLiteral("файлът „%1“ е повреден (%2)").arg(s.mbPath, what));
    };
    if (block % kMbBlock != 0 || block + 12 > mb.size()) throw broken(QStringLiteral("указателят сочи извън файла"));
    const unsigned type = Byte(mb, block);
    if (index == 0xFF) {
        // A block of its own: type 2, chunks, length, modification number, data.
        if (type != 2) throw broken(QStringLiteral("блокът не е от очаквания вид"));
        if (Le32(mb, block + 3) != size) throw broken(QStringLiteral("дължината не съвпада"));
        if (block + 9 + size > mb.size()) throw broken(QStringLiteral("краят на файла липсва"));
        return mb.mid(block + 9, static_cast<qsizetype>(size));
    }
    if (index >= 64) throw broken(QStringLiteral("указателят е невъзможен"));
    // A block shared by up to 64 small values: type 3, then a table of
    // 5-byte entries (offset / 16, length in 16-byte units, modification
    // number, bytes used of the last unit).
    if (type != 3) throw broken(QStringLiteral("блокът не е от очаквания вид"));
    const qint64 entry = block + 12 + qint64(index) * 5;
    if (entry + 5 > mb.size()) throw broken(QStringLiteral("краят на файла липсва"));
    const qint64 start = block + qint64(Byte(mb, entry)) * 16;
    const qint64 units = Byte(mb, entry + 1);
    if (Byte(mb, entry) == 0 || units == 0 || (units - 1) * 16 + Byte(mb, entry + 4) != size)
        throw broken(QStringLiteral("дължината не съвпада"));
    if (start + size > block + kMbBlock || start + size > mb.size()) throw broken(QStringLiteral("краят на файла липсва"));
    return mb.mid(start, static_cast<qsizetype>(size));
}

bool TTable::IsNull(const QString& name) const {
    const FieldInfo& field = Find(name);
    if (KindOfPx(field.pxType)->blob) {
        const QByteArray raw = Raw(field);
        return Le32(raw, field.length - 6) == 0;
    }
    const QByteArray raw = Raw(field);
    if (field.pxType == pxfAlpha) return raw[0] == '\0';
    return raw.count('\0') == raw.size();
}

QByteArray TTable::FieldBytes(const QString& name) const {
    const FieldInfo& field = Find(name);
    if (KindOfPx(field.pxType)->blob) return BlobBytes(field);
    QByteArray raw = Raw(field);
    if (field.pxType == pxfAlpha) {
        const qsizetype end = raw.indexOf('\0');
        if (end >= 0) raw.truncate(end);
    }
    return raw;
}

QByteArray TTable::Picture(const QString& name) const {
    const FieldInfo& field = Find(name);
    QByteArray bytes = FieldBytes(name);
    // Pictures are stored after an 8-byte header whose last four bytes give
    // the picture's length; a value without it is taken whole.
    if (field.pxType == pxfGraphic && bytes.size() >= kGraphicHeader &&
        Le32(bytes, 4) == quint32(bytes.size() - kGraphicHeader))
        bytes.remove(0, kGraphicHeader);
    return bytes;
}

QString TTable::StoredText(const FieldInfo& field) const {
    const State& s = Opened();
    if (KindOfPx(field.pxType)->blob) return Decode(BlobBytes(field), s.codePage);
    QByteArray raw = Raw(field);
    // A field whose bytes are all zero is blank, whatever its kind (pxlib
    // tests eight bytes for a four-byte long, so a blank one read as the
    // smallest number when the next field held anything).
    if (raw.count('\0') == raw.size()) return {};
    char* data = raw.data();
    pxdoc_t* doc = s.doc;
    switch (field.pxType) {
    case pxfAlpha: {
        char* value = nullptr;
        if (PX_get_data_alpha(doc, data, field.length, &value) <= 0 || !value) return {};
        const QByteArray bytes(value, static_cast<qsizetype>(strnlen(value, static_cast<size_t>(field.length))));
        doc->free(doc, value);
        return Decode(bytes, s.codePage);
    }
    case pxfBytes: return Decode(raw, s.codePage);
    case pxfShort: {
        short value = 0;
        if (PX_get_data_short(doc, data, field.length, &value) <= 0) return {};
        return QString::number(value);
    }
    case pxfLong:
    case pxfAutoInc: {
        long value = 0;
        if (PX_get_data_long(doc, data, field.length, &value) <= 0) return {};
        return QString::number(value);
    }
    case pxfNumber:
    case pxfCurrency: {
        double value = 0;
        if (PX_get_data_double(doc, data, field.length, &value) <= 0) return {};
        return field.pxType == pxfCurrency ? CurrencyText(value) : platform::FloatToStr(value);
    }
    case pxfLogical: {
        char value = 0;
        if (PX_get_data_byte(doc, data, field.length, &value) <= 0) return {};
        return platform::BoolToStr(value != 0);
    }
    case pxfDate: {
        long days = 0;
        if (PX_get_data_long(doc, data, field.length, &days) <= 0) return {};
        if (days < 1) return {};  // before the calendar's first day: ValueProblem names it
        return platform::DateToStr(DateOfDays(days));
    }
    case pxfTime: {
        long msecs = 0;
        if (PX_get_data_long(doc, data, field.length, &msecs) <= 0) return {};
        return TimeText(msecs);
    }
    case pxfTimestamp: {
        double msecs = 0;
        if (PX_get_data_double(doc, data, field.length, &msecs) <= 0) return {};
        if (!(msecs >= kMsecsPerDay && msecs < 1e17)) return {};  // before day 1, or beyond any calendar
        const qint64 whole = static_cast<qint64>(msecs);
        const QString date = platform::DateToStr(DateOfDays(static_cast<long>(whole / 86400000)));
        const qint64 time = whole % 86400000;
        return time == 0 ? date : date + u' ' + TimeText(time);
    }
    case pxfBCD: {
        char* value = nullptr;
        if (PX_get_data_bcd(doc, reinterpret_cast<unsigned char*>(data), field.decimals, &value) <= 0 || !value)
            return {};
        const QString text = QString::fromLatin1(value);
        doc->free(doc, value);
        bool ok = false;
        const double number = text.toDouble(&ok);
        return ok ? platform::FloatToStr(number) : QString();
    }
    default: return {};
    }
}

QString TTable::ValueProblem(const QString& name) const {
    const FieldInfo& field = Find(name);
    if (field.pxType != pxfDate && field.pxType != pxfTimestamp) return {};
    QByteArray raw = Raw(field);
    if (raw.count('\0') == raw.size()) return {};
    pxdoc_t* doc = Opened().doc;
    QString day;
    if (field.pxType == pxfDate) {
        long days = 0;
        if (PX_get_data_long(doc, raw.data(), field.length, &days) <= 0 || days >= 1) return {};
        day = QString::number(days);
    } else {
        double msecs = 0;
        if (PX_get_data_double(doc, raw.data(), field.length, &msecs) <= 0) return {};
        if (msecs >= kMsecsPerDay && msecs < 1e17) return {};
        if (!(msecs < kMsecsPerDay)) return QStringLiteral("датата е извън календара");
        day = QString::number(std::floor(msecs / kMsecsPerDay), 'f', 0);
    }
    return QStringLiteral("датата е преди 01.01.0001 (ден %1 от календара)").arg(day);
}

QString TTable::FieldText(const QString& name) const {
    const FieldInfo& field = Find(name);
    const auto handler = getText_.constFind(LowerName(name));
    if (handler != getText_.cend() && *handler) return (*handler)();
    return StoredText(field);
}

QString TTable::MemoText(const QString& name) const { return StoredText(Find(name)); }

QString TTable::UnroundedText(const QString& name) const {
    const FieldInfo& field = Find(name);
    if (field.pxType != pxfCurrency) return StoredText(field);
    QByteArray raw = Raw(field);
    double value = 0;
    if (raw.count('\0') == raw.size() || PX_get_data_double(Opened().doc, raw.data(), field.length, &value) <= 0) return {};
    return platform::FloatToStr(value);
}

void TTable::SetGetTextHandler(const QString& fieldName, std::function<QString()> handler) {
    if (handler) getText_.insert(LowerName(fieldName), std::move(handler));
    else getText_.remove(LowerName(fieldName));
}

void TTable::CreateTable() {
    const QString path = FilePath();
    const auto fail = [&](const QString& reason) {
        return TableError(QStringLiteral("Таблицата „%1“ не може да бъде създадена: %2.").arg(path, reason));
    };
    if (tableName_.isEmpty()) throw TableError(QStringLiteral("Не е дадено име на таблица."));
    if (Active()) throw fail(QStringLiteral("таблицата е отворена"));
    if (FieldDefs.empty()) throw fail(QStringLiteral("не са определени полета"));

    // Check every definition before a file is touched.
    struct Column {
        QByteArray name;
        int pxType;
        int length;
    };
    std::vector<Column> columns;
    QStringList seen;
    bool needsMb = false;
    for (const FieldDef& def : FieldDefs) {
        if (def.Name.isEmpty() || def.Name.size() > 25)
            throw fail(QStringLiteral("името на полето „%1“ трябва да е от 1 до 25 знака").arg(def.Name));
        if (seen.contains(def.Name, Qt::CaseInsensitive)) throw fail(QStringLiteral("полето „%1“ е дадено два пъти").arg(def.Name));
        seen << def.Name;
        if (def.Required)
            throw fail(QStringLiteral("полето „%1“ не може да бъде задължително: таблицата не пази такова условие").arg(def.Name));
        QByteArray name;
        try {
            name = platform::EncodeCp1251(def.Name);
        } catch (const platform::EEncodingError& e) {
            throw fail(e.Message());
        }
        // Only what the one table the program creates, ae.db, holds: strings
        // and one picture.
        int length = 0;
        int pxType = pxfAlpha;
        if (def.DataType == FieldType::String) {
            if (def.Size < 1 || def.Size > 255) throw fail(QStringLiteral("размерът на полето „%1“ трябва да е от 1 до 255").arg(def.Name));
            length = def.Size;
        } else if (def.DataType == FieldType::Graphic) {
            if (def.Size < 0 || def.Size > 240) throw fail(QStringLiteral("размерът на полето „%1“ трябва да е от 0 до 240").arg(def.Name));
            length = def.Size + 10;
            pxType = pxfGraphic;
            needsMb = true;
        } else {
            throw fail(QStringLiteral("полето „%1“ е от вид, който не се създава").arg(def.Name));
        }
        columns.push_back(Column{name, pxType, length});
    }

    const QString folder = databaseName_.isEmpty() ? QStringLiteral(".") : databaseName_;
    if (!QFileInfo(folder).isDir()) throw fail(QStringLiteral("папката не съществува"));
    if (const QString existing = FindTableFile(databaseName_, tableName_); !existing.isEmpty())
        throw fail(QStringLiteral("вече има такава таблица („%1“)").arg(existing));
    const QString mbPath = QDir(folder).filePath(MbFileName(tableName_));

    PxError error;
    pxdoc_t* doc = PX_new3(CollectError, nullptr, nullptr, nullptr, &error);
    if (!doc) throw fail(QStringLiteral("няма достатъчно памет"));
    auto* fields = static_cast<pxfield_t*>(doc->malloc(doc, sizeof(pxfield_t) * columns.size(), "field definitions"));
    if (!fields) {
        PX_delete(doc);
        throw fail(QStringLiteral("няма достатъчно памет"));
    }
    for (size_t i = 0; i < columns.size(); ++i) {
        fields[i].px_fname = PX_strdup(doc, columns[i].name.constData());
        fields[i].px_ftype = static_cast<char>(columns[i].pxType);
        fields[i].px_flen = columns[i].length;
        fields[i].px_fdc = 0;
    }

    FILE* fp = std::fopen(QFile::encodeName(path).constData(), "w+b");
    if (!fp) {
        for (size_t i = 0; i < columns.size(); ++i) doc->free(doc, fields[i].px_fname);
        doc->free(doc, fields);
        PX_delete(doc);
        throw fail(QStringLiteral("файлът не може да бъде записан (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))));
    }
    bool ok = PX_create_fp(doc, fields, static_cast<int>(columns.size()), fp, pxfFileTypNonIndexDB) == 0;
    if (ok) {
        doc->px_head->px_doscodepage = 1251;
        ok = PX_set_tablename(doc, QFile::encodeName(tableName_).constData()) == 0;
    }
    if (ok && needsMb) ok = PX_set_blob_file(doc, QFile::encodeName(mbPath).constData()) == 0;
    PX_close(doc);
    PX_delete(doc);
    ok = std::fflush(fp) == 0 && ok;
    ok = std::fclose(fp) == 0 && ok;
    if (!ok) {
        QFile::remove(path);
        if (needsMb) QFile::remove(mbPath);
        throw fail(QString::fromStdString(error.last.empty() ? std::string("pxlib") : error.last));
    }
}

}  // namespace data
