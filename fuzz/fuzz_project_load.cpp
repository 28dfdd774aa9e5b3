// Feeds arbitrary bytes to the project loader: it must never crash, hang or leak, and a project
// it accepts must survive a save and a reload unchanged. Now and then the bytes also go through a
// file large enough for the reader's large-file path, which must read what memory reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <fstream>

#include <unistd.h>

#include "store/fileacc.h"
#include "util/messagesink.h"

namespace {

class TQuietMessages final : public IMessageSink {
public:
    void ShowText(const std::string&) override {}
};

// The same bytes, followed by a line of blanks that takes the file past the size from which it is
// read in one mapped block, must load as they loaded from memory.
void CheckLargeFile(std::string_view bytes, bool loaded, const TFileAccess& fromMemory)
{
    static const std::string path = [] {
        std::string pattern = "/tmp/tremlow-fuzz-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        ::close(fd);
        return pattern;
    }();
    // Registered once the name is made, so that it runs before the name is destroyed.
    static const bool removedAtExit = std::atexit([] { ::unlink(path.c_str()); }) == 0;
    (void)removedAtExit;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out << "\n" << std::string(std::size_t{1} << 21, ' ');
    }
    TFileAccess fromFile(path);
    if (fromFile.Load() != loaded)
        std::abort();
    std::string a;
    std::string b;
    if (loaded && (!fromMemory.BuildFileText(a) || !fromFile.BuildFileText(b) || a != b))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static TQuietMessages quiet;
    SetMessageSink(&quiet);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    TFileAccess first;
    const bool loaded = first.LoadFromBytes(bytes);
    if (size > 0 && data[0] % 8 == 0)
        CheckLargeFile(bytes, loaded, first);
    if (!loaded)
        return 0;
    std::string text1;
    if (!first.BuildFileText(text1))
        std::abort(); // everything a load accepts must be writable

    TFileAccess second;
    if (!second.LoadFromBytes(text1))
        std::abort(); // what the store writes it must read back
    std::string text2;
    if (!second.BuildFileText(text2) || text1 != text2)
        std::abort(); // a second round trip changes nothing
    return 0;
}
