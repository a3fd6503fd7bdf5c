// JPEG encoding into memory; the callers decide where the bytes go.
#include "jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

struct JpegError {
    jpeg_error_mgr manager;
    jmp_buf back;
};

// libjpeg's own handler ends the program; a failed picture must only fail its save.
static void jpegFailed(j_common_ptr info)
{
    longjmp(reinterpret_cast<JpegError*>(info->err)->back, 1);
}

static void jpegQuiet(j_common_ptr, int)
{
}

bool encodeRgbJpeg(const uint8_t* rgb, size_t rgbSize, int width, int height, int quality,
                   std::vector<uint8_t>& out)
{
    if (!rgb || width <= 0 || height <= 0 || rgbSize != size_t(width) * size_t(height) * 3) {
        return false;
    }
    jpeg_compress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegFailed;
    error.manager.emit_message = jpegQuiet;
    // libjpeg writes both through their addresses, so they hold their values after a longjmp;
    // the buffer it allocates must be freed either way.
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    if (setjmp(error.back)) {
        jpeg_destroy_compress(&info);
        free(buffer);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + size_t(info.next_scanline) * size_t(width) * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    out.assign(buffer, buffer + length);
    jpeg_destroy_compress(&info);
    free(buffer);
    return true;
}
