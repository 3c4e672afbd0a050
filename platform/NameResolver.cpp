#include "platform/NameResolver.h"

#include "platform/HiddenWindow.h"
#include "platform/SocketErrors.h"

#include <QObject>
#include <arpa/inet.h>
#include <map>
#include <mutex>
#include <netdb.h>
#include <string>
#include <thread>

namespace {
struct Lookup {
    QObject* window = nullptr;
    int msg = 0;
    bool done = false;
    QStringList result;
};

// The lookups under way or answered, by handle. The worker posts its answer while holding the
// lock, so an owner that cancels (taking the lock) can never see a message posted after that.
std::mutex lookupsMutex;
std::map<std::uintptr_t, Lookup> lookups;
std::uintptr_t lastHandle = 0;

int ResolveName(const std::string& host, QStringList& addresses)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* info = nullptr;
    const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &info);
    if (rc != 0)
        return WSAErrorFromResolver(rc);
    for (addrinfo* a = info; a; a = a->ai_next) {
        char text[INET_ADDRSTRLEN];
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) {
            const QString address = QString::fromLatin1(text);
            if (!addresses.contains(address))
                addresses << address;
        }
    }
    freeaddrinfo(info);
    return addresses.isEmpty() ? WSANO_DATA : 0;
}

int ResolveAddress(const std::string& address, QStringList& names)
{
    sockaddr_in in{};
    in.sin_family = AF_INET;
    if (inet_pton(AF_INET, address.c_str(), &in.sin_addr) != 1)
        return WSAEINVAL;
    char host[NI_MAXHOST];
    const int rc = getnameinfo(reinterpret_cast<const sockaddr*>(&in), sizeof in, host, sizeof host,
                               nullptr, 0, NI_NAMEREQD);
    if (rc != 0)
        return WSAErrorFromResolver(rc);
    names << QString::fromLocal8Bit(host);
    return 0;
}

std::uintptr_t Start(QObject* window, int msg, const QString& text, bool byName)
{
    std::uintptr_t handle;
    {
        std::lock_guard lock(lookupsMutex);
        handle = ++lastHandle;
        lookups[handle] = Lookup{window, msg, false, {}};
    }
    std::thread([handle, byName, query = text.toStdString()] {
        QStringList result;
        const int error = byName ? ResolveName(query, result) : ResolveAddress(query, result);
        std::lock_guard lock(lookupsMutex);
        auto it = lookups.find(handle);
        if (it == lookups.end())
            return; // cancelled
        it->second.done = true;
        it->second.result = result;
        PostMessage(it->second.window, it->second.msg, handle, MakeSelectLParam(0, error));
    }).detach();
    return handle;
}
} // namespace

std::uintptr_t TNameResolver::LookupName(QObject* window, int msg, const QString& host)
{
    return Start(window, msg, host, true);
}

std::uintptr_t TNameResolver::LookupAddress(QObject* window, int msg, const QString& address)
{
    return Start(window, msg, address, false);
}

bool TNameResolver::Cancel(std::uintptr_t handle)
{
    std::lock_guard lock(lookupsMutex);
    auto it = lookups.find(handle);
    if (it == lookups.end())
        return false;
    // An answer already posted is dropped by its owner, which no longer waits for the handle.
    lookups.erase(it);
    return true;
}

QStringList TNameResolver::TakeResult(std::uintptr_t handle)
{
    std::lock_guard lock(lookupsMutex);
    auto it = lookups.find(handle);
    if (it == lookups.end())
        return {};
    QStringList result = std::move(it->second.result);
    lookups.erase(it);
    return result;
}

int TNameResolver::LookupNow(const QString& host, QStringList& addresses)
{
    addresses.clear();
    return ResolveName(host.toStdString(), addresses);
}
