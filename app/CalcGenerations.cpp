#include "app/CalcGenerations.h"

#include "platform/Application.h"

TCalcGenerations::TCalcGenerations(std::function<void()> passMessages)
    : m_passMessages(passMessages ? std::move(passMessages)
                                  : [] { Application::ProcessMessages(); })
{
}

void TCalcGenerations::TRun::Check() const
{
    if (m_generation != m_owner.m_generation)
        throw Superseded{};
}

bool TCalcGenerations::Calculate(bool buildRequested, const std::function<void(const TRun&)>& body)
{
    const TRun run(*this, ++m_generation, buildRequested || m_buildRunning);
    m_buildRunning = run.Build();
    // A nested calculation puts the outer one's generation back when it ends, so that the outer
    // one's next message pass finds itself replaced.
    struct Running {
        int& current;
        int outer;
        ~Running() { current = outer; }
    } running{m_runningGeneration, m_runningGeneration};
    m_runningGeneration = run.m_generation;
    m_clock.start();
    try {
        body(run);
    } catch (const Superseded&) {
        return false;
    } catch (...) {
        if (run.m_generation == m_generation)
            m_buildRunning = false;
        throw;
    }
    m_buildRunning = false;
    return true;
}

void TCalcGenerations::Supersede()
{
    ++m_generation;
    m_buildRunning = false;
}

void TCalcGenerations::MessagePass()
{
    if (m_runningGeneration == 0) {
        m_passMessages(); // a formula called outside a calculation
        return;
    }
    // The solver offers a message pass 30 times per rate; passing them on at most every
    // MessageInterval milliseconds keeps the window as responsive at a fraction of the cost.
    if (m_clock.elapsed() >= MessageInterval) {
        m_passMessages();
        m_clock.start();
    }
    if (m_runningGeneration != m_generation)
        throw Superseded{};
}
