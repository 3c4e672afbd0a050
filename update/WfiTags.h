// TWfiTags: the names of the META HTTP-EQUIV tags that the update information page is read
// for. Names match case-sensitively and whole; an empty name is never looked for.
#pragma once

#include <QObject>
#include <QString>

class TWfiTags : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    QString AuthorTag;
    QString AuthorEMailTag;
    QString DateTag;
    QString DownloadTag;
    QString ProductNameTag;
    QString ReadMeTag;
    QString ReadMeExtTag;
    QString RedirectTag;
    QString RunParamsTag;
    // Name the tags carrying the release's manifest (base64 of its text) and the base64
    // Ed25519 signature of that text.
    QString ManifestTag;
    QString SignatureTag;
    QString VersionTag;

    // True when no tag name is set at all.
    bool AllEmpty() const;
};
