#include "picturebox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

namespace pictolex {

namespace {

// Qt describes a plain widget as a client area; a screen reader should
// announce a picture.
QAccessibleInterface* PictureAccessible(const QString&, QObject* object)
{
    if (auto* picture = qobject_cast<PictureBox*>(object))
        return new QAccessibleWidget(picture, QAccessible::Graphic);
    return nullptr;
}

}  // namespace

QImage ImageOver(const DecodedImage& decoded)
{
    const int width = decoded.width;
    const int height = decoded.height;
    if (width <= 0 || height <= 0)
        return {};
    const bool indexed = decoded.mode == ColourMode::Quantised236;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * (indexed ? 1 : 3);
    if (decoded.pixels.size() < rowBytes * static_cast<std::size_t>(height))
        return {};

    QImage image(decoded.pixels.data(), width, height, static_cast<qsizetype>(rowBytes),
                 indexed ? QImage::Format_Indexed8 : QImage::Format_RGB888);
    if (indexed) {
        QList<QRgb> colours;
        colours.reserve(static_cast<qsizetype>(decoded.palette.size()));
        for (const auto& rgb : decoded.palette)
            colours.append(qRgb(rgb[0], rgb[1], rgb[2]));
        image.setColorTable(colours);
    }
    return image;
}

PictureBox::PictureBox(ColourMode mode, QWidget* parent) : QWidget(parent), m_mode(mode)
{
    [[maybe_unused]] static const bool factoryInstalled = [] {
        QAccessible::installFactory(PictureAccessible);
        return true;
    }();
    setFocusPolicy(Qt::NoFocus);
}

void PictureBox::setJpeg(std::span<const std::uint8_t> bytes)
{
    const JpegHeader header = ReadJpegHeader(bytes);
    m_bytes = bytes;
    m_pictureSize = QSize(header.width, header.height);
    m_image = QImage();
    m_decoded = false;
    resize(m_pictureSize);
    updateGeometry();
    update();
}

QSize PictureBox::sizeHint() const
{
    return m_pictureSize;
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (!m_decoded)
        decode();
    if (!m_image.isNull()) {
        // The picture keeps its size in logical pixels; on a scaled screen it
        // is stretched onto more device pixels, which should be interpolated
        // rather than repeated.
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), m_image.size()), m_image);
    }
}

void PictureBox::decode()
{
    m_decoded = true;
    if (m_bytes.empty() && m_pictureSize.isEmpty())
        return;
    QString failure;
    try {
        DecodeJpegInto(m_bytes, m_mode, m_decodeBuffer);
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    }
    m_image = ImageOver(m_decodeBuffer);
    if (!failure.isNull())
        Q_EMIT decodeFailed(failure);
}

}  // namespace pictolex
