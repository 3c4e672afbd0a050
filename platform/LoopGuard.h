// Guards for code that runs other code before it goes on: a nested event loop (ProcessMessages,
// exec, a modal window), or an emit whose receiver may delete the sender. Afterwards the code
// asks whether its object still exists and whether its run is still the current one, and a
// command that opens a modal loop refuses to start again from inside that loop.
//
//     TReentryGuard entry(this, m_busy);
//     if (!entry.Entered())
//         return false;                  // called again from inside our own loop
//     TLoopGuard guard(this, m_runs);    // a new generation: earlier runs are stale now
//     RunNestedLoop();
//     if (!guard.Alive())
//         return false;                  // deleted meanwhile: touch nothing
//     if (!guard.Current())
//         return false;                  // a newer run took over
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>

// A counter of runs kept by the guarded object: each new run makes the earlier ones stale.
class TGeneration {
public:
    std::uint64_t Next() { return ++m_value; }
    std::uint64_t Current() const { return m_value; }

private:
    std::uint64_t m_value = 0;
};

// Taken before running other code: tells afterwards whether `owner` still exists and, with a
// generation, whether no newer run has started since.
class TLoopGuard {
public:
    // Only the "still alive" question.
    explicit TLoopGuard(QObject* owner) : m_owner(owner) {}
    // Starts a new run of `generation`, which `owner` (or an object it lives in) keeps.
    TLoopGuard(QObject* owner, TGeneration& generation)
        : m_owner(owner), m_generation(&generation), m_run(generation.Next())
    {
    }

    bool Alive() const { return !m_owner.isNull(); }
    // Alive, and no run of the generation started after this one.
    bool Current() const { return Alive() && (!m_generation || m_generation->Current() == m_run); }

private:
    QPointer<QObject> m_owner;
    TGeneration* m_generation = nullptr; // read only while the owner is alive
    std::uint64_t m_run = 0;
};

// Marks `owner` busy (through a flag it keeps) for the guard's lifetime; a second guard on the
// same flag meanwhile is not Entered(), and the command it guards must not run. The flag is
// cleared on leaving only when the owner still exists.
class TReentryGuard {
public:
    TReentryGuard(QObject* owner, bool& busy) : m_owner(owner), m_busy(&busy), m_entered(!busy)
    {
        if (m_entered)
            busy = true;
    }
    ~TReentryGuard()
    {
        if (m_entered && m_owner)
            *m_busy = false;
    }
    TReentryGuard(const TReentryGuard&) = delete;
    TReentryGuard& operator=(const TReentryGuard&) = delete;

    bool Entered() const { return m_entered; }

private:
    QPointer<QObject> m_owner;
    bool* m_busy;
    bool m_entered;
};
