// The calculator window's update component and its update centre command.
#include "app/Main.h"
#include "platform/LoopGuard.h"
#include "platform/ProfileFile.h"
#include "update/Update.h"
#include "update/WebFileInfo.h"

#include <QRegularExpression>
#include <memory>

void TfrmMain::CreateWebFileInfo()
{
    WebFileInfo = new TWebFileInfo(this);
    WebFileInfo->setObjectName("WebFileInfo");
    WebFileInfo->SetCurrentVersion(TfrmUpdate::RunningVersion);
    WebFileInfo->SetHomeURL(QString("http://") + Maker::Host + Maker::UpdateInfoPath);
    TWfiTags* tags = WebFileInfo->InfoTags();
    tags->AuthorTag = "author";
    tags->AuthorEMailTag = "email";
    tags->DateTag = "date";
    tags->DownloadTag = "url";
    tags->ProductNameTag = "name";
    tags->ReadMeTag = "readme";
    tags->ReadMeExtTag.clear();
    tags->RedirectTag = "redirect";
    tags->RunParamsTag = "runparams";
    tags->ManifestTag = "manifest";
    tags->SignatureTag = "signature";
    tags->VersionTag = "version";
    WebFileInfo->SetOptions(
        {wfioDisplayUI, wfioDisplayReadMe, wfioRunUpdate, wfioExitDuringUpdate});
    QFont font("Arial");
    font.setPixelSize(11);
    WebFileInfo->SetUIFont(font);
    WebFileInfo->SetProxyHost(QString());
    WebFileInfo->SetProxyPort(80);
    WebFileInfo->SetDateFormat(wfidDFSDate);
    WebFileInfo->SetVersionFormat(wfivBuildNumber);
}

QString TfrmMain::UpdateHomeURL() const
{
    // An organisation that mirrors the releases names its server as "Host" (a host name or
    // address, optionally with ":port") in the settings file's section "Update"; the program
    // reads it and never writes it.
    QString host = Maker::Host;
    if (!m_iniFileName.isEmpty()) {
        const QString mirror =
            ProfileFile(m_iniFileName).ReadString("Update", "Host", QString()).trimmed();
        static const QRegularExpression hostAndPort(
            QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?(:[0-9]{1,5})?$"));
        if (hostAndPort.match(mirror).hasMatch())
            host = mirror;
    }
    return "http://" + host + Maker::UpdateInfoPath;
}

void TfrmMain::ShowUpdate()
{
    const TReentryGuard entry(this, m_modalBusy[ModalUpdate]);
    if (!entry.Entered())
        return;
    repaint();
    const QString home = UpdateHomeURL();
    if (WebFileInfo->HomeURL() != home)
        WebFileInfo->SetHomeURL(home);
    // A child of the main window, so that the window manager keeps it above the main window.
    auto form = std::make_unique<TfrmUpdate>(WebFileInfo, this);
    frmUpdate = form.get();
    struct Forget {
        ~Forget() { frmUpdate = nullptr; }
    } forget;
    form->ShowModal();
}
