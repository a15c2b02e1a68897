#pragma once
// The base of every window: created once, shown and hidden, never made again.
// FormCreate runs right after construction (when the window's global instance
// already points at it), FormShow when Show makes the window visible (an error
// it raises goes back to the caller of Show), FormClose when it closes.

#include <QWidget>

#include <functional>

namespace platform {

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr);

    // Plain, non-modal show (raises a window that is already visible).
    void Show();
    // Hides the window; runs FormClose.
    void Close();
    bool Visible() const { return isVisible(); }
    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& caption) { setWindowTitle(caption); }

    virtual void FormCreate() {}

protected:
    virtual void FormShow() {}
    virtual void FormClose() {}

    void closeEvent(QCloseEvent* event) override;
};

// Remembers a window made by CreateForm, so that it is destroyed at exit.
void RegisterCreatedForm(std::function<void()> destroy);
// Destroys the windows made by CreateForm, the last made first.
void DestroyCreatedForms();

// Shows the error a creation handler raised; creation goes on.
void ShowCreationError();

// Creates a window (or the data module), stores it in its global instance,
// then runs its creation handler. An error of the handler is shown by the
// exception display and the next window is created all the same.
template <class T>
void CreateForm(T*& instance) {
    instance = new T();
    RegisterCreatedForm([&instance] {
        delete instance;
        instance = nullptr;
    });
    try {
        instance->FormCreate();
    } catch (...) {
        ShowCreationError();
    }
}

}  // namespace platform
