#include "documents/PrintedPage.h"

TDoc* Doc = nullptr;

TDoc::TDoc(QWidget* parent) : platform::Form(parent) { setupUi(this); }
