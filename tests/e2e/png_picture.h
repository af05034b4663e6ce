// The pictures the tests render with rsvg-convert, read back pixel by pixel.
#pragma once

#include <string>
#include <vector>

// A decoded PNG: 8-bit RGB or RGBA, not interlaced.
struct Picture {
    int Width = 0, Height = 0, Channels = 0;
    std::vector<unsigned char> Pixels;
    int Grey(double x, double y) const {
        const unsigned char* p = &Pixels[(static_cast<int>(y) * Width + static_cast<int>(x)) * Channels];
        return (p[0] + p[1] + p[2]) / 3;
    }
};

// Decodes png into picture; false for any other kind of PNG.
bool DecodePng(const std::string& png, Picture& picture);
