// Asynchronous name lookup for the socket component: the resolver runs on a worker thread,
// which does nothing but call the system resolver and post the answer back as a message.
//
// The answer reaches `window` as message `msg` with the lookup handle as the first parameter
// and the Windows Sockets error in the high word of the second (0 = found). The addresses are
// then taken with TakeResult(handle). A cancelled lookup posts nothing; an answer that arrives
// for a handle the owner no longer waits for is the owner's to ignore.
#pragma once

#include <QStringList>
#include <cstdint>

class QObject;

class TNameResolver {
public:
    // Starts looking up the IPv4 addresses of `host`; returns the lookup handle (never 0).
    static std::uintptr_t LookupName(QObject* window, int msg, const QString& host);
    // Starts looking up the name of a dotted IPv4 address; the result is one name.
    static std::uintptr_t LookupAddress(QObject* window, int msg, const QString& address);
    // Forgets a lookup: its answer is never posted (or, when already posted, is the owner's
    // to ignore). False when the handle is unknown.
    static bool Cancel(std::uintptr_t handle);
    // The answer of a finished lookup, in the resolver's order (dotted addresses, or the
    // name); empty once taken.
    static QStringList TakeResult(std::uintptr_t handle);

    // Resolves on the calling thread; fills `addresses` in dotted form and returns the
    // Windows Sockets error (0 = found).
    static int LookupNow(const QString& host, QStringList& addresses);
};
