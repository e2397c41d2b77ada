#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

enum class OutputFormat { Png, Svg, Pdf, Calls };

struct RenderOptions {
    std::vector<std::pair<std::string, std::string>> sets;
    int width = 800;
    int height = 600;
    std::string output;
    OutputFormat format = OutputFormat::Png;
    bool print = false;
    bool blackAndWhite = false;
    bool help = false;
    bool version = false;
};

// Reads the command line; on a fault, error says what is wrong.
std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args,
                                                std::string& error);

std::optional<OutputFormat> formatOf(const std::string& path);

extern const char* const renderUsage;
