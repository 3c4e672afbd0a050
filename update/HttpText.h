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

// Standard Base64 with "=" fill and no line breaks.
std::string Base64Encode(std::string_view data);

// "Sun, 06 Nov 1994 08:49:37 GMT" for a date and time taken as they are (no time-zone change).
// `dayOfWeek` runs from 1 (Monday) to 7 (Sunday); `month` from 1 to 12.
std::string HttpDate(int year, int month, int day, int dayOfWeek, int hour, int minute, int second);
