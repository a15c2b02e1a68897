#include "support/programtest.h"

#include "app/Program.h"
#include "documents/RememberedChoices.h"
#include "platform/LocaleText.h"
#include "platform/Form.h"
#include "platform/Paths.h"
#include "support/testdatabase.h"

#include <QDir>

namespace testsupport {

void ProgramTest::SetUp() {
    EnsureApplication();
    using platform::PathKind;
    platform::SetPathOverride(PathKind::InstallFolder, home.Path());
    platform::SetPathOverride(PathKind::OwnExecutable, home.File("bin/quillane"));
    platform::SetPathOverride(PathKind::AliasesFile, home.File("databases.conf"));
    QDir().mkpath(home.File("DB"));
    defaultFile = CreateSchemaDatabase(home.File("DB"));
}

void ProgramTest::TearDown() {
    platform::DestroyCreatedForms();
    platform::ClearPathOverrides();
}

void ProgramTest::Start() { CreateAllForms(); }

void DocumentTest::SetUp() {
    ProgramTest::SetUp();
    StartupDir() = home.Path();
    ForgetSettingsProblems();
    platform::SetDecimalSeparatorOverride(QChar(u','));
    WriteFile(platform::Path(platform::PathKind::NoPasswordMarker), "");
}

void DocumentTest::TearDown() {
    platform::SetDecimalSeparatorOverride(std::nullopt);
    ProgramTest::TearDown();
}

}  // namespace testsupport
