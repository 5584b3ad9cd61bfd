// Image1, the picture control of the main window.
#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <span>

#include "pictolex/jpeg.h"

namespace pictolex {

// Shows one JPEG picture at its own size, unscaled, from its top-left corner.
//
// Its size counts in logical pixels: on a scaled screen the picture is drawn
// smoothly onto the device pixels. Screen readers see it with the role of a
// graphic; its accessible name is the owner's to set.
//
// Assigning a picture reads only its header and resizes the control to the
// picture at once; the pixels are decoded at the first paint and kept for
// every later one. A decoding error at that paint keeps the part decoded so
// far, is raised once through decodeFailed() and never again for the same
// picture.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    // `mode` is fixed for the control's life: Quantised236 on screens of
    // 8 bits per pixel or fewer, Rgb otherwise.
    explicit PictureBox(ColourMode mode, QWidget* parent = nullptr);

    // Replaces the picture with the JPEG in `bytes`, which must stay valid
    // while the picture is shown (the built-in pictures live for the whole
    // run). Throws JpegError when the header cannot be read; the previous
    // picture and size then stay.
    void setJpeg(std::span<const std::uint8_t> bytes);

    ColourMode colourMode() const { return m_mode; }

    // The pixels decoded so far: null until the picture is first painted.
    const QImage& decodedImage() const { return m_image; }

    QSize sizeHint() const override;

Q_SIGNALS:
    // Emitted from inside paintEvent(); receivers must not open a dialog
    // there and then.
    void decodeFailed(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void decode();

    ColourMode m_mode;
    std::span<const std::uint8_t> m_bytes;
    QSize m_pictureSize;
    // Decoding goes through one buffer kept from picture to picture, so a new
    // selection does not fault a megabyte of fresh memory in; m_image shows
    // that buffer without a copy, and is dropped before the buffer is reused.
    DecodedImage m_decodeBuffer;
    QImage m_image;
    bool m_decoded = false;
};

// A QImage over the decoded pixels, without a copy: RGB888, or Indexed8 with
// the decoder's palette for the quantised mode. It reads `decoded`, which must
// stay unchanged while the image is in use. Null for an image without pixels.
QImage ImageOver(const DecodedImage& decoded);

}  // namespace pictolex
