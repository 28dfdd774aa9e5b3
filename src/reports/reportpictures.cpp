#include "reports/reportpictures.h"

#include <algorithm>
#include <array>
#include <cmath>
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

double PictureBandScale(TPictureSize size, double pageWidth, double pageHeight, double screenScale, double gap)
{
    if (size.Empty() || pageWidth <= 0 || pageHeight <= 0)
        return 0;
    const double whole = std::min(pageWidth / size.Width, pageHeight / size.Height);
    const double readable = std::min(screenScale, pageHeight / size.Height);
    if (whole >= readable * 0.5)
        return 0;
    const double perPage = std::max(1.0, std::round((pageHeight + gap) / (size.Height * readable + gap)));
    return std::min(readable, (pageHeight - (perPage - 1) * gap) / (perPage * size.Height));
}

std::vector<TPictureBand> PictureBands(TPictureSize size, double bandWidth)
{
    // Bands of one width, as few as bandWidth allows: no sliver of a last band on a page of its own.
    std::vector<TPictureBand> bands;
    if (size.Empty())
        return bands;
    const int count = static_cast<int>(std::ceil(size.Width / std::max(1.0, std::floor(bandWidth))));
    for (int i = 0, left = 0; i < count; ++i) {
        const int width = size.Width / count + (i < size.Width % count ? 1 : 0);
        bands.push_back({left, width});
        left += width;
    }
    return bands;
}

bool PictureOutgrowsScreen(TPictureSize size)
{
    return PictureBandScale(size, kReadingScreenWidth, kReadingScreenHeight, 1, 0) > 0;
}
