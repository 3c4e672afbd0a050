// Checks that an update comes from the maker before it is downloaded: the maker signs a small
// manifest (product, version, file name, size, SHA-256; see InfoPage::ParseManifest) with
// Ed25519, and the information page carries the manifest and the signature, both base64. The
// download is then held to the manifest's size and hash.
#pragma once

#include "update/InfoPage.h"

#include <QString>

namespace UpdateSignature {
enum class Result {
    Good,
    Missing,    // the page gave no manifest or no signature
    Malformed,  // the manifest, the signature or the key is not base64 of the right length
    Bad,        // the manifest is not the one the maker signed
    Unreadable, // a signed manifest that is not of the manifest format
    NoKey,      // this copy has no public key, so no update can be accepted
};

// Verifies the signature of the manifest text and reads it into `manifest`.
Result VerifyManifest(const QString& manifestBase64, const QString& signatureBase64,
                      const QString& publicKey, TUpdateManifest* manifest);

// The reason shown to the user for a result other than Good.
QString Describe(Result result);
} // namespace UpdateSignature
