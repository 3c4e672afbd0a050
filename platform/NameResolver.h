// Asynchronous name lookup for the socket component: the lookups run one after the other on a
// worker thread that the resolver owns, which does nothing but call the system resolver and
// post each answer back as a message.
//
// The answer reaches `window` as message `msg` with the lookup handle as the first parameter
// and the Windows Sockets error in the high word of the second (0 = found). The addresses are
// then taken with TakeResult(handle). A cancelled lookup posts nothing; an answer that arrives
// for a handle the owner no longer waits for is the owner's to ignore. Answers are posted in
// the order the lookups were started.
//
// At the end of the program the worker is joined when it is idle; one still inside a system
// lookup is left to finish on its own (it shares the resolver's state, so nothing it uses is
// destroyed under it) and posts nothing more.
#pragma once

#include <QStringList>
#include <cstdint>
#include <functional>

class QObject;

class TNameResolver {
public:
    // Looks `query` up (a host name, or with byName false a dotted address whose name is
    // wanted), fills `result` and returns the Windows Sockets error (0 = found). Each lookup
    // may name its own function, so that a test answers for one socket without the machine's
    // name service; an empty one is the system resolver. It runs on the worker thread.
    using Function = std::function<int(const QString& query, bool byName, QStringList& result)>;

    // Starts looking up the IPv4 addresses of `host`; returns the lookup handle (never 0).
    static std::uintptr_t LookupName(QObject* window, int msg, const QString& host,
                                     const Function& function = {});
    // Starts looking up the name of a dotted IPv4 address; the result is one name.
    static std::uintptr_t LookupAddress(QObject* window, int msg, const QString& address,
                                        const Function& function = {});
    // Forgets a lookup: its answer is never posted (or, when already posted, is the owner's
    // to ignore). False when the handle is unknown.
    static bool Cancel(std::uintptr_t handle);
    // The answer of a finished lookup, in the resolver's order (dotted addresses, or the
    // name); empty once taken.
    static QStringList TakeResult(std::uintptr_t handle);

    // Resolves on the calling thread; fills `addresses` in dotted form and returns the
    // Windows Sockets error (0 = found).
    static int LookupNow(const QString& host, QStringList& addresses,
                         const Function& function = {});
};
