#include "app/About.h"

#include "Version.h"
#include "app/Main.h"
#include "app/splash.h"
#include "controls/Artwork.h"
#include "controls/BevelPanel.h"
#include "controls/ExplBtn.h"
#include "controls/URL.h"
#include "controls/URLLabel.h"
#include "platform/Application.h"
#include "platform/DialogFont.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    InitAppResources();
    setObjectName("AboutBox");
    setWindowTitle("About Tallyhorn, " TALLYHORN_CAPTION_VERSION);
    setFont(DialogFont(11));
    setFixedSize(ClientWidth, ClientHeight);

    Panel1 = new TBevelPanel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(5, 5, 323, 269);
    Panel1->SetColor(Qt::white);
    Panel1->SetBevelInner(bvRaised);
    Panel1->SetBevelOuter(bvLowered);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setPixmap(ProductPicture());
    ProgramIcon->setAccessibleName("Tallyhorn product picture");
    ProgramIcon->setGeometry(11, 11, 300, 162);

    Comments = new QLabel(Panel1);
    Comments->setObjectName("Comments");
    Comments->setTextFormat(Qt::PlainText);
    Comments->setText("Velmora Software creates award-winning financial calculators for "
                      "consumers, professionals and corporations in the banking, real estate, "
                      "mortgage and financial services industries.");
    Comments->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Comments->setWordWrap(true);
    Comments->setGeometry(28, 179, 259, 52);

    // The caption ends at x 170; the link starts at 180 on the same line.
    lblVisit = new QLabel("Visit Velmora' website at:", Panel1);
    lblVisit->setObjectName("lblVisit");
    lblVisit->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblVisit->adjustSize();
    lblVisit->move(170 - lblVisit->width(), 245);

    const QString home = URLPrefix(utHttp) + Maker::Host + "/";
    URLLabel1 = new TURLLabel(Panel1);
    URLLabel1->setObjectName("URLLabel1");
    URLLabel1->setText(Maker::Host);
    URLLabel1->SetURL(home);
    URLLabel1->SetFontColor(Qt::blue);
    URLLabel1->SetFontStyle(fsUnderline);
    URLLabel1->SetMouseOverColor(Qt::red);
    URLLabel1->SetMouseOverFont(fsUnderline);
    URLLabel1->adjustSize();
    URLLabel1->move(180, 245);
    SetHint(URLLabel1, " Click to visit Velmora Software's website ...");

    OKButton = new TExplorerButton(this);
    OKButton->setObjectName("OKButton");
    OKButton->SetBitmap(LoadArtwork("ok"));
    OKButton->SetLayout(blBitmapLeft);
    OKButton->SetOptions(boShowBevel);
    OKButton->SetCaption(" &OK");
    OKButton->SetHint(" Close About ...");
    OKButton->SetShowHint(true);
    OKButton->setGeometry(109, 278, 115, 25);
    connect(OKButton, &TExplorerButton::OnClick, this,
            [this] { Application::Guard(this, [this] { close(); }); });
    // The keyboard's stops: OK, which the box opens with, and the link.
    OKButton->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(OKButton, URLLabel1);
    OKButton->setFocus();
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    // Enter closes the box as its OK button would (on the link it opens the link); Escape
    // closes it as any dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        close();
    else
        QDialog::keyPressEvent(event);
}
