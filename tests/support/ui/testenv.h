#pragma once

#include <gtest/gtest.h>

#include <memory>

class TTempDir;

// Set-up shared by every widget test: a private settings folder, the built catalogue,
// and the executable folder pointing at the build's bin folder.
class TUiTestEnvironment final : public ::testing::Environment {
public:
    TUiTestEnvironment();
    ~TUiTestEnvironment() override;
    void SetUp() override;
    void TearDown() override;

private:
    std::unique_ptr<TTempDir> m_configDir;
};
