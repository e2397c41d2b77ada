#pragma once
#include <QIODevice>
#include <string>

// A print document on its way to the spooler: a file written through a
// descriptor, every byte counted and every failed write remembered, so
// that it is handed over only when it is whole. The file is removed when
// the object goes, and by SignalCleanup if the process is ended first.
class DocumentFile final : public QIODevice {
public:
    // Takes the descriptor of the created file at path.
    DocumentFile(int fd, std::string path);
    ~DocumentFile() override;
    DocumentFile(const DocumentFile&) = delete;
    DocumentFile& operator=(const DocumentFile&) = delete;

    const std::string& path() const { return path_; }
    bool isSequential() const override { return true; }

    // Syncs and closes the file; true only when every write succeeded,
    // the file holds exactly what was written and it ends with trailer.
    bool commit(const char* trailer);

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    int fd_;
    std::string path_;
    qint64 written_ = 0;
    bool failed_ = false;
};
