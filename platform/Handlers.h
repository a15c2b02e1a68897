#pragma once
// Handlers of controls run from Qt's signals, where an error must not escape.
// An error that escapes a handler the user started goes to the application's
// exception display; one that escapes a handler started by Click in code is
// handed back to that code, as a call of the handler itself would.

#include <QAbstractButton>

#include <exception>
#include <type_traits>
#include <utility>

namespace platform {

namespace detail {
// Set while Click runs a button's handlers; holds the first error they raise.
struct ClickScope {
    int depth = 0;
    std::exception_ptr error;
};
ClickScope& CurrentClick();
void ShowHandlerError();
}  // namespace detail

template <class Handler>
void RunHandler(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        detail::ClickScope& scope = detail::CurrentClick();
        if (scope.depth > 0) {
            if (!scope.error) scope.error = std::current_exception();
        } else {
            detail::ShowHandlerError();
        }
    }
}

// The slot that connects a signal to a window's handler: the member handler
// runs through RunHandler, whatever arguments the signal carries.
//   connect(Button1, &QPushButton::clicked, this, platform::Handler(this, &TCustForm::Button1Click));
template <class Window>
auto Handler(Window* window, void (Window::*handler)()) {
    return [window, handler](auto&&...) { RunHandler([window, handler] { (window->*handler)(); }); };
}

// The same for a handler written in place; it is given the signal's
// arguments when it takes them.
template <class F>
auto Handler(F handler) {
    return [handler](auto&&... args) {
        if constexpr (std::is_invocable_v<const F&, decltype(args)...>)
            RunHandler([&] { handler(args...); });
        else
            RunHandler(handler);
    };
}

// Clicks a button in code; an error of its handler reaches the caller.
void Click(QAbstractButton* button);

}  // namespace platform
