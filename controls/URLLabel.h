// TURLLabel: a label that behaves like a hyperlink. While the mouse is over it the text takes
// MouseOverColor and MouseOverFont; any mouse button opens URL through the shell. It is a tab
// stop with a focus rectangle, Enter opens it as a click does, and screen readers read it as a
// link whose action opens it.
#pragma once

#include "platform/Shell.h"

#include <QColor>
#include <QFlags>
#include <QLabel>

enum TFontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)

class TURLLabel : public QLabel {
    Q_OBJECT

public:
    // The address a new link label opens until the window gives it its own.
    static constexpr const char* DefaultURL = "https://www.example.com/";

    explicit TURLLabel(QWidget* parent = nullptr);

    // The full address, scheme included; opened exactly as held.
    QString URL() const { return m_url; }
    void SetURL(const QString& url) { m_url = url; }
    QColor MouseOverColor() const { return m_mouseOverColor; }
    void SetMouseOverColor(const QColor& color) { m_mouseOverColor = color; }
    TFontStyles MouseOverFont() const { return m_mouseOverFont; }
    void SetMouseOverFont(TFontStyles styles) { m_mouseOverFont = styles; }

    // The label's text colour and font style (the font's colour and style).
    QColor FontColor() const;
    void SetFontColor(const QColor& color);
    TFontStyles FontStyle() const;
    void SetFontStyle(TFontStyles styles);

    // Who opens the address: the shell unless a test gives its own.
    void SetShellOpener(ShellOpener opener) { m_opener = std::move(opener); }
    // Opens URL as a click does (a failed open is silent; an error goes to the trap).
    void Open();

signals:
    // The label's ordinary mouse-down notification; it runs before the address is opened.
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ShellOpener m_opener;
    QString m_url = DefaultURL;
    QColor m_mouseOverColor{0, 0, 255};
    TFontStyles m_mouseOverFont;
    QColor m_savedColor;
    TFontStyles m_savedStyle;
};
