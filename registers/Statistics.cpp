#include "registers/Statistics.h"

#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "data/WorkPlace.h"
#include "data/WorkPlaceText.h"
#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QFile>

TStatForm* StatForm = nullptr;

TStatForm::TStatForm(QWidget* parent) : platform::Form(parent) { setupUi(this); }

void TStatForm::FormCreate() {
    using platform::Path;
    using platform::PathKind;

    // What a finished update left behind.
    const QString old = Path(PathKind::OldExecutable);
    if (platform::FileExists(old)) QFile::remove(old);

    Main->CheckForUpdate(0);

    try {
        QString location = Path(PathKind::DataFolder);
        const QString networkFile = Path(PathKind::NetworkFile);

        // A computer without the database engine goes through the set-up again.
        if (!platform::FileExists(Path(PathKind::FirebirdEngine)) && platform::FileExists(networkFile))
            QFile::remove(networkFile);

        if (platform::FileExists(networkFile)) {
            const QStringList lines = platform::LoadLines(networkFile);
            if (lines.size() == 1) {
                Main->SpeedButton4Click();
            } else {
                if (lines.size() < 2)
                    throw platform::EFileError(QStringLiteral("Файлът „%1“ няма втори ред.").arg(networkFile));
                const QString mode = lines.at(1);
                if (mode == QLatin1String("1")) {
                    Form8->RadioButton1->setChecked(true);
                    Form8->Edit1->setText(lines.at(0));
                }
                if (mode == QLatin1String("2")) {
                    Form8->RadioButton2->setChecked(true);
                    Form8->Edit2->setText(lines.at(0));
                }
                if (mode == QLatin1String("3")) {
                    Form8->RadioButton3->setChecked(true);
                    Form8->Edit3->setText(lines.at(0));
                }
            }
            if (Form8->RadioButton1->isChecked()) location = data::LocationText(Form8->Edit1->text(), 1);
            if (Form8->RadioButton2->isChecked()) location = data::LocationText(Form8->Edit2->text(), 2);
            if (Form8->RadioButton3->isChecked()) location = data::LocationText(Form8->Edit3->text(), 3);
        }

        try {
            DataModule1->OpenDatabaseLocation(location);
        } catch (...) {
            Form8->RadioButton1->setChecked(true);
            DataModule1->OpenDatabaseLocation(Path(PathKind::DataFolder));
        }
        Main->SpeedButton4->setVisible(true);
    } catch (...) {
        // Start-up goes on without a database; the user sees the work-place button
        // only when one could be opened.
    }

    if (DataModule1->firm.Active()) {
        const int recNo = DataModule1->firm.RecNo();
        for (int i = 1; i <= DataModule1->firm.RecordCount(); ++i) {
            DataModule1->firm.SetRecNo(i);
            DBComboBox1->addItem(DataModule1->firm.FieldByName(QStringLiteral("Supplier1")).AsString());
        }
        DataModule1->firm.SetRecNo(recNo);
    }
}
