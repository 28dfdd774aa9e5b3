// Feeds arbitrary bytes to the project loader: it must never crash, hang or leak, and a project
// it accepts must survive a save and a reload unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "store/fileacc.h"
#include "util/messagesink.h"

namespace {

class TQuietMessages final : public IMessageSink {
public:
    void ShowText(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static TQuietMessages quiet;
    SetMessageSink(&quiet);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    TFileAccess first;
    if (!first.LoadFromBytes(bytes))
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
