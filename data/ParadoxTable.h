#pragma once
// Tables of the older version's Paradox format: a .db file with the records
// and, beside it, a .mb file with the memo texts and pictures that do not fit
// into a record. The program reads them once, to move their rows into the
// database, and creates the English firm table ae.db where it is missing.
//
// Opening reads both files whole and checks their structure before anything
// else touches them, so a damaged or foreign file gives a TableError naming
// it, never a crash. Records are numbered from 1 in the table's own order.
// Texts are read as the older version showed them: in the DOS code page the
// table's header names, as Windows-1251 for a Windows code page or none; a
// code page the reader does not know is read as Windows-1251 too, and named
// (CodePageProblem).

#include "platform/Exception.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace data {

// A table that cannot be opened, read or created; the message names the file.
class TableError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

enum class FieldType {
    String,    // alpha, size 1..255
    Smallint,  // short
    Integer,   // long
    AutoInc,
    Float,     // number
    Currency,  // money
    BCD,
    Boolean,   // logical
    Date,
    Time,
    DateTime,  // timestamp
    Memo,      // size = characters kept in the record, 1..240
    FmtMemo,
    Graphic,   // size = bytes kept in the record, 0..240
    Blob,
    OLE,
    Bytes,
};

struct FieldDef {
    QString Name;
    FieldType DataType = FieldType::String;
    int Size = 0;
    bool Required = false;  // the format keeps no such flag; only false can be created
};

// The file of a table in a folder. Folders copied from Windows may hold
// "CUSTOMER.DB" for "customer.db": an exact match wins, otherwise the first
// name that differs only in case. Empty when there is none.
QString FindTableFile(const QString& folder, const QString& fileName);
inline bool TableFileExists(const QString& folder, const QString& fileName) {
    return !FindTableFile(folder, fileName).isEmpty();
}

class TTable {
public:
    // The table's file name ("customer.db"); ".db" is added when the name has
    // no extension.
    explicit TTable(QString tableName = {});
    ~TTable();
    TTable(const TTable&) = delete;
    TTable& operator=(const TTable&) = delete;

    // The folder. Both names can change only while the table is closed.
    QString DatabaseName() const { return databaseName_; }
    void SetDatabaseName(const QString& folder);
    QString TableName() const { return tableName_; }
    void SetTableName(const QString& name);
    // The table's .db file as the names give it (before any case matching).
    QString FilePath() const;

    // Definitions for CreateTable; Open replaces them by the table's own fields.
    std::vector<FieldDef> FieldDefs;
    void AddFieldDef(const QString& name, FieldType type, int size = 0, bool required = false);

    // Creates the empty table (and its .mb file when a field needs one) from
    // FieldDefs, which may hold strings and pictures (Graphic) only. Refuses to replace a table that exists, whatever the case of
    // its file name. The table stays closed.
    void CreateTable();

    void Open();  // an open table stays as it is
    void Close();
    bool Active() const { return state_ != nullptr; }
    void SetActive(bool on) { on ? Open() : Close(); }

    int RecordCount() const;
    // The code page the table's header names (0: none).
    int CodePage() const;
    // Why the table's texts may read otherwise than the older version showed
    // them: a code page the header names that is neither a known DOS code
    // page nor a Windows one, whose texts are read as Windows-1251. Empty
    // when they read as they were shown.
    QString CodePageProblem() const;
    // 1..RecordCount; 0 for an empty table. Setting a number outside that
    // range leaves the current record where it is.
    int RecNo() const;
    void SetRecNo(int recNo);

    int FieldCount() const;
    QStringList FieldNames() const;
    // Field names match without regard to case.
    bool HasField(const QString& name) const;
    FieldType FieldKind(const QString& name) const;

    // The field's value in the current record as the older version gave it as
    // text: strings and memos whole; short and long in decimal; numbers as
    // FloatToStr; currency fixed with the locale's money decimals; logical
    // "True"/"False"; dates in the locale's short form; time "HH:mm:ss";
    // pictures and other binary fields their bytes read in the code page.
    // A null value is the empty text. A get-text handler for the field
    // replaces all of it.
    QString FieldText(const QString& name) const;
    // The same without the get-text handler: what a data-aware memo shows.
    QString MemoText(const QString& name) const;
    // The same, with every decimal of a currency value kept (FloatToStr).
    QString UnroundedText(const QString& name) const;
    bool IsNull(const QString& name) const;
    // Why the field's value in the current record cannot be shown, for a
    // value FieldText gives as empty although it is not: a date or timestamp
    // before 01.01.0001. The empty text for every other value.
    QString ValueProblem(const QString& name) const;
    // The stored bytes: strings and memos in the code page, blobs as stored.
    QByteArray FieldBytes(const QString& name) const;
    // A graphic field's picture (JPEG, bitmap, ...) without the 8-byte
    // header that graphic fields put before it; empty when null.
    QByteArray Picture(const QString& name) const;

    // Replaces the text FieldText gives for the field (matched without
    // regard to case); an empty function removes it.
    void SetGetTextHandler(const QString& fieldName, std::function<QString()> handler);

private:
    struct State;
    struct FieldInfo;

    const State& Opened() const;
    const FieldInfo& Find(const QString& name) const;
    QByteArray Raw(const FieldInfo& field) const;
    QByteArray BlobBytes(const FieldInfo& field) const;
    QString StoredText(const FieldInfo& field) const;
    QString DisplayName() const;

    QString databaseName_;
    QString tableName_;
    QHash<QString, std::function<QString()>> getText_;  // by lower-case field name
    std::unique_ptr<State> state_;
};

}  // namespace data
