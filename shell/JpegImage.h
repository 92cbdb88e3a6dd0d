#pragma once
// Decoding of JPEG pictures through libjpeg, for the splash photograph.
#include <QByteArray>
#include <QImage>
#include <QString>

/// Decodes a JPEG file into an RGB image. A missing, unreadable, truncated or
/// otherwise corrupt file gives a null image; it never ends the process.
QImage decodeJpegFile(const QString& path);

/// Decodes JPEG data held in memory; a null image when the data is not a
/// complete, valid JPEG stream.
QImage decodeJpeg(const QByteArray& data);
