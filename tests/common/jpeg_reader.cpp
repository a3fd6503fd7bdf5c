#include "jpeg_reader.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

struct JpegFailure {
    jpeg_error_mgr manager;
    jmp_buf back;
};

// A broken JPEG fails the test's check instead of ending the test program.
static void jpegFailed(j_common_ptr info)
{
    longjmp(reinterpret_cast<JpegFailure*>(info->err)->back, 1);
}

bool decodeJpeg(const std::vector<uint8_t>& data, int& width, int& height, std::vector<uint8_t>& rgb)
{
    jpeg_decompress_struct info;
    JpegFailure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = jpegFailed;
    if (setjmp(failure.back)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, const_cast<unsigned char*>(data.data()), (unsigned long)data.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = int(info.output_width);
    height = int(info.output_height);
    rgb.resize(size_t(width) * height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb.data() + size_t(info.output_scanline) * width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}
