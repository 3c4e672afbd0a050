// TExplorerButton: a flat, owner-drawn push button in the style of a browser toolbar. It shows
// no frame until the pointer is over it, then a raised one-pixel bevel, and a sunken one while
// pressed or down. It carries an image, a caption or both, can act as a toggle in a group, show
// a drop-down mark and menu, and draws its disabled image itself.
//
// It takes no focus unless its owner gives it a focus policy (a dialog's buttons): then it
// shows a focus rectangle, and Space or Enter clicks it as its accelerator does.
//
// Sizes and positions are in pixels. Images use their pixel at (0, 0) as the transparent colour.
#pragma once

#include "controls/ExplBtnTypes.h"

#include <QColor>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class TExplorerButton : public QWidget {
    Q_OBJECT

public:
    // Width of the arrow part of a ddsOffice button, at its right edge.
    static constexpr int ArrowWidth = ExplorerButtonArrowWidth;

    explicit TExplorerButton(QWidget* parent = nullptr);
    ~TExplorerButton() override;

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    // Copied to every button of the same parent and group.
    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool on);
    TBevelStyle BevelStyle() const { return m_bevelStyle; }
    void SetBevelStyle(TBevelStyle style);
    QImage NoFocusBitmap() const { return m_noFocusBitmap; }
    void SetNoFocusBitmap(const QImage& image);
    QImage Bitmap() const { return m_bitmap; }
    void SetBitmap(const QImage& image);
    // "&" marks the accelerator key, "&&" is a literal ampersand.
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int index);
    QImage DisabledBitmap() const { return m_disabledBitmap; }
    void SetDisabledBitmap(const QImage& image);
    // Only effective with a GroupIndex; going down releases the other buttons of the group.
    bool Down() const { return m_down; }
    void SetDown(bool down);
    QMenu* DropDownMenu() const { return m_dropDownMenu; }
    void SetDropDownMenu(QMenu* menu);
    TExplorerButtonDropDownStyle DropDownStyle() const { return m_dropDownStyle; }
    void SetDropDownStyle(TExplorerButtonDropDownStyle style);
    TExplorerButtonLayout Layout() const { return m_layout; }
    void SetLayout(TExplorerButtonLayout layout);
    TExplorerButtonOptions Options() const { return m_options; }
    void SetOptions(TExplorerButtonOptions options);
    TExplorerButtonShadingType ShadingType() const { return m_shadingType; }
    void SetShadingType(TExplorerButtonShadingType type);
    // Caption colour while the pointer is elsewhere; under the pointer the font's own colour.
    QColor UnselectedFontColor() const { return m_unselectedFontColor; }
    void SetUnselectedFontColor(const QColor& color);
    // The caption's colour when the button is hot (the font colour).
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor& color);

    // Stored sizes of the three size modes; resizing the button updates the current mode's.
    int SmallWidth() const { return m_smallSize.width(); }
    void SetSmallWidth(int width);
    int SmallHeight() const { return m_smallSize.height(); }
    void SetSmallHeight(int height);
    int LargeWidth() const { return m_largeSize.width(); }
    void SetLargeWidth(int width);
    int LargeHeight() const { return m_largeSize.height(); }
    void SetLargeHeight(int height);
    int CustomWidth() const { return m_customSize.width(); }
    void SetCustomWidth(int width);
    int CustomHeight() const { return m_customSize.height(); }
    void SetCustomHeight(int height);
    TExplorerButtonButtonSize ButtonSize() const { return m_buttonSize; }
    void SetButtonSize(TExplorerButtonButtonSize size);

    // The hint ("short|long"); the tooltip shows its short part while ShowHint is on.
    QString Hint() const { return m_hint; }
    void SetHint(const QString& hint);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool on);
    // The context menu shown on a right click.
    QMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu* menu);

    // The grey form of Bitmap (see MakeGreyImage), shown with boMonoDisplay while the pointer
    // is elsewhere and no NoFocusBitmap is set.
    QImage GreyImage() const { return m_greyImage; }

    // Pointer over the button, body pressed, arrow part pressed: for tests and owners.
    bool IsHot() const { return m_hot; }
    bool IsPressed() const { return m_pressed; }

    // Each pixel except those of the colour at (0, 0) becomes, from the sum R + G + B, white,
    // `highlight`, `shadow` or black by the thresholds of `shading`.
    static QImage MakeGreyImage(const QImage& bitmap, TExplorerButtonShadingType shading,
                                const QColor& highlight, const QColor& shadow);
    // The caption without accelerator marks: a single "&" goes, "&&" becomes "&".
    static QString StripAccelerator(const QString& caption);

signals:
    void OnClick();
    void OnDblClick();
    void OnEnter();
    void OnExit();
    void OnDropDownClick();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The accelerator's click: hot, pressed and released, with a message pass after each.
    void KeyClick();
    void Paint(QPainter& painter);
    void Press(const QPoint& pos);
    void Release(const QPoint& pos);
    void ClearStates();
    void UpdateGreyImage();
    void UpdateShortcut();
    void UpdateTooltip();
    bool PointerOver() const;
    QSize& CurrentSize();
    QList<TExplorerButton*> GroupMembers() const;

    TAlignment m_alignment = taCenter;
    bool m_allowAllUp = false;
    TBevelStyle m_bevelStyle = bsRaised;
    QImage m_noFocusBitmap;
    QImage m_bitmap;
    QImage m_disabledBitmap;
    QImage m_greyImage;
    QString m_caption;
    int m_groupIndex = 0;
    bool m_down = false;
    QPointer<QMenu> m_dropDownMenu;
    QPointer<QMenu> m_popupMenu;
    TExplorerButtonDropDownStyle m_dropDownStyle = ddsIExplorer;
    TExplorerButtonLayout m_layout = blBitmapTop;
    TExplorerButtonOptions m_options = boPopupMark | boShowBevel | boShowDownPattern;
    TExplorerButtonShadingType m_shadingType = stMedium;
    QColor m_unselectedFontColor;
    QColor m_fontColor;
    QSize m_smallSize{23, 22};
    QSize m_largeSize{39, 38};
    QSize m_customSize{50, 40};
    TExplorerButtonButtonSize m_buttonSize = bsCustom;
    QString m_hint;
    bool m_showHint = true;

    bool m_hot = false;
    bool m_pressed = false;
    bool m_arrowPressed = false;
    bool m_popupOpen = false;
    bool m_acceleratorBusy = false; // an accelerator's press and release are running
    int m_shortcutId = 0;
    bool m_resizing = false;
    QPixmap m_transparentBack; // the parent behind the button, for boTransparent
};
