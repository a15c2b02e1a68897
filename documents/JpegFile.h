#pragma once
// JPEG pictures through libjpeg (library version 62): pages are written as
// baseline (not progressive) colour pictures of 24 bits per pixel. No widgets.

#include <QByteArray>
#include <QImage>
#include <QString>

// Encodes any image (palette, 24 or 32 bits) as a baseline colour JPEG.
// Throws platform::Exception when libjpeg refuses the image.
QByteArray EncodeJpeg(const QImage& image, int quality);

// Writes encoded bytes to the file, replacing one that exists only once all
// of them are written. Throws platform::EFileError naming the file and the
// reason when they cannot be; an earlier file is then left as it was.
void WriteJpegBytes(const QByteArray& jpeg, const QString& path);

// Decodes a JPEG picture into a 24-bit image; a null image when the bytes
// are no JPEG picture libjpeg can read.
QImage DecodeJpeg(const QByteArray& bytes);
