#include "picturebox.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <QToolTip>

#include <limits>

#include "pictureaccessible.h"

namespace pictolex {

namespace {

constexpr int kTipWidth = 400;
// The tip of a label stays while the pointer rests on it.
constexpr int kTipStays = std::numeric_limits<int>::max();

// The mark: a frame this far outside the text's ink, a ring this far outside
// a dot, both drawn with a pen this wide; a bracket drawn with a wider pen.
constexpr qreal kFrameGap = 2;
constexpr qreal kRingGap = 3;
constexpr qreal kMarkPen = 2;
constexpr qreal kBracketPen = 3;

QRectF TextFrame(const PlateLabel& label)
{
    const LabelBox& box = label.text;
    return QRectF(QPointF(box.left, box.top), QPointF(box.right, box.bottom))
        .adjusted(-kFrameGap, -kFrameGap, kFrameGap, kFrameGap);
}

QPointF Point(LabelPoint point)
{
    return {point.x, point.y};
}

// The area a stroke of `path` with a pen `width` wide paints, anti-aliasing
// included, in whole pixels.
QRect StrokedArea(const QPainterPath& path, qreal width)
{
    const qreal margin = width / 2 + 1;
    return path.boundingRect().adjusted(-margin, -margin, margin, margin).toAlignedRect();
}

QPainterPath MarkPath(const PlateLabel& label)
{
    QPainterPath path;
    if (label.mark == LabelMark::Dot) {
        const qreal ring = label.radius + kRingGap;
        path.addEllipse(Point(label.points[0]), ring, ring);
    } else {
        path.moveTo(Point(label.points[0]));
        for (std::size_t i = 1; i < label.points.size(); ++i)
            path.lineTo(Point(label.points[i]));
    }
    return path;
}

qreal MarkPen(const PlateLabel& label)
{
    return label.mark == LabelMark::Dot ? kMarkPen : kBracketPen;
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

QString WrappedText(const QString& text, const QFont& font, int width)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines.join(QLatin1Char('\n'));
}

PictureBox::PictureBox(ColourMode mode, QWidget* parent) : QWidget(parent), m_mode(mode)
{
    InstallPictureAccessibility();
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

PictureBox::~PictureBox()
{
    dropLabelAccessibles();
}

void PictureBox::setJpeg(std::span<const std::uint8_t> bytes)
{
    const JpegHeader header = ReadJpegHeader(bytes);
    setLabels({}, {});
    m_bytes = bytes;
    m_pictureSize = QSize(header.width, header.height);
    m_image = QImage();
    m_decoded = false;
    resize(m_pictureSize);
    updateGeometry();
    update();
}

void PictureBox::setLabels(std::span<const PlateLabel> labels, QStringList entryLines)
{
    setMarkedLabel(-1);
    hideTip();
    dropLabelAccessibles();
    m_labels = labels;
    m_entryLines = std::move(entryLines);
    m_labelAccessibles.assign(labels.size(), 0);
    m_hovered = -1;
    unsetCursor();
    if (QAccessible::isActive()) {
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
}

QString PictureBox::labelLine(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_labels.size()))
        return {};
    const PlateLabel& label = m_labels[static_cast<std::size_t>(index)];
    if (label.line >= 0 && label.line < m_entryLines.size())
        return m_entryLines[label.line];
    return QString::fromUtf8(label.term.data(), static_cast<qsizetype>(label.term.size()));
}

int PictureBox::labelAt(QPointF pos) const
{
    return LabelAt(m_labels, static_cast<float>(pos.x()), static_cast<float>(pos.y()));
}

int PictureBox::labelOnLine(int line) const
{
    for (std::size_t i = 0; i < m_labels.size(); ++i) {
        if (m_labels[i].line == line)
            return static_cast<int>(i);
    }
    return -1;
}

void PictureBox::setMarkedLabel(int index)
{
    if (index < 0 || index >= static_cast<int>(m_labels.size()))
        index = -1;
    if (index == m_marked)
        return;
    update(markRegion(m_marked) + markRegion(index));
    m_marked = index;
}

QRegion PictureBox::markRegion(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_labels.size()))
        return {};
    const PlateLabel& label = m_labels[static_cast<std::size_t>(index)];
    QPainterPath frame;
    frame.addRect(TextFrame(label));
    return QRegion(StrokedArea(frame, kMarkPen)) + QRegion(StrokedArea(MarkPath(label), MarkPen(label)));
}

void PictureBox::pressLabel(int index)
{
    if (index >= 0 && index < static_cast<int>(m_labels.size()))
        Q_EMIT labelClicked(index);
}

QImage PictureBox::picture()
{
    if (!m_decoded)
        decode();
    // m_image shares the decoding buffer, which the next picture reuses.
    return m_image.copy();
}

QAccessibleInterface* PictureBox::labelAccessible(int index)
{
    if (index < 0 || index >= static_cast<int>(m_labelAccessibles.size()))
        return nullptr;
    QAccessible::Id& id = m_labelAccessibles[static_cast<std::size_t>(index)];
    if (id == 0)
        id = QAccessible::registerAccessibleInterface(NewLabelAccessible(this, index));
    return QAccessible::accessibleInterface(id);
}

void PictureBox::dropLabelAccessibles()
{
    for (const QAccessible::Id id : m_labelAccessibles) {
        if (id != 0)
            QAccessible::deleteAccessibleInterface(id);
    }
    m_labelAccessibles.clear();
}

QSize PictureBox::sizeHint() const
{
    return m_pictureSize;
}

bool PictureBox::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    // The tip delay has passed with the pointer resting here.
    const auto* help = static_cast<QHelpEvent*>(event);
    const int label = labelAt(help->pos());
    if (label >= 0) {
        showTip(label, help->globalPos());
    } else {
        hideTip();
        event->ignore();
    }
    return true;
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (!m_decoded)
        decode();
    if (m_image.isNull())
        return;
    // The picture keeps its size in logical pixels; on a scaled screen it is
    // stretched onto more device pixels, which should be interpolated rather
    // than repeated. Qt clips the painting to the area being repainted.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), m_image.size()), m_image);
    if (m_marked < 0)
        return;
    const PlateLabel& label = m_labels[static_cast<std::size_t>(m_marked)];
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    const QColor highlight = palette().color(QPalette::Highlight);
    painter.setPen(QPen(highlight, kMarkPen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(TextFrame(label));
    painter.setPen(QPen(highlight, MarkPen(label), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(MarkPath(label));
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

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    // Taken here: passed on, the move would go up every parent in turn.
    hover(labelAt(event->position()), event->globalPosition().toPoint());
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int label = labelAt(event->position());
    if (label >= 0)
        Q_EMIT labelClicked(label);
    else
        Q_EMIT clickedAway();
}

void PictureBox::leaveEvent(QEvent* event)
{
    hover(-1, {});
    QWidget::leaveEvent(event);
}

void PictureBox::hover(int label, QPoint globalPos)
{
    if (label == m_hovered)
        return;
    m_hovered = label;
    if (label >= 0)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    // A label's tip that shows follows the pointer to the next label at once.
    if (label >= 0 && m_tipShown >= 0 && QToolTip::isVisible())
        showTip(label, globalPos);
    else
        hideTip();
}

void PictureBox::showTip(int label, QPoint globalPos)
{
    m_tipShown = label;
    QToolTip::showText(globalPos, WrappedText(labelLine(label), QToolTip::font(), kTipWidth), this, {}, kTipStays);
}

void PictureBox::hideTip()
{
    if (m_tipShown < 0)
        return;
    m_tipShown = -1;
    QToolTip::hideText();
}

}  // namespace pictolex
