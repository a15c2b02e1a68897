#include "data/DataFolderSetUp.h"

#include "app/MainWindow.h"
#include "data/OldTableMap.h"
#include "data/Schema.h"
#include "data/DataModule.h"
#include "data/WorkPlaceText.h"
#include "documents/NumberText.h"
#include "platform/LocaleText.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Paths.h"

#include <cmath>
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
    CGauge1->setValue(CGauge1->value() + 1);
    CGauge1->repaint();
}

void TForm7::MoveToSql(const QString& location) {
    TDataModule1* dm = DataModule1;
    if (Main) move(Main->geometry().center() - QPoint(width() / 2, height() / 2));

    dm->IBTransaction1.SetActive(false);
    dm->IBDatabase1.Close();

    const QString databaseFile = location + QStringLiteral("/tovelx.fdb");
    const bool engineInstalled = platform::FileExists(platform::Path(platform::PathKind::FirebirdEngine));
    if (engineInstalled && platform::FileExists(databaseFile)) return;

    ShowStep(QStringLiteral("3/4 Създаване на SQL база данни."));
    if (!engineInstalled) {
        // The callers of the set-up swallow its errors (start-up) or restart the
        // program (work place), so the user is told here.
        const QString message = QStringLiteral("Firebird SQL не е инсталиран на този компютър (липсва %1). "
                                               "Инсталирайте пакета firebird3.0-server-core и стартирайте програмата отново.")
                                    .arg(platform::Path(platform::PathKind::FirebirdEngine));
        platform::ShowMessage(message);
        throw platform::Exception(message);
    }

    // The alias lets a server on this computer serve the new database to others.
    data::WriteAliasLine(platform::Path(platform::PathKind::AliasesFile), databaseFile);

    dm->IBDatabase1.DatabaseName = databaseFile;
    dm->IBDatabase1.SQLDialect = 3;
    dm->IBDatabase1.LoginPrompt = false;
    dm->IBDatabase1.Params.clear();
    dm->IBDatabase1.CreateDatabase(data::DatabaseCreationParams(QStringLiteral("SYSDBA"), TDataModule1::AdminPassword()));
    dm->IBTransaction1.SetDefaultDatabase(&dm->IBDatabase1);
    dm->IBTransaction1.StartTransaction();
    data::CreateSchemaTables(dm->IBSQL1);

    ShowStep(QStringLiteral("4/4 Прехвърляне на информацията в SQL формат."));
    if (!data::TableFileExists(location, QStringLiteral("customer.db"))) {
        dm->ConnectFirebird(location);
    } else {
        CGauge1->setValue(0);
        dm->GenerateKeys = false;
        try {
            dm->ConnectFirebird(location);
            const std::vector<data::TTable*> tables = dm->ParadoxTables();
            for (data::TTable* t : tables) t->Open();
            std::vector<int> counts;
            for (size_t i = 0; i + 1 < tables.size(); ++i) counts.push_back(tables[i]->RecordCount());
            CGauge1->setMaximum(data::MoveProgressMaximum(counts));

            const std::map<QString, data::DataSet*> targets = {
                {"cust", &dm->cust},         {"firm", &dm->firm},   {"details", &dm->details},
                {"stock", &dm->stock},       {"employee", &dm->employee}, {"store", &dm->store},
                {"currency", &dm->currency}};
            const auto& moves = data::OldTableMoves();
            for (size_t i = 0; i < moves.size(); ++i)
                MoveTable(moves[i], *tables[i], *targets.at(QString::fromLatin1(moves[i].dataSet)));
        } catch (...) {
            dm->GenerateKeys = true;
            throw;
        }
        dm->GenerateKeys = true;
    }

    platform::ShowMessage(QStringLiteral("Преминаването към SQL успешно!"));
    Close();
}

namespace {

// The old tables kept quantities and numbers as fractions; a whole-number
// column takes the nearest whole number, so that one such value does not stop
// the move of everything after it.
QString WholeNumberFor(data::ColumnKind kind, const QString& text) {
    if (kind != data::ColumnKind::Integer || text.trimmed().isEmpty()) return text;
    bool whole = false;
    text.trimmed().toLongLong(&whole);
    if (whole) return text;
    const QString number = NormalizeDecimalText(text);
    if (number.isEmpty()) return text;  // no number: the column refuses it with its own error
    return QString::number(std::llround(platform::StrToFloat(number)));
}

}  // namespace

void TForm7::MoveTable(const data::TableMove& move, data::TTable& source, data::DataSet& target) {
    TDataModule1* dm = DataModule1;
    const bool isFirm = &target == &dm->firm;
    data::TTable& english = dm->TTableae;

    int lastSeen = 0;
    int stalls = 0;
    source.SetRecNo(source.RecordCount());
    if (isFirm) english.SetRecNo(english.RecordCount());
    while (source.RecNo() >= 1) {
        if (source.RecNo() == lastSeen) {
            if (++stalls >= 20) break;
        } else {
            stalls = 0;
            StepProgress();
            target.Insert();
            target.FieldByName(QStringLiteral("pnom")).SetAsString(QString::number(source.RecNo()));
            for (const data::FieldMove& f : move.fields) {
                const data::TTable& from = f.fromEnglishTable ? english : source;
                const QString field = QString::fromUtf8(f.field);
                const QString column = QString::fromLatin1(f.column);
                if (from.RecordCount() == 0) continue;
                switch (f.kind) {
                    case data::FieldMove::Kind::Picture:
                        target.FieldByName(column).SetAsBytes(from.Picture(field));
                        break;
                    case data::FieldMove::Kind::Memo:
                        target.FieldByName(column).SetAsString(from.MemoText(field));
                        break;
                    case data::FieldMove::Kind::Text:
                        target.FieldByName(column).SetAsString(
                            WholeNumberFor(target.FieldByName(column).Kind(), from.FieldText(field)));
                        break;
                }
            }
            target.Post();
        }
        lastSeen = source.RecNo();
        if (lastSeen == 1) break;
        source.SetRecNo(lastSeen - 1);
        if (isFirm) english.SetRecNo(english.RecNo() - 1);
    }
    target.Refresh();

    ExchangeRows(target, isFirm);
    if (isFirm) {
        target.Refresh();
        ExchangePictures(target);
    }
}

namespace {

bool IsPictureColumn(const QString& name) {
    return name == QLatin1String("LOGO") || name == QLatin1String("LOGO2");
}

}  // namespace

void TForm7::ExchangeRows(data::DataSet& target, bool skipPictures) {
    const int count = target.RecordCount();
    const auto& columns = target.Columns();
    for (int i = 1; i <= count / 2; ++i) {
        const int j = count + 1 - i;
        std::vector<QString> first, second;
        target.SetRecNo(i);
        for (size_t c = 1; c < columns.size(); ++c) first.push_back(target.FieldByName(columns[c].name).AsString());
        target.SetRecNo(j);
        for (size_t c = 1; c < columns.size(); ++c) second.push_back(target.FieldByName(columns[c].name).AsString());
        for (const auto& [row, values] : {std::pair{i, &second}, std::pair{j, &first}}) {
            target.SetRecNo(row);
            target.Edit();
            for (size_t c = 1; c < columns.size(); ++c) {
                if (skipPictures && IsPictureColumn(columns[c].name)) continue;
                target.FieldByName(columns[c].name).SetAsString((*values)[c - 1]);
            }
            target.Post();
        }
        StepProgress();
    }
}

void TForm7::ExchangePictures(data::DataSet& target) {
    const int count = target.RecordCount();
    for (int i = 1; i <= count / 2; ++i) {
        const int j = count + 1 - i;
        target.SetRecNo(i);
        const QByteArray logoI = target.FieldByName(QStringLiteral("LOGO")).AsBytes();
        const QByteArray logo2I = target.FieldByName(QStringLiteral("LOGO2")).AsBytes();
        target.SetRecNo(j);
        const QByteArray logoJ = target.FieldByName(QStringLiteral("LOGO")).AsBytes();
        const QByteArray logo2J = target.FieldByName(QStringLiteral("LOGO2")).AsBytes();
        for (const auto& [row, logo, logo2] : {std::tuple{i, &logoJ, &logo2J}, std::tuple{j, &logoI, &logo2I}}) {
            target.SetRecNo(row);
            target.Edit();
            target.FieldByName(QStringLiteral("LOGO")).SetAsBytes(*logo);
            target.FieldByName(QStringLiteral("LOGO2")).SetAsBytes(*logo2);
            target.Post();
        }
    }
}
