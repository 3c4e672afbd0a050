#include "controls/URL.h"

#include "platform/Shell.h"

#include <QApplication>
#include <QWidget>

QString URLPrefix(TURLType type)
{
    switch (type) {
    case utFile: return "file://";
    case utFtp: return "ftp://";
    case utGopher: return "gopher://";
    case utHttp: return "http://";
    case utHttps: return "https://";
    case utMailto: return "mailto:";
    case utNews: return "news:";
    case utTelnet: return "telnet:";
    case utWais: return "wais:";
    }
    return QString();
}

TURL::TURL(QObject* parent) : QObject(parent) {}

QString TURL::FullAddress() const
{
    return m_url.isEmpty() ? QString() : URLPrefix(m_urlType) + m_url;
}

bool TURL::Execute()
{
    if (m_url.isEmpty())
        return false;
    ShellOpenRequest request;
    // The whole address is passed, however long: cutting it would open a different page.
    request.file = FullAddress();
    request.show = ShellShowMode::ShowNoActivate;
    request.owner = QApplication::activeWindow();
    return ShellOpen(m_opener, request) > 32;
}
