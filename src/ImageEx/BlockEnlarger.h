#pragma once

#include <QImage>
#include <QRect>

// Enlarges part of a 32-bit picture so that each pixel becomes an exact zoom x zoom block. Done
// here row by row and then drawn unscaled, it costs about half of a scaled drawing; the buffer
// is kept between paints so that no paint allocates.
class BlockEnlarger {
public:
    // source (picture pixels) enlarged; valid until the next call. Null for a picture that is
    // not 32 bits per pixel: the caller then draws it scaled.
    QImage Enlarge(const QImage& picture, const QRect& source, int zoom);

private:
    QImage Buffer;
};
