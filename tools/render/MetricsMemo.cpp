#include "tools/render/MetricsMemo.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string_view>

#include "pages/ReplacingFile.h"

namespace {

constexpr const char* header = "kelvo text metrics 1";

// What fontconfig, FreeType and the locale read from the environment.
constexpr std::array<const char*, 13> setupVariables = {
    "HOME",        "XDG_CONFIG_HOME", "XDG_DATA_HOME",       "XDG_CACHE_HOME", "FONTCONFIG_FILE",
    "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "FC_LANG", "FREETYPE_PROPERTIES", "LC_ALL",
    "LC_CTYPE",    "LANG",            "LANGUAGE"};

// A string as one word: '=' and its bytes, those that are not printable
// ASCII, or '%', as %XX.
std::string word(const std::string& s)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out = "=";
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b > 0x20 && b < 0x7f && b != '%') {
            out += c;
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 15];
        }
    }
    return out;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> unword(std::string_view w)
{
    if (w.empty() || w[0] != '=')
        return std::nullopt;
    std::string out;
    out.reserve(w.size());
    for (std::size_t i = 1; i < w.size(); ++i) {
        if (w[i] != '%') {
            out += w[i];
            continue;
        }
        if (i + 2 >= w.size())
            return std::nullopt;
        const int hi = hexDigit(w[i + 1]), lo = hexDigit(w[i + 2]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

// Whether a word is one as word() writes it, without unmaking it.
bool isWord(std::string_view w)
{
    if (w.empty() || w[0] != '=')
        return false;
    for (std::size_t i = 1; i < w.size(); ++i)
        if (w[i] == '%' && (i + 2 >= w.size() || hexDigit(w[i + 1]) < 0 || hexDigit(w[i + 2]) < 0))
            return false;
    return true;
}

std::optional<int> number(std::string_view w)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
    if (ec != std::errc() || end != w.data() + w.size())
        return std::nullopt;
    return value;
}

std::string fontKey(const FontSpec& f)
{
    std::string flags;
    for (const bool b : {f.italic, f.underline, f.strikeOut, f.stockFixed})
        flags += b ? '1' : '0';
    return std::to_string(f.height) + ' ' + std::to_string(f.width) + ' ' +
           std::to_string(f.weight) + ' ' + flags + ' ' + word(f.face);
}

std::string environmentLines()
{
    std::string out;
    for (const char* name : setupVariables) {
        const char* value = std::getenv(name);
        out += std::string("env ") + name + ' ' + (value != nullptr ? word(value) : "-") + '\n';
    }
    return out;
}

// A file's identity and times of change; "-" where there is none.
std::string fingerprintOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? "-" : "!";
    using std::to_string;
    return to_string(st.st_dev) + ':' + to_string(st.st_ino) + ':' + to_string(st.st_mode) + ':' +
           to_string(st.st_size) + ':' + to_string(st.st_mtim.tv_sec) + '.' +
           to_string(st.st_mtim.tv_nsec) + ':' + to_string(st.st_ctim.tv_sec) + '.' +
           to_string(st.st_ctim.tv_nsec);
}

// The program that reads and writes the memo, as it is now: a memo is
// valid only for the program that wrote it (another build or version may
// measure otherwise). None where the program cannot be told.
std::optional<std::string> programLine()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || self.empty())
        return std::nullopt;
    return "program " + word(self.string()) + ' ' + fingerprintOf(self.string()) + '\n';
}

// The memo's first lines: what it was written by and under.
std::optional<std::string> preamble()
{
    const std::optional<std::string> program = programLine();
    if (!program)
        return std::nullopt;
    return std::string(header) + '\n' + *program + environmentLines();
}

// A line's words, at most `most` of them (a line of more has none): each
// a view into the line, one after the other with one blank between.
constexpr std::size_t mostWords = 9;
using Words = std::array<std::string_view, mostWords>;

std::size_t wordsOf(std::string_view line, Words& words)
{
    std::size_t count = 0;
    for (;;) {
        const std::size_t space = line.find(' ');
        if (count == mostWords)
            return 0;
        words[count++] = line.substr(0, space);
        if (space == std::string_view::npos)
            return count;
        line.remove_prefix(space + 1);
    }
}

// Words first to last of a line, as the line holds them.
std::string span(const Words& w, std::size_t first, std::size_t last)
{
    return std::string(w[first].data(), w[last].data() + w[last].size());
}

// Whether words 1 to 5 are a font as fontKey() writes it.
bool isFont(const Words& w)
{
    return number(w[1]) && number(w[2]) && number(w[3]) && w[4].size() == 4 &&
           w[4].find_first_not_of("01") == std::string_view::npos && isWord(w[5]);
}

std::optional<std::string> readWhole(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    struct stat st {};
    bool whole = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                 static_cast<std::size_t>(st.st_size) <= MetricsMemo::mostBytes;
    if (whole) {
        text.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n <= 0) {
                whole = false;
                break;
            }
            got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    return whole ? std::optional(std::move(text)) : std::nullopt;
}

bool makeFolder(const std::filesystem::path& folder)
{
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/')
        return home;
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::array<char, 4096> buffer{};
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

} // namespace

MetricsMemo MetricsMemo::read(const std::string& path)
{
    const std::optional<std::string> text = readWhole(path);
    return text ? parse(*text) : MetricsMemo{};
}

MetricsMemo MetricsMemo::parse(const std::string& text)
{
    const std::optional<std::string> start = preamble();
    if (!start || text.compare(0, start->size(), *start) != 0 || text.back() != '\n')
        return {};
    MetricsMemo memo;
    std::string_view rest(text);
    rest.remove_prefix(start->size());
    Words w;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        const std::size_t count = wordsOf(line, w);
        if (w[0] == "file" && count == 3) {
            const std::optional<std::string> path = unword(w[1]);
            if (!path || fingerprintOf(*path) != w[2])
                return {};
            memo.files_.emplace_back(*path, w[2]);
        } else if (w[0] == "metrics" && count == 9 && isFont(w)) {
            const auto h = number(w[6]), a = number(w[7]), c = number(w[8]);
            if (!h || !a || !c)
                return {};
            memo.metrics_[span(w, 1, 5)] = TextMetrics{*h, *a, *c};
        } else if (w[0] == "width" && count == 8 && isFont(w) && isWord(w[6])) {
            const auto width = number(w[7]);
            if (!width)
                return {};
            memo.widths_[span(w, 1, 6)] = *width;
        } else {
            return {};
        }
        if (memo.size() > mostAnswers)
            return {};
    }
    if (memo.files_.empty() || memo.size() > mostAnswers)
        return {};
    return memo;
}

std::string MetricsMemo::text() const
{
    std::string out = preamble().value_or(std::string());
    for (const auto& [path, print] : files_)
        out += "file " + word(path) + ' ' + print + '\n';
    for (const auto& [font, m] : metrics_)
        out += "metrics " + font + ' ' + std::to_string(m.height) + ' ' + std::to_string(m.ascent) +
               ' ' + std::to_string(m.aveCharWidth) + '\n';
    for (const auto& [key, width] : widths_)
        out += "width " + key + ' ' + std::to_string(width) + '\n';
    return out;
}

std::optional<TextMetrics> MetricsMemo::metrics(const FontSpec& font) const
{
    const auto found = metrics_.find(fontKey(font));
    return found != metrics_.end() ? std::optional(found->second) : std::nullopt;
}

std::optional<int> MetricsMemo::width(const std::string& text, const FontSpec& font) const
{
    const auto found = widths_.find(fontKey(font) + ' ' + word(text));
    return found != widths_.end() ? std::optional(found->second) : std::nullopt;
}

void MetricsMemo::makeRoom()
{
    if (size() >= mostAnswers) {
        metrics_.clear();
        widths_.clear();
    }
    changed_ = true;
}

void MetricsMemo::keepMetrics(const FontSpec& font, const TextMetrics& metrics)
{
    makeRoom();
    metrics_[fontKey(font)] = metrics;
}

void MetricsMemo::keepWidth(const std::string& text, const FontSpec& font, int width)
{
    makeRoom();
    widths_[fontKey(font) + ' ' + word(text)] = width;
}

// Files the memo was read with keep the fingerprints they were checked
// with: one changed since then leaves the memo invalid, as it should.
void MetricsMemo::fingerprint(const std::vector<std::string>& setupFiles)
{
    std::set<std::string> known;
    for (const auto& file : files_)
        known.insert(file.first);
    for (const std::string& path : setupFiles)
        if (!path.empty() && known.insert(path).second)
            files_.emplace_back(path, fingerprintOf(path));
}

bool MetricsMemo::write(const std::string& path) const
{
    if (!preamble())
        return false;
    const std::filesystem::path file(path);
    if (file.has_parent_path() && !makeFolder(file.parent_path().parent_path()))
        return false;
    if (file.has_parent_path() && !makeFolder(file.parent_path()))
        return false;
    ReplacingFile out(path);
    const std::string all = text();
    return out.open() && out.write(all.data(), all.size()) && out.commit();
}

std::string metricsMemoPath()
{
    std::string cache;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && *xdg == '/')
        cache = xdg;
    else if (const std::string home = homeFolder(); !home.empty())
        cache = home + "/.cache";
    return cache.empty() ? std::string() : cache + "/kelvo/text-metrics";
}
