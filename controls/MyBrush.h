// A brush (colour and fill style) that remembers whether it was ever changed.
#pragma once

#include <QBrush>
#include <QColor>
#include <QObject>

class TMyBrush : public QObject {
    Q_OBJECT

public:
    explicit TMyBrush(QObject* parent = nullptr);
    TMyBrush(const QColor& color, Qt::BrushStyle style, QObject* parent = nullptr);

    QColor Color() const { return m_color; }
    void SetColor(const QColor& color);
    Qt::BrushStyle Style() const { return m_style; }
    void SetStyle(Qt::BrushStyle style);
    void Assign(const TMyBrush& other);

    QBrush Brush() const { return QBrush(m_color, m_style); }

    // Set on every change, before OnChange; only changed brushes are worth storing.
    bool Changed() const { return m_changed; }
    void SetChanged(bool changed) { m_changed = changed; }

signals:
    void OnChange();

private:
    void NotifyChange();

    QColor m_color = Qt::white;
    Qt::BrushStyle m_style = Qt::SolidPattern;
    bool m_changed = false;
};
