// Helpers shared by the socket component's source files: the events it always asks for and
// IPv4 addresses in dotted form.
#pragma once

#include "platform/SocketErrors.h"

#include <QString>
#include <arpa/inet.h>

namespace WSocketAddress {
// Every event the component listens for on its socket.
constexpr unsigned AllEvents = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

// Dotted IPv4 in the forms the classic address parser accepts ("127.0.0.1", "127.1",
// "127.000.000.001").
inline bool IsDotted(const QString& text, in_addr& address)
{
    if (text.isEmpty() || !text[0].isDigit())
        return false;
    return inet_aton(text.toLatin1().constData(), &address) != 0;
}

inline QString Dotted(const in_addr& address)
{
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address, text, sizeof text);
    return QString::fromLatin1(text);
}
} // namespace WSocketAddress
