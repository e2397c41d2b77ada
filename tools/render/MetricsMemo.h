#pragma once
#include <unordered_map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/Canvas.h"

// Text measurements kept from one run of kelvo-render to the next, with
// what they were measured under: the environment fontconfig and the
// locale read, and a fingerprint (device, inode, size, times of change)
// of every file and folder the measuring depended on. Reading
// fontconfig's configuration costs a process more than drawing the
// default page; a page whose every text was measured before, under the
// same setup, is measured without loading the fonts at all.
//
// A memo is valid only whole: one whose setup has changed in any way (a
// configuration file, a font folder, a library, one of the variables,
// the program) or that cannot be read as written is
// taken as empty, and written anew.
class MetricsMemo {
public:
    // At most this many answers are kept; past them the memo starts anew.
    static constexpr std::size_t mostAnswers = 512;
    // A larger file is not read.
    static constexpr std::size_t mostBytes = std::size_t{256} << 10;

    // The memo held at path, if it is valid now; else an empty one.
    static MetricsMemo read(const std::string& path);
    // The memo as text, and read back from text; a text that is not a
    // valid memo now reads as an empty one.
    std::string text() const;
    static MetricsMemo parse(const std::string& text);

    std::optional<TextMetrics> metrics(const FontSpec& font) const;
    std::optional<int> width(const std::string& text, const FontSpec& font) const;
    void keepMetrics(const FontSpec& font, const TextMetrics& metrics);
    void keepWidth(const std::string& text, const FontSpec& font, int width);
    // Whether an answer was kept since the memo was read.
    bool changed() const { return changed_; }
    std::size_t size() const { return metrics_.size() + widths_.size(); }

    // The answers are valid with these files as they are now (beside the
    // files the memo was valid with).
    void fingerprint(const std::vector<std::string>& setupFiles);
    // Writes the memo whole at path, its folders made as needed; false
    // where it cannot (nothing is then changed).
    bool write(const std::string& path) const;

private:
    void makeRoom();

    std::vector<std::pair<std::string, std::string>> files_;
    std::unordered_map<std::string, TextMetrics> metrics_;
    std::unordered_map<std::string, int> widths_;
    bool changed_ = false;
};

// Where kelvo-render keeps its memo: kelvo/text-metrics in the user's
// cache folder (XDG_CACHE_HOME, else .cache in HOME, else in the home
// the password database gives); empty where there is none.
std::string metricsMemoPath();
