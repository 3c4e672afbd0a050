// Socket event bits and error numbers as the socket component documents them: the event bits
// of network message 1025 and the Windows Sockets error numbers (10000 and up) that its error
// texts are keyed on. System errors are translated here, once.
#pragma once

#include <QString>
#include <cstdint>

// Event bits in the low word of a network message's second parameter.
enum : unsigned {
    FD_READ = 1,
    FD_WRITE = 2,
    FD_OOB = 4,
    FD_ACCEPT = 8,
    FD_CONNECT = 16,
    FD_CLOSE = 32,
};

// The Windows Sockets error numbers the component and the HTTP client use by name.
enum : int {
    WSAEINTR = 10004,
    WSAEINVAL = 10022,
    WSAEWOULDBLOCK = 10035,
    WSAEINPROGRESS = 10036,
    WSAENOTSOCK = 10038,
    WSAECONNABORTED = 10053,
    WSAECONNRESET = 10054,
    WSAENOTCONN = 10057,
    WSAETIMEDOUT = 10060,
    WSAECONNREFUSED = 10061,
    WSAHOST_NOT_FOUND = 11001,
    WSATRY_AGAIN = 11002,
    WSANO_RECOVERY = 11003,
    WSANO_DATA = 11004,
};

// The English text of a Windows Sockets error number; "Not a WinSock error" for any other
// number.
QString SocketErrorDesc(int error);

// The Windows Sockets number for a system error number (errno); numbers without a
// counterpart come back unchanged.
int WSAErrorFromErrno(int error);

// The Windows Sockets number for a name-resolver result (EAI_...); 0 stays 0.
int WSAErrorFromResolver(int error);

// The second parameter of a network message: event bits low, error word high.
constexpr std::intptr_t MakeSelectLParam(unsigned event, int error)
{
    return static_cast<std::intptr_t>((static_cast<unsigned>(error) & 0xFFFFu) << 16 |
                                      (event & 0xFFFFu));
}
constexpr unsigned SelectEvent(std::intptr_t lParam)
{
    return static_cast<unsigned>(lParam) & 0xFFFFu;
}
constexpr int SelectError(std::intptr_t lParam)
{
    return static_cast<int>(static_cast<unsigned>(lParam) >> 16 & 0xFFFFu);
}
