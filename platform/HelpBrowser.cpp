#include "platform/HelpBrowser.h"

#include "platform/HelpFile.h"

#include <QFile>

namespace {
const char* const topicStyle = "h2 { color: #000080; }"
                               "h3 { color: #000080; }"
                               "td, th { padding: 2px 6px; }"
                               "th { background-color: #e0e0e0; }"
                               ".key { font-weight: bold; }";

QString NotFound(const QString& id)
{
    return QStringLiteral("<h2>Topic not found</h2><p>This help file has no topic \"%1\". "
                          "Use <b>Contents</b> or <b>Index</b> to find what you are looking "
                          "for.</p>")
        .arg(id.toHtmlEscaped());
}
} // namespace

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    document()->setDefaultStyleSheet(topicStyle);
}

bool HelpBrowser::Open(const QUrl& url)
{
    const QUrl target = url.isRelative() ? source().resolved(url) : url;
    if (target.scheme() != QLatin1String("topic") && target.scheme() != QLatin1String("viewer"))
        return false;
    setSource(target, QTextDocument::HtmlResource);
    return true;
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    if (type != QTextDocument::HtmlResource)
        return {}; // pictures and style sheets of other origins are not loaded
    if (name.scheme() == QLatin1String("viewer")) {
        QFile page(":/platform/HelpOnHelp.html");
        return page.open(QIODevice::ReadOnly) ? QString::fromUtf8(page.readAll()) : QString();
    }
    if (name.scheme() == QLatin1String("topic")) {
        const QString id = name.path();
        const QString html = m_file ? m_file->TopicHtml(id) : QString();
        return html.isEmpty() ? NotFound(id) : html;
    }
    return {};
}
