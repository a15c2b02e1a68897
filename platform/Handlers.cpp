#include "platform/Handlers.h"

#include "platform/Application.h"

namespace platform {
namespace detail {

ClickScope& CurrentClick() {
    static ClickScope scope;
    return scope;
}

void ShowHandlerError() { Application::ShowCurrentException(); }

}  // namespace detail

void Click(QAbstractButton* button) {
    detail::ClickScope& scope = detail::CurrentClick();
    const std::exception_ptr outer = std::exchange(scope.error, nullptr);
    ++scope.depth;
    button->click();
    --scope.depth;
    const std::exception_ptr error = std::exchange(scope.error, outer);
    if (error) std::rethrow_exception(error);
}

}  // namespace platform
