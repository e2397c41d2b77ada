#pragma once
#include <string>
#include <vector>

// The files and folders whose change may change how this process measures
// text: fontconfig's configuration files and the folders holding them,
// its font folders (with every folder below) and cache folders, the
// places a user's own configuration and fonts would be, the face files
// given, and the libraries that measure (this module, fontconfig,
// FreeType, HarfBuzz). A place that does not exist is listed too: its
// coming into being is a change.
std::vector<std::string> fontSetupFiles(const std::vector<std::string>& faceFiles);
