#include "core/archive/Lzo.h"

#include <lzo/lzo1x.h>

#include <mutex>
#include <stdexcept>
#include <vector>

namespace marlix::lzo {

namespace {
void initOnce() {
    static std::once_flag flag;
    std::call_once(flag, [] {
        if (lzo_init() != LZO_E_OK)
            throw std::runtime_error("liblzo2 does not match its header");
    });
}
} // namespace

void compress(const char *data, int size, QByteArray &out) {
    initOnce();
    // The worst case LZO1X can expand incompressible input to.
    const qsizetype bound = size + size / 16 + 64 + 3;
    const qsizetype start = out.size();
    out.resize(start + bound);
    thread_local std::vector<unsigned char> work(LZO1X_1_MEM_COMPRESS);
    lzo_uint written = 0;
    lzo1x_1_compress(reinterpret_cast<const unsigned char *>(data), lzo_uint(size),
                     reinterpret_cast<unsigned char *>(out.data() + start), &written, work.data());
    out.resize(start + qsizetype(written));
}

bool decompress(const char *data, int size, char *out, int originalSize) {
    initOnce();
    lzo_uint written = lzo_uint(originalSize);
    const int result =
        lzo1x_decompress_safe(reinterpret_cast<const unsigned char *>(data), lzo_uint(size),
                              reinterpret_cast<unsigned char *>(out), &written, nullptr);
    return result == LZO_E_OK && written == lzo_uint(originalSize);
}

} // namespace marlix::lzo
