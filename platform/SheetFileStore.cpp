#include "platform/SheetFileStore.h"

#include <QDir>
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

} // namespace

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
