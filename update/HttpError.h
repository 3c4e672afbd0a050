// Why an HTTP request failed. The number is the client's RequestDoneError word and, for the
// faults it raises, the code of its EHttpException; socket failures use the socket's numbers
// (10000 and up) instead.
#pragma once

#include <cstdint>
#include <string>

enum class THttpError : std::uint16_t {
    None = 0,
    Busy = 1,                // a request was started while another one runs
    NothingToPost = 2,       // a POST without a body stream
    Aborted = 3,             // Abort was called
    LineTooLong = 4,         // 8192 bytes of header without a line end
    TooManyRedirections = 5, // more than THttpCli::MaxRedirections in a row
    Timeout = 6,             // the server stayed silent longer than the idle bound
    BadStatusCode = 7,       // the status line's code is not a number
    BadContentLength = 8,    // the Content-Length value is not a number
    Truncated = 9,           // the connection closed before the document was complete
    WriteFailed = 10,        // the response stream did not take a body block
    HeaderTooLarge = 11,     // more than MaxHeaderBytes of header
    TooManyHeaderLines = 12, // more than MaxHeaderLines header lines
    ConflictingLength = 13,  // two Content-Length fields with different values
    TransferCoding = 14,     // a body sent with a transfer coding (chunked) the client cannot read
    UnsupportedScheme = 15,  // a Location that is not an http:// address
    BadLocation = 16,        // a Location that names no server
    ControlCharacter = 17,   // CR, LF or another control character in an address or a value
    NotHttp = 18,            // a request for an address whose scheme is not http
};

// The reason text the user sees for a failure the client detects itself.
std::string to_string(THttpError error);
