// Manifests made and signed by scripts/sign-update with a key made here, checked by the program.
#include "update/UpdateSignature.h"

#include "tests/support/MissingTool.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sodium.h>

namespace {
using UpdateSignature::Result;

QString Base64(const unsigned char* bytes, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size))
        .toBase64();
}

TEST(UpdateSignature, TheScriptsManifestVerifiesAndOnlyAsSigned)
{
    if (QStandardPaths::findExecutable("python3").isEmpty())
        MISSING_FOR_TEST() << "python3 is not installed; scripts/sign-update cannot run";
    ASSERT_GE(sodium_init(), 0);
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publicKey, secretKey);
    const QString key = Base64(publicKey, sizeof publicKey);

    QTemporaryDir folder;
    QFile secret(folder.filePath("maker.key"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write(Base64(secretKey, sizeof secretKey).toLatin1());
    secret.close();
    const QString release = folder.filePath("Torv101.zip");
    QFile file(release);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(300000, 'r'));
    file.close();

    QProcess script;
    script.start("python3", {QString(TALLYHORN_SOURCE_DIR) + "/scripts/sign-update",
                             secret.fileName(), release, "1.0.01"});
    ASSERT_TRUE(script.waitForFinished(30000));
    const QString out = QString::fromUtf8(script.readAllStandardOutput()).trimmed();
    const QRegularExpressionMatch tags =
        QRegularExpression(R"re(^<META HTTP-EQUIV="manifest" CONTENT="([A-Za-z0-9+/=]+)">\n)re"
                           R"re(<META HTTP-EQUIV="signature" CONTENT="([A-Za-z0-9+/=]+)">$)re")
            .match(out);
    ASSERT_TRUE(tags.hasMatch()) << out.toStdString();
    const QString manifest = tags.captured(1);
    const QString signature = tags.captured(2);

    TUpdateManifest m;
    ASSERT_EQ(UpdateSignature::VerifyManifest(manifest, signature, key, &m), Result::Good);
    EXPECT_EQ(m.Product, "Tallyhorn");
    EXPECT_EQ(m.Version, "1.0.01");
    EXPECT_EQ(m.FileName, "Torv101.zip");
    EXPECT_EQ(m.Size, 300000);
    EXPECT_EQ(m.Sha256,
              QCryptographicHash::hash(QByteArray(300000, 'r'), QCryptographicHash::Sha256));

    // One character of the manifest changed (a version, say): the signature no longer holds.
    QByteArray text = QByteArray::fromBase64(manifest.toLatin1());
    const QString replayed = text.replace("version=1.0.01", "version=9.9.99").toBase64();
    // Text the maker signed that is not a manifest is not one.
    unsigned char otherSignature[crypto_sign_BYTES];
    const QByteArray notManifest = "the release notes\n";
    crypto_sign_detached(otherSignature, nullptr,
                         reinterpret_cast<const unsigned char*>(notManifest.constData()),
                         static_cast<unsigned long long>(notManifest.size()), secretKey);
    unsigned char strangerPublic[crypto_sign_PUBLICKEYBYTES];
    unsigned char strangerSecret[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(strangerPublic, strangerSecret);
    const struct {
        QString manifest, signature, key;
        Result result;
    } rows[] = {
        {replayed, signature, key, Result::Bad},
        {manifest, signature, Base64(strangerPublic, sizeof strangerPublic), Result::Bad},
        {manifest, "", key, Result::Missing},
        {"", signature, key, Result::Missing},
        {manifest, "not base64!", key, Result::Malformed},
        {manifest, signature, key.left(20), Result::Malformed},
        {notManifest.toBase64(), Base64(otherSignature, sizeof otherSignature), key,
         Result::Unreadable},
        {manifest, signature, "", Result::NoKey},
    };
    for (const auto& row : rows) {
        TUpdateManifest untouched;
        EXPECT_EQ(UpdateSignature::VerifyManifest(row.manifest, row.signature, row.key, &untouched),
                  row.result)
            << row.manifest.toStdString() << " " << row.key.toStdString();
        EXPECT_EQ(untouched.Size, -1);
    }
    EXPECT_EQ(UpdateSignature::Describe(Result::NoKey),
              "This copy of the program has no key to check updates with, so it cannot install "
              "them");
}
} // namespace
