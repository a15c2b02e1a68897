// The program's start: the splash window, every window created once in a
// fixed order, then the message loop.

#include "app/Program.h"

#include "app/MainWindow.h"
#include "app/Splash.h"
#include "data/DataModule.h"
#include "data/Login.h"
#include "data/DataFolderSetUp.h"
#include "data/WorkPlace.h"
#include "data/Updater.h"
#include "documents/PrintedPage.h"
#include "documents/CalculatorWindow.h"
#include "documents/DocumentEditor.h"
#include "documents/PrintOptions.h"
#include "registers/Customers.h"
#include "registers/CustomerCard.h"
#include "registers/GoodsCard.h"
#include "registers/Employees.h"
#include "registers/OwnFirms.h"
#include "registers/Statistics.h"
#include "registers/GoodsList.h"
#include "registers/DocumentRegister.h"

#include "platform/Application.h"
#include "platform/Form.h"
#include "platform/Paths.h"

#include <QDir>

#include <ibase.h>

namespace {

// The database client answers SIGTERM and SIGINT by shutting every connection
// down from a thread of its own, under the program's feet, and then leaves the
// program running. It is told no (a non-zero answer): the program closes
// itself, connections included.
int RefuseShutdownOnSignal(const int reason, const int, void*) { return reason == fb_shutrsn_signal ? 1 : 0; }

}  // namespace

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
    // A session that ends, or a kill from a shell, closes the main window as the user would.
    platform::Application::CatchTerminationSignals([] {
        if (Main) Main->Close();
    });
    ISC_STATUS_ARRAY status{};
    fb_shutdown_callback(status, RefuseShutdownOnSignal, fb_shut_confirmation, nullptr);
    try {
        platform::CreateForm(SplashForm);
        SplashForm->ShowPainted();

        platform::Application::SetTitle(QStringLiteral("Quillane 2013"));
        PrepareInstallFolder();
        CreateAllForms();

        // A termination taken while the windows were made has already closed the main window.
        if (!platform::Application::TerminationRequested()) {
            Main->Show();
            QApplication::exec();
        }
    } catch (...) {
        // Whatever escapes the start is shown the way every other error is.
        platform::Application::ShowCurrentException();
    }
    platform::DestroyCreatedForms();
    return 0;
}
