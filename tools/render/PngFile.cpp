#include "tools/render/PngFile.h"

#include <png.h>

#include <stdexcept>

namespace render {

void WritePng(corvane::ReplacingFile& file, int width, int height, const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> encoded;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("cannot encode " + file.Path());
    }
    png_set_write_fn(
        png, &encoded,
        [](png_structp p, png_bytep bytes, png_size_t count) {
            auto* sink = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            sink->insert(sink->end(), bytes, bytes + count);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(&rgb[static_cast<size_t>(y) * width * 3]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (!file.Write(encoded.data(), encoded.size())) throw std::runtime_error(file.Error());
}

}  // namespace render
