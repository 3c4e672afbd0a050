// TBevelPanel: a plain panel with a one-pixel outer and inner bevel, each raised, lowered or
// absent, filled with its colour. Children are placed in the panel's own coordinates.
#pragma once

#include <QColor>
#include <QWidget>

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TBevelPanel : public QWidget {
    Q_OBJECT

public:
    explicit TBevelPanel(QWidget* parent = nullptr);

    TPanelBevel BevelOuter() const { return m_outer; }
    void SetBevelOuter(TPanelBevel bevel);
    TPanelBevel BevelInner() const { return m_inner; }
    void SetBevelInner(TPanelBevel bevel);
    QColor Color() const { return m_color; }
    void SetColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TPanelBevel m_outer = bvRaised;
    TPanelBevel m_inner = bvNone;
    QColor m_color;
};
