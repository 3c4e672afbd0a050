#include "update/UpdateSignature.h"

#include <QByteArray>
#include <QFile>
#include <sodium.h>

namespace UpdateSignature {

Result Verify(const QString& filePath, const QString& signature, const QString& publicKey)
{
    if (signature.trimmed().isEmpty())
        return Result::Missing;
    const auto strict = QByteArray::AbortOnBase64DecodingErrors;
    const auto sig = QByteArray::fromBase64Encoding(signature.trimmed().toLatin1(), strict);
    const auto key = QByteArray::fromBase64Encoding(publicKey.trimmed().toLatin1(), strict);
    if (!sig || !key || sig.decoded.size() != crypto_sign_BYTES ||
        key.decoded.size() != crypto_sign_PUBLICKEYBYTES)
        return Result::Malformed;
    if (sodium_init() < 0)
        return Result::Unreadable;

    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return Result::Unreadable;
    const qint64 size = file.size();
    QByteArray copy;
    const unsigned char* data = nullptr;
    if (size > 0) {
        data = file.map(0, size);
        if (!data) {
            copy = file.readAll();
            if (copy.size() != size)
                return Result::Unreadable;
            data = reinterpret_cast<const unsigned char*>(copy.constData());
        }
    }
    static const unsigned char empty = 0;
    const int verdict = crypto_sign_verify_detached(
        reinterpret_cast<const unsigned char*>(sig.decoded.constData()), data ? data : &empty,
        static_cast<unsigned long long>(size),
        reinterpret_cast<const unsigned char*>(key.decoded.constData()));
    return verdict == 0 ? Result::Good : Result::Bad;
}

QString Describe(Result result)
{
    switch (result) {
    case Result::Good: return {};
    case Result::Missing: return QStringLiteral("The update carries no signature of its maker");
    case Result::Malformed: return QStringLiteral("The update's signature cannot be read");
    case Result::Unreadable: return QStringLiteral("The downloaded file cannot be read");
    case Result::Bad: return QStringLiteral("The update is not signed by its maker");
    }
    return {};
}

} // namespace UpdateSignature
