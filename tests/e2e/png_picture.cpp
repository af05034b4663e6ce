// A PNG decoder for the 8-bit pictures rsvg-convert writes: the chunks, zlib
// and the row filters, nothing else.
#include "e2e/png_picture.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>

static uint32_t BigEndian(const std::string& s, size_t at) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data()) + at;
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool DecodePng(const std::string& png, Picture& picture) {
    if (png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return false;
    std::string data;
    for (size_t at = 8; at + 8 <= png.size();) {
        uint32_t length = BigEndian(png, at);
        std::string type = png.substr(at + 4, 4);
        if (type == "IHDR") {
            picture.Width = static_cast<int>(BigEndian(png, at + 8));
            picture.Height = static_cast<int>(BigEndian(png, at + 12));
            int color = png[at + 17];
            if (png[at + 16] != 8 || (color != 2 && color != 6) || png[at + 20] != 0) return false;
            picture.Channels = color == 2 ? 3 : 4;
        } else if (type == "IDAT") {
            data += png.substr(at + 8, length);
        }
        at += 12 + length;
    }
    size_t stride = static_cast<size_t>(picture.Width) * picture.Channels;
    std::vector<unsigned char> raw((stride + 1) * picture.Height);
    uLongf size = raw.size();
    if (uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(data.data()), data.size()) != Z_OK ||
        size != raw.size())
        return false;
    picture.Pixels.assign(stride * picture.Height, 0);
    int bpp = picture.Channels;
    for (int y = 0; y < picture.Height; ++y) {
        const unsigned char* in = &raw[y * (stride + 1)];
        unsigned char* out = &picture.Pixels[y * stride];
        const unsigned char* up = y > 0 ? out - stride : nullptr;
        for (size_t x = 0; x < stride; ++x) {
            int a = x >= static_cast<size_t>(bpp) ? out[x - bpp] : 0, b = up ? up[x] : 0;
            int c = up && x >= static_cast<size_t>(bpp) ? up[x - bpp] : 0;
            int predictor = 0;
            switch (in[0]) {
                case 1: predictor = a; break;
                case 2: predictor = b; break;
                case 3: predictor = (a + b) / 2; break;
                case 4: {
                    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                    break;
                }
            }
            out[x] = static_cast<unsigned char>(in[1 + x] + predictor);
        }
    }
    return true;
}
