// A page as the layout paints it: the painter's calls, kept in memory in the order they came.
// Making one costs little more than the calls themselves, whereas a QPicture serialises every
// call and checksums the whole page when it ends; a page store records every page this way and
// makes a page's picture only when that page is shown or printed.
//
// Playing a recording onto a painter makes the same calls again, as a QPicture replays its own
// commands: the painter's transform at the start is the base of every transform recorded.
#pragma once

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QPicture>
#include <QPixmap>
#include <QPolygonF>
#include <QRectF>
#include <QRegion>
#include <QString>
#include <QTransform>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

class TQRPageRecording : public QPaintDevice {
public:
    TQRPageRecording();
    ~TQRPageRecording() override;
    TQRPageRecording(const TQRPageRecording&) = delete;
    TQRPageRecording& operator=(const TQRPageRecording&) = delete;

    QPaintEngine* paintEngine() const override;

    // The recording `painter` paints on, or nullptr when it paints on anything else.
    static TQRPageRecording* Of(const QPainter& painter);

    // Records `paint`, to be called with the painter the recording is played on, in its place
    // among the painter's calls: for work that is cheaper to do only for the pages played
    // (placing and shaping text). The painter's state changes not yet recorded are recorded
    // first; `paint` should leave the painter's state as it found it.
    void PaintLater(QPainter& painter, std::function<void(QPainter&)> paint);

    // Makes the recorded calls on `painter`.
    void Play(QPainter& painter) const;
    // The recording as a picture with `bounds` as its bounding rectangle.
    QPicture ToPicture(const QRect& bounds) const;

    // The number of calls recorded (state changes count as one each).
    std::size_t Size() const { return m_ops.size(); }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    friend class Engine;

    struct TState {
        QPaintEngine::DirtyFlags Flags;
        QPen Pen;
        QBrush Brush;
        QPointF BrushOrigin;
        QBrush Background;
        Qt::BGMode BackgroundMode = Qt::TransparentMode;
        QFont Font;
        QTransform Transform;
        bool ClipEnabled = false;
        QRegion ClipRegion;
        QPainterPath ClipPath;
        Qt::ClipOperation ClipOperation = Qt::NoClip;
        QPainter::RenderHints Hints;
        QPainter::CompositionMode Composition = QPainter::CompositionMode_SourceOver;
        qreal Opacity = 1;
    };
    struct TRects {
        std::vector<QRectF> Rects;
    };
    struct TLines {
        std::vector<QLineF> Lines;
    };
    struct TEllipse {
        QRectF Rect;
    };
    struct TPath {
        QPainterPath Path;
    };
    struct TPoints {
        QPolygonF Points;
    };
    struct TPolygon {
        QPolygonF Points;
        QPaintEngine::PolygonDrawMode Mode;
    };
    struct TText {
        QPointF At;
        QString Text;
        QFont Font; // set for the call only
    };
    struct TLater {
        std::function<void(QPainter&)> Paint;
    };
    struct TPixmap {
        QRectF Target;
        QPixmap Pixmap;
        QRectF Source;
    };
    struct TTiledPixmap {
        QRectF Target;
        QPixmap Pixmap;
        QPointF Offset;
    };
    struct TImage {
        QRectF Target;
        QImage Image;
        QRectF Source;
        Qt::ImageConversionFlags Flags;
    };
    using TOp = std::variant<TState, TRects, TLines, TEllipse, TPath, TPoints, TPolygon, TText,
                             TPixmap, TTiledPixmap, TImage, TLater>;

    std::vector<TOp> m_ops;
    std::unique_ptr<Engine> m_engine;
    QPicture m_metrics; // a picture's metrics, so fonts resolve as they do on the picture made
};
