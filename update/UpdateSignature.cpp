#include "update/UpdateSignature.h"

#include <QByteArray>
#include <sodium.h>

namespace UpdateSignature {

Result VerifyManifest(const QString& manifestBase64, const QString& signatureBase64,
                      const QString& publicKey, TUpdateManifest* manifest)
{
    if (publicKey.trimmed().isEmpty())
        return Result::NoKey;
    if (manifestBase64.trimmed().isEmpty() || signatureBase64.trimmed().isEmpty())
        return Result::Missing;
    const auto strict = QByteArray::AbortOnBase64DecodingErrors;
    const auto text = QByteArray::fromBase64Encoding(manifestBase64.trimmed().toLatin1(), strict);
    const auto sig = QByteArray::fromBase64Encoding(signatureBase64.trimmed().toLatin1(), strict);
    const auto key = QByteArray::fromBase64Encoding(publicKey.trimmed().toLatin1(), strict);
    if (!text || !sig || !key || text.decoded.isEmpty() ||
        text.decoded.size() > InfoPage::MaxManifestBytes ||
        sig.decoded.size() != crypto_sign_BYTES || key.decoded.size() != crypto_sign_PUBLICKEYBYTES)
        return Result::Malformed;
    if (sodium_init() < 0)
        return Result::Bad;
    if (crypto_sign_verify_detached(
            reinterpret_cast<const unsigned char*>(sig.decoded.constData()),
            reinterpret_cast<const unsigned char*>(text.decoded.constData()),
            static_cast<unsigned long long>(text.decoded.size()),
            reinterpret_cast<const unsigned char*>(key.decoded.constData())) != 0)
        return Result::Bad;
    // Only signed text is read.
    return InfoPage::ParseManifest(text.decoded, manifest) ? Result::Good : Result::Unreadable;
}

QString Describe(Result result)
{
    switch (result) {
    case Result::Good: return {};
    case Result::Missing: return QStringLiteral("The update carries no signature of its maker");
    case Result::Malformed: return QStringLiteral("The update's signature cannot be read");
    case Result::Bad: return QStringLiteral("The update is not signed by its maker");
    case Result::Unreadable:
        return QStringLiteral("The update's signed description cannot be read");
    case Result::NoKey:
        return QStringLiteral("This copy of the program has no key to check updates with, so "
                              "it cannot install them");
    }
    return {};
}

} // namespace UpdateSignature
