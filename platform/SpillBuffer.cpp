#include "platform/SpillBuffer.h"

#include <QDir>

namespace {

constexpr qint64 blockSize = qint64{1} << 16;

} // namespace

SpillBuffer::SpillBuffer(qint64 memoryBound) : bound_(memoryBound)
{
    open(QIODevice::WriteOnly);
}

SpillBuffer::~SpillBuffer() = default;

qint64 SpillBuffer::writeData(const char* data, qint64 size)
{
    if (!error_.empty())
        return -1;
    if (file_ == nullptr && bytes_.size() + size > bound_ && !spill())
        return -1;
    if (file_ != nullptr) {
        if (file_->write(data, size) != size) {
            error_ = "cannot write a temporary file: " + file_->errorString().toStdString();
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
    file_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/kelvo-layer-XXXXXX");
    if (!file_->open() || file_->write(bytes_) != bytes_.size()) {
        error_ = "cannot write a temporary file in " + QDir::tempPath().toStdString() + ": " +
                 file_->errorString().toStdString();
        return false;
    }
    bytes_ = QByteArray();
    return true;
}

bool SpillBuffer::copyTo(QIODevice& out)
{
    if (!error_.empty())
        return false;
    if (file_ == nullptr)
        return out.write(bytes_) == bytes_.size();
    if (!file_->flush() || !file_->seek(0)) {
        error_ = "cannot read a temporary file back: " + file_->errorString().toStdString();
        return false;
    }
    QByteArray block;
    for (qint64 left = size_; left > 0; left -= block.size()) {
        block = file_->read(std::min(left, blockSize));
        if (block.isEmpty()) {
            error_ = "cannot read a temporary file back: " + file_->errorString().toStdString();
            return false;
        }
        if (out.write(block) != block.size())
            return false;
    }
    return true;
}
