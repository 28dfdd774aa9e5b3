#include "exchange/exchangetext.h"

#include "i18n/langconv.h"
#include "util/text.h"

std::string ExchangeText(const char* key, const char* english, std::string_view arg1, std::string_view arg2)
{
    const std::string text =
        HasLangConv() && LangConv().HasText(key) ? LangConv().GetText(key) : std::string(english);
    // One pass, so a marker inside an argument's value stays as it is.
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            out += text[i + 1] == '1' ? arg1 : arg2;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string RowExcerpt(std::string_view text)
{
    constexpr std::size_t kExcerptChars = 60;
    if (!IsValidUtf8(text))
        return "?";
    if (CharCount(text) <= kExcerptChars)
        return std::string(text);
    return CutChars(text, kExcerptChars) + "...";
}

std::string ReservedNameText()
{
    return ExchangeText("IMPORT_NULL_NAME", "\"NULL\" cannot be a name: the project file would read it back empty.");
}
