#include "settings/regstore.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/core/tempdir.h"

namespace fs = std::filesystem;

namespace {

const std::string kKey = "Software\\Tremlow\\Test";

// Sets an environment variable for one scope and restores the previous value.
class TEnvGuard final {
public:
    TEnvGuard(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~TEnvGuard()
    {
        if (m_old)
            setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

int CountEntries(const fs::path& dir, const std::string& prefix)
{
    int n = 0;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            ++n;
    return n;
}

}  // namespace

TEST(SettingsStore, ValuesRoundTripThroughTheFileWithTheirKinds)
{
    TTempDir dir;
    const std::string path = dir.File("settings.json");
    {
        TRegStore store(path);
        store.WriteInteger(kKey, "Left", -1);
        store.WriteNumber(kKey, "BackColor", 0x8000000F);
        store.WriteString(kKey, "Name", "Щит и меч");
        store.WriteString(kKey, "Empty", "");
        EXPECT_TRUE(store.IsDirty());
        ASSERT_TRUE(store.Flush());
        EXPECT_FALSE(store.IsDirty());
    }
    // Only the settings and their lock file remain: no temporary file is left behind.
    EXPECT_EQ(CountEntries(dir.Path(), ""), CountEntries(dir.Path(), "settings.json"));

    TRegStore store(path);
    EXPECT_TRUE(store.KeyExists(kKey));
    EXPECT_EQ(store.ValueKind(kKey, "Left"), TRegValueKind::Number);
    EXPECT_EQ(store.ReadInteger(kKey, "Left"), -1);
    EXPECT_EQ(store.ReadNumber(kKey, "Left"), 0xFFFFFFFFu);
    EXPECT_EQ(store.ReadNumber(kKey, "BackColor"), 0x8000000Fu);
    EXPECT_EQ(store.ValueKind(kKey, "Name"), TRegValueKind::String);
    EXPECT_EQ(store.ReadString(kKey, "Name"), "Щит и меч");
    EXPECT_EQ(store.ReadString(kKey, "Empty"), "");
    EXPECT_EQ(store.ReadString(kKey, "Left"), std::nullopt);
    EXPECT_EQ(store.ReadNumber(kKey, "Name"), std::nullopt);
    EXPECT_EQ(store.ValueKind(kKey, "Missing"), TRegValueKind::None);

    EXPECT_TRUE(store.DeleteValue(kKey, "Name"));
    EXPECT_FALSE(store.DeleteValue(kKey, "Name"));
    EXPECT_FALSE(store.ValueExists(kKey, "Name"));

    // The file is plain JSON: keys hold their values by name.
    auto json = nlohmann::json::parse(ReadFileBytes(path));
    EXPECT_EQ(json[kKey]["BackColor"], 0x8000000Fu);
    EXPECT_EQ(json[kKey]["Left"], -1);
}

TEST(SettingsStore, KeysOpenWithOrWithoutCreating)
{
    TTempDir dir;
    const std::string path = dir.File("sub/settings.json");
    TRegStore store(path);
    EXPECT_FALSE(store.OpenKey(kKey, false));
    EXPECT_FALSE(store.IsDirty());
    EXPECT_TRUE(store.OpenKey(kKey, true));
    EXPECT_TRUE(store.OpenKey(kKey, false));
    // Reading never creates the file; flushing creates the folder as well.
    EXPECT_FALSE(fs::exists(path));
    ASSERT_TRUE(store.Flush());
    TRegStore again(path);
    EXPECT_TRUE(again.KeyExists(kKey));
}

TEST(SettingsStore, CorruptFilesAreSetAsideAndTheStoreStartsEmpty)
{
    const std::string cases[] = {"{\"Software\\\\Tremlow\": {\"Left\": 1", "\x01\x02garbage", "[1, 2, 3]",
                                 "{\"a\": \"\xff\xfe\"}"};
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes);
        TTempDir dir;
        const std::string path = dir.File("settings.json");
        WriteFileBytes(path, bytes);

        testing::internal::CaptureStderr();
        TRegStore store(path);
        std::string warning = testing::internal::GetCapturedStderr();

        EXPECT_FALSE(store.KeyExists("Software\\Tremlow"));
        EXPECT_FALSE(fs::exists(path));
        EXPECT_EQ(CountEntries(dir.Path(), "settings.json.corrupt-"), 1);
        EXPECT_NE(warning.find(path), std::string::npos);

        // The next write makes a fresh, valid file.
        store.WriteInteger(kKey, "Top", 5);
        ASSERT_TRUE(store.Flush());
        EXPECT_EQ(TRegStore(path).ReadInteger(kKey, "Top"), 5);
    }
}

TEST(SettingsStore, MistypedValuesAndEntriesAreNotReadAsValues)
{
    TTempDir dir;
    const std::string path = dir.File("settings.json");
    WriteFileBytes(path, R"({"Software\\Tremlow\\Test": {"Float": 1.5, "Bool": true, "Big": 4294967296,
        "Neg": -2147483649, "List": [1], "Null": null, "Max": 4294967295},
        "NotAKey": 12})");
    testing::internal::CaptureStderr();
    TRegStore store(path);
    testing::internal::GetCapturedStderr();
    for (const char* name : {"Float", "Bool", "Big", "Neg", "List", "Null"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(store.ValueExists(kKey, name));
        EXPECT_EQ(store.ValueKind(kKey, name), TRegValueKind::Other);
        EXPECT_EQ(store.ReadNumber(kKey, name), std::nullopt);
        EXPECT_EQ(store.ReadString(kKey, name), std::nullopt);
    }
    EXPECT_EQ(store.ReadInteger(kKey, "Max"), -1);
    EXPECT_FALSE(store.KeyExists("NotAKey"));
    // A file with a bad entry is still used, not set aside.
    EXPECT_TRUE(fs::exists(path));
}

TEST(SettingsStore, UpdateKeepsValuesWrittenByAnotherProcess)
{
    TTempDir dir;
    const std::string path = dir.File("settings.json");
    TRegStore first(path);
    TRegStore second(path);

    second.WriteString("Software\\Tremlow\\SocMain", "UserName", "admin");
    ASSERT_TRUE(second.Flush());

    ASSERT_TRUE(first.Update([](TRegStore& s) { s.WriteInteger(kKey, "Width", 640); }));
    TRegStore check(path);
    EXPECT_EQ(check.ReadString("Software\\Tremlow\\SocMain", "UserName"), "admin");
    EXPECT_EQ(check.ReadInteger(kKey, "Width"), 640);
}

TEST(SettingsStore, AFailedWriteIsReportedAndLeavesNoTemporaryFile)
{
    TTempDir dir;
    WriteFileBytes(dir.File("blocker"), "a file where the folder should be");
    TRegStore store(dir.File("blocker/settings.json"));
    store.WriteInteger(kKey, "Left", 1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(store.Flush());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot write"), std::string::npos);
    EXPECT_TRUE(store.IsDirty());
}

TEST(SettingsStore, SettingsFolderComesFromTheEnvironment)
{
    TEnvGuard config("TREMLOW_CONFIG_DIR", "/tmp/own");
    TEnvGuard xdg("XDG_CONFIG_HOME", "/tmp/xdg");
    TEnvGuard home("HOME", "/tmp/home");
    EXPECT_EQ(TRegStore::DefaultFilePath(), "/tmp/own/settings.json");
    {
        TEnvGuard noConfig("TREMLOW_CONFIG_DIR", nullptr);
        EXPECT_EQ(TRegStore::DefaultDir(), "/tmp/xdg/Tremlow");
        TEnvGuard relativeXdg("XDG_CONFIG_HOME", "relative");
        EXPECT_EQ(TRegStore::DefaultDir(), "/tmp/home/.config/Tremlow");
        TEnvGuard noXdg("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(TRegStore::DefaultDir(), "/tmp/home/.config/Tremlow");
    }
}
