#include "platform/SheetFileStore.h"

#include <QFile>
#include <QSaveFile>

#include "sheets/SheetFile.h"

namespace {

std::string failure(const std::string& path, const char* what, const QString& why)
{
    return path + ": " + what + ": " + why.toStdString();
}

} // namespace

std::optional<std::string> loadSheetFile(const std::string& path, Sheets& sheets)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return failure(path, "cannot be read", file.errorString());
    // One byte more than a file may hold tells that it holds too much,
    // without reading all of a large one.
    const QByteArray text = file.read(static_cast<qint64>(largestSheetFile) + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(path, "cannot be read", file.errorString());
    if (const auto refusal = readSheetFile(std::string_view(text.constData(), text.size()), sheets))
        return refusal->message(path);
    return std::nullopt;
}

std::optional<std::string> saveSheetFile(const std::string& path, const Sheets& sheets)
{
    const SheetFileText text = writeSheetFile(sheets);
    if (!text.ok())
        return path + ": not saved: " + text.refusal;
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, "cannot be saved", file.errorString());
    const auto size = static_cast<qint64>(text.text.size());
    if (file.write(text.text.data(), size) != size) {
        const QString why = file.errorString();
        file.cancelWriting();
        return failure(path, "cannot be saved", why);
    }
    if (!file.commit())
        return failure(path, "cannot be saved", file.errorString());
    return std::nullopt;
}
