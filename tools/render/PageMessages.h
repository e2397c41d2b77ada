#pragma once
#include <string>

#include "pages/PageRequest.h"

constexpr int exitPageWarning = 1;
constexpr int exitFailure = 2;

// Tells on stderr what the page lacks (a warning: status 1) or why it
// was not written (status 2); its exit status.
int reportPage(const std::string& path, const PageFileResult& result);
