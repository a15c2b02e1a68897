#include "documents/JpegFile.h"

#include "platform/Exception.h"

#include <QFile>

#include <csetjmp>
#include <cstdlib>

extern "C" {
#include <jpeglib.h>
}

namespace {

// libjpeg's default error handler ends the process; this one jumps back.
struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

void JumpBack(j_common_ptr info) {
    auto* error = reinterpret_cast<ErrorJump*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->back, 1);
}

void Quiet(j_common_ptr, int) {}

// Runs the encoder on rows already in RGB888; kept free of C++ objects with
// destructors, since libjpeg's errors jump out of it.
bool Compress(const QImage& rgb, int quality, unsigned char** out, unsigned long* size, char* message) {
    jpeg_compress_struct info;
    ErrorJump error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpBack;
    if (setjmp(error.back)) {
        for (int i = 0; i < JMSG_LENGTH_MAX; ++i) message[i] = error.message[i];
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

bool Decompress(const QByteArray& bytes, QImage& image) {
    jpeg_decompress_struct info;
    ErrorJump error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpBack;
    error.manager.emit_message = Quiet;
    if (setjmp(error.back)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()), (unsigned long)bytes.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

QByteArray EncodeJpeg(const QImage& image, int quality) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    const bool done = !rgb.isNull() && Compress(rgb, quality, &out, &size, message);
    QByteArray bytes = done ? QByteArray(reinterpret_cast<const char*>(out), qsizetype(size)) : QByteArray();
    std::free(out);
    if (!done)
        throw platform::Exception(QStringLiteral("Снимката не може да бъде записана като JPEG: %1")
                                      .arg(QString::fromLocal8Bit(message)));
    return bytes;
}

void WriteJpegFile(const QImage& image, const QString& path, int quality) {
    WriteJpegBytes(EncodeJpeg(image, quality), path);
}

void WriteJpegBytes(const QByteArray& bytes, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw platform::EFileError(
            QStringLiteral("Файлът „%1“ не може да бъде създаден: %2").arg(path, file.errorString()));
}

QImage DecodeJpeg(const QByteArray& bytes) {
    QImage image;
    if (bytes.isEmpty() || !Decompress(bytes, image)) return {};
    return image;
}
