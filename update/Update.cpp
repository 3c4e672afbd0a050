#include "update/Update.h"

#include "controls/Artwork.h"
#include "controls/ExplBtn.h"
#include "platform/Application.h"
#include "platform/DialogFont.h"
#include "platform/MessageBox.h"
#include "platform/ScreenCursor.h"
#include "update/InfoPage.h"
#include "update/WebFileInfo.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QTimer>

TfrmUpdate* frmUpdate = nullptr;

namespace {
const QColor clBlack(0, 0, 0);
const QColor clGreen(0, 128, 0);
const QColor clSilver(192, 192, 192);
const QColor clRed(255, 0, 0);
const QColor clBlue(0, 0, 255);

void SetColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// A one-line label that ends its text with "…" where the text is wider than the label; its
// text, and what a screen reader reads, stay whole.
class TElidedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        style()->drawItemText(&painter, area, alignment(), palette(), isEnabled(),
                              fontMetrics().elidedText(text(), Qt::ElideRight, area.width()),
                              foregroundRole());
    }
};

// Marks a command of the centre, whose transfers run inside it, for its lifetime.
struct TransferScope {
    explicit TransferScope(bool& flag) : m_flag(flag), m_was(flag) { m_flag = true; }
    ~TransferScope() { m_flag = m_was; }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    bool& m_flag;
    bool m_was;
};
} // namespace

TfrmUpdate::TfrmUpdate(TWebFileInfo* webFileInfo, QWidget* parent)
    : TNoCloseDialog(parent), m_webFileInfo(webFileInfo)
{
    setObjectName("frmUpdate");
    setWindowTitle("Velmora Software Update Center");
    setFont(DialogFont(11));
    setFixedSize(411, 223);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(6, 6, 399, 186);
    // Lowered outer and raised inner bevel.
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName("Image1");
    Image1->setGeometry(238, 25, 144, 155);
    Image1->setPixmap(QPixmap::fromImage(TransparentImage(LoadArtwork("update_centre"))));
    Image1->setAccessibleName("Update Center picture");

    Label7 = AddLabel("Label7", "Current Application", 17, 14, clBlack);
    Label7->setFont(DialogFont(11, true));
    Label7->adjustSize();
    Label1 = AddLabel("Label1", "Application Name:", 64, 34, clBlack);
    lblApplicationName = AddLabel("lblApplicationName", " Tallyhorn", 156, 34, clGreen);
    Label2 = AddLabel("Label2", "Developer:", 98, 53, clBlack);
    lblDeveloper = AddLabel("lblDeveloper", " Velmora Software", 156, 53, clGreen);
    Label8 = AddLabel("Label8", "Your Current Version:", 50, 72, clBlack);
    lblCurrentVersion = AddLabel("lblCurrentVersion", " Current Version", 157, 72, clGreen);
    Label10 = AddLabel("Label10", "Current Compile Date:", 47, 91, clBlack);
    lblCurrentCompileDate =
        AddLabel("lblCurrentCompileDate", " Current Compile Date", 157, 91, clGreen);
    Label5 = AddLabel("Label5", "Online Information:", 244, 95, clBlack, false);
    lblReadMe = AddLabel("lblReadMe", "Status Unknown", 339, 96, clSilver, false);
    lblReadMe->setFixedSize(250, 14);
    Label6 = AddLabel("Label6", "Download URL:", 256, 115, clBlack, false);
    lblURL = AddLabel("lblURL", "Status Unknown", 339, 115, clSilver, false);
    lblURL->setFixedSize(250, 14);
    lblUpdateStatus = AddLabel("lblUpdateStatus", "Update Status:  Unknown", 17, 131, clBlack);
    lblUpdateStatus->setFont(DialogFont(11, true));
    lblUpdateStatus->adjustSize();
    Label3 = AddLabel("Label3", "Compile Date:", 266, 134, clBlack, false);
    lblDate = AddLabel("lblDate", "Status Unknown", 340, 134, clSilver, false);
    Label4 = AddLabel("Label4", "Newest Version on Server:", 24, 153, clBlack);
    lblVersion = AddLabel("lblVersion", "Status Unknown", 157, 153, clSilver, true,
                          new TElidedLabel(Panel1));

    // Each value is labelled by its caption for a screen reader (no access key: the captions
    // have none).
    const std::pair<QLabel*, QLabel*> captions[] = {{Label1, lblApplicationName},
                                                    {Label2, lblDeveloper},
                                                    {Label8, lblCurrentVersion},
                                                    {Label10, lblCurrentCompileDate},
                                                    {Label5, lblReadMe},
                                                    {Label6, lblURL},
                                                    {Label3, lblDate},
                                                    {Label4, lblVersion}};
    for (const auto& [caption, value] : captions)
        caption->setBuddy(value);

    btnCheckForUpdate =
        AddButton("btnCheckForUpdate", "Check for &Update", 6, "update_check", false);
    btnCheckForUpdate->SetHint(" Check for Update ...");
    btnRetrieveUpdate =
        AddButton("btnRetrieveUpdate", " &Retrieve Update", 140, "update_retrieve", false);
    btnRetrieveUpdate->SetHint(" Retrieve Update ...");
    btnClose = AddButton("btnClose", " &Close Update Center", 274, "update_close", true);

    connect(btnCheckForUpdate, &TExplorerButton::OnClick, this,
            [this] { Application::Guard(this, [this] { CheckUpdate(); }); });
    connect(btnRetrieveUpdate, &TExplorerButton::OnClick, this,
            [this] { Application::Guard(this, [this] { RetrieveUpdate(); }); });
    connect(btnClose, &TExplorerButton::OnClick, this,
            [this] { Application::Guard(this, [this] { CloseUpdateCenter(); }); });
    // The buttons are the keyboard's stops, in their order on screen; Close is the default.
    setTabOrder(btnCheckForUpdate, btnRetrieveUpdate);
    setTabOrder(btnRetrieveUpdate, btnClose);
    btnClose->setFocus();

    // The component's windows, boxes and dialogs belong to the centre while it exists, so
    // that they and the centre stay together above the main window.
    m_webFileInfo->SetWindowParent(this);
    m_activationWait.setSingleShot(true);
    connect(&m_activationWait, &QTimer::timeout, this, &TfrmUpdate::StartCheck);
    FormCreate();
}

TfrmUpdate::~TfrmUpdate()
{
    if (m_webFileInfo && m_webFileInfo->WindowParent() == this)
        m_webFileInfo->SetWindowParent(nullptr);
}

QLabel* TfrmUpdate::AddLabel(const char* name, const QString& text, int left, int top,
                             const QColor& colour, bool visible, QLabel* label)
{
    if (!label)
        label = new QLabel(Panel1);
    label->setObjectName(name);
    // Some labels show what the update page says: never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    if (text != text.trimmed()) // a caption spaced on the screen is read without its blanks
        label->setAccessibleName(text.trimmed());
    label->setFont(DialogFont(11));
    SetColour(label, colour);
    label->move(left, top);
    label->adjustSize();
    label->setVisible(visible);
    return label;
}

TExplorerButton* TfrmUpdate::AddButton(const char* name, const QString& caption, int left,
                                       const QString& image, bool visible)
{
    auto* button = new TExplorerButton(this);
    button->setObjectName(name);
    button->SetCaption(caption);
    button->SetBitmap(LoadArtwork(image));
    button->SetOptions(boPopupMark | boShowBevel | boShowDownPattern);
    button->SetDropDownStyle(ddsIExplorer);
    button->SetLayout(blBitmapLeft);
    button->SetButtonSize(bsCustom);
    button->SetCustomWidth(131);
    button->SetCustomHeight(25);
    button->SetShowHint(true);
    button->setGeometry(left, 196, 131, 25);
    button->setVisible(visible);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

void TfrmUpdate::FormCreate()
{
    lblCurrentVersion->setText(RunningVersion);
    lblCurrentVersion->adjustSize();
    lblCurrentCompileDate->setText(CompileDate);
    lblCurrentCompileDate->adjustSize();
}

void TfrmUpdate::showEvent(QShowEvent* event)
{
    TNoCloseDialog::showEvent(event);
    // The check runs once per showing, once the window is active. Its "Please Wait" window,
    // shown over a centre not yet activated, would take the activation meant for the centre
    // and leave the program taking the main window for the active one, so that the centre's
    // keys did nothing until a click. A display that never reports the activation gets the
    // check after a short wait all the same.
    if (!m_checkQueued) {
        m_checkQueued = true;
        m_checkPending = true;
        if (isActiveWindow())
            StartCheck();
        else
            m_activationWait.start(ActivationWait);
    }
}

void TfrmUpdate::hideEvent(QHideEvent* event)
{
    TNoCloseDialog::hideEvent(event);
    m_checkQueued = false;
    m_checkPending = false;
    m_activationWait.stop();
}

void TfrmUpdate::changeEvent(QEvent* event)
{
    TNoCloseDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        StartCheck();
    else
        QTimer::singleShot(0, this, [this] { TakeBackActivation(); });
}

void TfrmUpdate::TakeBackActivation()
{
    // While the centre is the modal window on top, a window under it (the main window) is
    // never the active one, and just after a window of the check or the update closed, no
    // window is: the window manager moved the activation about as that window closed and the
    // program lost track of it, so that the centre's keys did nothing until a click.
    QWidget* active = QApplication::activeWindow();
    const bool justClosed = m_reactivated.isValid() && m_reactivated.elapsed() < ActivationWait;
    if (isVisible() && QApplication::activeModalWidget() == this && active != this &&
        (active || justClosed)) {
        QApplication::setActiveWindow(this);
        activateWindow();
    }
}

void TfrmUpdate::StartCheck()
{
    if (!m_checkPending)
        return;
    m_checkPending = false;
    m_activationWait.stop();
    QTimer::singleShot(0, this, [this] { Application::Guard(this, [this] { CheckUpdate(); }); });
}

void TfrmUpdate::reject()
{
    // Escape is Close, except while a transfer of the centre's runs: Close would leave it
    // running behind a window no longer shown.
    if (!m_transferring)
        CloseUpdateCenter();
}

void TfrmUpdate::CheckUpdate()
{
    const TransferScope transfer(m_transferring);
    Screen::SetCursor(TCursor::crHourGlass);
    bool found = false;
    try {
        found = m_webFileInfo->GetInfo();
    } catch (...) {
        Screen::SetCursor(TCursor::crDefault);
        throw;
    }
    if (!found) {
        Screen::SetCursor(TCursor::crDefault);
        MessageBox("Get Info failed due to:\r\n" + m_webFileInfo->LastError(),
                   Application::instance() ? Application::instance()->Title() : QString(),
                   MessageIcon::None, MessageButtons::Ok, this);
        Reactivate();
        return;
    }
    SetColour(lblUpdateStatus, clRed);
    lblUpdateStatus->setText("Update Information");
    const std::pair<QLabel*, QString> values[] = {
        {lblDate, m_webFileInfo->ProductDateStr()},
        {lblVersion, m_webFileInfo->ProductVersion()},
        {lblReadMe, m_webFileInfo->ProductReadMe()},
        {lblURL, m_webFileInfo->DownloadURL()},
    };
    for (const auto& [label, text] : values) {
        label->setText(text);
        SetColour(label, clBlue);
    }
    lblDate->adjustSize();
    lblVersion->adjustSize();
    // The page's version may be of any length: it ends short of the picture, elided, and
    // shows whole as its tip.
    const int room = Image1->x() - lblVersion->x() - 4;
    const bool elided = lblVersion->width() > room;
    if (elided)
        lblVersion->resize(room, lblVersion->height());
    lblVersion->setToolTip(elided ? "<p>" + lblVersion->text().toHtmlEscaped() + "</p>"
                                  : QString());
    if (IsUpdateAvailable())
        btnRetrieveUpdate->setVisible(true);
    else
        lblUpdateStatus->setText("No Update Available");
    lblUpdateStatus->adjustSize();
    Screen::SetCursor(TCursor::crDefault);
    Reactivate();
}

bool TfrmUpdate::IsUpdateAvailable() const
{
    return InfoPage::IsNewerBuildNumber(RunningVersion, lblVersion->text());
}

void TfrmUpdate::RetrieveUpdate()
{
    const TransferScope transfer(m_transferring);
    m_webFileInfo->SetActive(true);
    if (m_webFileInfo->Active())
        m_webFileInfo->ExecuteUpdate();
    Reactivate();
}

void TfrmUpdate::Reactivate()
{
    // The windows of the check and of the update were over the centre; the window manager
    // usually gives the activation back when they close, but not always.
    m_reactivated.start();
    if (isVisible() && !isActiveWindow())
        activateWindow();
}

void TfrmUpdate::CloseUpdateCenter()
{
    SetModalResult(ModalResult::mrOk);
    hide();
}
