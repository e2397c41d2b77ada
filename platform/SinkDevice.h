#pragma once
#include <QIODevice>

#include "pages/ByteSink.h"

// A Qt device that writes into a byte sink, for Qt's own writers (the
// PDF writer, the PNG encoder) to write a page's file or a layer.
class SinkDevice final : public QIODevice {
public:
    explicit SinkDevice(ByteSink& sink) : sink_(sink) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        return sink_.write(data, static_cast<std::size_t>(size)) ? size : -1;
    }

private:
    ByteSink& sink_;
};
