#pragma once
// The application object. Its standard exception display: an exception that
// escapes any event handler is shown in an error box (through the dialog gate)
// and the program goes on with the next event. It makes Qt's own dialogs
// (print, printer set-up, file and folder choice) speak Bulgarian.

#include <QApplication>
#include <functional>

namespace platform {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The application's title, shown by message boxes and the exception
    // display. It is the application's name: window titles are never
    // extended by it.
    static void SetTitle(const QString& title);
    static QString Title();

    // The exception display itself, showing a text.
    static void ShowException(const QString& message);
    // For use inside a catch block: shows the exception being handled:
    // platform::Exception its Message(), another std::exception its what()
    // (UTF-8), anything else an empty text.
    static void ShowCurrentException();
    // For use inside a catch block: the text the display would show.
    static QString CurrentExceptionText();

    // The window the user last pressed a key or a mouse button in (while it
    // is shown): the window a message without an owner belongs to when no
    // window is active.
    static QWidget* InputWindow();

    // True when Qt's Bulgarian translations were found and installed.
    static bool PlatformTranslationsLoaded();

    // From now on SIGTERM and SIGINT run `terminate` on the event loop (the
    // signal handler only writes to a pipe). A second signal that arrives
    // before the event loop took the first ends the process at once.
    static void CatchTerminationSignals(std::function<void()> terminate);
    // True once a termination signal has been taken by the event loop.
    static bool TerminationRequested();
};

}  // namespace platform
