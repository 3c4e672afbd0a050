#include "report/Preview.h"

#include "controls/Artwork.h"
#include "controls/ExplBtn.h"
#include "platform/Application.h"
#include "platform/DialogFont.h"
#include "platform/LoopGuard.h"
#include "platform/MessageBox.h"
#include "platform/ScreenCursor.h"
#include "report/QRPreview.h"
#include "report/QRPrinter.h"

#include <QAction>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
// Help topic of the toolbar and the preview control.
constexpr int PreviewHelpContext = 35;
} // namespace

TfrmPreview::TfrmPreview(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmPreview");
    setWindowTitle("Print Preview - Tallyhorn");
    // The system menu and the close button only: no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont(11));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFixedHeight(30);
    Panel1->setProperty("HelpContext", PreviewHelpContext);
    layout->addWidget(Panel1);

    Label1 = new QLabel("Page 1 of 1", Panel1);
    Label1->setObjectName("Label1");
    Label1->setFont(DialogFont(11, true));
    QPalette black = Label1->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(black);
    Label1->move(15, 8);
    Label1->adjustSize();

    bbPrev = AddButton("bbPrev", 115, 39, "preview_prev", QString(), "Display previous page");
    bbNext = AddButton("bbNext", 155, 39, "preview_next", QString(), "Display next page");
    bbZoomOut = AddButton("bbZoomOut", 241, 84, "preview_zoom_out", " Zoom &Out",
                          "Displays full page in window");
    bbZoom100 = AddButton("bbZoom100", 326, 84, "preview_zoom_100", " &100%",
                          "Displays page at actual size");
    bbZoomIn = AddButton("bbZoomIn", 411, 84, "preview_zoom_in", " Zoom &In",
                         "Fits width of page into window");
    bbPrint = AddButton("bbPrint", 496, 66, "preview_print", " &Print", "Print the document");
    bbClose = AddButton("bbClose", 563, 66, "preview_close", " &Close", "Close Print Preview");

    QRPreview1 = new TQRPreview(this);
    QRPreview1->setObjectName("QRPreview1");
    QRPreview1->setAccessibleName("Page");
    QRPreview1->setProperty("HelpContext", PreviewHelpContext);
    layout->addWidget(QRPreview1, 1);

    const auto guarded = [this](void (TfrmPreview::*handler)()) {
        return
            [this, handler] { Application::Guard(this, [this, handler] { (this->*handler)(); }); };
    };
    connect(bbPrev, &TExplorerButton::OnClick, this, guarded(&TfrmPreview::bbPrevClick));
    connect(bbNext, &TExplorerButton::OnClick, this, guarded(&TfrmPreview::bbNextClick));
    connect(bbZoomOut, &TExplorerButton::OnClick, this, guarded(&TfrmPreview::bbZoomOutClick));
    connect(bbZoom100, &TExplorerButton::OnClick, this, guarded(&TfrmPreview::bbZoom100Click));
    connect(bbZoomIn, &TExplorerButton::OnClick, this, guarded(&TfrmPreview::bbZoomInClick));
    connect(bbPrint, &TExplorerButton::OnClick, this, guarded(&TfrmPreview::bbPrintClick));
    connect(bbClose, &TExplorerButton::OnClick, this, guarded(&TfrmPreview::bbCloseClick));
    // The desktop's print key prints, as Print does.
    auto* print = new QAction(this);
    print->setObjectName("actPrint");
    print->setShortcut(QKeySequence::Print);
    print->setShortcutContext(Qt::WindowShortcut);
    addAction(print);
    connect(print, &QAction::triggered, this, guarded(&TfrmPreview::bbPrintClick));

    resize(640, 480);
}

TExplorerButton* TfrmPreview::AddButton(const char* name, int left, int width, const QString& image,
                                        const QString& caption, const QString& hint)
{
    auto* button = new TExplorerButton(Panel1);
    button->setObjectName(name);
    button->SetBitmap(LoadArtwork(image));
    if (caption.isEmpty()) {
        button->SetOptions(boIconOnly | boShowBevel);
    } else {
        button->SetOptions(boShowBevel);
        button->SetLayout(blBitmapLeft);
        button->SetCaption(caption);
    }
    button->SetHint(hint);
    button->SetShowHint(true);
    button->setGeometry(left, 3, width, 24);
    return button;
}

void TfrmPreview::FormShow()
{
    QRPreview1->SetZoom(100);
    const int count = TQRPrinter::Instance().PageCount();
    Label1->setText(QString("Page 1 of %1").arg(count));
    Label1->adjustSize();
    bbNext->setEnabled(count > 1);
    bbPrev->setEnabled(false);
    bbZoom100->setEnabled(false);
    bbZoomIn->setEnabled(true);
    bbZoomOut->setEnabled(true);
}

void TfrmPreview::FormActivate()
{
    // The whole frame, title bar included, fills the screen less the desktop's panels.
    QScreen* where = screen();
    if (!where) {
        showMaximized();
    } else {
        const QRect frame = frameGeometry();
        const QRect inner = geometry();
        const QMargins border(inner.left() - frame.left(), inner.top() - frame.top(),
                              frame.right() - inner.right(), frame.bottom() - inner.bottom());
        setGeometry(where->availableGeometry().marginsRemoved(border));
    }
    PlaceRightButtons();
}

void TfrmPreview::PlaceRightButtons()
{
    bbClose->move(width() - 76, bbClose->y());
    bbPrint->move(width() - 144, bbPrint->y());
}

void TfrmPreview::FormClose()
{
    QRPreview1->SetPageNumber(1);
    bbPrev->setEnabled(false);
    QRPreview1->horizontalScrollBar()->setValue(0);
    QRPreview1->verticalScrollBar()->setValue(0);
}

void TfrmPreview::ShowIndicator()
{
    Label1->setText(QString("Page %1 of %2")
                        .arg(QRPreview1->PageNumber())
                        .arg(TQRPrinter::Instance().PageCount()));
    Label1->adjustSize();
}

void TfrmPreview::ShowPage(int pageNumber)
{
    QRPreview1->SetPageNumber(pageNumber);
    ShowIndicator();
}

void TfrmPreview::bbPrevClick()
{
    if (QRPreview1->PageNumber() > 1)
        ShowPage(QRPreview1->PageNumber() - 1);
    else
        ShowIndicator();
    bbNext->setEnabled(true);
    if (QRPreview1->PageNumber() == 1)
        bbPrev->setEnabled(false);
}

void TfrmPreview::bbNextClick()
{
    const int count = TQRPrinter::Instance().PageCount();
    if (QRPreview1->PageNumber() < count)
        ShowPage(QRPreview1->PageNumber() + 1);
    else
        ShowIndicator();
    bbPrev->setEnabled(true);
    if (QRPreview1->PageNumber() == count)
        bbNext->setEnabled(false);
}

void TfrmPreview::bbZoomOutClick()
{
    QRPreview1->ZoomToFit();
    bbZoomOut->setEnabled(false);
    bbZoomIn->setEnabled(true);
    bbZoom100->setEnabled(true);
}

void TfrmPreview::bbZoom100Click()
{
    QRPreview1->SetZoom(100);
    bbZoom100->setEnabled(false);
    bbZoomIn->setEnabled(true);
    bbZoomOut->setEnabled(true);
}

void TfrmPreview::bbZoomInClick()
{
    QRPreview1->ZoomToWidth();
    bbZoomIn->setEnabled(false);
    bbZoomOut->setEnabled(true);
    bbZoom100->setEnabled(true);
}

void TfrmPreview::bbPrintClick()
{
    // A second click while the job is being made (the progress window lets messages through)
    // is not a second job.
    // The window may go meanwhile (with the calculator window): then nothing here is touched.
    // An error reaches the trap; the window stays open so the user can retry or close.
    const TReentryGuard entry(this, m_printing);
    if (!entry.Entered())
        return;
    const TLoopGuard guard(this);
    Screen::SetCursor(TCursor::crHourGlass);
    struct ArrowBack {
        ~ArrowBack() { Screen::SetCursor(TCursor::crDefault); }
    } arrowBack;
    QString problem;
    const bool printed = TQRPrinter::Instance().Print(&problem);
    if (!guard.Alive())
        return;
    if (!printed) {
        // Nothing went out: the user reads why and the preview stays open to try again.
        if (!problem.isEmpty())
            MessageBox(problem, QStringLiteral("Tallyhorn"), MessageIcon::Warning,
                       MessageButtons::Ok);
        return;
    }
    close();
}

void TfrmPreview::bbCloseClick()
{
    close();
}

void TfrmPreview::FormKeyDown(QKeyEvent* event)
{
    const int key = event->key();
    const bool ctrlOnly = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    const int count = TQRPrinter::Instance().PageCount();
    if ((key == Qt::Key_End || (key == Qt::Key_PageDown && ctrlOnly)) && bbNext->isEnabled()) {
        ShowPage(count);
        bbPrev->setEnabled(true);
        bbNext->setEnabled(false);
    } else if ((key == Qt::Key_Home || (key == Qt::Key_PageUp && ctrlOnly)) &&
               bbPrev->isEnabled()) {
        ShowPage(1);
        bbPrev->setEnabled(false);
        bbNext->setEnabled(true);
    } else if (key == Qt::Key_PageDown && bbNext->isEnabled()) {
        bbNextClick();
    } else if (key == Qt::Key_PageUp && bbPrev->isEnabled()) {
        bbPrevClick();
    }
}

void TfrmPreview::Scroll(int dx, int dy)
{
    QScrollBar* horizontal = QRPreview1->horizontalScrollBar();
    QScrollBar* vertical = QRPreview1->verticalScrollBar();
    horizontal->setValue(horizontal->value() + dx);
    vertical->setValue(vertical->value() + dy);
}

void TfrmPreview::keyPressEvent(QKeyEvent* event)
{
    // Every key of the window's controls arrives here: the preview control and the buttons
    // take none themselves.
    Application::Guard(this, [this, event] { FormKeyDown(event); });
    switch (event->key()) {
    case Qt::Key_Left: Scroll(-ScrollStep, 0); break;
    case Qt::Key_Right: Scroll(ScrollStep, 0); break;
    case Qt::Key_Up: Scroll(0, -ScrollStep); break;
    case Qt::Key_Down: Scroll(0, ScrollStep); break;
    default: QDialog::keyPressEvent(event); break;
    }
}

bool TfrmPreview::event(QEvent* event)
{
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate)
        Application::Guard(this, [this] { FormActivate(); });
    return handled;
}

void TfrmPreview::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Application::Guard(this, [this] {
            FormShow();
            // Placed already before the first paint, so the window does not jump when it is
            // activated; activation places it again once the frame is known.
            FormActivate();
        });
}

void TfrmPreview::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // Also on the user's resizing, so Print and Close stay at the right edge.
    PlaceRightButtons();
}

void TfrmPreview::done(int result)
{
    Application::Guard(this, [this] { FormClose(); });
    QDialog::done(result);
}
