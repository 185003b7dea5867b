#include "tools/vfd/PngFile.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <png.h>
#include <vector>

namespace lum::vfd {

std::string WritePng(const dotmatrix::Image& image, const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                               &std::fclose);
    if (!file) {
        return "cannot create " + path + ": " + std::strerror(errno);
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return "out of memory writing " + path;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(image.Width) * 3);
    // libpng reports its errors by a long jump back here.
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return "cannot write " + path;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width),
                 static_cast<png_uint_32>(image.Height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.Height; ++y) {
        for (int x = 0; x < image.Width; ++x) {
            const std::uint32_t pixel = image.Pixels[static_cast<std::size_t>(y * image.Width + x)];
            row[static_cast<std::size_t>(x) * 3] = static_cast<png_byte>(pixel >> 16);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<png_byte>(pixel >> 8);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<png_byte>(pixel);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0) {
        return "cannot write " + path + ": " + std::strerror(errno);
    }
    return {};
}

} // namespace lum::vfd
