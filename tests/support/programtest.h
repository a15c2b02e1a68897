#pragma once
// A fixture for tests of the whole program: a private installation folder
// whose default data folder holds a fresh database. Start() creates every
// window, as the program's start does, which opens that database.

#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace testsupport {

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates every window and runs the start-up.
    void Start();

    TempFolder home;
    QString defaultFile;  // <home>/DB/tovelx.fdb
};

// The whole program with documents to write: no login needed, "," as the
// decimal separator, mem.txt and payment.txt read from the private folder.
class DocumentTest : public ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace testsupport
