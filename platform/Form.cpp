#include "platform/Form.h"

#include "platform/Application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace platform {

namespace {
std::vector<std::function<void()>>& Created() {
    static std::vector<std::function<void()>> created;
    return created;
}

bool Usable(const QAbstractButton* button) { return button && button->isVisible() && button->isEnabled(); }

QMargins MarginsOf(const QWidget* window) {
    const QRect frame = window->frameGeometry(), inner = window->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

// How long after Show the window manager's placing of the window is still
// checked against the screen.
constexpr int kPlacingTime = 3000;
}  // namespace

void RegisterCreatedForm(std::function<void()> destroy) { Created().push_back(std::move(destroy)); }

void ShowCreationError() { Application::ShowCurrentException(); }

void DestroyCreatedForms() {
    auto& created = Created();
    while (!created.empty()) {
        auto destroy = std::move(created.back());
        created.pop_back();
        destroy();
    }
}

QAbstractButton* ButtonForKey(int key, Qt::KeyboardModifiers modifiers, QWidget* focused,
                              QAbstractButton* defaultButton, QAbstractButton* cancelButton) {
    if ((modifiers & ~Qt::KeypadModifier) != Qt::NoModifier) return nullptr;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // A push button with the focus takes Enter itself.
        if (auto* button = qobject_cast<QPushButton*>(focused); Usable(button)) return button;
        return Usable(defaultButton) ? defaultButton : nullptr;
    }
    if (key == Qt::Key_Escape) return Usable(cancelButton) ? cancelButton : nullptr;
    return nullptr;
}

QMargins WindowFrameMargins(const QWidget* window) {
    if (window->isVisible()) {
        const QMargins own = MarginsOf(window);
        if (!own.isNull()) return own;
    }
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other == window || !other->isVisible() || other->windowType() != Qt::Window ||
            other->windowFlags().testFlag(Qt::FramelessWindowHint))
            continue;
        const QMargins margins = MarginsOf(other);
        if (!margins.isNull()) return margins;
    }
    return {};
}

QRect KeepInside(const QRect& frame, const QRect& area) {
    QRect placed = frame;
    if (placed.right() > area.right()) placed.moveRight(area.right());
    if (placed.bottom() > area.bottom()) placed.moveBottom(area.bottom());
    if (placed.left() < area.left()) placed.moveLeft(area.left());
    if (placed.top() < area.top()) placed.moveTop(area.top());
    return placed;
}

Form::Form(QWidget* parent) : QWidget(parent, Qt::Window) {}

void Form::Show() {
    const bool wasVisible = isVisible();
    if (!wasVisible) {
        FitIntoScreen();
        placing_ = true;
        QTimer::singleShot(kPlacingTime, this, [this] { placing_ = false; });
    }
    show();
    // Where the frame is known once the window is shown, it is counted now;
    // elsewhere when the window manager has placed the window.
    if (!wasVisible) FitIntoScreen();
    raise();
    activateWindow();
    if (!wasVisible) FormShow();
}

void Form::Close() { close(); }

void Form::SetDefaultButton(QAbstractButton* button) {
    defaultButton_ = button;
    // The look of a default button.
    if (auto* push = qobject_cast<QPushButton*>(button)) push->setDefault(true);
}

void Form::SetCancelButton(QAbstractButton* button) { cancelButton_ = button; }

void Form::closeEvent(QCloseEvent* event) {
    FormClose();
    QWidget::closeEvent(event);
}

// Reached by the keys that the focused control did not use.
void Form::keyPressEvent(QKeyEvent* event) {
    QWidget* focused = focusWidget();
    if (QAbstractButton* button =
            ButtonForKey(event->key(), event->modifiers(), focused, defaultButton_, cancelButton_)) {
        event->accept();
        button->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The window manager places a window after Show; once it has, the window is
// brought inside the screen's free area, its frame counted.
void Form::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!placing_ || fitting_ || !isVisible()) return;
    FitIntoScreen();
    if (!MarginsOf(this).isNull()) placing_ = false;
}

void Form::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (scroller_) scroller_->setGeometry(rect());
}

void Form::FitIntoScreen() {
    QScreen* screen = this->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    if (!designSize_.isValid()) designSize_ = size();
    const QRect area = screen->availableGeometry();
    const QMargins margins = WindowFrameMargins(this);
    const QSize room(area.width() - margins.left() - margins.right(),
                     area.height() - margins.top() - margins.bottom());
    // A window made smaller for a smaller screen takes its designed size
    // again where there is room for it.
    QSize wanted = (shrunk_ ? designSize_ : size()).boundedTo(room);
    fitting_ = true;
    if (wanted.width() < designSize_.width() || wanted.height() < designSize_.height()) {
        if (!scrollsOwnContents_) {
            MoveControlsIntoScroller();
            // Where there is room, the scroll bar that one way needs is added
            // to the other, so that the window does not scroll that way too.
            const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
            if (wanted.height() < designSize_.height() && wanted.width() == designSize_.width())
                wanted.setWidth(std::min(wanted.width() + bar, room.width()));
            else if (wanted.width() < designSize_.width() && wanted.height() == designSize_.height())
                wanted.setHeight(std::min(wanted.height() + bar, room.height()));
        }
        shrunk_ = true;
        if (minimumWidth() > wanted.width() || minimumHeight() > wanted.height())
            setMinimumSize(minimumSize().boundedTo(wanted));
    }
    if (wanted != size()) resize(wanted);
    // A window that the window manager placed is kept inside the area; one
    // placed by its own code keeps its place unless it fills the area.
    const bool ownPlace = testAttribute(Qt::WA_Moved);
    if ((isVisible() && !ownPlace) || (ownPlace && shrunk_)) {
        const QRect frame(pos(), wanted.grownBy(margins));
        const QRect placed = KeepInside(frame, area);
        if (placed.topLeft() != frame.topLeft()) move(placed.topLeft());
        setAttribute(Qt::WA_Moved, ownPlace);
    }
    fitting_ = false;
}

// The controls go into a scroll area as large as the window, on a surface of
// the designed size; each keeps its place and whether it is shown.
void Form::MoveControlsIntoScroller() {
    if (scroller_ || layout()) return;
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("ScrolledContent"));
    content->resize(designSize_);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) continue;
        const bool shown = child->isVisibleTo(this);
        child->setParent(content);
        child->setVisible(shown);
    }
    scroller_ = new QScrollArea(this);
    scroller_->setObjectName(QStringLiteral("ContentScroller"));
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setBackgroundRole(QPalette::Window);
    scroller_->setWidget(content);
    scroller_->setGeometry(rect());
    scroller_->show();
}

}  // namespace platform
