#include "pages/SpillBuffer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t blockSize = std::size_t{1} << 16;

} // namespace

std::string temporaryFolder()
{
    const char* given = std::getenv("TMPDIR");
    char resolved[PATH_MAX];
    if (::realpath(given != nullptr && *given != '\0' ? given : "/tmp", resolved) == nullptr)
        return {};
    return resolved;
}

SpillBuffer::SpillBuffer(std::size_t memoryBound) : bound_(memoryBound) {}

SpillBuffer::~SpillBuffer()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!name_.empty())
        ::unlink(name_.c_str());
}

std::unique_ptr<SpillBuffer> SpillBuffer::named(std::string& error)
{
    auto buffer = std::make_unique<SpillBuffer>(0);
    if (!buffer->makeFile(true)) {
        error = buffer->error_;
        return nullptr;
    }
    return buffer;
}

bool SpillBuffer::failed(const char* what)
{
    const int cause = errno;
    error_ = std::string(what) + " a temporary file in " + temporaryFolder() + ": " +
             std::strerror(cause);
    return false;
}

// Unnamed where the file system can (O_TMPFILE), else named and unlinked
// at once.
bool SpillBuffer::makeFile(bool withName)
{
    const std::string folder = temporaryFolder();
    if (!withName) {
        fd_ = ::open(folder.empty() ? "/" : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd_ >= 0)
            return true;
    }
    std::string name = folder + "/kelvo-layer-XXXXXX";
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0)
        return failed("cannot make");
    if (withName)
        name_ = name;
    else
        ::unlink(name.c_str());
    return true;
}

bool SpillBuffer::writeFile(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return failed("cannot write");
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SpillBuffer::write(const char* data, std::size_t size)
{
    if (!error_.empty())
        return false;
    if (fd_ < 0 && size_ + size > bound_ && !spill())
        return false;
    if (fd_ >= 0 && !writeFile(data, size))
        return false;
    size_ += size;
    while (fd_ < 0 && size > 0) {
        if (blocks_.empty() || blocks_.back().size() == blockSize) {
            blocks_.emplace_back();
            blocks_.back().reserve(blockSize);
        }
        const std::size_t taken = std::min(size, blockSize - blocks_.back().size());
        blocks_.back().append(data, taken);
        data += taken;
        size -= taken;
    }
    return true;
}

// Moves what is held to a file of its own, in the system's place for
// temporary files.
bool SpillBuffer::spill()
{
    if (!makeFile(false))
        return false;
    for (const std::string& block : blocks_)
        if (!writeFile(block.data(), block.size()))
            return false;
    std::vector<std::string>().swap(blocks_);
    return true;
}

bool SpillBuffer::copyTo(ByteSink& out)
{
    if (!error_.empty())
        return false;
    if (fd_ < 0)
        return std::all_of(blocks_.begin(), blocks_.end(),
                           [&out](const std::string& block) { return out.write(block); });
    std::string block(blockSize, '\0');
    for (std::size_t at = 0; at < size_;) {
        const ssize_t n = ::pread(fd_, block.data(), std::min(blockSize, size_ - at),
                                  static_cast<off_t>(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return failed("cannot read back");
        }
        if (!out.write(block.data(), static_cast<std::size_t>(n)))
            return false;
        at += static_cast<std::size_t>(n);
    }
    return true;
}
