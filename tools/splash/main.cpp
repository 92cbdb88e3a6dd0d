// Draws the splash photograph and writes it as a baseline JFIF JPEG.
// Usage: splashgen <output.jpg>
#include "tools/splash/Raster.h"
#include "tools/splash/Scene.h"

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 604;
constexpr int kHeight = 453;
constexpr int kSupersample = 3;

bool writeJpeg(const char* path, const std::vector<std::uint8_t>& rgb, int width, int height) {
    FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo); // baseline, Huffman, with the JFIF marker
    jpeg_set_quality(&cinfo, 90, TRUE);
    cinfo.write_JFIF_header = TRUE;
    cinfo.density_unit = 1; // dots per inch
    cinfo.X_density = 96;
    cinfo.Y_density = 96;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(&rgb[static_cast<std::size_t>(cinfo.next_scanline) * width * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(out) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.jpg>\n", argv[0]);
        return 2;
    }
    Raster canvas(kWidth * kSupersample, kHeight * kSupersample);
    drawDormitoryScene(canvas, kSupersample);
    const Raster picture = canvas.reduced(kSupersample);
    if (!writeJpeg(argv[1], picture.toRgb8(), picture.width(), picture.height())) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
