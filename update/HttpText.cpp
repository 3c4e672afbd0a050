#include "update/HttpText.h"

#include <cstdio>

namespace {
bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}
} // namespace

TUrlParts ParseURL(std::string_view address)
{
    TUrlParts parts;
    if (address.empty())
        return parts;

    std::string_view rest;
    if (const std::size_t sep = address.find("://"); sep != std::string_view::npos) {
        parts.scheme = std::string(address.substr(0, sep));
        rest = address.substr(sep + 3);
    } else if (address[0] == '/' && (address.size() < 2 || address[1] != '/')) {
        parts.scheme = "http";
        parts.path = std::string(address);
        return parts;
    } else if (address.substr(0, 2) == "//") {
        parts.scheme = "http";
        rest = address.substr(2);
    } else if (StartsWithNoCase(address, "http:")) {
        parts.scheme = "http";
        rest = address.substr(5);
    } else if (StartsWithNoCase(address, "mailto:")) {
        parts.scheme = "mailto";
        rest = address.substr(7);
    } else {
        rest = address;
    }

    const std::size_t slash = rest.find('/');
    std::string_view authority = rest;
    if (slash != std::string_view::npos) {
        parts.path = std::string(rest.substr(slash));
        authority = rest.substr(0, slash);
    }

    const std::size_t at = authority.rfind('@');
    const std::size_t colon = authority.rfind(':');
    const std::size_t hostStart = at == std::string_view::npos ? 0 : at + 1;
    if (colon != std::string_view::npos && (at == std::string_view::npos || colon > at)) {
        parts.port = std::string(authority.substr(colon + 1));
        parts.host = std::string(authority.substr(hostStart, colon - hostStart));
    } else {
        parts.host = std::string(authority.substr(hostStart));
    }
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const std::size_t pw = userInfo.find(':');
        if (pw == std::string_view::npos) {
            parts.user = std::string(userInfo);
        } else {
            parts.user = std::string(userInfo.substr(0, pw));
            parts.password = std::string(userInfo.substr(pw + 1));
        }
    }
    return parts;
}

std::string Base64Encode(std::string_view data)
{
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < data.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(data[i]) << 16 |
                           static_cast<unsigned char>(data[i + 1]) << 8 |
                           static_cast<unsigned char>(data[i + 2]);
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += alphabet[v >> 6 & 63];
        out += alphabet[v & 63];
    }
    if (i < data.size()) {
        unsigned v = static_cast<unsigned char>(data[i]) << 16;
        if (i + 1 < data.size())
            v |= static_cast<unsigned char>(data[i + 1]) << 8;
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += i + 1 < data.size() ? alphabet[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::string HttpDate(int year, int month, int day, int dayOfWeek, int hour, int minute, int second)
{
    static const char days[] = "MonTueWedThuFriSatSun";
    static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    if (dayOfWeek < 1 || dayOfWeek > 7 || month < 1 || month > 12)
        return std::string();
    char text[64];
    std::snprintf(text, sizeof text, "%.3s, %2.2d %.3s %4.4d %2.2d:%2.2d:%2.2d GMT",
                  days + 3 * (dayOfWeek - 1), day, months + 3 * (month - 1), year, hour, minute,
                  second);
    return text;
}
