#pragma once
// The application object. Its standard exception display: an exception that
// escapes any event handler is shown in an error box (through the dialog gate)
// and the program goes on with the next event.

#include <QApplication>
#include <exception>

namespace platform {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The title shown by message boxes and the exception display.
    static void SetTitle(const QString& title);
    static QString Title();

    // The exception display itself: platform::Exception shows its Message(),
    // another std::exception its what() (UTF-8), anything else an empty text.
    static void ShowException(const QString& message);
    static void ShowException(const std::exception& error);
    // For use inside a catch block: shows the exception being handled.
    static void ShowCurrentException();
};

}  // namespace platform
