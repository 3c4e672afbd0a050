// TURL: an address without its scheme plus the scheme's type; Execute hands the full address to
// the shell, which opens it in the user's browser or mail program.
#pragma once

#include "platform/Shell.h"

#include <QObject>
#include <QString>

enum TURLType { utFile, utFtp, utGopher, utHttp, utHttps, utMailto, utNews, utTelnet, utWais };

// The scheme prefix of a type: "http://", "mailto:", ...
QString URLPrefix(TURLType type);

class TURL : public QObject {
    Q_OBJECT

public:
    explicit TURL(QObject* parent = nullptr);

    // The address without the scheme: a host and path, or a mailbox.
    QString URL() const { return m_url; }
    void SetURL(const QString& url) { m_url = url; }
    TURLType URLType() const { return m_urlType; }
    void SetURLType(TURLType type) { m_urlType = type; }

    // The prefix of URLType followed by URL; empty when URL is empty.
    QString FullAddress() const;

    // Opens the full address without activating the opened window. False when URL is empty or
    // the shell reports a failure; no message is shown either way.
    bool Execute();

    // Who opens the address: the shell unless a test gives its own.
    void SetShellOpener(ShellOpener opener) { m_opener = std::move(opener); }

private:
    ShellOpener m_opener;
    QString m_url;
    TURLType m_urlType = utHttp;
};
