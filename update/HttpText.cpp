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
std::string Lower(std::string_view s)
{
    std::string lower(s);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool IsAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The five parts of a URI reference; a part that is absent is not the same as an empty one.
struct TReference {
    bool hasScheme = false;
    bool hasAuthority = false;
    bool hasQuery = false;
    std::string scheme;
    std::string authority;
    std::string path;
    std::string query;
};

TReference SplitReference(std::string_view s)
{
    TReference r;
    if (const std::size_t hash = s.find('#'); hash != std::string_view::npos)
        s = s.substr(0, hash);
    if (!s.empty() && IsAlpha(s[0])) {
        std::size_t i = 1;
        while (i < s.size() &&
               (IsAlpha(s[i]) || IsDigit(s[i]) || s[i] == '+' || s[i] == '-' || s[i] == '.'))
            ++i;
        if (i < s.size() && s[i] == ':') {
            r.hasScheme = true;
            r.scheme = std::string(s.substr(0, i));
            s.remove_prefix(i + 1);
        }
    }
    if (s.substr(0, 2) == "//") {
        s.remove_prefix(2);
        const std::size_t end = s.find_first_of("/?");
        r.hasAuthority = true;
        r.authority = std::string(s.substr(0, end));
        s = end == std::string_view::npos ? std::string_view() : s.substr(end);
    }
    if (const std::size_t q = s.find('?'); q != std::string_view::npos) {
        r.hasQuery = true;
        r.query = std::string(s.substr(q + 1));
        s = s.substr(0, q);
    }
    r.path = std::string(s);
    return r;
}

// RFC 3986, 5.2.4.
std::string RemoveDotSegments(std::string in)
{
    std::string out;
    while (!in.empty()) {
        if (in.starts_with("../")) {
            in.erase(0, 3);
        } else if (in.starts_with("./")) {
            in.erase(0, 2);
        } else if (in.starts_with("/./")) {
            in.erase(0, 2);
        } else if (in == "/.") {
            in = "/";
        } else if (in.starts_with("/../") || in == "/..") {
            in = in.size() == 3 ? std::string("/") : in.substr(3);
            const std::size_t last = out.rfind('/');
            out.erase(last == std::string::npos ? 0 : last);
        } else if (in == "." || in == "..") {
            in.clear();
        } else {
            const std::size_t next = in.find('/', 1);
            out += in.substr(0, next);
            in.erase(0, next);
        }
    }
    return out;
}

// RFC 3986, 5.2.3.
std::string Merge(const TReference& base, const std::string& path)
{
    if (base.hasAuthority && base.path.empty())
        return "/" + path;
    const std::size_t slash = base.path.rfind('/');
    return slash == std::string::npos ? path : base.path.substr(0, slash + 1) + path;
}
} // namespace

bool HasControlCharacter(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            return true;
    return false;
}

TLocationResult ResolveLocation(const THttpTarget& base, std::string_view location,
                                THttpTarget& target)
{
    TReference b = SplitReference(base.path);
    b.hasScheme = b.hasAuthority = true;
    b.scheme = "http";
    b.authority = base.host + (base.port.empty() ? "" : ":" + base.port);

    // RFC 3986, 5.2.2, with the strict reading: a scheme always makes the address absolute.
    const TReference r = SplitReference(location);
    TReference t;
    if (r.hasScheme) {
        t = r;
        t.path = RemoveDotSegments(r.path);
    } else {
        t.scheme = b.scheme;
        if (r.hasAuthority) {
            t.hasAuthority = true;
            t.authority = r.authority;
            t.path = RemoveDotSegments(r.path);
            t.hasQuery = r.hasQuery;
            t.query = r.query;
        } else {
            t.hasAuthority = true;
            t.authority = b.authority;
            if (r.path.empty()) {
                t.path = b.path;
                t.hasQuery = r.hasQuery || b.hasQuery;
                t.query = r.hasQuery ? r.query : b.query;
            } else {
                t.path = RemoveDotSegments(r.path.starts_with('/') ? r.path : Merge(b, r.path));
                t.hasQuery = r.hasQuery;
                t.query = r.query;
            }
        }
    }
    std::string scheme = t.scheme;
    for (char& c : scheme)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (scheme != "http")
        return TLocationResult::UnsupportedScheme;

    // The authority: user information (not used for a redirection), host and port.
    std::string_view authority = t.authority;
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    std::string_view port;
    if (const std::size_t colon = authority.rfind(':'); colon != std::string_view::npos) {
        port = authority.substr(colon + 1);
        authority = authority.substr(0, colon);
    }
    for (const char c : port)
        if (!IsDigit(c))
            return TLocationResult::NoServer;
    // A host with a colon left in it would read as another host and port when written again.
    if (!t.hasAuthority || authority.empty() || authority.find(':') != std::string_view::npos)
        return TLocationResult::NoServer;
    target.host = std::string(authority);
    target.port = port == "80" ? std::string() : std::string(port);
    target.path = (t.path.empty() ? std::string("/") : t.path) + (t.hasQuery ? "?" + t.query : "");
    return TLocationResult::Ok;
}

bool SameServer(std::string_view hostA, std::string_view portA, std::string_view hostB,
                std::string_view portB)
{
    const auto port = [](std::string_view p) { return p.empty() ? std::string_view("80") : p; };
    return hostA.size() == hostB.size() && StartsWithNoCase(hostA, Lower(hostB)) &&
           port(portA) == port(portB);
}

TLocationResult ResolveAddress(std::string_view base, std::string_view reference,
                               std::string& address)
{
    const TUrlParts b = ParseURL(base);
    const THttpTarget from{b.host, b.port == "80" ? std::string() : b.port,
                           b.path.empty() ? std::string("/") : b.path};
    THttpTarget to;
    if (const TLocationResult result = ResolveLocation(from, reference, to);
        result != TLocationResult::Ok)
        return result;
    std::string userInfo;
    const TReference r = SplitReference(reference);
    if (const std::size_t at = r.authority.rfind('@'); r.hasAuthority && at != std::string::npos)
        userInfo = r.authority.substr(0, at);
    else if (!b.user.empty() && SameServer(to.host, to.port, from.host, from.port))
        userInfo = b.user + (b.password.empty() ? "" : ":" + b.password);
    address = "http://" + (userInfo.empty() ? "" : userInfo + "@") + to.host +
              (to.port.empty() ? "" : ":" + to.port) + to.path;
    return TLocationResult::Ok;
}

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
