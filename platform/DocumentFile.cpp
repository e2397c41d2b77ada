#include "platform/DocumentFile.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "pages/SignalCleanup.h"

DocumentFile::DocumentFile(int fd, std::string path) : fd_(fd), path_(std::move(path))
{
    SignalCleanup::add(path_.c_str());
    open(QIODevice::WriteOnly);
}

DocumentFile::~DocumentFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    ::unlink(path_.c_str());
    SignalCleanup::remove(path_.c_str());
}

qint64 DocumentFile::writeData(const char* data, qint64 size)
{
    if (failed_ || fd_ < 0)
        return -1;
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed_ = true;
            setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
            return -1;
        }
        done += n;
    }
    written_ += done;
    return done;
}

bool DocumentFile::commit(const char* trailer)
{
    if (fd_ < 0)
        return false;
    QIODevice::close();
    bool whole = !failed_ && ::fsync(fd_) == 0;
    struct stat status = {};
    whole = whole && ::fstat(fd_, &status) == 0 && status.st_size == written_;
    const std::string_view end(trailer);
    // The document may end with a line break after its trailer.
    char tail[64] = {};
    const qint64 tailSize = std::min<qint64>(written_, static_cast<qint64>(end.size()) + 2);
    whole = whole && tailSize >= static_cast<qint64>(end.size()) && tailSize <= 64 &&
            ::pread(fd_, tail, static_cast<size_t>(tailSize), written_ - tailSize) == tailSize &&
            std::string_view(tail, static_cast<size_t>(tailSize)).find(end) != std::string_view::npos;
    whole = ::close(fd_) == 0 && whole;
    fd_ = -1;
    return whole;
}
