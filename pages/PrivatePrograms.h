#pragma once
#include <string>

// The package's private programs (kelvo-render-qt, kelvo-print,
// kelvo-pdf-layers) and kelvo-render's text measuring module live in its
// private directory, libexec/kelvo, at the same place relative to the
// programs' directory in the build tree as in the installed one.

// The path of the private program `name`: beside this program when this
// is one of them, else in the private directory next to this program's.
std::string privateProgram(const std::string& name);
// The same for a private file that is not run (the module).
std::string privateFile(const std::string& name);

// Replaces this process by the private program `name` with the same
// arguments; returns only when it cannot be started, with the program's
// path and errno's word for why.
std::string execPrivateProgram(const std::string& name, char** argv);
