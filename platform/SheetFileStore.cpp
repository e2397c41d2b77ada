#include "platform/SheetFileStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "sheets/SheetFile.h"

namespace {

std::string failure(const std::string& path, const char* what, const QString& why)
{
    return path + ": " + what + ": " + why.toStdString();
}

// The folder a sheet file's data paths start from.
QDir folderOf(const std::string& sheetFile)
{
    return QFileInfo(QString::fromStdString(sheetFile)).absoluteDir();
}

// A recorded path as a path from here: the sheet file's folder joined
// with it, given as the sheet file's path is (relative stays relative).
std::string foundDataFile(const std::string& sheetFile, const std::string& recorded)
{
    const QString data = QString::fromStdString(recorded);
    if (QDir::isAbsolutePath(data))
        return recorded;
    const QString folder = QFileInfo(QString::fromStdString(sheetFile)).path();
    return QDir::cleanPath(folder + QLatin1Char('/') + data).toStdString();
}

} // namespace

std::optional<std::string> loadSheetFile(const std::string& path, Sheets& sheets,
                                         std::string* dataFile)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return failure(path, "cannot be read", file.errorString());
    // One byte more than a file may hold tells that it holds too much,
    // without reading all of a large one.
    const QByteArray text = file.read(static_cast<qint64>(largestSheetFile) + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(path, "cannot be read", file.errorString());
    std::string recorded;
    if (const auto refusal =
            readSheetFile(std::string_view(text.constData(), text.size()), sheets, &recorded))
        return refusal->message(path);
    if (dataFile != nullptr)
        *dataFile = recorded.empty() ? std::string() : foundDataFile(path, recorded);
    return std::nullopt;
}

std::optional<std::string> saveSheetFile(const std::string& path, const Sheets& sheets,
                                         const std::string& dataFile)
{
    const QString data = QString::fromStdString(dataFile);
    const std::string recorded =
        data.isEmpty() ? std::string()
                       : folderOf(path).relativeFilePath(QFileInfo(data).absoluteFilePath()).toStdString();
    const SheetFileText text = writeSheetFile(sheets, recorded);
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
