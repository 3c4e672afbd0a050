// Composing a request header and working out where a request goes, on bytes.
#include "update/HttpRequest.h"

#include <gtest/gtest.h>

namespace {
THttpRequestHead Head(const std::string& method, const std::string& path)
{
    THttpRequestHead head;
    head.method = method;
    head.requestPath = path;
    head.host = "www.example.org";
    return head;
}
} // namespace

TEST(ComposeRequest, WritesTheLinesThatApplyInTheirOrder)
{
    THttpRequestHead full = Head("GET", "/x?y=1");
    full.sender = "me@example.org";
    full.reference = "http://ref/";
    full.agent = "Tallyhorn";
    full.noCache = true;
    full.modifiedSince = HttpDate(1994, 11, 6, 7, 8, 49, 37);
    full.credentials = "user:pw";
    full.proxyCredentials = "proxy:secret";
    full.cookie = "a=b";
    full.contentType = "text/plain"; // a GET has no body: neither type nor length
    THttpRequestHead post = Head("POST", "/form");
    post.contentType = "application/x-www-form-urlencoded";
    post.contentLength = 20000;
    THttpRequestHead untyped = Head("POST", "/form");
    THttpRequestHead userOnly = Head("HEAD", "/");
    userOnly.credentials = "user:";

    const struct {
        const char* name;
        THttpRequestHead head;
        std::string request;
    } cases[] = {
        {"minimal GET", Head("GET", "/Torv/Torv.htm"),
         "GET /Torv/Torv.htm HTTP/1.0\r\nHost: www.example.org\r\n\r\n"},
        {"every optional line", full,
         "GET /x?y=1 HTTP/1.0\r\nFrom: me@example.org\r\nReferer: http://ref/\r\n"
         "User-Agent: Tallyhorn\r\nHost: www.example.org\r\nPragma: no-cache\r\n"
         "If-Modified-Since: Sun, 06 Nov 1994 08:49:37 GMT\r\n"
         "Authorization: Basic dXNlcjpwdw==\r\nProxy-Authorization: Basic cHJveHk6c2VjcmV0\r\n"
         "Cookie: a=b\r\n\r\n"},
        {"POST", post,
         "POST /form HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n"
         "Host: www.example.org\r\nContent-Length: 20000\r\n\r\n"},
        {"POST without type", untyped,
         "POST /form HTTP/1.0\r\nHost: www.example.org\r\nContent-Length: 0\r\n\r\n"},
        {"HEAD, user without password", userOnly,
         "HEAD / HTTP/1.0\r\nHost: www.example.org\r\nAuthorization: Basic dXNlcjo=\r\n\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComposeRequest(c.head), c.request) << c.name;
        std::string joined;
        for (const std::string& line : RequestHeaderLines(c.head))
            joined += line + "\r\n";
        EXPECT_EQ(joined + "\r\n", c.request) << c.name;
    }
}

TEST(RouteTo, GoesToTheServerOrGivesTheProxyTheWholeAddress)
{
    const struct {
        THttpTarget target;
        std::string proxy;
        std::string proxyPort;
        std::string path, host, port;
    } cases[] = {
        {{"host", "", "/a"}, "", "80", "/a", "host", "80"},
        {{"host", "8080", "/a?b"}, "", "80", "/a?b", "host", "8080"},
        {{"host", "", "/a"}, "proxy", "3128", "http://host/a", "proxy", "3128"},
        {{"host", "8080", "/a"}, "proxy:8000", "3128", "http://host:8080/a", "proxy", "8000"},
        {{"host", "", "/"}, "http://proxy:8001/", "3128", "http://host/", "proxy", "8001"},
    };
    for (const auto& c : cases) {
        const THttpRoute route = RouteTo(c.target, c.proxy, c.proxyPort);
        EXPECT_EQ(route.requestPath, c.path) << c.proxy << c.target.path;
        EXPECT_EQ(route.connectHost, c.host) << c.proxy << c.target.path;
        EXPECT_EQ(route.connectPort, c.port) << c.proxy << c.target.path;
    }
}

TEST(DocumentNameOf, TakesTheLastSegmentWithoutQuery)
{
    const std::string longName(300, 'n');
    const std::string wide = std::string(254, 'w') + "\xC3\xA9\xC3\xA9"; // 256 characters
    const std::pair<std::string, std::string> cases[] = {
        {"", "document.htm"},
        {"/", "document.htm"},
        {"/Torv/Torv.htm", "Torv.htm"},
        {"/Torv/", "Torv"},
        {"/get?file=a/b", "b"},
        {"/setup.exe?x=1", "setup.exe"},
        {"/" + longName, std::string(255, 'n')},
        {"/" + wide, std::string(254, 'w') + "\xC3\xA9"},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(DocumentNameOf(path), name) << path;
}
