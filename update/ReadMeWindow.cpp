#include "update/ReadMeWindow.h"

#include "platform/NoCloseDialog.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

TReadMeWindow::TReadMeWindow(const QString& text, const QFont& font, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName("ReadMe");
    setWindowTitle("Read Me");
    setFont(font);
    QSize screen(800, 600);
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screen = primary->size();
    const int width = screen.width() * 4 / 5;
    const int height = screen.height() * 4 / 5;
    setFixedSize(width, height);

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName("Memo");
    Memo->setGeometry(10, 10, width - 25, height - 80);
    Memo->setFont(font);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setReadOnly(true);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setPlainText(text);

    OkButton = new QPushButton("&Ok", this);
    OkButton->setObjectName("btnOk");
    OkButton->setGeometry(width / 2 - 34, height - 56, 68, 22);
    OkButton->setDefault(true);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    CenterOnScreen(this);
}
