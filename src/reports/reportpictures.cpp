#include "reports/reportpictures.h"

#include <array>
#include <utility>

#include "reports/reportorder.h"

namespace {

constexpr std::array<std::pair<TReportPicture, std::string_view>, 4> kNames = {{
    {TReportPicture::Sociogram, "sociogram"},
    {TReportPicture::Target, "target"},
    {TReportPicture::GroupChart, "group-indices"},
    {TReportPicture::MemberChart, "member-indices"},
}};

} // namespace

std::string_view ReportPictureName(TReportPicture picture)
{
    for (const auto& [p, name] : kNames) {
        if (p == picture)
            return name;
    }
    return {};
}

std::optional<TReportPicture> ReportPictureOfName(std::string_view name)
{
    for (const auto& [p, pictureName] : kNames) {
        if (pictureName == name)
            return p;
    }
    return std::nullopt;
}

std::optional<TReportPicture> ReportPictureOfPart(int part)
{
    // The picture parts follow one another in the order of the pictures.
    int first = -1;
    for (std::size_t i = 0; i < kReportPartCount && first < 0; ++i) {
        if (kReportParts[i].Picture)
            first = static_cast<int>(i);
    }
    const int index = part - first;
    if (first < 0 || index < 0 || index >= static_cast<int>(kNames.size()) ||
        !kReportParts[static_cast<std::size_t>(part)].Picture)
        return std::nullopt;
    return kNames[static_cast<std::size_t>(index)].first;
}

bool PictureWantsLandscape(TPictureSize size)
{
    return !size.Empty() && size.Width > 3 * size.Height;
}
