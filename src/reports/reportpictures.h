#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The pictures an investigation report can hold, one per picture part.
enum class TReportPicture : uint8_t {
    Sociogram,
    Target,
    GroupChart,
    MemberChart,
};

// The name a picture goes by in the report document and in the file names of the text report
// ("sociogram", "target", "group-indices", "member-indices"), and back; none for another name.
std::string_view ReportPictureName(TReportPicture picture);
std::optional<TReportPicture> ReportPictureOfName(std::string_view name);
// The picture a report part draws; none for a part of words and tables.
std::optional<TReportPicture> ReportPictureOfPart(int part);

// A picture's size in its own pixels.
struct TPictureSize {
    int Width = 0;
    int Height = 0;
    bool Empty() const { return Width <= 0 || Height <= 0; }
};

// Whether a picture is so much wider than tall that it goes on a landscape page of a printed
// report (the members' index chart of a large group), where it is drawn larger.
bool PictureWantsLandscape(TPictureSize size);

// Columns of a picture, in its own pixels: a band of a picture cut across pages; all of it when
// Width is 0.
struct TPictureBand {
    int Left = 0;
    int Width = 0;
};

// A picture that a page would shrink to less than half the size its height allows there (at most
// its size on screen) is cut into bands of the page's width: the members' chart of a large group,
// thousands of bars in a row. Answers the bands' scale in page units per picture pixel, near the
// size on screen and a little smaller where that fits one more band on a page; 0 for a picture
// that goes whole on a page. screenScale: page units of a pixel on screen; gap: between bands.
double PictureBandScale(TPictureSize size, double pageWidth, double pageHeight, double screenScale, double gap);
// The bands of a picture: as few as bands at most bandWidth pixels wide allow, of one width.
std::vector<TPictureBand> PictureBands(TPictureSize size, double bandWidth);

// The screen, in pixels, that HTML reports and the picture files beside text reports are read on.
inline constexpr int kReadingScreenWidth = 1280;
inline constexpr int kReadingScreenHeight = 800;
// Whether that screen would shrink the picture past reading, so that it keeps its own size:
// scrolling sideways in an HTML page, in rows one under another in a picture file.
bool PictureOutgrowsScreen(TPictureSize size);

// Draws the pictures of an investigation for the report builders. The reports know no views: the
// GUI implements this with the view windows' own drawing, so a report shows what the windows show.
// Without one (the core-only command line) the picture parts are left out of the report.
class TReportPictures {
public:
    virtual ~TReportPictures() = default;

    // The picture's size; empty when the investigation cannot be drawn (fewer than two members).
    virtual TPictureSize Size(int32_t investId, TReportPicture picture) = 0;
    // The picture as an SVG document.
    virtual std::string Svg(int32_t investId, TReportPicture picture) = 0;
    // The picture, or one band of it, as PNG bytes, scaled to width pixels with its proportions kept.
    virtual std::string Png(int32_t investId, TReportPicture picture, int width, TPictureBand band) = 0;
    // The picture cut into bands at most bandWidth pixels wide, laid one under another at its own
    // size, as PNG bytes: a picture far wider than any screen, made one to scroll down.
    virtual std::string PngInRows(int32_t investId, TReportPicture picture, int bandWidth) = 0;
};
