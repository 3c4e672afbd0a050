// Composing an HTTP/1.0 request header and working out where a request goes: plain C++ on
// bytes, so that both are tested (and fuzzed) without a socket.
#pragma once

#include "update/HttpText.h"

#include <string>
#include <string_view>
#include <vector>

// What a request header says. Empty texts are left out.
struct THttpRequestHead {
    std::string method = "GET"; // "GET", "POST" or "HEAD"
    std::string requestPath;    // what follows the method
    std::string sender;         // From
    std::string reference;      // Referer
    std::string agent;          // User-Agent
    std::string host;           // Host, always sent
    bool noCache = false;       // Pragma: no-cache
    std::string modifiedSince;  // If-Modified-Since, as HttpDate writes it
    // A POST's Content-Type (left out when empty) and Content-Length (always sent).
    std::string contentType;
    long long contentLength = 0;
    // Basic credentials for the server and for the proxy, "user:password"; empty = none.
    std::string credentials;
    std::string proxyCredentials;
    std::string cookie;
};

// The header's lines in the order they are sent, without line ends and without the empty
// line that closes the header.
std::vector<std::string> RequestHeaderLines(const THttpRequestHead& head);

// The whole header as sent: every line followed by CR LF, then an empty line.
std::string ComposeRequest(const THttpRequestHead& head);

// Where a request goes: what follows the method, and the server (or proxy) connected to.
struct THttpRoute {
    std::string requestPath;
    std::string connectHost;
    std::string connectPort;
};

// The route to `target` (scheme http): straight to its server (port 80 when it names none),
// or through `proxy` (a host, or an address with a port), which is given the whole address,
// port included, and connected to on its own port or `proxyPort`.
THttpRoute RouteTo(const THttpTarget& target, std::string_view proxy, std::string_view proxyPort);

// What the client shows as the name of the document at `path`: the last segment (one trailing
// "/" dropped, at most 255 characters, cut at "?"), or "document.htm" for an empty or "/" path.
std::string DocumentNameOf(std::string_view path);
