// The system's font configuration read ahead, on a worker thread, while the program makes its
// display connection. Reading it (dozens of configuration files) takes about as long as the
// connection does, and the first text the program measures would otherwise wait for it.
#pragma once

namespace FontPreload {
// Starts the worker; once per process, before the application object is made.
void Start();
// Waits until the worker is done; call before the first text is measured. Nothing when Start
// was not called. The program's end waits as well.
void Finish();
} // namespace FontPreload
