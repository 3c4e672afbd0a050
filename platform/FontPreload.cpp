#include "platform/FontPreload.h"

#include <clocale>
#include <fontconfig/fontconfig.h>
#include <locale.h>
#include <thread>

namespace {
struct TWorker {
    std::thread Thread;
    ~TWorker() { Join(); }
    void Join()
    {
        if (Thread.joinable())
            Thread.join();
    }
};
TWorker worker;
} // namespace

namespace FontPreload {

void Start()
{
    if (worker.Thread.joinable())
        return;
    worker.Thread = std::thread([] {
        // The configuration's numbers are read in the C locale of this thread, whatever locale
        // the application object sets for the process meanwhile (fontconfig reads them alike in
        // any locale).
        const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        const locale_t previous = c ? uselocale(c) : static_cast<locale_t>(nullptr);
        // Loads the configuration that every later fontconfig call, Qt's among them, uses.
        FcInit();
        if (c) {
            uselocale(previous);
            freelocale(c);
        }
    });
}

void Finish()
{
    worker.Join();
}

} // namespace FontPreload
