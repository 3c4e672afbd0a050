#include "update/HttpRequest.h"

std::vector<std::string> RequestHeaderLines(const THttpRequestHead& head)
{
    const bool post = head.method == "POST";
    std::vector<std::string> lines;
    lines.push_back(head.method + " " + head.requestPath + " HTTP/1.0");
    if (!head.sender.empty())
        lines.push_back("From: " + head.sender);
    if (!head.reference.empty())
        lines.push_back("Referer: " + head.reference);
    if (post && !head.contentType.empty())
        lines.push_back("Content-Type: " + head.contentType);
    if (!head.agent.empty())
        lines.push_back("User-Agent: " + head.agent);
    lines.push_back("Host: " + head.host);
    if (head.noCache)
        lines.push_back("Pragma: no-cache");
    if (post)
        lines.push_back("Content-Length: " + std::to_string(head.contentLength));
    if (!head.modifiedSince.empty())
        lines.push_back("If-Modified-Since: " + head.modifiedSince);
    if (!head.credentials.empty())
        lines.push_back("Authorization: Basic " + Base64Encode(head.credentials));
    if (!head.proxyCredentials.empty())
        lines.push_back("Proxy-Authorization: Basic " + Base64Encode(head.proxyCredentials));
    if (!head.cookie.empty())
        lines.push_back("Cookie: " + head.cookie);
    return lines;
}

std::string ComposeRequest(const THttpRequestHead& head)
{
    std::string request;
    for (const std::string& line : RequestHeaderLines(head))
        request += line + "\r\n";
    return request + "\r\n";
}

THttpRoute RouteTo(const THttpTarget& target, std::string_view proxy, std::string_view proxyPort)
{
    if (proxy.empty())
        return {target.path, target.host, target.port.empty() ? std::string("80") : target.port};
    const TUrlParts parts = ParseURL(proxy);
    return {"http://" + target.host + (target.port.empty() ? std::string() : ":" + target.port) +
                target.path,
            parts.host, parts.port.empty() ? std::string(proxyPort) : parts.port};
}

std::string DocumentNameOf(std::string_view path)
{
    if (path.empty() || path == "/")
        return "document.htm";
    if (path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    // At most 255 characters as the window counts them (UTF-16 units), never cutting a
    // character of the UTF-8 text in two.
    std::size_t end = 0;
    for (int units = 0; end < name.size(); ++end) {
        const auto c = static_cast<unsigned char>(name[end]);
        if ((c & 0xC0) == 0x80)
            continue;
        units += c >= 0xF0 ? 2 : 1;
        if (units > 255)
            break;
    }
    name = name.substr(0, end);
    return std::string(name.substr(0, name.find('?')));
}
