#include "update/PleaseWait.h"

#include <QLabel>

TPleaseWait::TPleaseWait(const QString& text, const QFont& font, QWidget* parent)
    : TNoCloseDialog(parent)
{
    setObjectName("PleaseWait");
    setWindowTitle("Please Wait");
    setFont(font);
    setCursor(Qt::WaitCursor);
    // A 240 x 100 window: the client area inside the dialog border and caption.
    setFixedSize(232, 73);
    m_label = new QLabel(text, this);
    m_label->setObjectName("lblWait");
    m_label->setGeometry(0, 27, 232, 23);
    m_label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_label->setFont(font);
}
