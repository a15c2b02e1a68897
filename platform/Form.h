#pragma once
// The base of every window: created once, shown and hidden, never made again.
// FormCreate runs right after construction (when the window's global instance
// already points at it), FormShow whenever the window is shown, FormClose when
// it closes.

#include <QWidget>

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

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

// Creates a window, stores it in its global instance, then runs its creation handler.
template <class T>
void CreateForm(T*& instance) {
    instance = new T();
    instance->FormCreate();
}

}  // namespace platform
