// The program's start: the splash window, every window created once in a
// fixed order, then the message loop.

#include "app/Program.h"

#include "app/Unit1.h"
#include "app/splash.h"
#include "data/Unit4.h"
#include "data/UnitPass.h"
#include "data/UnitSQL.h"
#include "data/UnitWP.h"
#include "data/Updater.h"
#include "documents/Document.h"
#include "documents/FormGrid.h"
#include "documents/Unit2.h"
#include "documents/Unit6.h"
#include "registers/Cust.h"
#include "registers/EditCust.h"
#include "registers/EditStock.h"
#include "registers/Empl.h"
#include "registers/OwnFirm.h"
#include "registers/Stat.h"
#include "registers/Unit3.h"
#include "registers/Unit5.h"

#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/Paths.h"

#include <QDir>

void PrepareInstallFolder() {
    // The installation folder and its default data folder exist from the first start on.
    QDir().mkpath(platform::Path(platform::PathKind::DataFolder));
}

void CreateAllForms() {
    using platform::CreateForm;
    CreateForm(Main);
    CreateForm(OrderForm);
    CreateForm(UpdateI);
    CreateForm(Form7);
    CreateForm(Form8);
    CreateForm(DataModule1);
    CreateForm(Doc);
    CreateForm(Stocks);
    CreateForm(EditStockForm);
    CreateForm(Form1);
    CreateForm(Emp);
    CreateForm(FillFirm);
    CreateForm(Sort);
    CreateForm(CustForm);
    CreateForm(EditCustForm);
    CreateForm(StatForm);
    CreateForm(PrtD);
    CreateForm(Form9);
}

int QuillaneMain(int argc, char** argv) {
    platform::Application app(argc, argv);
    try {
        platform::CreateForm(SplashForm);
        SplashForm->Show();
        SplashForm->repaint();
        QCoreApplication::processEvents();

        platform::Application::SetTitle(QStringLiteral("Quillane 2013"));
        PrepareInstallFolder();
        CreateAllForms();

        Main->Show();
        QApplication::exec();
    } catch (...) {
        // Whatever escapes the start is shown the way every other error is.
        platform::Application::ShowCurrentException();
    }
    platform::DestroyCreatedForms();
    return 0;
}
