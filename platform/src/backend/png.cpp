#include "backend/png.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

namespace plat::png {
namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<FILE, FileCloser>;

}  // namespace

bool Write(const Surface& surface, const std::string& path, bool opaque) {
    if (surface.width <= 0 || surface.height <= 0) return false;
    // Written beside the target and renamed, so a reader never sees half a file.
    std::string tmp = path + ".part";
    File f(std::fopen(tmp.c_str(), "wb"));
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        f.reset();
        std::remove(tmp.c_str());
        return false;
    }
    std::vector<png_byte> row(size_t(surface.width) * 4);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        f.reset();
        std::remove(tmp.c_str());
        return false;
    }
    png_init_io(png, f.get());
    png_set_IHDR(png, info, png_uint_32(surface.width), png_uint_32(surface.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    for (int y = 0; y < surface.height; ++y) {
        const uint32_t* src = surface.Row(y);
        for (int x = 0; x < surface.width; ++x) {
            uint32_t p = src[x];
            row[size_t(x) * 4 + 0] = png_byte(p >> 16);
            row[size_t(x) * 4 + 1] = png_byte(p >> 8);
            row[size_t(x) * 4 + 2] = png_byte(p);
            row[size_t(x) * 4 + 3] = opaque ? 0xFF : png_byte(p >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    bool ok = std::fflush(f.get()) == 0 && !std::ferror(f.get());
    ok = std::fclose(f.release()) == 0 && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

bool Read(const std::string& path, Surface* out) {
    out->Resize(0, 0);
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    png_byte sig[8];
    if (std::fread(sig, 1, 8, f.get()) != 8 || png_sig_cmp(sig, 0, 8) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    std::vector<png_byte> data;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        out->Resize(0, 0);
        return false;
    }
    png_init_io(png, f.get());
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    // Surfaces are int-sized and held in memory: refuse absurd dimensions up front.
    if (w == 0 || h == 0 || w > 32768 || h > 32768) png_error(png, "unsupported size");
    int type = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(w) * 4) png_error(png, "unexpected row layout");
    data.resize(size_t(w) * h * 4);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y) rows[y] = data.data() + size_t(y) * w * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    out->Resize(int(w), int(h));
    for (png_uint_32 y = 0; y < h; ++y) {
        uint32_t* dst = out->Row(int(y));
        const png_byte* src = rows[y];
        for (png_uint_32 x = 0; x < w; ++x, src += 4)
            dst[x] = uint32_t(src[3]) << 24 | uint32_t(src[0]) << 16 | uint32_t(src[1]) << 8 | src[2];
    }
    return true;
}

}  // namespace plat::png
