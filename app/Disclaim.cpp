#include "app/Disclaim.h"

#include "controls/Artwork.h"
#include "controls/BevelPanel.h"
#include "controls/ExplBtn.h"
#include "platform/Application.h"
#include "platform/DialogFont.h"

#include <QKeyEvent>
#include <QLabel>

namespace {
QLabel* NoteLabel(QWidget* parent, const char* name, const QString& text, int top, int height)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText); // keeps the double spaces
    label->setText(text);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setGeometry(8, top, 208, height);
    return label;
}
} // namespace

TfrmDisclaim::TfrmDisclaim(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName("frmDisclaim");
    setWindowTitle("Disclaimer");
    setFont(DialogFont(11));
    setFixedSize(ClientWidth, ClientHeight);

    Panel1 = new TBevelPanel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(0, 0, ClientWidth, 146);
    Panel1->SetColor(Qt::white);
    Panel1->SetBevelInner(bvRaised);
    Panel1->SetBevelOuter(bvLowered);

    Label1 = NoteLabel(Panel1, "Label1",
                       "NOTE:  While effort was made to ensure the accuracy of these "
                       "calculations,",
                       8, 27);
    Label2 = NoteLabel(Panel1, "Label2",
                       "there is  NO WARRANTY,  expressed or implied, for the accuracy or "
                       "applicability of this information to your particular financial "
                       "question.",
                       35, 68);
    Label2->setFont(DialogFont(11, true));
    QPalette red = Label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label2->setPalette(red);
    Label3 = NoteLabel(Panel1, "Label3",
                       "Please consult your own financial advisor before making any financial "
                       "decision.",
                       105, 38);
    for (QLabel* label : {Label1, Label3}) {
        QPalette black = label->palette();
        black.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(black);
    }

    btnOK = new TExplorerButton(this);
    btnOK->setObjectName("btnOK");
    btnOK->SetBitmap(LoadArtwork("ok"));
    btnOK->SetLayout(blBitmapLeft);
    btnOK->SetOptions(boShowBevel);
    btnOK->SetCaption(" &OK");
    btnOK->setGeometry(55, 149, 115, 25);
    connect(btnOK, &TExplorerButton::OnClick, this,
            [this] { Application::Guard(this, [this] { close(); }); });
    btnOK->setFocusPolicy(Qt::StrongFocus);
    btnOK->setFocus();
}

void TfrmDisclaim::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        close();
    else
        QDialog::keyPressEvent(event);
}
