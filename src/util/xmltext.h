#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text for XML documents (GraphML, GEXF, SVG, Word, spreadsheets): every writer of XML passes
// names and other user text through here, so no reader refuses the file.

// Replaces what XML 1.0 does not allow in text and attribute values - C0 control characters
// other than tab, line feed and carriage return, surrogates, U+FFFE and U+FFFF - together with
// the other Unicode non-characters (U+FDD0 to U+FDEF, U+nFFFE, U+nFFFF) and malformed UTF-8 by
// U+FFFD. Valid text comes back unchanged.
std::string XmlSafeText(std::string_view utf8);

// True when XmlSafeText would change nothing.
bool IsXmlSafeText(std::string_view utf8);

// An element id of a letter and a number, such as "n12" for node 12 of a graph.
std::string XmlId(char letter, int64_t number);
