#pragma once

// Files and directories that must not outlive the process, even when it
// is ended by SIGINT or SIGTERM: a handler removes whatever is registered
// and then lets the signal end the process as it would have.
namespace SignalCleanup {

// Installs the handlers (once per process).
void install();
// Registers a path; the handler unlinks a file or removes an empty
// directory. Returns false when every slot is taken (the path is then
// only removed by its owner).
bool add(const char* path);
void remove(const char* path);

} // namespace SignalCleanup
