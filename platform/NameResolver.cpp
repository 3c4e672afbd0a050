#include "platform/NameResolver.h"

#include "platform/HiddenWindow.h"
#include "platform/SocketErrors.h"

#include <QObject>
#include <arpa/inet.h>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <string>
#include <thread>

namespace {
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

int SystemLookup(const QString& query, bool byName, QStringList& result)
{
    return byName ? ResolveName(query.toStdString(), result)
                  : ResolveAddress(query.toStdString(), result);
}

struct Lookup {
    QObject* window = nullptr;
    int msg = 0;
    QStringList result;
};

struct Job {
    std::uintptr_t handle;
    bool byName;
    QString query;
    TNameResolver::Function function; // empty: the system resolver
};

// What the resolver and its worker share. The worker holds it too, so a worker still inside a
// system lookup when the program ends finds its lock and lists intact.
struct State {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Job> jobs;
    std::map<std::uintptr_t, Lookup> lookups; // started and not yet taken or cancelled
    std::uintptr_t lastHandle = 0;
    bool busy = false;     // the worker is inside a lookup
    bool stopping = false; // the program ends: post nothing more
};

void Work(const std::shared_ptr<State> state)
{
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->wake.wait(lock, [&] { return state->stopping || !state->jobs.empty(); });
        if (state->stopping)
            return;
        const Job job = std::move(state->jobs.front());
        state->jobs.pop_front();
        if (!state->lookups.contains(job.handle))
            continue; // cancelled before it started
        state->busy = true;
        lock.unlock();
        QStringList result;
        const int error = job.function ? job.function(job.query, job.byName, result)
                                       : SystemLookup(job.query, job.byName, result);
        lock.lock();
        state->busy = false;
        if (state->stopping)
            return;
        // Posting under the lock: an owner that cancels (taking the lock) never sees a
        // message posted after that.
        const auto it = state->lookups.find(job.handle);
        if (it == state->lookups.end())
            continue;
        it->second.result = result;
        PostMessage(it->second.window, it->second.msg, job.handle, MakeSelectLParam(0, error));
    }
}

class Resolver {
public:
    ~Resolver()
    {
        bool busy = false;
        {
            std::lock_guard lock(m_state->mutex);
            m_state->stopping = true;
            busy = m_state->busy;
        }
        m_state->wake.notify_all();
        if (!m_worker.joinable())
            return;
        // An idle worker ends at once; a system lookup may take seconds, so a busy worker is
        // left to end by itself.
        if (busy)
            m_worker.detach();
        else
            m_worker.join();
    }

    State& Shared() { return *m_state; }

    std::uintptr_t Start(QObject* window, int msg, const QString& query, bool byName,
                         const TNameResolver::Function& function)
    {
        std::lock_guard lock(m_state->mutex);
        const std::uintptr_t handle = ++m_state->lastHandle;
        m_state->lookups[handle] = Lookup{window, msg, {}};
        m_state->jobs.push_back(Job{handle, byName, query, function});
        if (!m_worker.joinable())
            m_worker = std::thread(Work, m_state);
        m_state->wake.notify_one();
        return handle;
    }

private:
    std::shared_ptr<State> m_state = std::make_shared<State>();
    std::thread m_worker;
};

Resolver& TheResolver()
{
    static Resolver resolver;
    return resolver;
}
} // namespace

std::uintptr_t TNameResolver::LookupName(QObject* window, int msg, const QString& host,
                                         const Function& function)
{
    return TheResolver().Start(window, msg, host, true, function);
}

std::uintptr_t TNameResolver::LookupAddress(QObject* window, int msg, const QString& address,
                                            const Function& function)
{
    return TheResolver().Start(window, msg, address, false, function);
}

bool TNameResolver::Cancel(std::uintptr_t handle)
{
    State& state = TheResolver().Shared();
    std::lock_guard lock(state.mutex);
    // An answer already posted is dropped by its owner, which no longer waits for the handle.
    return state.lookups.erase(handle) > 0;
}

QStringList TNameResolver::TakeResult(std::uintptr_t handle)
{
    State& state = TheResolver().Shared();
    std::lock_guard lock(state.mutex);
    const auto it = state.lookups.find(handle);
    if (it == state.lookups.end())
        return {};
    QStringList result = std::move(it->second.result);
    state.lookups.erase(it);
    return result;
}

int TNameResolver::LookupNow(const QString& host, QStringList& addresses, const Function& function)
{
    addresses.clear();
    return function ? function(host, true, addresses) : SystemLookup(host, true, addresses);
}
