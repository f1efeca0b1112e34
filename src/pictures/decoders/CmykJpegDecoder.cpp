#include "CmykJpegDecoder.h"

#include "PictureLimits.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace PictureDecoders {
namespace {

// The JPEG library reports a fatal error by calling error_exit, which must not return: it jumps
// back to decode with the library's message.
struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpOut(j_common_ptr info) {
    auto* error = reinterpret_cast<ErrorJump*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

// Ends decoding with our own message, kept in C types, so the jump leaves nothing undestroyed.
[[noreturn]] void refuse(ErrorJump& error, const char* message) {
    std::snprintf(error.message, sizeof error.message, "%s", message);
    std::longjmp(error.jump, 1);
}

[[noreturn]] void refuseTooLarge(ErrorJump& error, JDIMENSION width, JDIMENSION height) {
    std::snprintf(error.message, sizeof error.message, "picture too large (%u x %u pixels)", width,
                  height);
    std::longjmp(error.jump, 1);
}

// Warnings of damaged data are not fatal: the library goes on with what it has, as Qt's reader
// does with the same files.
void ignoreWarning(j_common_ptr, int) {}

// The library's part. Only plain C objects live in this frame, so the jump back skips no
// destructor; the results go into the caller's object.
void decodeInto(CmykSamples& out, const QByteArray& file, int eighths, ErrorJump& error) {
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jumpOut;
    error.manager.emit_message = ignoreWarning;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        out.samples.clear();
        out.error = QString::fromLocal8Bit(error.message);
        return;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.constData()),
                 static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    if (info.num_components != 4)
        refuse(error, "not a four-component JPEG");
    if (!PictureLimits::withinPixelLimit(info.image_width, info.image_height))
        refuseTooLarge(error, info.image_width, info.image_height);
    info.out_color_space = JCS_CMYK;
    info.scale_num = static_cast<unsigned int>(eighths);
    info.scale_denom = 8;
    jpeg_start_decompress(&info);
    const std::size_t row = std::size_t(info.output_width) * 4;
    out.size = QSize(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    out.samples.resize(row * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW line = out.samples.data() + row * info.output_scanline;
        jpeg_read_scanlines(&info, &line, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

} // namespace

CmykSamples decodeCmykJpeg(const QByteArray& file, int eighths) {
    CmykSamples samples;
    ErrorJump error{};
    decodeInto(samples, file, eighths, error);
    return samples;
}

} // namespace PictureDecoders
