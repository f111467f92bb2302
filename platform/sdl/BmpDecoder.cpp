// Pictures of the asset pack are Windows BMP images; SDL2 reads them. A
// damaged pack must end in a clear error, never in a crash or a runaway
// allocation, so the header is checked against the bytes actually there
// before SDL sees it.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

namespace {

constexpr int32_t MaxSide = 16384;
constexpr int64_t MaxPixels = int64_t{32} * 1024 * 1024;

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// True when the header describes a picture of sane size whose pixel rows
// (when stored uncompressed) lie inside the image.
bool PlausibleBmp(const uint8_t* data, size_t size)
{
    if (!data || size < 26 || data[0] != 'B' || data[1] != 'M')
        return false;
    const uint32_t pixelOffset = U32(data + 10);
    const uint32_t headerSize = U32(data + 14);
    int64_t width = 0, height = 0;
    uint32_t bpp = 0, compression = 0;
    if (headerSize == 12) {
        width = U16(data + 18);
        height = U16(data + 20);
        bpp = U16(data + 24);
    } else if (headerSize >= 40 && headerSize <= 1024) {
        if (size < 14 + 40)
            return false;
        width = static_cast<int32_t>(U32(data + 18));
        height = static_cast<int32_t>(U32(data + 22));
        bpp = U16(data + 28);
        compression = U32(data + 30);
    } else {
        return false;
    }
    if (height < 0)
        height = -height; // rows stored top to bottom
    if (width <= 0 || height <= 0 || width > MaxSide || height > MaxSide || width * height > MaxPixels)
        return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    if (pixelOffset >= size)
        return false;
    // BI_RGB and BI_BITFIELDS rows are padded to four bytes; run-length
    // encoded pictures are bounded by their size alone.
    if (compression == 0 || compression == 3) {
        const int64_t rowBytes = ((width * bpp + 31) / 32) * 4;
        if (static_cast<int64_t>(pixelOffset) + rowBytes * height > static_cast<int64_t>(size))
            return false;
    } else if (compression != 1 && compression != 2) {
        return false;
    }
    return true;
}

} // namespace

bool DecodeBmp(const uint8_t* data, size_t size, TImage& out)
{
    if (!PlausibleBmp(data, size) || size > static_cast<size_t>(INT32_MAX))
        return false;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!rw)
        return false;
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
    if (!loaded)
        return false;
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_XRGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!rgb)
        return false;
    bool ok = false;
    if (rgb->w > 0 && rgb->h > 0 && SDL_LockSurface(rgb) == 0) {
        out.Width = rgb->w;
        out.Height = rgb->h;
        out.Pixels.assign(static_cast<size_t>(rgb->w) * static_cast<size_t>(rgb->h), 0u);
        for (int y = 0; y < rgb->h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(rgb->pixels) +
                                                                static_cast<size_t>(y) * rgb->pitch);
            uint32_t* to = out.Pixels.data() + static_cast<size_t>(y) * rgb->w;
            for (int x = 0; x < rgb->w; ++x)
                to[x] = row[x] & 0x00FFFFFFu;
        }
        SDL_UnlockSurface(rgb);
        ok = true;
    }
    SDL_FreeSurface(rgb);
    return ok;
}
