// A signing key made for a test and the signed release manifest of scripts/sign-update, for
// the update tests' pages.
#pragma once

#include "tests/support/UpdateSeams.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>
#include <sodium.h>
#include <string>
#include <utility>
#include <vector>

// A key pair made for the test, signing like scripts/sign-update.
struct TestKey {
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    TestKey()
    {
        EXPECT_GE(sodium_init(), 0);
        crypto_sign_keypair(publicKey, secretKey);
    }
    QString Public() const
    {
        return QByteArray(reinterpret_cast<const char*>(publicKey), sizeof publicKey).toBase64();
    }
    std::string Sign(const std::string& data) const
    {
        unsigned char signature[crypto_sign_BYTES];
        crypto_sign_detached(signature, nullptr,
                             reinterpret_cast<const unsigned char*>(data.data()), data.size(),
                             secretKey);
        return QByteArray(reinterpret_cast<const char*>(signature), sizeof signature)
            .toBase64()
            .toStdString();
    }
};

// The manifest text of a release, as scripts/sign-update writes it.
inline std::string ManifestText(const std::string& version, const std::string& bytes,
                                const std::string& file = "Torv101.zip",
                                const std::string& product = "Tallyhorn")
{
    return "update-manifest=1\nproduct=" + product + "\nversion=" + version + "\nfile=" + file +
           "\nsize=" + std::to_string(bytes.size()) +
           "\nsha256=" + Sha256OfBytes(bytes).toStdString() + "\n";
}
// The manifest and signature tags for `text`, signed with `signer`.
inline std::vector<std::pair<std::string, std::string>> SignedTags(const std::string& text,
                                                                   const TestKey& signer)
{
    return {{"manifest", QByteArray::fromStdString(text).toBase64().toStdString()},
            {"signature", signer.Sign(text)}};
}
