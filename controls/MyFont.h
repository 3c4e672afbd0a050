// A font with its text colour that remembers whether it was ever changed.
#pragma once

#include <QColor>
#include <QFont>
#include <QObject>

class TMyFont : public QObject {
    Q_OBJECT

public:
    explicit TMyFont(QObject* parent = nullptr);
    TMyFont(const QFont& font, const QColor& color, QObject* parent = nullptr);

    QFont Font() const { return m_font; }
    void SetFont(const QFont& font);
    QColor Color() const { return m_color; }
    void SetColor(const QColor& color);
    void Assign(const TMyFont& other);

    // Set on every change, before OnChange; only changed fonts are worth storing.
    bool Changed() const { return m_changed; }
    void SetChanged(bool changed) { m_changed = changed; }

signals:
    void OnChange();

private:
    void NotifyChange();

    QFont m_font;
    QColor m_color = Qt::black;
    bool m_changed = false;
};
