#include "reports/reportfile.h"

#include "util/text.h"

const char* ReportExtension(TReportFormat format)
{
    switch (format) {
    case TReportFormat::Text:
        return ".txt";
    case TReportFormat::Html:
        return ".html";
    case TReportFormat::Word:
        return ".docx";
    case TReportFormat::Pdf:
        return ".pdf";
    }
    return ".txt";
}

std::string ChangeReportExtension(const std::string& fileName, const std::string& extension)
{
    const std::string name = Trim(fileName);
    const std::size_t slash = name.rfind('/');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < base || dot == base || dot + 1 == name.size())
        return name; // no extension (a leading dot names a hidden file, not an extension)
    const std::string current = name.substr(dot);
    const std::size_t first = name.find(current, base);
    return name.substr(0, first) + extension;
}

std::string EnsureReportExtension(const std::string& fileName, const std::string& extension)
{
    const std::string name = Trim(fileName);
    if (name.size() >= extension.size() && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
        return name;
    return name + extension;
}
