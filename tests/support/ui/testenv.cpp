#include "support/ui/testenv.h"

#include <cstdlib>

#include "support/core/tempdir.h"

TUiTestEnvironment::TUiTestEnvironment() = default;
TUiTestEnvironment::~TUiTestEnvironment() = default;

void TUiTestEnvironment::SetUp()
{
    m_configDir = std::make_unique<TTempDir>();
    setenv("TREMLOW_CONFIG_DIR", m_configDir->Path().c_str(), 1);
    InstallBuiltCatalogue();
}

void TUiTestEnvironment::TearDown()
{
    m_configDir.reset();
}
