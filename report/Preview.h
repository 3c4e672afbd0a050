// TfrmPreview: the print preview window. A toolbar with the page indicator and seven buttons
// (previous and next page, the three zooms, print, close) above the preview control, which
// shows the page store's current page. Created once and shown modally for every preview; the
// page count and the current page come from the page store.
#pragma once

#include <QDialog>

class QLabel;
class QFrame;
class TExplorerButton;
class TQRPreview;

class TfrmPreview : public QDialog {
    Q_OBJECT

public:
    explicit TfrmPreview(QWidget* parent = nullptr);

    // Steps of the arrow keys' scrolling, in pixels.
    static constexpr int ScrollStep = 50;

    // Event handlers, by their documented names.
    void FormShow();
    void FormActivate();
    void FormClose();
    void FormKeyDown(QKeyEvent* event);
    void bbPrevClick();
    void bbNextClick();
    void bbZoomOutClick();
    void bbZoom100Click();
    void bbZoomInClick();
    void bbPrintClick();
    void bbCloseClick();

    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    TExplorerButton* bbPrev = nullptr;
    TExplorerButton* bbNext = nullptr;
    TExplorerButton* bbZoomOut = nullptr;
    TExplorerButton* bbZoom100 = nullptr;
    TExplorerButton* bbZoomIn = nullptr;
    TExplorerButton* bbPrint = nullptr;
    TExplorerButton* bbClose = nullptr;
    TQRPreview* QRPreview1 = nullptr;

public slots:
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TExplorerButton* AddButton(const char* name, int left, int width, const QString& image,
                               const QString& caption, const QString& hint);
    void ShowPage(int pageNumber);
    void ShowIndicator();
    void PlaceRightButtons();
    // Moves the preview's scroll positions; the scroll bars clamp them to their ranges.
    void Scroll(int dx, int dy);

    bool m_printing = false; // inside bbPrintClick
};
