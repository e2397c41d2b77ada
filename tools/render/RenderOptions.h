#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/PageFile.h"

struct RenderOptions {
    // The sheet file the sheets are read from; the defaults when empty.
    std::string sheetFile;
    std::vector<std::pair<std::string, std::string>> sets;
    int width = 800;
    int height = 600;
    std::string output;
    // Where the sheets, as the --set lines leave them, are saved.
    std::string save;
    PageFormat format = PageFormat::Png;
    bool print = false;
    bool blackAndWhite = false;
    bool help = false;
    bool version = false;
};

// Reads the command line; on a fault, error says what is wrong.
std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error);

extern const char* const renderUsage;
