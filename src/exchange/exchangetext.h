#pragma once

#include <string>
#include <string_view>

// Texts of the importers and exporters: the catalogue's words where a catalogue is installed,
// else the fixed English text.

// The catalogue text of key, or english; "%1" and "%2" are replaced by the arguments.
std::string ExchangeText(const char* key, const char* english, std::string_view arg1 = {},
                         std::string_view arg2 = {});

// A row's text for a refusal list: the fields joined by blanks, cut to a readable length.
std::string RowExcerpt(std::string_view text);

// Why an imported name "NULL" is refused (IsReservedNull).
std::string ReservedNameText();
