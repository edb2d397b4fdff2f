#include "launch/JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace marlix {

namespace {

struct ErrorExit {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void onJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorExit *>(info->err)->jump, 1);
}

void quietMessage(j_common_ptr) {}

} // namespace

QImage decodeJpeg(const QByteArray &bytes) {
    if (bytes.isEmpty())
        return {};
    jpeg_decompress_struct info;
    ErrorExit error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onJpegError;
    error.manager.output_message = quietMessage;
    // Everything the jump may skip back over lives outside this frame's locals that change.
    QImage *volatile result = new QImage;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        delete result;
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *result = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = result->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    QImage image = *result;
    delete result;
    return image;
}

} // namespace marlix
