// SkinImage: the region record is read defensively; a count or size that does
// not match the file, or an empty rectangle, rejects the whole outline.
#include "platform/gtk/SkinImage.h"

#include "core/RegularFile.h"

#include <cstdint>

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kRectangleSize = 16;
constexpr std::uint32_t kMaxRectangles = 4096;
constexpr std::size_t kMaxRegionBytes = kHeaderSize + kMaxRectangles * kRectangleSize;

std::int32_t readInt(const std::vector<unsigned char>& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(value);
}

} // namespace

SkinImage::~SkinImage()
{
    if (outline)
        cairo_region_destroy(outline);
    if (surface)
        cairo_surface_destroy(surface);
}

std::vector<cairo_rectangle_int_t> SkinImage::parseRegion(const std::vector<unsigned char>& record)
{
    if (record.size() < kHeaderSize || readInt(record, 0) != static_cast<std::int32_t>(kHeaderSize) ||
        readInt(record, 4) != 1)
        return {};
    const auto count = static_cast<std::uint32_t>(readInt(record, 8));
    if (count == 0 || count > kMaxRectangles || record.size() != kHeaderSize + count * kRectangleSize ||
        static_cast<std::uint32_t>(readInt(record, 12)) != count * kRectangleSize)
        return {};
    std::vector<cairo_rectangle_int_t> rectangles;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = kHeaderSize + i * kRectangleSize;
        const int left = readInt(record, at);
        const int top = readInt(record, at + 4);
        const int right = readInt(record, at + 8);
        const int bottom = readInt(record, at + 12);
        if (right <= left || bottom <= top)
            return {};
        rectangles.push_back({left, top, right - left, bottom - top});
    }
    return rectangles;
}

bool SkinImage::loadBitmap(const std::string& path)
{
    if (!CRegularFile::isRegular(path)) {
        problem = "cannot read the skin bitmap " + path;
        return false;
    }
    surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        problem = "cannot read the skin bitmap " + path;
        cairo_surface_destroy(surface);
        surface = nullptr;
        return false;
    }
    bitmapWidth = cairo_image_surface_get_width(surface);
    bitmapHeight = cairo_image_surface_get_height(surface);
    return true;
}

bool SkinImage::loadRegion(const std::string& path)
{
    std::string bytes;
    std::string why;
    CRegularFile::read(path, kMaxRegionBytes, bytes, why);
    const std::vector<unsigned char> record(bytes.begin(), bytes.end());
    const std::vector<cairo_rectangle_int_t> rectangles = parseRegion(record);
    if (rectangles.empty()) {
        problem = "cannot read the window outline " + path;
        return false;
    }
    outline = cairo_region_create_rectangles(rectangles.data(), static_cast<int>(rectangles.size()));
    return true;
}

bool SkinImage::load(const std::string& folder)
{
    return loadBitmap(folder + "/skin.png") && loadRegion(folder + "/skin.region");
}
