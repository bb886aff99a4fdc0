#include "libjpeg_codec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <random>

#include <jpeglib.h>

namespace jpegtest {

namespace {

// libjpeg reports errors by calling error_exit; this one jumps back to the
// caller instead of ending the process.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JumpOnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

Bytes TestPicture(int width, int height) {
    std::mt19937 rng(static_cast<unsigned>(width * 31 + height));
    std::uniform_int_distribution<int> noise(-20, 20);
    Bytes rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
            p[0] = static_cast<unsigned char>(std::clamp(x * 255 / width + noise(rng), 0, 255));
            p[1] = static_cast<unsigned char>(std::clamp(y * 255 / height + noise(rng), 0, 255));
            p[2] = static_cast<unsigned char>(std::clamp(128 + noise(rng) * 3, 0, 255));
        }
    return rgb;
}

// "Exif", two zero bytes, a big-endian TIFF header and an empty IFD.
const unsigned char kExifPayload[] = {'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0};

} // namespace

Bytes EncodeJpeg(int width, int height, JpegKind kind) {
    Bytes rgb = TestPicture(width, height);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (kind == JpegKind::Progressive)
        jpeg_simple_progression(&info);
    if (kind == JpegKind::Exif)
        info.write_JFIF_header = FALSE;
    jpeg_start_compress(&info, TRUE);
    if (kind == JpegKind::Exif)
        jpeg_write_marker(&info, JPEG_APP0 + 1, kExifPayload, sizeof kExifPayload);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = &rgb[static_cast<size_t>(info.next_scanline) * static_cast<size_t>(width) * 3];
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes file(out, out + outSize);
    std::free(out);
    return file;
}

bool DecodeJpeg(const Bytes& image, DecodedJpeg* decoded, std::string* error) {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JumpOnError;
    if (setjmp(errors.jump) != 0) {
        *error = errors.message;
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, image.data(), static_cast<unsigned long>(image.size()));
    jpeg_save_markers(&info, JPEG_COM, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    decoded->width = static_cast<int>(info.output_width);
    decoded->height = static_cast<int>(info.output_height);
    size_t stride = static_cast<size_t>(info.output_width) * static_cast<size_t>(info.output_components);
    decoded->pixels.assign(stride * info.output_height, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &decoded->pixels[static_cast<size_t>(info.output_scanline) * stride];
        jpeg_read_scanlines(&info, &row, 1);
    }
    decoded->comments.clear();
    for (jpeg_saved_marker_ptr m = info.marker_list; m != nullptr; m = m->next)
        if (m->marker == JPEG_COM)
            decoded->comments.emplace_back(m->data, m->data + m->data_length);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace jpegtest
