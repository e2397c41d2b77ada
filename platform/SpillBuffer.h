#pragma once
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QTemporaryFile>
#include <memory>
#include <string>

// Bytes kept in memory up to a bound, then in a temporary file: one layer
// of a page on its way to the page's file, whose memory does not grow
// with the page. The file has no name (Linux makes it unnamed and it goes
// with its last descriptor), so nothing is left behind by any exit; but
// one made for another program to read has a name (named()). A failed
// write is told by the system's own words ("File too large").
class SpillBuffer final : public QIODevice {
public:
    static constexpr qint64 defaultBound = qint64{1} << 20;

    explicit SpillBuffer(qint64 memoryBound = defaultBound);
    ~SpillBuffer() override;

    // A buffer in a named file from the start, removed with the buffer;
    // null when the file cannot be made (error says why).
    static std::unique_ptr<SpillBuffer> named(std::string& error);
    QString fileName() const { return file_ != nullptr ? file_->fileName() : QString(); }
    // Hands what the file's buffer holds to the system; false if it fails.
    bool sync();

    // Whether nothing was written.
    bool empty() const { return size_ == 0; }
    // Writes all it holds to out, in blocks; false when out refused a
    // block or this buffer's file failed.
    bool copyTo(QIODevice& out);
    // Why a write to this buffer failed; empty while none did.
    const std::string& error() const { return error_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool spill();
    bool makeFile();
    // Notes the cause of a failed operation on the file.
    void failed(const char* what);

    qint64 bound_;
    qint64 size_ = 0;
    QByteArray bytes_;
    std::unique_ptr<QTemporaryFile> file_;
    std::string error_;
};
