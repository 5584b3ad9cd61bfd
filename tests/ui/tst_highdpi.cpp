// The window on a screen scaled by 2: everything grows as a whole, pictures
// are interpolated rather than blown up pixel by pixel, and no text clips.
#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>

#include <array>

#include "picturebox.h"
#include "testsupport.h"

using namespace pictolex;
using test::Child;

Q_DECLARE_METATYPE(pictolex::ColourMode)

namespace {

constexpr qreal kScale = 2.0;

// 32 x 16 pixels, black on the left half and white on the right. The edge
// falls on a JPEG block boundary, so it survives compression sharp.
QByteArray HalfBlackHalfWhite()
{
    QImage image(32, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(0, 0, 16, 16, Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG", 100))
        qFatal("Qt cannot write JPEG here");
    return bytes;
}

int Grey(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y));
}

}  // namespace

class HighDpiTest : public QObject {
    Q_OBJECT

    test::TestContent m_content;  // empty lists and the banner

private Q_SLOTS:
    void screen_isScaledByTwo() { QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), kScale); }

    void picture_fillsItsPlaceAndIsInterpolated_data()
    {
        QTest::addColumn<ColourMode>("mode");
        QTest::newRow("rgb") << ColourMode::Rgb;
        QTest::newRow("236 colours") << ColourMode::Quantised236;
    }

    void picture_fillsItsPlaceAndIsInterpolated()
    {
        QFETCH(ColourMode, mode);
        const QByteArray jpeg = HalfBlackHalfWhite();
        PictureBox box(mode);
        box.setJpeg({reinterpret_cast<const std::uint8_t*>(jpeg.constData()), static_cast<std::size_t>(jpeg.size())});
        QCOMPARE(box.size(), QSize(32, 16));

        QImage device(QSize(64, 32), QImage::Format_RGB32);
        device.setDevicePixelRatio(kScale);
        device.fill(Qt::red);
        box.render(&device);

        // Every device pixel of the place is the picture's, none is left red.
        QVERIFY(Grey(device, 0, 0) < 30);
        QVERIFY(Grey(device, 63, 31) > 225);
        QVERIFY(QColor(device.pixel(63, 31)).red() - QColor(device.pixel(63, 31)).green() < 20);

        // Nearest-neighbour scaling would give only black and white across
        // the edge (device pixels 30-33); interpolation gives greys between.
        int greys = 0;
        for (int x = 30; x <= 33; ++x) {
            const int grey = Grey(device, x, 16);
            if (grey > 40 && grey < 215)
                ++greys;
        }
        QVERIFY2(greys >= 2, "the picture edge is not interpolated");
    }

    void labels_markAndReachScaleWithThePicture()
    {
        // A white picture with one label: its text inks (10, 40)-(60, 52),
        // its dot of radius 2.5 stands at (150, 50).
        const QByteArray jpeg = test::PlainJpeg(QSize(200, 100), Qt::white);
        PictureBox box(ColourMode::Rgb);
        box.setJpeg({reinterpret_cast<const std::uint8_t*>(jpeg.constData()), static_cast<std::size_t>(jpeg.size())});
        const std::array<PlateLabel, 1> labels{{{"Dot", 0, {10, 40, 60, 52}, LabelMark::Dot, {{{150, 50}}}, 2.5f}}};
        box.setLabels(labels, {QStringLiteral("Dot: a round mark.")});
        box.setMarkedLabel(0);

        QImage device(QSize(400, 200), QImage::Format_RGB32);
        device.setDevicePixelRatio(kScale);
        box.render(&device);
        const QColor highlight = box.palette().color(QPalette::Highlight);
        // The frame's left side is 2 px wide, centred 2 px left of the text:
        // device columns 14 to 17; the ring 4.5 to 6.5 px from the dot's
        // centre: device rows 87 to 91 above (300, 100).
        for (int x = 14; x <= 17; ++x)
            QCOMPARE(device.pixelColor(x, 92), highlight);
        QCOMPARE(device.pixelColor(19, 92), QColor(Qt::white));
        QCOMPARE(device.pixelColor(300, 89), highlight);
        QCOMPARE(device.pixelColor(300, 93), QColor(Qt::white));

        // The pointer answers 6 px beyond the dot's edge in picture pixels.
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseMove(&box, QPoint(158, 50));
        QCOMPARE(box.cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseMove(&box, QPoint(159, 50));
        QCOMPARE(box.cursor().shape(), Qt::ArrowCursor);
        QTest::mouseMove(&box, QPoint(59, 51));
        QCOMPARE(box.cursor().shape(), Qt::PointingHandCursor);
    }

    void window_scalesAsAWhole()
    {
        const std::unique_ptr<TForm1> form = test::ShowForm({m_content.content()});
        const QPixmap shot = form->grab();
        QCOMPARE(shot.devicePixelRatio(), kScale);
        QCOMPARE(shot.size(), form->size() * kScale);
        // Logical geometry is what it is unscaled.
        QCOMPARE(Child<PictureBox>(form.get(), "Image1")->geometry(), QRect(8, 376, 618, 153));
    }

    void captions_fitTheirControls()
    {
        // Text is laid out for the device pixels, so its logical width may
        // differ from the unscaled one; it must still fit.
        const std::unique_ptr<TForm1> form = test::ShowForm({m_content.content()});
        for (QLabel* label : form->findChildren<QLabel*>()) {
            if (label->text().isEmpty() || !label->isVisible())
                continue;
            const int needed = label->fontMetrics().horizontalAdvance(label->text());
            QVERIFY2(needed <= label->contentsRect().width(), qPrintable(label->objectName()));
            QVERIFY2(label->parentWidget()->rect().contains(label->geometry()), qPrintable(label->objectName()));
        }
        for (QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
            if (!button->isVisible() || button->text().isEmpty())
                continue;
            const int needed = button->fontMetrics().horizontalAdvance(button->text());
            QVERIFY2(needed < button->contentsRect().width(), qPrintable(button->objectName()));
        }
    }
};

int main(int argc, char* argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    HighDpiTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highdpi.moc"
