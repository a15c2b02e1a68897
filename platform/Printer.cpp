#include "platform/Printer.h"

#include <QCoreApplication>
#include <QPrinter>

namespace platform {
namespace {

QPrinter*& Instance() {
    static QPrinter* printer = nullptr;
    return printer;
}

void DestroyPrinter() {
    delete Instance();
    Instance() = nullptr;
}

}  // namespace

QPrinter& Printer() {
    if (!Instance()) {
        Instance() = new QPrinter(QPrinter::HighResolution);
        qAddPostRoutine(DestroyPrinter);
    }
    return *Instance();
}

}  // namespace platform
