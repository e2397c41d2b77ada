#include "sheets/SheetFileLoad.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sheets/SheetFile.h"

namespace {

std::string failure(const std::string& path, const std::string& why)
{
    return path + ": cannot be read: " + why;
}

// Closes the descriptor it holds.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Up to limit bytes of the file at path, or why not.
std::optional<std::string> readUpTo(const std::string& path, std::size_t limit, std::string& text)
{
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        return std::strerror(errno);
    struct stat status = {};
    if (::fstat(file.fd, &status) == 0 && S_ISDIR(status.st_mode))
        return "file to open is a directory";
    char block[1 << 16];
    while (text.size() < limit) {
        const ssize_t n = ::read(file.fd, block, std::min(sizeof block, limit - text.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::strerror(errno);
        if (n == 0)
            break;
        text.append(block, static_cast<std::size_t>(n));
    }
    return std::nullopt;
}

// Absolute as Qt took a path: from the root, or a resource's (":...").
bool isAbsolute(const std::string& path)
{
    return !path.empty() && (path[0] == '/' || path[0] == ':');
}

// The folder of a file's path as given: "." for a bare name.
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A recorded path as a path from here: the sheet file's folder joined
// with it, given as the sheet file's path is (relative stays relative).
std::string foundDataFile(const std::string& sheetFile, const std::string& recorded)
{
    if (isAbsolute(recorded))
        return recorded;
    return cleanPath(folderOf(sheetFile) + '/' + recorded);
}

} // namespace

std::string cleanPath(const std::string& path)
{
    if (path.empty())
        return path;
    const bool absolute = path[0] == '/';
    std::vector<std::string> names;
    for (std::size_t at = 0; at <= path.size();) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        const std::string name = path.substr(at, end - at);
        if (name == "..") {
            if (!names.empty() && names.back() != "..")
                names.pop_back();
            else
                names.push_back(name);
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        at = end + 1;
    }
    std::string clean = absolute ? "/" : "";
    for (std::size_t i = 0; i < names.size(); ++i)
        clean += (i > 0 ? "/" : "") + names[i];
    return clean.empty() ? "." : clean;
}

std::optional<std::string> loadSheetFile(const std::string& path, Sheets& sheets,
                                         std::string* dataFile)
{
    // One byte more than a file may hold tells that it holds too much,
    // without reading all of a large one.
    std::string text;
    if (const auto why = readUpTo(path, largestSheetFile + 1, text))
        return failure(path, *why);
    std::string recorded;
    if (const auto refusal = readSheetFile(text, sheets, &recorded))
        return refusal->message(path);
    if (dataFile != nullptr)
        *dataFile = recorded.empty() ? std::string() : foundDataFile(path, recorded);
    return std::nullopt;
}
