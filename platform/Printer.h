#pragma once
// The program's one printer. Every print job and the printer set-up use it,
// so the printer and paper chosen once stay chosen for the rest of the run.

class QPrinter;

namespace platform {

// Made on first use; it lives until the application object ends.
QPrinter& Printer();

}  // namespace platform
