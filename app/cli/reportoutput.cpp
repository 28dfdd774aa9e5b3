#include "cli/reportoutput.h"

#include <iostream>
#include <memory>
#include <vector>

#include "cli/commands.h"
#include "reports/htmlbuilder.h"
#include "reports/textbuilder.h"
#include "reports/wordbuilder.h"
#include "settings/regs.h"
#include "store/fileacc.h"
#include "util/messagesink.h"

namespace {

// Collects the messages a builder shows (a document that cannot be built) while it is installed.
class TShownMessages final : public IMessageSink {
public:
    TShownMessages() : m_previous(SetMessageSink(this)) {}
    ~TShownMessages() override { SetMessageSink(m_previous); }
    TShownMessages(const TShownMessages&) = delete;
    TShownMessages& operator=(const TShownMessages&) = delete;

    void ShowText(const std::string& text) override { texts.push_back(text); }

    std::vector<std::string> texts;

private:
    IMessageSink* m_previous;
};

std::unique_ptr<TReporter> MakeBuilder(const std::string& format, const TReportTarget& target,
                                       const std::string& outFile)
{
    if (format == "html")
        return std::make_unique<THTMLBuilder>(target, false, outFile);
    if (format == "word")
        return std::make_unique<TWordBuilder>(target, false, outFile);
    return std::make_unique<TTextBuilder>(target, false, outFile);
}

} // namespace

int CliWriteReport(const std::string& projectFile, const std::string& format, const TReportTarget& target,
                   const std::string& outFile, const std::function<void(TReporter&)>& produce)
{
    if (!CliOutputIsNotInput(projectFile, outFile))
        return 1;
    TFileAccess store(projectFile);
    if (!CliLoadProject(store))
        return 1;
    Regs().Load(); // the order and selection of the investigation report's parts
    std::unique_ptr<TReporter> builder = MakeBuilder(format, target, outFile);
    builder->SetStore(store);
    try {
        TShownMessages shown;
        produce(*builder);
        if (!shown.texts.empty()) {
            for (const std::string& text : shown.texts)
                std::cerr << text << '\n';
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
