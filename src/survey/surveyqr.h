#pragma once

#include <string>
#include <vector>

// A QR code as a square of dark and light modules, without the quiet zone around it.
struct TQrMatrix {
    int Size = 0;
    std::vector<bool> Dark; // row by row, Size * Size modules

    bool At(int x, int y) const { return Dark[static_cast<std::size_t>(y * Size + x)]; }
};

// The QR code of a text (an address), error correction level M; an empty matrix when the text
// cannot be encoded.
TQrMatrix EncodeQr(const std::string& text);
