#include "platform/Application.h"

#include "platform/Dialogs.h"
#include "platform/Exception.h"

#include <QLibraryInfo>
#include <QPointer>
#include <QWidget>
#include <QSocketNotifier>
#include <QTranslator>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

bool translationsLoaded = false;

QPointer<QWidget>& LastInputWindow() {
    static QPointer<QWidget> window;
    return window;
}

int signalPipe[2] = {-1, -1};
bool terminationRequested = false;

extern "C" void OnTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    // Should the event loop be stuck, the next such signal ends the process.
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    ::sigaction(signalNumber, &plain, nullptr);
    errno = savedErrno;
}

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    // Qt's own dialogs in Bulgarian, from the distribution's translations.
    auto* translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_bg"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        installTranslator(translator))
        translationsLoaded = true;
    else
        delete translator;
}

QWidget* Application::InputWindow() {
    QWidget* window = LastInputWindow();
    return window && window->isVisible() ? window : nullptr;
}

bool Application::PlatformTranslationsLoaded() { return translationsLoaded; }

void Application::CatchTerminationSignals(std::function<void()> terminate) {
    if (signalPipe[0] >= 0) return;
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("platform::Application: no pipe for termination signals");
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [terminate = std::move(terminate)] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        if (terminationRequested) return;
        terminationRequested = true;
        terminate();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

bool Application::TerminationRequested() { return terminationRequested; }

bool Application::notify(QObject* receiver, QEvent* event) {
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) && receiver->isWidgetType())
        LastInputWindow() = static_cast<QWidget*>(receiver)->window();
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        try {
            ShowCurrentException();
        } catch (...) {
            // The display itself failed; there is nowhere left to show it.
            qWarning("platform::Application: an exception could not be shown");
        }
    }
    return false;
}

// Qt adds an application display name to every window title; the name alone does not.
void Application::SetTitle(const QString& title) { QCoreApplication::setApplicationName(title); }

QString Application::Title() { return QCoreApplication::applicationName(); }

void Application::ShowException(const QString& message) {
    DialogRequest request;
    request.kind = DialogKind::Exception;
    request.title = Title();
    request.text = message;
    request.icon = DialogIcon::Error;
    DialogGate::Ask(request);
}

void Application::ShowCurrentException() {
    if (!std::current_exception()) return;
    ShowException(CurrentExceptionText());
}

QString Application::CurrentExceptionText() {
    const std::exception_ptr current = std::current_exception();
    if (!current) return {};
    try {
        std::rethrow_exception(current);
    } catch (const Exception& error) {
        return error.Message();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
    }
    return {};
}

}  // namespace platform
