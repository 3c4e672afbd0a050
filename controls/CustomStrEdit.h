// An edit that paints its own text right-aligned or centred while it does not have the focus,
// and leaves painting to the platform edit (left-aligned) while the user types.
#pragma once

#include "controls/KeyRoutedEdit.h"

#include <QRect>

class TCustomStrEdit : public TKeyRoutedEdit {
    Q_OBJECT

public:
    explicit TCustomStrEdit(QWidget* parent = nullptr);

    // How the text sits while unfocused: 0 left (the platform edit paints), 1 right, any
    // other value centred (the control paints).
    quint8 UnfocusedAlignment() const { return m_unfocusedAlignment; }
    // Pixels between the text and the edge of the text area: a quarter of the smaller
    // character-cell height of the system font and the control's font at creation. It is not
    // recomputed when the font changes.
    int TextMargin() const { return m_textMargin; }

    // The x at which the control draws text `textWidth` pixels wide inside `area` (pixels,
    // `area.x() + area.width()` is the right edge): right-aligned `margin` pixels from the
    // right edge, or centred (halfway, rounded toward zero).
    static int TextLeft(const QRect& area, int textWidth, int margin, quint8 alignment);

    // Pixels between the top of the text area and a top-aligned line of the platform edit
    // without text margins.
    static constexpr int PlatformTopMargin = 1;

protected:
    void SetUnfocusedAlignment(quint8 alignment);
    // Focus entry: the unfocused alignment is kept aside and the platform edit paints.
    // A second save without a restore in between keeps the first one, so an exit that failed
    // does not leave the edit left-aligned for good.
    void SaveAlignment();
    // Accepted focus exit: back to the kept alignment.
    void RestoreAlignment();

    void paintEvent(QPaintEvent* event) override;

private:
    quint8 m_unfocusedAlignment = 0;
    quint8 m_savedAlignment = 0;
    bool m_alignmentSaved = false;
    int m_textMargin = 0;
};
