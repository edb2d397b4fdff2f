// Draws the compile-and-launch dialog's background and writes it as a JPEG with libjpeg:
// make_launchback <out.jpg>
// A pale dusk sky with far, hazy hills lies behind the two panels, whose black captions must
// stay readable on it; the dark near hills start only below the panels, behind the progress bar
// and the silver "Compile and Run" caption.
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
            const double t = double(y) / 300;
            const double farHill = 210 + 18 * std::sin(x / 53.0 + 0.4) + 8 * std::sin(x / 17.0);
            const double nearHill = 306 + 4 * std::sin(x / 41.0) + 2 * std::sin(x / 13.0 + 1.0);
            unsigned char *p = &pixels[(size_t(y) * width + x) * 3];
            if (y > nearHill) {
                p[0] = 24, p[1] = 30, p[2] = 22;
            } else if (y > farHill) {
                p[0] = (unsigned char)(170 - 14 * (t - 0.7));
                p[1] = (unsigned char)(178 - 14 * (t - 0.7));
                p[2] = (unsigned char)(160 - 10 * (t - 0.7));
            } else {
                // Steel blue high up, warming to pale gold towards the horizon.
                p[0] = (unsigned char)(180 + 58 * t);
                p[1] = (unsigned char)(198 + 14 * t);
                p[2] = (unsigned char)(226 - 56 * t);
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
