// Feeds arbitrary server bytes to the HTTP client's receive path, in receives of varying size,
// and checks what comes out. Shared by the fuzz target and the corpus replay test.
#pragma once

#include "update/HttpResponseParser.h"
#include "update/HttpText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Returns an empty text when every check holds, else what went wrong.
inline std::string RunHttpResponse(const std::uint8_t* data, std::size_t size)
{
    struct Checker : THttpResponseParser::Listener {
        THttpResponseParser* parser = nullptr;
        std::string fault;
        std::string body;
        bool headerEnded = false;
        bool failed = false;
        bool complete = false;
        std::size_t maxBlock = THttpResponseParser::BufferSize;
        void Check(bool ok, const char* what)
        {
            if (!ok && fault.empty())
                fault = what;
        }
        void HeaderBegin() override { Check(!parser->Stopped(), "event after stop"); }
        void HeaderLine(std::string_view line) override
        {
            Check(!parser->Stopped(), "event after stop");
            Check(line.size() < THttpResponseParser::BufferSize, "header line too long");
            Check(line.find('\n') == std::string_view::npos, "line feed inside a line");
            // The client closes the connection on an error status.
            if (parser->StatusCode() >= 400)
                parser->Stop();
        }
        void Location(std::string_view value) override
        {
            const TUrlParts p = ParseURL(value);
            Check(p.host.size() + p.path.size() + p.port.size() <= value.size(),
                  "address parts longer than the address");
            THttpTarget target;
            if (ResolveLocation({"host", "8080", "/dir/page.htm?q"}, value, target) ==
                TLocationResult::Ok) {
                Check(!target.host.empty(), "redirection without a server");
                Check(!target.path.empty() && target.path[0] == '/',
                      "redirection path not absolute");
                Check(HasControlCharacter(value) ||
                          !HasControlCharacter(target.host + target.port + target.path),
                      "control character made up by the resolution");
                for (const char c : target.port)
                    Check(c >= '0' && c <= '9', "port not a number");
            }
        }
        void HeaderEnd() override
        {
            Check(!headerEnded, "header ended twice");
            headerEnded = true;
        }
        void Body(const char* d, std::size_t n) override
        {
            Check(headerEnded, "body before the end of the header");
            Check(!complete, "body after the end of the document");
            Check(n > 0 && n <= maxBlock, "body block size");
            body.append(d, n);
            const std::int64_t announced = parser->ContentLength();
            Check(announced < 0 || body.size() <= static_cast<std::uint64_t>(announced),
                  "more body than announced");
        }
        void BodyComplete() override
        {
            Check(headerEnded, "document complete before the end of the header");
            Check(!complete, "document complete twice");
            Check(parser->Stopped(), "document complete but the parser goes on");
            complete = true;
            const std::int64_t announced = parser->ContentLength();
            Check(body.empty() || static_cast<std::int64_t>(body.size()) == announced,
                  "document complete short of its length");
        }
        void Failed(THttpError e) override
        {
            Check(!failed, "failed twice");
            Check(!to_string(e).empty(), "failure without a reason");
            failed = true;
        }
    } checker;

    THttpResponseParser parser(&checker);
    checker.parser = &parser;
    // The first byte also chooses a HEAD request (no body whatever the header says).
    parser.Reset(size > 0 && (data[0] & 0x80) != 0);
    // The first byte chooses the receive sizes, so the fuzzer explores every split of the
    // stream over receives.
    std::size_t step = size > 0 ? static_cast<std::size_t>(data[0]) * 37 + 1 : 1;
    std::size_t i = size > 0 ? 1 : 0;
    while (i < size && !parser.Stopped()) {
        std::size_t n = step % 9001 + 1;
        step = step * 1103515245u + 12345u;
        n = n < size - i ? n : size - i;
        if (parser.InBody() && (step & 0x100) != 0) {
            // A large read straight from the socket, as the client makes for the body.
            const std::size_t large = std::min<std::size_t>(size - i, n * 16);
            checker.maxBlock = std::max(checker.maxBlock, large);
            parser.BodyReceived(reinterpret_cast<const char*>(data) + i, large);
            i += large;
            continue;
        }
        const std::size_t room = parser.FreeRoom();
        n = n < room ? n : room;
        if (n == 0) {
            checker.Check(parser.Stopped(), "full buffer without a failure");
            break;
        }
        for (std::size_t k = 0; k < n; ++k)
            parser.FreeSpace()[k] = static_cast<char>(data[i + k]);
        parser.Received(n);
        i += n;
        checker.Check(parser.Held() <= THttpResponseParser::BufferSize, "buffer overrun");
    }
    // Nothing may be lost or changed: the body is exactly the tail of what the server sent.
    if (!parser.Stopped() && parser.InBody()) {
        const std::string sent(reinterpret_cast<const char*>(data) + 1, size > 0 ? size - 1 : 0);
        checker.Check(checker.body.size() <= sent.size() &&
                          sent.compare(sent.size() - checker.body.size(), std::string::npos,
                                       checker.body) == 0,
                      "body differs from the bytes sent");
    }
    if (!parser.Stopped()) {
        Base64Encode(std::string_view(reinterpret_cast<const char*>(data), size));
    }
    return checker.fault;
}

} // namespace fuzz
