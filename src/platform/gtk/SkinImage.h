// The skin: the 600 x 380 bitmap and the window outline (a region record of
// rectangles: a 32-byte header, then left, top, right, bottom per rectangle).
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

class SkinImage {
public:
    SkinImage() = default;
    ~SkinImage();
    SkinImage(const SkinImage&) = delete;
    SkinImage& operator=(const SkinImage&) = delete;

    // Loads skin.png and skin.region from the folder; false (and error()) when either fails.
    bool load(const std::string& folder);
    const std::string& error() const { return problem; }

    cairo_surface_t* bitmap() const { return surface; }
    int width() const { return bitmapWidth; }
    int height() const { return bitmapHeight; }
    // The outline; null when not loaded. Owned by the skin.
    cairo_region_t* region() const { return outline; }

    // Parses a region record; empty when it is malformed.
    static std::vector<cairo_rectangle_int_t> parseRegion(const std::vector<unsigned char>& record);

private:
    bool loadBitmap(const std::string& path);
    bool loadRegion(const std::string& path);

    cairo_surface_t* surface = nullptr;
    cairo_region_t* outline = nullptr;
    int bitmapWidth = 0;
    int bitmapHeight = 0;
    std::string problem;
};
