#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString& Override()
{
    static QString folder;
    return folder;
}

using Distrust = SettingsLocation::Distrust;

// A group that stands for the user alone: the user's primary group, of the user's name, with no
// other members (the private group many systems give each user).
bool UsersOwnGroup(gid_t gid)
{
    const passwd* user = getpwuid(geteuid());
    if (!user || user->pw_gid != gid)
        return false;
    const std::string name = user->pw_name;
    const group* g = getgrgid(gid);
    if (!g || name != g->gr_name)
        return false;
    for (char** member = g->gr_mem; *member; ++member)
        if (name != *member)
            return false;
    return true;
}

// True when no user but this one (and root) can create, replace or remove files in `folder`.
bool PrivateFolder(const QString& folder)
{
    struct stat st;
    if (stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    if (st.st_uid != geteuid() && st.st_uid != 0)
        return false;
    if (st.st_mode & S_IWOTH)
        return false;
    return !(st.st_mode & S_IWGRP) || UsersOwnGroup(st.st_gid);
}

// What stands at `path` for the settings file: nothing, or the file it is after following the
// links that may be followed, or why it is not to be used.
struct Entry {
    bool exists = false;
    bool regular = false; // the file reached is a regular file
    Distrust distrust = Distrust::None;
};

Entry Examine(const QString& path)
{
    Entry entry;
    QByteArray at = QFile::encodeName(path);
    struct stat st;
    if (lstat(at.constData(), &st) != 0)
        return entry; // missing, or in a folder that cannot be searched
    entry.exists = true;
    const uid_t user = geteuid();
    bool followed = false;
    for (int hops = 0; S_ISLNK(st.st_mode); ++hops) {
        // Each link on the way must be the user's own: anyone else's could lead anywhere. Root
        // follows no link at all: root owns every system file, so ownership cannot tell its
        // own settings file from /etc/passwd.
        if (st.st_uid != user || user == 0 || hops == 40) {
            entry.distrust = Distrust::Link;
            return entry;
        }
        char target[4096];
        const ssize_t length = readlink(at.constData(), target, sizeof target);
        if (length <= 0 || length == sizeof target) {
            entry.distrust = Distrust::Link;
            return entry;
        }
        const QByteArray next(target, length);
        if (!next.startsWith('/')) {
            const qsizetype slash = at.lastIndexOf('/');
            at = (slash < 0 ? QByteArray() : at.left(slash + 1)) + next;
        } else {
            at = next;
        }
        // A link that leads nowhere is not followed either: the save would create its target.
        if (lstat(at.constData(), &st) != 0) {
            entry.distrust = Distrust::Link;
            return entry;
        }
        followed = true;
    }
    entry.regular = S_ISREG(st.st_mode);
    if (followed) {
        // The file a link leads to must be the user's own file, in a folder only the user can
        // change, as the save replaces it there.
        if (!entry.regular || st.st_uid != user ||
            !PrivateFolder(QFileInfo(QFile::decodeName(at)).absolutePath()))
            entry.distrust = Distrust::Link;
    } else if (st.st_uid != user && st.st_uid != 0) {
        entry.distrust = Distrust::NotOwned;
    }
    return entry;
}

// True when `later` was written after `earlier` (or `earlier` does not exist).
bool WrittenLater(const QFileInfo& later, const QFileInfo& earlier)
{
    return !earlier.exists() || later.lastModified() > earlier.lastModified();
}
} // namespace

QString ProgramFolder()
{
    QString folder = Override().isEmpty() ? QCoreApplication::applicationDirPath() : Override();
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

void SetProgramFolder(const QString& folder)
{
    Override() = folder;
}

QString FileInFolder(const QString& folder, const QString& fileName)
{
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(fileName)))
        return dir.filePath(fileName);
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System,
                                            QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        if (name.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    return dir.filePath(fileName);
}

const QList<ProfileFile::Name>& SettingsFileKeys()
{
    static const QList<ProfileFile::Name> keys = {
        {"LastValues", "Price"},       {"LastValues", "Interest"}, {"LastValues", "Term"},
        {"LastValues", "DownPercent"}, {"LastValues", "AutoCalc"}, {"Update", "Host"},
        {"Offers", "Count"},           {"Offers", "Offer1"},       {"Offers", "Offer2"},
        {"Offers", "Offer3"},          {"Offers", "Offer4"}};
    return keys;
}

SettingsLocation LocateSettingsFile(const QString& fileName)
{
    const QString beside = FileInFolder(ProgramFolder(), fileName);
    const QString config =
        FileInFolder(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation), fileName);

    SettingsLocation location;
    location.beside = beside;
    location.path = config;
    struct stat marker;
    if (lstat(QFile::encodeName(ProgramFolder() + installedMarker).constData(), &marker) == 0) {
        location.installed = true;
        return location;
    }

    const Entry entry = Examine(beside);
    const bool folderPrivate = PrivateFolder(ProgramFolder());
    if (entry.exists && entry.distrust == Distrust::None && !folderPrivate)
        location.distrust = Distrust::SharedFolder;
    else
        location.distrust = entry.distrust;
    if (location.distrust != Distrust::None)
        return location; // left exactly as it is: not read, written or taken over from

    // A special file (a pipe, a device) could block or never end when read.
    const ProfileFile::Status status = !entry.exists   ? ProfileFile::Status::Missing
                                       : entry.regular ? ProfileFile(beside).Check()
                                                       : ProfileFile::Status::Unreadable;
    const QFileInfo besideInfo(beside);
    const QFileInfo configInfo(config);
    const bool folderWritable = folderPrivate && QFileInfo(ProgramFolder()).isWritable();
    const bool useBeside =
        folderWritable && (status == ProfileFile::Status::Missing ||
                           (status == ProfileFile::Status::Ok && besideInfo.isWritable()));

    if (useBeside) {
        location.path = beside;
        // Values saved in the configuration folder while this one could not be used.
        if (configInfo.isFile() && WrittenLater(configInfo, besideInfo))
            location.takeOverFrom = config;
        return location;
    }
    if (status == ProfileFile::Status::Ok && WrittenLater(besideInfo, configInfo))
        location.takeOverFrom = beside;
    if (status == ProfileFile::Status::Unreadable || status == ProfileFile::Status::NotText)
        location.passedOver = status;
    return location;
}

SettingsLocation ChooseSettingsFile(const QString& fileName)
{
    const SettingsLocation location = LocateSettingsFile(fileName);
    QDir().mkpath(QFileInfo(location.path).path());
    if (!location.takeOverFrom.isEmpty())
        ProfileFile(location.path).TakeValuesFrom(location.takeOverFrom, SettingsFileKeys());
    return location;
}

QString DistrustText(SettingsLocation::Distrust distrust)
{
    switch (distrust) {
    case SettingsLocation::Distrust::Link:
        if (geteuid() == 0)
            return QStringLiteral("is a link, and Tallyhorn follows no link when run as root");
        return QStringLiteral("is a link that does not belong to you or does not lead to a file "
                              "of yours");
    case SettingsLocation::Distrust::NotOwned: return QStringLiteral("belongs to another user");
    case SettingsLocation::Distrust::SharedFolder:
        return QStringLiteral("is in a folder that other users can change");
    case SettingsLocation::Distrust::None: break;
    }
    return {};
}
