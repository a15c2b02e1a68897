#include "platform/Application.h"

#include "platform/Dialogs.h"
#include "platform/Exception.h"

namespace platform {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
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

void Application::SetTitle(const QString& title) { QGuiApplication::setApplicationDisplayName(title); }

QString Application::Title() { return QGuiApplication::applicationDisplayName(); }

void Application::ShowException(const QString& message) {
    DialogRequest request;
    request.kind = DialogKind::Exception;
    request.title = Title();
    request.text = message;
    request.icon = DialogIcon::Error;
    DialogGate::Ask(request);
}

void Application::ShowException(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        ShowException(own->Message());
    else
        ShowException(QString::fromUtf8(error.what()));
}

void Application::ShowCurrentException() {
    const std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(QString());
    }
}

}  // namespace platform
