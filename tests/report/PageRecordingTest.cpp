// The in-memory page recording: a picture made from it paints what the same calls painted
// straight into a picture, and work recorded for later runs only when its page is played.
#include "report/QRPageRecording.h"
#include "report/QRPrinter.h"

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace {
const QRect Bounds(0, 0, 400, 300);

QImage Render(const QPicture& picture)
{
    QImage image(Bounds.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawPicture(0, 0, picture);
    return image;
}

struct Calls {
    const char* name;
    std::function<void(QPainter&)> paint;
};

void PrintTo(const Calls& calls, std::ostream* out)
{
    *out << calls.name;
}

class PageRecordingCalls : public ::testing::TestWithParam<Calls> {};

TEST_P(PageRecordingCalls, PaintLikeTheSameCallsRecordedInAPicture)
{
    QPicture direct;
    {
        QPainter painter(&direct);
        painter.setClipRect(Bounds);
        GetParam().paint(painter);
    }
    direct.setBoundingRect(Bounds);

    TQRPageRecording recording;
    {
        QPainter painter(&recording);
        painter.setClipRect(Bounds);
        GetParam().paint(painter);
    }
    EXPECT_GT(recording.Size(), 1u);
    const QImage expected = Render(direct);
    EXPECT_EQ(Render(recording.ToPicture(Bounds)), expected);
    // Something was painted at all: the comparison is not of two blank pages.
    QImage blank(Bounds.size(), QImage::Format_ARGB32);
    blank.fill(Qt::white);
    EXPECT_NE(expected, blank);
}

QFont TestFont(int pixels)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    return font;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, PageRecordingCalls,
    ::testing::Values(
        Calls{"FilledAndFramedShapes",
              [](QPainter& p) {
                  p.fillRect(QRectF(10, 10, 100, 40), QColor(200, 30, 30));
                  p.setPen(QPen(Qt::blue, 3));
                  p.setBrush(Qt::yellow);
                  p.drawRect(QRect(20, 60, 80, 50));
                  p.drawEllipse(QRectF(120, 10, 90, 60));
                  p.drawLine(QLineF(0, 290, 400, 200));
                  p.drawPoints(QPolygonF({QPointF(300, 20), QPointF(305, 25)}));
              }},
        Calls{"PolygonsInEveryMode",
              [](QPainter& p) {
                  const QPolygonF star({{50, 150}, {90, 280}, {10, 190}, {100, 190}, {20, 280}});
                  p.setBrush(Qt::darkGreen);
                  p.drawPolygon(star, Qt::OddEvenFill);
                  p.translate(110, 0);
                  p.drawPolygon(star, Qt::WindingFill);
                  p.translate(110, 0);
                  p.drawPolyline(star);
                  p.translate(110, 0);
                  p.drawConvexPolygon(QPolygonF({{0, 150}, {60, 150}, {30, 250}}));
              }},
        Calls{"TextWithFontsPensAndDecorations",
              [](QPainter& p) {
                  p.setFont(TestFont(30));
                  p.drawText(QPointF(10, 40), QStringLiteral("Amortization $1,234.56"));
                  QFont underlined = TestFont(24);
                  underlined.setUnderline(true);
                  underlined.setBold(true);
                  p.setFont(underlined);
                  p.setPen(Qt::red);
                  p.drawText(QRectF(10, 60, 380, 40), Qt::AlignRight, QStringLiteral("Page 3"));
              }},
        Calls{"ClipsSavedAndRestoredUnderATransform",
              [](QPainter& p) {
                  p.save();
                  p.translate(50, 50);
                  p.scale(2, 2);
                  p.setClipRect(QRectF(0, 0, 40, 30), Qt::IntersectClip);
                  p.fillRect(QRectF(-20, -20, 200, 200), Qt::darkCyan);
                  p.restore();
                  p.setOpacity(0.5);
                  p.fillRect(QRectF(0, 200, 400, 100), Qt::magenta);
                  QPainterPath path;
                  path.addEllipse(QRectF(250, 20, 120, 120));
                  p.setClipPath(path);
                  p.setRenderHint(QPainter::Antialiasing);
                  p.fillRect(Bounds, Qt::black);
              }},
        Calls{"ImagesAndPixmaps",
              [](QPainter& p) {
                  QImage image(20, 10, QImage::Format_RGB32);
                  image.fill(Qt::green);
                  p.drawImage(QRectF(10, 10, 100, 50), image);
                  QPixmap pixmap(8, 8);
                  pixmap.fill(Qt::blue);
                  p.drawPixmap(QRectF(150, 10, 40, 40), pixmap, QRectF(0, 0, 4, 4));
                  p.drawTiledPixmap(QRectF(200, 100, 100, 50), pixmap);
              }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageRecording, WorkForLaterRunsInItsPlaceOnlyWhenThePageIsPlayed)
{
    TQRPrinter& store = TQRPrinter::Instance();
    int runs = 0;
    const auto later = [&runs](int page) {
        return [&runs, page](QPainter& p) {
            ++runs;
            // Painted over the page's black square: what is later covers what came before.
            p.fillRect(QRect(0, 0, 40 * page, 40), Qt::white);
        };
    };
    store.BeginDoc();
    for (int page = 1; page <= 3; ++page) {
        if (page > 1)
            store.NewPage();
        QPainter& canvas = *store.Canvas();
        canvas.fillRect(QRect(0, 0, 400, 400), Qt::black);
        TQRPageRecording* recording = TQRPageRecording::Of(canvas);
        ASSERT_NE(recording, nullptr);
        recording->PaintLater(canvas, later(page));
    }
    store.EndDoc();
    EXPECT_EQ(runs, 0);

    const QPicture* second = store.Page(2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(store.Page(2), second); // made once
    EXPECT_EQ(runs, 1);
    QImage image(100, 60, QImage::Format_ARGB32);
    image.fill(Qt::red);
    {
        QPainter painter(&image);
        painter.drawPicture(0, 0, *second);
    }
    EXPECT_EQ(image.pixelColor(70, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(90, 20), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(20, 50), QColor(Qt::black));
    store.Cleanup();

    // A painter on anything else is no recording.
    QImage other(10, 10, QImage::Format_ARGB32);
    QPainter painter(&other);
    EXPECT_EQ(TQRPageRecording::Of(painter), nullptr);
}
} // namespace
