#include "report/QRPageRecording.h"

#include <QPainter>
#include <QTextItem>

// Takes every call as it comes, and every state change the painter hands over before a call.
class TQRPageRecording::Engine : public QPaintEngine {
public:
    explicit Engine(TQRPageRecording& owner) : QPaintEngine(AllFeatures), m_owner(owner) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    // Records the painter's state changes that it has not handed over yet.
    void Sync()
    {
        if (state && state->state()) {
            updateState(*state);
            clearDirty(AllDirty);
        }
    }

    void updateState(const QPaintEngineState& s) override
    {
        TState op;
        op.Flags = s.state();
        if (op.Flags & DirtyPen)
            op.Pen = s.pen();
        if (op.Flags & DirtyBrush)
            op.Brush = s.brush();
        if (op.Flags & DirtyBrushOrigin)
            op.BrushOrigin = s.brushOrigin();
        if (op.Flags & DirtyBackground)
            op.Background = s.backgroundBrush();
        if (op.Flags & DirtyBackgroundMode)
            op.BackgroundMode = s.backgroundMode();
        if (op.Flags & DirtyFont)
            op.Font = s.font();
        if (op.Flags & DirtyTransform)
            op.Transform = s.transform();
        if (op.Flags & DirtyClipEnabled)
            op.ClipEnabled = s.isClipEnabled();
        if (op.Flags & (DirtyClipRegion | DirtyClipPath))
            op.ClipOperation = s.clipOperation();
        if (op.Flags & DirtyClipRegion)
            op.ClipRegion = s.clipRegion();
        if (op.Flags & DirtyClipPath)
            op.ClipPath = s.clipPath();
        if (op.Flags & DirtyHints)
            op.Hints = s.renderHints();
        if (op.Flags & DirtyCompositionMode)
            op.Composition = s.compositionMode();
        if (op.Flags & DirtyOpacity)
            op.Opacity = s.opacity();
        if (op.Flags)
            m_owner.m_ops.emplace_back(std::move(op));
    }

    void drawRects(const QRectF* rects, int count) override
    {
        m_owner.m_ops.emplace_back(TRects{{rects, rects + count}});
    }
    void drawLines(const QLineF* lines, int count) override
    {
        m_owner.m_ops.emplace_back(TLines{{lines, lines + count}});
    }
    void drawEllipse(const QRectF& rect) override { m_owner.m_ops.emplace_back(TEllipse{rect}); }
    void drawPath(const QPainterPath& path) override { m_owner.m_ops.emplace_back(TPath{path}); }
    void drawPoints(const QPointF* points, int count) override
    {
        m_owner.m_ops.emplace_back(TPoints{QPolygonF(QList<QPointF>(points, points + count))});
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        m_owner.m_ops.emplace_back(
            TPolygon{QPolygonF(QList<QPointF>(points, points + count)), mode});
    }
    void drawTextItem(const QPointF& at, const QTextItem& item) override
    {
        const QString text = item.text();
        if (text.isEmpty()) {
            QPaintEngine::drawTextItem(at, item); // glyphs without characters: as outlines
            return;
        }
        // The painter draws underlines and strike-outs itself, as lines of their own.
        QFont font = item.font();
        font.setUnderline(false);
        font.setOverline(false);
        font.setStrikeOut(false);
        m_owner.m_ops.emplace_back(TText{at, text, font});
    }
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override
    {
        m_owner.m_ops.emplace_back(TPixmap{target, pixmap, source});
    }
    void drawTiledPixmap(const QRectF& target, const QPixmap& pixmap,
                         const QPointF& offset) override
    {
        m_owner.m_ops.emplace_back(TTiledPixmap{target, pixmap, offset});
    }
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override
    {
        m_owner.m_ops.emplace_back(TImage{target, image, source, flags});
    }

private:
    TQRPageRecording& m_owner;
};

TQRPageRecording::TQRPageRecording() : m_engine(std::make_unique<Engine>(*this)) {}

TQRPageRecording::~TQRPageRecording() = default;

QPaintEngine* TQRPageRecording::paintEngine() const
{
    return m_engine.get();
}

int TQRPageRecording::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_metrics.width();
    case PdmHeight: return m_metrics.height();
    case PdmWidthMM: return m_metrics.widthMM();
    case PdmHeightMM: return m_metrics.heightMM();
    case PdmNumColors: return m_metrics.colorCount();
    case PdmDepth: return m_metrics.depth();
    case PdmDpiX: return m_metrics.logicalDpiX();
    case PdmDpiY: return m_metrics.logicalDpiY();
    case PdmPhysicalDpiX: return m_metrics.physicalDpiX();
    case PdmPhysicalDpiY: return m_metrics.physicalDpiY();
    case PdmDevicePixelRatio: return static_cast<int>(m_metrics.devicePixelRatio());
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(m_metrics.devicePixelRatio() * devicePixelRatioFScale());
    }
    return 0;
}

TQRPageRecording* TQRPageRecording::Of(const QPainter& painter)
{
    return dynamic_cast<TQRPageRecording*>(painter.device());
}

void TQRPageRecording::PaintLater(QPainter& painter, std::function<void(QPainter&)> paint)
{
    if (painter.device() != this)
        return;
    m_engine->Sync();
    m_ops.emplace_back(TLater{std::move(paint)});
}

void TQRPageRecording::Play(QPainter& painter) const
{
    const QTransform base = painter.transform();
    for (const TOp& op : m_ops) {
        if (const auto* s = std::get_if<TState>(&op)) {
            // In the order the painter hands the changes over.
            const QPaintEngine::DirtyFlags f = s->Flags;
            if (f & QPaintEngine::DirtyPen)
                painter.setPen(s->Pen);
            if (f & QPaintEngine::DirtyBrush)
                painter.setBrush(s->Brush);
            if (f & QPaintEngine::DirtyBrushOrigin)
                painter.setBrushOrigin(s->BrushOrigin);
            if (f & QPaintEngine::DirtyBackground)
                painter.setBackground(s->Background);
            if (f & QPaintEngine::DirtyBackgroundMode)
                painter.setBackgroundMode(s->BackgroundMode);
            if (f & QPaintEngine::DirtyFont)
                painter.setFont(s->Font);
            if (f & QPaintEngine::DirtyTransform)
                painter.setTransform(s->Transform * base);
            if (f & QPaintEngine::DirtyClipEnabled)
                painter.setClipping(s->ClipEnabled);
            if (f & QPaintEngine::DirtyClipRegion)
                painter.setClipRegion(s->ClipRegion, s->ClipOperation);
            if (f & QPaintEngine::DirtyClipPath)
                painter.setClipPath(s->ClipPath, s->ClipOperation);
            if (f & QPaintEngine::DirtyHints) {
                painter.setRenderHints(painter.renderHints() & ~s->Hints, false);
                painter.setRenderHints(s->Hints, true);
            }
            if (f & QPaintEngine::DirtyCompositionMode)
                painter.setCompositionMode(s->Composition);
            if (f & QPaintEngine::DirtyOpacity)
                painter.setOpacity(s->Opacity);
        } else if (const auto* r = std::get_if<TRects>(&op)) {
            painter.drawRects(r->Rects.data(), static_cast<int>(r->Rects.size()));
        } else if (const auto* l = std::get_if<TLines>(&op)) {
            painter.drawLines(l->Lines.data(), static_cast<int>(l->Lines.size()));
        } else if (const auto* e = std::get_if<TEllipse>(&op)) {
            painter.drawEllipse(e->Rect);
        } else if (const auto* p = std::get_if<TPath>(&op)) {
            painter.drawPath(p->Path);
        } else if (const auto* pt = std::get_if<TPoints>(&op)) {
            painter.drawPoints(pt->Points);
        } else if (const auto* pg = std::get_if<TPolygon>(&op)) {
            switch (pg->Mode) {
            case QPaintEngine::PolylineMode: painter.drawPolyline(pg->Points); break;
            case QPaintEngine::ConvexMode: painter.drawConvexPolygon(pg->Points); break;
            case QPaintEngine::WindingMode: painter.drawPolygon(pg->Points, Qt::WindingFill); break;
            case QPaintEngine::OddEvenMode: painter.drawPolygon(pg->Points, Qt::OddEvenFill); break;
            }
        } else if (const auto* t = std::get_if<TText>(&op)) {
            const bool ownFont = painter.font() != t->Font;
            if (ownFont) {
                painter.save();
                painter.setFont(t->Font);
            }
            painter.drawText(t->At, t->Text);
            if (ownFont)
                painter.restore();
        } else if (const auto* later = std::get_if<TLater>(&op)) {
            later->Paint(painter);
        } else if (const auto* px = std::get_if<TPixmap>(&op)) {
            painter.drawPixmap(px->Target, px->Pixmap, px->Source);
        } else if (const auto* tp = std::get_if<TTiledPixmap>(&op)) {
            painter.drawTiledPixmap(tp->Target, tp->Pixmap, tp->Offset);
        } else if (const auto* im = std::get_if<TImage>(&op)) {
            painter.drawImage(im->Target, im->Image, im->Source, im->Flags);
        }
    }
}

QPicture TQRPageRecording::ToPicture(const QRect& bounds) const
{
    QPicture picture;
    {
        QPainter painter(&picture);
        Play(painter);
    }
    picture.setBoundingRect(bounds);
    return picture;
}
