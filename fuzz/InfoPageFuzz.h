// Arbitrary bytes as the update information page, read the way the update check reads it: the
// tags, the release date, the proposed file name, the addresses resolved against the page's
// own, the version comparison and the manifest. Shared by the fuzz target and the corpus
// replay test.
//
// Input: the whole input is the page; it is also read as a manifest text and, when the page's
// manifest tag holds base64, its decoded bytes too.
#pragma once

#include "calc/Errors.h"
#include "update/HttpText.h"
#include "update/InfoPage.h"
#include "update/WfiTags.h"

#include <QByteArray>
#include <QRegularExpression>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

namespace infopage {

inline bool Invisible(char32_t c)
{
    const QString one = QString::fromUcs4(&c, 1);
    return InfoPage::CleanFileName("a" + one) == QLatin1String("a");
}

inline std::string CheckName(const QString& name)
{
    if (name.isEmpty())
        return {};
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.contains('/') ||
        name.contains('\\'))
        return "file name leaves its folder";
    for (const char32_t c : name.toUcs4())
        if (c < 0x20 || c == 0x7f || Invisible(c))
            return "file name with a control or invisible character";
    if (InfoPage::CleanFileName(name) != name)
        return "cleaning a clean file name changes it";
    return {};
}

inline std::string CheckManifest(const QByteArray& text)
{
    TUpdateManifest m;
    if (!InfoPage::ParseManifest(text, &m))
        return {};
    if (m.Size <= 0 || m.Sha256.size() != 32 || m.Product.isEmpty() || m.Version.isEmpty())
        return "manifest accepted with an empty or impossible field";
    if (!CheckName(m.FileName).empty() || m.FileName.isEmpty())
        return "manifest names a file that cannot be saved as it is";
    // The format has one spelling: the fields written out again are the text read.
    const QByteArray again = "update-manifest=1\nproduct=" + m.Product.toUtf8() +
                             "\nversion=" + m.Version.toUtf8() + "\nfile=" + m.FileName.toUtf8() +
                             "\nsize=" + QByteArray::number(m.Size) +
                             "\nsha256=" + m.Sha256.toHex() + "\n";
    if (again != text)
        return "manifest accepted in more than one spelling";
    return {};
}

inline std::string CheckAddress(const std::string& base, const QString& value)
{
    if (value.isEmpty())
        return {};
    const std::string reference = value.toStdString();
    std::string address;
    if (ResolveAddress(base, reference, address) != TLocationResult::Ok)
        return {};
    if (!address.starts_with("http://"))
        return "resolved address is not http://";
    if (ParseURL(address).host.empty())
        return "resolved address without a server";
    if (!HasControlCharacter(reference) && HasControlCharacter(address))
        return "control character made up by the resolution";
    std::string again;
    if (ResolveAddress(base, address, again) != TLocationResult::Ok || again != address)
        return "a resolved address resolves to another one";
    const TUrlParts parts = ParseURL(address);
    const TUrlParts from = ParseURL(base);
    if (!parts.user.empty() && !SameServer(parts.host, parts.port, from.host, from.port) &&
        reference.find(parts.user) == std::string::npos)
        return "the page's credentials carried to another server";
    return {};
}

} // namespace infopage

// Returns an empty text when every check holds, else what went wrong.
inline std::string RunInfoPage(const std::uint8_t* data, std::size_t size)
{
    using namespace infopage;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TWfiTags tags;
    tags.AuthorTag = "author";
    tags.AuthorEMailTag = "email";
    tags.DateTag = "date";
    tags.DownloadTag = "url";
    tags.ProductNameTag = "name";
    tags.ReadMeTag = "readme";
    tags.RedirectTag = "redirect";
    tags.RunParamsTag = "runparams";
    tags.ManifestTag = "manifest";
    tags.SignatureTag = "signature";
    tags.VersionTag = "version";
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = QString::fromUtf8(bytes).split(lineEnd);
    const TInfoPageValues v = InfoPage::Parse(lines, tags);

    // Every value is bounded and, written back as a page, reads the same.
    const auto fields = [](const TInfoPageValues& x) {
        return std::array<std::pair<const char*, QString>, 11>{{{"name", x.ProductName},
                                                                {"readme", x.ReadMe},
                                                                {"version", x.Version},
                                                                {"date", x.DateStr},
                                                                {"author", x.Author},
                                                                {"email", x.AuthorEMail},
                                                                {"url", x.DownloadURL},
                                                                {"redirect", x.RedirectURL},
                                                                {"runparams", x.RunParams},
                                                                {"manifest", x.Manifest},
                                                                {"signature", x.Signature}}};
    };
    QStringList page;
    for (const auto& [name, value] : fields(v)) {
        if (value.size() > InfoPage::MaxField || value.contains('"'))
            return std::string("tag value unbounded or past its quote: ") + name;
        page << QString("<META HTTP-EQUIV=\"%1\" CONTENT=\"%2\">").arg(name, value);
    }
    if (fields(InfoPage::Parse(page, tags)) != fields(v))
        return "a value reads differently from a page of its own";

    try {
        const QDate date = InfoPage::ParseProductDate(v.DateStr);
        if (!date.isValid() || date.year() != v.DateStr.right(4).toInt())
            return "release date accepted but not the year written";
    } catch (const calc::EConvertError&) {
    }

    if (std::string fault = CheckName(InfoPage::FileNameFromAddress(v.DownloadURL)); !fault.empty())
        return fault;
    if (std::string fault = CheckName(InfoPage::CleanFileName(v.ProductName)); !fault.empty())
        return fault;

    const std::string base = "http://user:pw@127.0.0.1:8080/Torv/Torv.htm?x";
    for (const QString* address : {&v.DownloadURL, &v.RedirectURL, &v.ReadMe})
        if (std::string fault = CheckAddress(base, *address); !fault.empty())
            return fault;

    InfoPage::IsNewerBuildNumber(v.Version, v.ProductName);
    InfoPage::IsNewerBuildNumber(v.ProductName, v.Version);

    if (std::string fault = CheckManifest(bytes); !fault.empty())
        return fault;
    const auto decoded = QByteArray::fromBase64Encoding(v.Manifest.toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (decoded)
        if (std::string fault = CheckManifest(decoded.decoded); !fault.empty())
            return fault;
    return {};
}

} // namespace fuzz
