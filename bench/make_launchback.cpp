// Draws the compile-and-launch dialog's background (a dusk sky over dark hills) and writes it
// as a JPEG with libjpeg: make_launchback <out.jpg>
#include <cmath>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_launchback <out.jpg>\n");
        return 2;
    }
    const int width = 376, height = 354;
    std::vector<unsigned char> pixels(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double t = double(y) / height;
            const double hill = 250 + 22 * std::sin(x / 41.0) + 12 * std::sin(x / 13.0 + 1.0);
            unsigned char *p = &pixels[(size_t(y) * width + x) * 3];
            if (y > hill) {
                p[0] = 24, p[1] = 30, p[2] = 22;
            } else {
                p[0] = (unsigned char)(40 + 150 * t);
                p[1] = (unsigned char)(50 + 70 * t);
                p[2] = (unsigned char)(90 - 40 * t);
            }
        }
    }
    FILE *out = std::fopen(argv[1], "wb");
    if (!out)
        return 1;
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &pixels[size_t(info.next_scanline) * width * 3];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
    return 0;
}
