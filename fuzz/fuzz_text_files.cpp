// Feeds arbitrary bytes to the readers of the other text files Tremlow reads: the language file
// (through the INI reader and the message catalogue) and the settings file. None of them may
// crash, hang or leak, whatever the file holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "settings/inifile.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "settings/regstore.h"
#include "util/error.h"
#include "util/text.h"

namespace {

// A private folder for the files the readers are given, made once per run and removed at exit.
const std::string& Folder()
{
    static const std::string folder = [] {
        std::string pattern = "/tmp/tremlow-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    static const bool removedAtExit = [] {
        return std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(Folder(), ec);
        }) == 0;
    }();
    (void)removedAtExit;
    return folder;
}

// Empties the folder after each input. A corrupt settings file is set aside under a new name
// every time; left there, they pile up by the ten thousand and slow every later input down.
void ClearFolder()
{
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(Folder(), ec))
        files.push_back(entry.path());
    for (const auto& file : files)
        std::filesystem::remove(file, ec);
}

void WriteBytes(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void FuzzLanguageFile(std::string_view bytes)
{
    const TIniFile ini = TIniFile::FromText(DecodeFileText(bytes));
    for (const std::string& section : ini.SectionNames()) {
        for (const std::string& key : ini.ReadSectionKeys(section)) {
            if (!ini.KeyExists(section, key))
                std::abort(); // every listed key can be found again
            (void)ini.ReadString(section, key, {});
        }
    }
    const std::string path = Folder() + "/language.dat";
    WriteBytes(path, bytes);
    try {
        const TDlgLangConverter catalogue(path);
        for (const std::string& key : catalogue.Keys()) {
            if (!catalogue.HasText(key))
                std::abort();
            (void)catalogue.GetText(key);
        }
    } catch (const TAppError&) {
        // A file without its message catalogue is refused with a message; that is no fault.
    }
}

void FuzzSettingsFile(std::string_view bytes)
{
    const std::string path = Folder() + "/settings.json";
    WriteBytes(path, bytes);
    TRegStore store(path);
    TRegs regs;
    regs.Load(store);
    if (regs.Root.NumOfLastOpenedProjects < 0 || regs.Root.NumOfLastOpenedProjects > 10)
        std::abort();
    // Whatever was read, what is written must read back the same.
    TRegStore out(Folder() + "/written.json");
    if (!regs.Save(out))
        std::abort();
    TRegStore back(Folder() + "/written.json");
    TRegs again;
    again.Load(back);
    if (!(again == regs))
        std::abort();
    ClearFolder();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the reader.
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0)
        FuzzLanguageFile(bytes);
    else
        FuzzSettingsFile(bytes);
    return 0;
}
