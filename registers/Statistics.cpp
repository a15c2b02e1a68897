#include "registers/Statistics.h"

#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "data/WorkPlace.h"
#include "data/WorkPlaceText.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
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

    // A version file that does not read as a number is shown, and the start
    // goes on: a damaged file on the maker's server must not keep every
    // workstation from its database.
    try {
        Main->CheckForUpdate(0);
    } catch (...) {
        platform::Application::ShowCurrentException();
    }

    // What went wrong on the way to a database, told once at the end.
    enum class Step { ReadingWorkPlace, OpeningWorkPlace, OpeningDefault };
    Step step = Step::ReadingWorkPlace;
    const QString defaultFolder = Path(PathKind::DataFolder);
    QString location = defaultFolder;
    QString workPlaceError, error;
    bool workPlaceFailed = false, failed = false;
    try {
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

        step = Step::OpeningWorkPlace;
        try {
            DataModule1->OpenDatabaseLocation(location);
        } catch (...) {
            // The default data folder, locally, rather than no database at all.
            workPlaceFailed = true;
            workPlaceError = platform::Application::CurrentExceptionText();
            step = Step::OpeningDefault;
            Form8->RadioButton1->setChecked(true);
            DataModule1->OpenDatabaseLocation(defaultFolder);
        }
    } catch (...) {
        failed = true;
        error = platform::Application::CurrentExceptionText();
    }
    // Whatever happened, another work place can be chosen.
    Main->SpeedButton4->setVisible(true);

    if (workPlaceFailed || failed) {
        QStringList told;
        if (step == Step::ReadingWorkPlace)
            told << QStringLiteral("Работното място не може да бъде прочетено:\n%1").arg(error);
        if (workPlaceFailed)
            told << QStringLiteral("Базата данни на работното място „%1“ не може да бъде отворена:\n%2")
                        .arg(location, workPlaceError);
        // The default folder's own failure, unless it was the work place itself.
        if (step == Step::OpeningDefault && failed && location != defaultFolder)
            told << QStringLiteral("Базата данни в папката по подразбиране „%1“ също не може да бъде отворена:\n%2")
                        .arg(defaultFolder, error);
        if (DataModule1->IBDatabase1.Connected())
            told << QStringLiteral("Отворена е базата данни „%1“ от папката по подразбиране.")
                        .arg(DataModule1->IBDatabase1.DatabaseName);
        else
            told << QStringLiteral("Няма отворена база данни.");
        told << QStringLiteral("Друго работно място се избира с бутона „Работно място“.");
        platform::ShowMessageBox(told.join(QStringLiteral("\n\n")), platform::Application::Title(),
                                 platform::DialogIcon::Warning);
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
