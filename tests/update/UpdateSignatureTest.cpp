// Signatures made by scripts/sign-update with a key made here, checked by the program.
#include "update/UpdateSignature.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sodium.h>

namespace {
using UpdateSignature::Result;

TEST(UpdateSignature, TheScriptsTagLineVerifiesAndOnlyForTheSignedFile)
{
    if (QStandardPaths::findExecutable("python3").isEmpty())
        GTEST_SKIP() << "python3 is not installed; scripts/sign-update cannot run";
    ASSERT_GE(sodium_init(), 0);
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publicKey, secretKey);
    const QString key =
        QByteArray(reinterpret_cast<const char*>(publicKey), sizeof publicKey).toBase64();

    QTemporaryDir folder;
    QFile secret(folder.filePath("maker.key"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write(QByteArray(reinterpret_cast<const char*>(secretKey), sizeof secretKey).toBase64());
    secret.close();
    const QString release = folder.filePath("Torv101.zip");
    QFile file(release);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(300000, 'r'));
    file.close();

    QProcess script;
    script.start("python3", {QString(TALLYHORN_SOURCE_DIR) + "/scripts/sign-update",
                             secret.fileName(), release});
    ASSERT_TRUE(script.waitForFinished(30000));
    const QString line = QString::fromUtf8(script.readAllStandardOutput()).trimmed();
    const QRegularExpressionMatch tag =
        QRegularExpression(R"re(^<META HTTP-EQUIV="signature" CONTENT="([A-Za-z0-9+/=]+)">$)re")
            .match(line);
    ASSERT_TRUE(tag.hasMatch()) << line.toStdString();
    const QString signature = tag.captured(1);

    EXPECT_EQ(UpdateSignature::Verify(release, signature, key), Result::Good);
    EXPECT_EQ(UpdateSignature::Verify(release, "", key), Result::Missing);
    EXPECT_EQ(UpdateSignature::Verify(release, "not base64!", key), Result::Malformed);
    EXPECT_EQ(UpdateSignature::Verify(release, signature, key.left(20)), Result::Malformed);
    EXPECT_EQ(UpdateSignature::Verify(folder.filePath("none"), signature, key), Result::Unreadable);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(150000);
    file.write("R"); // one byte changed
    file.close();
    EXPECT_EQ(UpdateSignature::Verify(release, signature, key), Result::Bad);
}
} // namespace
