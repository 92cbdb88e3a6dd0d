#include "shell/JpegImage.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// Larger pictures are refused rather than allocated: the splash never needs one.
constexpr JDIMENSION kMaxSide = 16384;

// libjpeg's own error handler prints and calls exit(); ours jumps back to the
// decoder, which then gives up on the picture.
struct DecodeContext {
    jpeg_error_mgr mgr;
    std::jmp_buf escape;
    QImage image;
};

[[noreturn]] void failDecode(j_common_ptr cinfo) {
    auto* ctx = reinterpret_cast<DecodeContext*>(cinfo->err);
    std::longjmp(ctx->escape, 1);
}

void silence(j_common_ptr) {}

// Runs between setjmp and the end of the decode: it must not hold objects
// with destructors, since a longjmp out of libjpeg would skip them.
void readPicture(jpeg_decompress_struct& cinfo, DecodeContext& ctx) {
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width > kMaxSide || cinfo.image_height > kMaxSide)
        failDecode(reinterpret_cast<j_common_ptr>(&cinfo));
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    ctx.image = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                       QImage::Format_RGB888);
    if (ctx.image.isNull())
        failDecode(reinterpret_cast<j_common_ptr>(&cinfo));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = ctx.image.scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
}

} // namespace

QImage decodeJpeg(const QByteArray& data) {
    if (data.isEmpty())
        return {};
    DecodeContext ctx;
    jpeg_decompress_struct cinfo{};
    cinfo.err = jpeg_std_error(&ctx.mgr);
    ctx.mgr.error_exit = failDecode;
    ctx.mgr.output_message = silence;
    jpeg_create_decompress(&cinfo);
    if (setjmp(ctx.escape)) {
        jpeg_destroy_decompress(&cinfo);
        return {};
    }
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    readPicture(cinfo, ctx);
    // libjpeg pads a truncated or damaged stream with grey and only warns;
    // such a picture counts as corrupt.
    const bool damaged = ctx.mgr.num_warnings != 0;
    jpeg_destroy_decompress(&cinfo);
    return damaged ? QImage() : ctx.image;
}

QImage decodeJpegFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeJpeg(file.readAll());
}
