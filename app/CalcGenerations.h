// Which of the window's calculations is current. A calculation passes window messages on while
// it runs, so any handler may start another one, or Reset or close the window, in the middle of
// it. Every calculation, Reset and close begins a new generation; a calculation whose generation
// is no longer current stops at its next check and writes nothing more, and the newest always
// wins: one that replaces a running table build builds the table itself, so no table mixes two
// sets of inputs.
#pragma once

#include <QElapsedTimer>
#include <functional>

class TCalcGenerations {
public:
    // `passMessages` runs the pending window messages (Application::ProcessMessages when empty).
    explicit TCalcGenerations(std::function<void()> passMessages = {});

    // During a calculation, pending messages are passed on at most this often (ms).
    int MessageInterval = 15;

    // One running calculation, as its body sees it.
    class TRun {
    public:
        // It builds the table: asked to, or it replaced a running build.
        bool Build() const { return m_build; }
        // Stops the calculation (out of Calculate, which then returns false) when a newer
        // calculation, Reset or close has taken over.
        void Check() const;

    private:
        friend class TCalcGenerations;
        TRun(const TCalcGenerations& owner, int generation, bool build)
            : m_owner(owner), m_generation(generation), m_build(build)
        {
        }
        const TCalcGenerations& m_owner;
        int m_generation;
        bool m_build;
    };

    // Runs one calculation's `body` as the current generation. True when it ran to its end;
    // false when it was replaced and stopped. Any other exception leaves after the build is no
    // longer marked running (unless a newer calculation owns it).
    bool Calculate(bool buildRequested, const std::function<void(const TRun&)>& body);

    // Reset and close: a running calculation stops at its next check; no build is running.
    void Supersede();

    // True while a table build is running (a newer request takes it over).
    bool BuildRunning() const { return m_buildRunning; }

    // The solver's message pass. Outside a calculation every pass runs the pending messages;
    // inside one, at most every MessageInterval ms, and then the innermost running calculation
    // is checked.
    void MessagePass();

private:
    struct Superseded {}; // never leaves Calculate

    std::function<void()> m_passMessages;
    QElapsedTimer m_clock;
    int m_generation = 0;        // bumped by every calculation, Reset and close
    int m_runningGeneration = 0; // the innermost running calculation's; 0 outside one
    bool m_buildRunning = false;
};
