#pragma once

#include <QSize>

#include "platform/picturefile.h"
#include "reports/reportpictures.h"

// Report pictures from drawings: a subclass says how large each picture is and how to draw it, and
// the SVG and PNG forms the report builders ask for are made from that one drawing. The PDF report
// paints the drawing straight onto its pages, so the pictures stay vectors there.
class TPaintedPictures : public TReportPictures {
public:
    // The picture's size in its own pixels; empty when the investigation has no such picture.
    virtual QSize PictureSize(int32_t investId, TReportPicture picture) = 0;
    // Draws the picture from (0, 0) in its own pixels.
    virtual TDrawing Drawing(int32_t investId, TReportPicture picture) = 0;

    TPictureSize Size(int32_t investId, TReportPicture picture) override;
    std::string Svg(int32_t investId, TReportPicture picture) override;
    std::string Png(int32_t investId, TReportPicture picture, int width, TPictureBand band) override;
    std::string PngInRows(int32_t investId, TReportPicture picture, int bandWidth) override;
};
