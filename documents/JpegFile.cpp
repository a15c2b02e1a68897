#include "documents/JpegFile.h"

#include "platform/Exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

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

namespace {

// The system's reason for a failed write, in the user's words where we know it.
QString WriteFailureReason(int error, const QString& systemText) {
    switch (error) {
    case ENOSPC: return QStringLiteral("няма свободно място на диска");
    case EDQUOT: return QStringLiteral("квотата на диска е изчерпана");
    case EFBIG: return QStringLiteral("файлът е по-голям от позволеното");
    case EACCES:
    case EPERM: return QStringLiteral("няма право на запис");
    case EROFS: return QStringLiteral("дискът е само за четене");
    case ENOENT: return QStringLiteral("папката не съществува");
    case EIO: return QStringLiteral("грешка при запис на диска");
    default: return systemText;
    }
}

[[noreturn]] void ThrowWriteFailure(const QString& path, int error, const QString& systemText) {
    throw platform::EFileError(QStringLiteral("Снимката не е записана във файла „%1“: %2.")
                                   .arg(QDir::toNativeSeparators(path), WriteFailureReason(error, systemText)));
}

}  // namespace

void WriteJpegBytes(const QByteArray& bytes, const QString& path) {
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir()) {
        // A device or a pipe: written in place, and closed before success is told.
        QFile file(path);
        errno = 0;
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
            !file.flush()) {
            const int error = errno;
            ThrowWriteFailure(path, error, file.errorString());
        }
        file.close();
        if (file.error() != QFileDevice::NoError) ThrowWriteFailure(path, errno, file.errorString());
        return;
    }
    // Written beside the file and put in its place once every byte is on
    // the disk: a failed write leaves an earlier file as it was.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        const int error = errno;
        const QString text = file.errorString();
        file.cancelWriting();
        ThrowWriteFailure(path, error, text);
    }
    errno = 0;
    if (!file.commit()) {
        const int error = errno;
        ThrowWriteFailure(path, error, file.errorString());
    }
}

QImage DecodeJpeg(const QByteArray& bytes) {
    QImage image;
    if (bytes.isEmpty() || !Decompress(bytes, image)) return {};
    return image;
}
