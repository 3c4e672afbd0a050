// Checks that a downloaded update comes from the maker: an Ed25519 signature (base64, from
// the information page) of the whole file, against the maker's public key (base64).
#pragma once

#include <QString>

namespace UpdateSignature {
enum class Result {
    Good,
    Missing,    // the page gave no signature
    Malformed,  // the signature or the key is not base64 of the right length
    Unreadable, // the file cannot be read
    Bad,        // the file is not the one the maker signed
};

Result Verify(const QString& filePath, const QString& signature, const QString& publicKey);

// The reason shown to the user for a result other than Good.
QString Describe(Result result);
} // namespace UpdateSignature
