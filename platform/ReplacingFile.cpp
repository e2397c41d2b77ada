#include "platform/ReplacingFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/SignalCleanup.h"

namespace {

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Where a write to path lands: the target of a symbolic link, when it
// has one; the path itself otherwise.
std::string targetOf(const std::string& path)
{
    struct stat link = {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

} // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {}

ReplacingFile::~ReplacingFile()
{
    discard();
}

bool ReplacingFile::fail(const char* what)
{
    error_ = what != nullptr ? what : std::strerror(errno);
    discard();
    return false;
}

void ReplacingFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!hidden_.empty()) {
        ::unlink(hidden_.c_str());
        SignalCleanup::remove(hidden_.c_str());
        hidden_.clear();
    }
}

// An unnamed file in the target's directory (O_TMPFILE), which nothing
// leaves behind; where the file system has none, a hidden name beside
// the target, removed on failure and on SIGINT or SIGTERM. The mode asks
// for what a new file gets (0666 less the umask); an old file's own
// permissions are kept.
bool ReplacingFile::open()
{
    target_ = targetOf(path_);
    struct stat old = {};
    const bool replaces = ::stat(target_.c_str(), &old) == 0;
    if (replaces && S_ISDIR(old.st_mode)) {
        errno = EISDIR;
        return fail(nullptr);
    }
    // The unnamed file is named through /proc, so only where it is there.
    if (::access("/proc/self/fd", X_OK) == 0)
        fd_ = ::open(directoryOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    else
        errno = EOPNOTSUPP;
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
            hidden_ = target_ + ".kelvo-" + std::to_string(::getpid()) + "-" +
                      std::to_string(attempt);
            fd_ = ::open(hidden_.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC,
                         0666);
            if (fd_ < 0) {
                hidden_.clear();
                if (errno != EEXIST)
                    break;
            }
        }
        if (fd_ >= 0)
            SignalCleanup::add(hidden_.c_str());
    }
    if (fd_ < 0)
        return fail(nullptr);
    if (replaces && ::fchmod(fd_, old.st_mode & 07777) != 0)
        return fail(nullptr);
    return true;
}

bool ReplacingFile::write(const char* data, std::size_t size)
{
    if (fd_ < 0)
        return false;
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n == 0 ? "nothing could be written" : nullptr);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// An unnamed file gets its name by linkat through /proc; the name is
// taken whole by rename, which replaces the old file in one step.
bool ReplacingFile::commit()
{
    if (fd_ < 0)
        return false;
    if (hidden_.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; hidden_.empty() && attempt < 100; ++attempt) {
            const std::string name = target_ + ".kelvo-" + std::to_string(::getpid()) + "-" +
                                     std::to_string(attempt);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                hidden_ = name;
            else if (errno != EEXIST)
                return fail(nullptr);
        }
        if (hidden_.empty())
            return fail(nullptr);
        SignalCleanup::add(hidden_.c_str());
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        return fail(nullptr);
    }
    fd_ = -1;
    if (::rename(hidden_.c_str(), target_.c_str()) != 0)
        return fail(nullptr);
    SignalCleanup::remove(hidden_.c_str());
    hidden_.clear();
    return true;
}
