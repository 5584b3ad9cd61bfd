// Image1, the picture control of the main window.
#pragma once

#include <QAccessible>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <span>
#include <vector>

#include "pictolex/jpeg.h"
#include "pictolex/plate_labels.h"

namespace pictolex {

// Shows one JPEG picture at its own size, unscaled, from its top-left corner,
// and lets the labels drawn on it answer the pointer.
//
// Its size counts in logical pixels: on a scaled screen the picture is drawn
// smoothly onto the device pixels, and the labels' places scale with it.
// Screen readers see it with the role of a graphic, with one child per label;
// its accessible name is the owner's to set.
//
// Assigning a picture reads only its header and resizes the control to the
// picture at once; the pixels are decoded at the first paint and kept for
// every later one. A decoding error at that paint keeps the part decoded so
// far, is raised once through decodeFailed() and never again for the same
// picture.
//
// Labels: over a label's text or near its mark (see LabelAt) the pointer is a
// pointing hand; resting there for the window's tip delay shows the label's
// glossary line as a tip, wrapped at about 400 px, which stays while the
// pointer does. Moving onto another label replaces a showing tip at once;
// moving off every label hides it. A left press on a label reports
// labelClicked(), anywhere else on the picture clickedAway(). The marked
// label is drawn over the picture, never into its decoded pixels, and
// changing the mark repaints only the marks' own places.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    // `mode` is fixed for the control's life: Quantised236 on screens of
    // 8 bits per pixel or fewer, Rgb otherwise.
    explicit PictureBox(ColourMode mode, QWidget* parent = nullptr);
    ~PictureBox() override;
    Q_DISABLE_COPY_MOVE(PictureBox)

    // Replaces the picture with the JPEG in `bytes`, which must stay valid
    // while the picture is shown (the built-in pictures live for the whole
    // run), and drops the labels and the mark. Throws JpegError when the
    // header cannot be read; the previous picture, size and labels then stay.
    void setJpeg(std::span<const std::uint8_t> bytes);

    // The labels of the picture shown, which must stay valid while it is, and
    // the body lines of its entry, from which each label's glossary line is
    // taken by its index. Drops the mark.
    void setLabels(std::span<const PlateLabel> labels, QStringList entryLines);
    std::span<const PlateLabel> labels() const { return m_labels; }
    // The whole glossary line of label `index` ("Term: definition"); the
    // term alone when the entry has no such line.
    QString labelLine(int index) const;
    // The label that answers the point `pos` (logical pixels), or -1.
    int labelAt(QPointF pos) const;
    // The label on entry line `line`, or -1.
    int labelOnLine(int line) const;

    // Marks label `index`; -1 (or any index without a label) marks none.
    void setMarkedLabel(int index);
    int markedLabel() const { return m_marked; }
    // Where the mark of label `index` is painted: a frame round its text and
    // a ring round its dot or its bracket drawn thicker.
    QRegion markRegion(int index) const;

    // Does what a left press on label `index` does.
    void pressLabel(int index);

    ColourMode colourMode() const { return m_mode; }

    // The pixels decoded so far: null until the picture is first painted.
    const QImage& decodedImage() const { return m_image; }
    // The whole picture as it is decoded, without any mark, as an image of
    // its own (decoding it first if it has not been painted yet).
    QImage picture();

    // The accessible interface of label `index`, made and registered on
    // first use, valid until the labels change.
    QAccessibleInterface* labelAccessible(int index);

    QSize sizeHint() const override;

Q_SIGNALS:
    // Emitted from inside paintEvent(); receivers must not open a dialog
    // there and then.
    void decodeFailed(const QString& message);
    void labelClicked(int index);
    void clickedAway();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void decode();
    void hover(int label, QPoint globalPos);
    void showTip(int label, QPoint globalPos);
    void hideTip();
    void dropLabelAccessibles();

    ColourMode m_mode;
    std::span<const std::uint8_t> m_bytes;
    QSize m_pictureSize;
    // Decoding goes through one buffer kept from picture to picture, so a new
    // selection does not fault a megabyte of fresh memory in; m_image shows
    // that buffer without a copy, and is dropped before the buffer is reused.
    DecodedImage m_decodeBuffer;
    QImage m_image;
    bool m_decoded = false;

    std::span<const PlateLabel> m_labels;
    QStringList m_entryLines;
    int m_marked = -1;
    int m_hovered = -1;
    // The label whose tip this control showed last, while that tip may show.
    int m_tipShown = -1;
    // Each label's accessible interface; 0 where none is made yet.
    std::vector<QAccessible::Id> m_labelAccessibles;
};

// A QImage over the decoded pixels, without a copy: RGB888, or Indexed8 with
// the decoder's palette for the quantised mode. It reads `decoded`, which must
// stay unchanged while the image is in use. Null for an image without pixels.
QImage ImageOver(const DecodedImage& decoded);

// `text` broken into lines no wider than `width` pixels in `font`, at word
// boundaries (a word wider than that anywhere), without the blanks at the
// breaks, joined by line breaks.
QString WrappedText(const QString& text, const QFont& font, int width);

}  // namespace pictolex
