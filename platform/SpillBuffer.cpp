#include "platform/SpillBuffer.h"

#include <QDir>
#include <cerrno>
#include <cstring>

namespace {

constexpr qint64 blockSize = qint64{1} << 16;

} // namespace

SpillBuffer::SpillBuffer(qint64 memoryBound) : bound_(memoryBound)
{
    open(QIODevice::WriteOnly);
}

SpillBuffer::~SpillBuffer() = default;

std::unique_ptr<SpillBuffer> SpillBuffer::named(std::string& error)
{
    auto buffer = std::make_unique<SpillBuffer>(0);
    // Asking the name gives the file one.
    if (!buffer->makeFile() || buffer->fileName().isEmpty()) {
        error = buffer->error_;
        return nullptr;
    }
    return buffer;
}

void SpillBuffer::failed(const char* what)
{
    const int cause = errno;
    error_ = std::string(what) + " a temporary file in " + QDir::tempPath().toStdString() + ": " +
             (cause != 0 ? std::strerror(cause) : file_->errorString().toStdString());
}

bool SpillBuffer::makeFile()
{
    file_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/kelvo-layer-XXXXXX");
    errno = 0;
    if (!file_->open()) {
        failed("cannot make");
        return false;
    }
    return true;
}

qint64 SpillBuffer::writeData(const char* data, qint64 size)
{
    if (!error_.empty())
        return -1;
    if (file_ == nullptr && bytes_.size() + size > bound_ && !spill())
        return -1;
    if (file_ != nullptr) {
        errno = 0;
        if (file_->write(data, size) != size) {
            failed("cannot write");
            return -1;
        }
    } else {
        bytes_.append(data, size);
    }
    size_ += size;
    return size;
}

// Moves what is held to a file of its own, in the system's place for
// temporary files.
bool SpillBuffer::spill()
{
    if (!makeFile())
        return false;
    errno = 0;
    if (file_->write(bytes_) != bytes_.size()) {
        failed("cannot write");
        return false;
    }
    bytes_ = QByteArray();
    return true;
}

bool SpillBuffer::sync()
{
    if (!error_.empty())
        return false;
    errno = 0;
    if (file_ != nullptr && !file_->flush()) {
        failed("cannot write");
        return false;
    }
    return true;
}

bool SpillBuffer::copyTo(QIODevice& out)
{
    if (!error_.empty())
        return false;
    if (file_ == nullptr)
        return out.write(bytes_) == bytes_.size();
    if (!sync())
        return false;
    if (!file_->seek(0)) {
        failed("cannot read back");
        return false;
    }
    QByteArray block;
    for (qint64 left = size_; left > 0; left -= block.size()) {
        errno = 0;
        block = file_->read(std::min(left, blockSize));
        if (block.isEmpty()) {
            failed("cannot read back");
            return false;
        }
        if (out.write(block) != block.size())
            return false;
    }
    return true;
}
