#include "survey/surveyqr.h"

#include <memory>

#include <qrencode.h>

TQrMatrix EncodeQr(const std::string& text)
{
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(text.c_str(), 0, QR_ECLEVEL_M), &QRcode_free);
    TQrMatrix matrix;
    if (!code)
        return matrix;
    matrix.Size = code->width;
    const std::size_t count = static_cast<std::size_t>(code->width) * static_cast<std::size_t>(code->width);
    matrix.Dark.resize(count);
    // The lowest bit of each byte tells a dark module; the others describe its role.
    for (std::size_t i = 0; i < count; ++i)
        matrix.Dark[i] = (code->data[i] & 1) != 0;
    return matrix;
}
