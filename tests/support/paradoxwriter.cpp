#include "support/paradoxwriter.h"

#include "data/OldTableMap.h"
#include "data/Schema.h"

#include <QFile>
#include <QFileInfo>

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>

extern "C" {
#include <paradox.h>
}

namespace testsupport {
namespace {

// Each kind's pxlib type and bytes in the record, in the order of PxKind; 0
// bytes: the column's size (Alpha), or its size and 10 (Memo, Graphic).
// pxlib writes memo blobs only; pictures are written as memos and get their
// own field type afterwards, in the header's field list.
constexpr std::pair<int, int> kKinds[] = {{pxfAlpha, 0},  {pxfShort, 2},     {pxfLong, 4},     {pxfAutoInc, 4},
                                          {pxfNumber, 8}, {pxfCurrency, 8},  {pxfLogical, 1},  {pxfDate, 4},
                                          {pxfTime, 4},   {pxfTimestamp, 8}, {pxfMemoBLOb, 0}, {pxfGraphic, 0}};

int PxType(PxKind kind) { return kKinds[int(kind)].first; }
bool IsBlob(PxKind kind) { return kind >= PxKind::Memo; }
int Length(const PxColumn& c) {
    const int bytes = kKinds[int(c.kind)].second;
    return bytes ? bytes : IsBlob(c.kind) ? c.size + 10 : c.size;
}

QByteArray GraphicValue(const QByteArray& picture) {
    QByteArray header(8, '\0');
    header[0] = 1;  // one picture
    header[3] = 1;
    const quint32 n = static_cast<quint32>(picture.size());
    for (int i = 0; i < 4; ++i) header[4 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    return header + picture;
}

void Fail(const std::string& what, const QString& path) { throw std::runtime_error(what + ": " + path.toStdString()); }

// Through the C library's converter, not the program's own tables.
QByteArray Encode(const QString& text, int codePage) {
    iconv_t cd = iconv_open(("CP" + std::to_string(codePage)).c_str(), "UTF-8");
    if (cd == iconv_t(-1)) Fail("no converter for code page " + std::to_string(codePage), text);
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() + 1, '\0');
    char* from = in.data();
    char* to = out.data();
    size_t left = size_t(in.size()), room = size_t(out.size());
    const bool ok = iconv(cd, &from, &left, &to, &room) != size_t(-1);
    iconv_close(cd);
    if (!ok) Fail("not in code page " + std::to_string(codePage), text);
    out.truncate(out.size() - qsizetype(room));
    return out;
}

}  // namespace

QString DecodeWithCLibrary(const QByteArray& bytes, int codePage) {
    iconv_t cd = iconv_open("UTF-8", ("CP" + std::to_string(codePage)).c_str());
    if (cd == iconv_t(-1)) Fail("no converter for code page " + std::to_string(codePage), {});
    QByteArray in = bytes;
    QByteArray out(in.size() * 4 + 4, '\0');
    char* from = in.data();
    char* to = out.data();
    size_t left = size_t(in.size()), room = size_t(out.size());
    const bool ok = iconv(cd, &from, &left, &to, &room) != size_t(-1);
    iconv_close(cd);
    if (!ok) return {};
    out.truncate(out.size() - qsizetype(room));
    return QString::fromUtf8(out);
}

void WriteParadoxTable(const QString& path, const std::vector<PxColumn>& columns, const std::vector<PxRow>& rows,
                       int codePage, int headerCodePage) {
    pxdoc_t* doc = PX_new();
    auto* fields = static_cast<pxfield_t*>(doc->malloc(doc, sizeof(pxfield_t) * columns.size(), "fields"));
    bool blobs = false;
    for (size_t i = 0; i < columns.size(); ++i) {
        const QByteArray name = Encode(columns[i].name, codePage);
        fields[i].px_fname = PX_strdup(doc, name.constData());
        fields[i].px_ftype = static_cast<char>(IsBlob(columns[i].kind) ? pxfMemoBLOb : PxType(columns[i].kind));
        fields[i].px_flen = Length(columns[i]);
        fields[i].px_fdc = 0;
        blobs = blobs || IsBlob(columns[i].kind);
    }

    FILE* fp = std::fopen(QFile::encodeName(path).constData(), "w+b");
    if (!fp) Fail("cannot create", path);
    if (PX_create_fp(doc, fields, static_cast<int>(columns.size()), fp, pxfFileTypNonIndexDB) < 0) Fail("PX_create_fp", path);
    doc->px_head->px_doscodepage = headerCodePage >= 0 ? headerCodePage : codePage;
    PX_set_tablename(doc, QFile::encodeName(QFileInfo(path).fileName()).constData());
    if (blobs) {
        const QFileInfo info(path);
        const QString mb = info.absolutePath() + u'/' + info.completeBaseName() + (info.suffix() == QStringLiteral("DB") ? QStringLiteral(".MB") : QStringLiteral(".mb"));
        if (PX_set_blob_file(doc, QFile::encodeName(mb).constData()) < 0) Fail("PX_set_blob_file", mb);
    }

    for (const PxRow& row : rows) {
        if (row.size() != columns.size()) Fail("row width", path);
        std::vector<pxval_t*> values(columns.size());
        std::vector<QByteArray> keep(columns.size());
        for (size_t i = 0; i < columns.size(); ++i) {
            pxval_t* v = nullptr;
            MAKE_PXVAL(doc, v);
            values[i] = v;
            const PxColumn& c = columns[i];
            v->type = IsBlob(c.kind) ? pxfMemoBLOb : PxType(c.kind);
            const PxValue& value = row[i];
            if (std::holds_alternative<std::monostate>(value)) {
                v->isnull = 1;
                continue;
            }
            switch (c.kind) {
            case PxKind::Alpha:
            case PxKind::Memo: keep[i] = Encode(std::get<QString>(value), codePage); break;
            case PxKind::Graphic: keep[i] = GraphicValue(std::get<QByteArray>(value)); break;
            case PxKind::Short:
            case PxKind::Long:
            case PxKind::AutoInc:
            case PxKind::Time: v->value.lval = static_cast<long>(std::get<qint64>(value)); break;
            case PxKind::Number:
            case PxKind::Currency:
            case PxKind::Timestamp: v->value.dval = std::get<double>(value); break;
            case PxKind::Logical: v->value.lval = std::get<bool>(value) ? 1 : 0; break;
            case PxKind::Date: {
                if (std::holds_alternative<qint64>(value)) {
                    v->value.lval = static_cast<long>(std::get<qint64>(value));
                    break;
                }
                const QDate d = std::get<QDate>(value);
                v->value.lval = PX_GregorianToSdn(d.year(), d.month(), d.day()) - 1721425;
                break;
            }
            }
            if (c.kind == PxKind::Alpha || IsBlob(c.kind)) {
                if (keep[i].isNull()) keep[i] = QByteArray("");
                v->value.str.val = keep[i].data();
                v->value.str.len = static_cast<int>(keep[i].size());
            }
        }
        const int at = PX_insert_record(doc, values.data());
        for (pxval_t* v : values) FREE_PXVAL(doc, v);
        if (at < 0) Fail("PX_insert_record", path);
    }
    PX_close(doc);
    PX_delete(doc);
    std::fclose(fp);

    // Give pictures their own type in the field list.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) Fail("cannot reopen", path);
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].kind != PxKind::Graphic) continue;
        file.seek(0x78 + 2 * static_cast<qint64>(i));
        const char type = static_cast<char>(PxType(columns[i].kind));
        file.write(&type, 1);
    }
}

QByteArray JpegLikeBytes(int size, unsigned seed) {
    QByteArray bytes(size, '\0');
    unsigned x = seed * 2654435761u + 12345u;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes[i] = static_cast<char>((x >> 16) & 0xFF);
    }
    const char head[] = {'\xFF', '\xD8', '\xFF', '\xE0', 0, 16, 'J', 'F', 'I', 'F', 0};
    for (int i = 0; i < size && i < static_cast<int>(sizeof head); ++i) bytes[i] = head[i];
    if (size >= 2) {
        bytes[size - 2] = '\xFF';
        bytes[size - 1] = '\xD9';
    }
    return bytes;
}

void WriteOldDataFolder(const QString& dir, const std::vector<int>& records, const OldValueAdjust& adjust,
                        const OldTableShape& shape) {
    using K = data::FieldMove::Kind;
    const auto& moves = data::OldTableMoves();
    for (size_t t = 0; t < moves.size(); ++t) {
        const data::TableMove& move = moves[t];
        const data::TableDef& def = data::SchemaTable(move.dataSet == QLatin1String("cust") ? "customer" : move.dataSet);
        for (const bool english : {false, true}) {
            if (english && t != 1) continue;
            const QString table = english ? QStringLiteral("ae.db") : QString::fromLatin1(move.paradoxTable);
            std::vector<PxColumn> columns;
            std::vector<std::pair<const data::FieldMove*, int>> fields;  // with the column's width (0: int)
            for (const data::FieldMove& f : move.fields) {
                if (f.fromEnglishTable != english) continue;
                QString type;
                for (const data::ColumnDef& c : def.columns)
                    if (QString::fromLatin1(c.name).compare(QLatin1String(f.column), Qt::CaseInsensitive) == 0) type = c.type;
                const int width = type == QLatin1String("int") ? 0 : type.section('(', 1).section(')', 0, 0).toInt();
                const PxKind kind = f.kind == K::Picture ? PxKind::Graphic
                                    : f.kind == K::Memo  ? PxKind::Memo
                                    : width == 0         ? PxKind::Number
                                                         : PxKind::Alpha;
                columns.push_back({QString::fromUtf8(f.field), kind, kind == PxKind::Alpha ? 60 : 10});
                fields.emplace_back(&f, width);
            }
            std::vector<PxRow> rows;
            for (int r = 1; r <= records[t]; ++r) {
                PxRow row;
                for (size_t i = 0; i < fields.size(); ++i) {
                    const auto [f, width] = fields[i];
                    const QString text = QStringLiteral("%1 %2").arg(r).arg(QString::fromUtf8(f->field));
                    PxValue value;
                    if ((r + int(i)) % 5 == 0) value = std::monostate{};
                    else if (f->kind == K::Picture) value = JpegLikeBytes(200 + 13 * r, unsigned(r));
                    else if (f->kind == K::Memo) value = text.repeated(r % 4 * 9 + 1);
                    else if (width == 0) value = double(r * 10 + int(i));
                    else value = text.left(std::min(width, 60));
                    if (adjust) adjust(table, r, QString::fromUtf8(f->field), value);
                    row.push_back(value);
                }
                rows.push_back(std::move(row));
            }
            int codePage = 1251, headerCodePage = -1;
            if (shape) {
                shape(table, columns, codePage, headerCodePage);
                for (size_t i = columns.size(); i-- > 0;) {
                    if (!columns[i].name.isEmpty()) continue;
                    columns.erase(columns.begin() + qsizetype(i));
                    for (PxRow& row : rows) row.erase(row.begin() + qsizetype(i));
                }
            }
            WriteParadoxTable(dir + QLatin1Char('/') + table, columns, rows, codePage, headerCodePage);
        }
    }
}

}  // namespace testsupport
