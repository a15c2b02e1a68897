#pragma once
// The base of every window: created once, shown and hidden, never made again.
// FormCreate runs right after construction (when the window's global instance
// already points at it), FormShow when Show makes the window visible (an error
// it raises goes back to the caller of Show), FormClose when it closes.
//
// A window may name a default and a cancel button. Enter clicks the default
// button wherever the focus is, unless the focused control uses Enter itself
// (a multi-line text, a grid with its cell editor open) or is itself a push
// button, which Enter then clicks instead. Escape clicks the cancel button
// unless the focused control uses Escape itself (closing a list or a cell
// editor). Both act only without Shift, Ctrl or Alt, and only on a button
// that is shown and enabled.
//
// A window keeps its designed size where the screen has room. Where it has
// not, Show makes the window as large as the screen's free area allows, and
// the window's controls scroll inside it, so that each can still be reached;
// the window is also kept inside that area when it is placed.

#include <QAbstractButton>
#include <QMargins>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <functional>

class QKeyEvent;
class QScrollArea;

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

    // The default and the cancel button, which Enter and Escape click (nullptr: none).
    void SetDefaultButton(QAbstractButton* button);
    void SetCancelButton(QAbstractButton* button);
    QAbstractButton* EnterButton() const { return defaultButton_; }
    QAbstractButton* EscapeButton() const { return cancelButton_; }

    // The size the window was designed with, which it takes where there is room.
    QSize DesignSize() const { return designSize_.isValid() ? designSize_ : size(); }
    // The scroll area that holds the controls while the window is smaller
    // than designed; nullptr before it was first needed.
    QScrollArea* ContentScroller() const { return scroller_; }

protected:
    virtual void FormShow() {}
    virtual void FormClose() {}

    // A window that lays out and scrolls its own controls when it is made
    // smaller (the document editor) says so; its controls are then left
    // where they are.
    void SetScrollsOwnContents(bool on) { scrollsOwnContents_ = on; }

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Bounds the window to the free area of its screen and places it inside.
    void FitIntoScreen();
    void MoveControlsIntoScroller();

    QPointer<QAbstractButton> defaultButton_;
    QPointer<QAbstractButton> cancelButton_;
    QSize designSize_;
    QScrollArea* scroller_ = nullptr;
    bool scrollsOwnContents_ = false;
    bool shrunk_ = false;
    // From Show until the window manager has placed the framed window.
    bool placing_ = false;
    bool fitting_ = false;
};

// Which button a key press clicks in a window with the given default and
// cancel buttons, the focus being on focused (which did not use the key);
// nullptr when none.
QAbstractButton* ButtonForKey(int key, Qt::KeyboardModifiers modifiers, QWidget* focused,
                              QAbstractButton* defaultButton, QAbstractButton* cancelButton);

// The frame the window manager puts around a window: the known frame of this
// window when it has one, else that of another window on screen, else none.
QMargins WindowFrameMargins(const QWidget* window);

// Where a window of the given outer (framed) rectangle goes so that it lies
// inside area: moved in as little as it takes, its top left corner kept inside
// when it is larger than the area.
QRect KeepInside(const QRect& frame, const QRect& area);

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
