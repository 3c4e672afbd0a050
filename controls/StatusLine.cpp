#include "controls/StatusLine.h"

TStatusLine::TStatusLine(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_announcement(new TAnnouncement(this))
{
    m_announcement->setObjectName("Announcement");
    m_announcement->setGeometry(0, 0, 0, 0); // nothing to see: it speaks
    m_announcement->hide();
}

void TStatusLine::Announce(const QString& text)
{
    setText(text);
    // A notification is spoken as it becomes visible: hidden first, so that a second
    // announcement is one too.
    m_announcement->hide();
    m_announcement->setText(text.trimmed());
    m_announcement->show();
}
