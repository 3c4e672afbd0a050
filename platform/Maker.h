// The maker's site, mailboxes and update signing key: the one place where they are configured.
// The Internet menu's links and the update check both start from here.
#pragma once

namespace Maker {
// Host of the maker's web server (the web links and the update information page).
inline const char* const Host = "www.velmora.example";
inline const char* const SuggestionsMailbox = "suggestions@velmora.example";
inline const char* const SupportMailbox = "support@velmora.example";

// Path of the update information page on the maker's server.
inline const char* const UpdateInfoPath = "/Torv/Torv.htm";

// The maker's Ed25519 public key (base64 of 32 bytes). Every update the program downloads must
// be described by a manifest signed with the matching secret key (scripts/sign-update). Empty
// means no update can be installed (the check still reports versions).
inline const char* const UpdatePublicKey = "GMFVmxef7JNHhJNCF9tz8serU47PdVM9OkRgUu0rMvM=";
// The product name an update's manifest must carry.
inline const char* const UpdateProduct = "Tallyhorn";
} // namespace Maker
