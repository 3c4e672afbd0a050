// Text helpers of the HTTP client that need no socket: address splitting, Base64 and the
// If-Modified-Since date. Plain C++ so the fuzz target can build them without Qt.
#pragma once

#include <string>
#include <string_view>

// The parts of an address; a part the address does not give is empty.
struct TUrlParts {
    std::string scheme;
    std::string user;
    std::string password;
    std::string host;
    std::string port;
    std::string path; // with its leading "/" and any query
};

// Splits an address of the forms "scheme://user:pw@host:port/path", "/path" (scheme "http"),
// "//host/path", "http:host/path" and "mailto:user@host". An empty address gives empty parts.
TUrlParts ParseURL(std::string_view address);

// True when `text` holds a control character (below 32, or 127): such text must never reach a
// request line or a header field, where CR and LF would start a line of the sender's choosing.
bool HasControlCharacter(std::string_view text);

// Where a redirection leads: the server, its port (empty = the default) and the path with its
// query, as the request line names them.
struct THttpTarget {
    std::string host;
    std::string port;
    std::string path;
};

enum class TLocationResult { Ok, UnsupportedScheme, NoServer };

// Resolves a Location value against the http address `base` as RFC 3986 resolves a reference
// (relative paths, "..", "//host/path", query only). Only http addresses (scheme in any case)
// and references without a scheme lead anywhere; the fragment is dropped.
TLocationResult ResolveLocation(const THttpTarget& base, std::string_view location,
                                THttpTarget& target);

// Resolves `reference`, an address taken from a page, against the absolute http address `base`
// as RFC 3986 does, into an absolute http address without fragment. Only http addresses (scheme
// in any case) and references without a scheme lead anywhere. User information is kept only for
// the server and port it was written with: the reference's own, or the base's when the result
// names the base's server and port.
TLocationResult ResolveAddress(std::string_view base, std::string_view reference,
                               std::string& address);

// True when the two addresses name the same server (any case) and port (empty = 80).
bool SameServer(std::string_view hostA, std::string_view portA, std::string_view hostB,
                std::string_view portB);

// Standard Base64 with "=" fill and no line breaks.
std::string Base64Encode(std::string_view data);

// "Sun, 06 Nov 1994 08:49:37 GMT" for a date and time taken as they are (no time-zone change).
// `dayOfWeek` runs from 1 (Monday) to 7 (Sunday); `month` from 1 to 12.
std::string HttpDate(int year, int month, int day, int dayOfWeek, int hour, int minute, int second);
