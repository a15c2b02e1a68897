#include "data/Updater.h"

TUpdateI* UpdateI = nullptr;

TUpdateI::TUpdateI(QWidget* parent) : platform::Form(parent) { setupUi(this); }
