#include "app/SheetDocument.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QWidget>

#include "app/MessageBoxWidth.h"
#include "grid/GridReader.h"
#include "grid/GridSheetLines.h"
#include "platform/SheetFileStore.h"

namespace {

const QString fileFilter = QStringLiteral("kelvo sheets (*.kelvo)");
const QString dataFilter = QStringLiteral("Data files (*.csv *.txt *.dat *.tsv)");
const QString allFilesFilter = QStringLiteral("All files (*)");
const QString recentKey = QStringLiteral("recentFiles");

// Kept where Qt keeps a program's settings: $XDG_CONFIG_HOME/kelvo/kelvo.conf.
class KelvoSettings final : public QSettings {
public:
    KelvoSettings() : QSettings(QSettings::NativeFormat, QSettings::UserScope, "kelvo", "kelvo") {}
};

} // namespace

SheetDocument::SheetDocument(Sheets& sheets, QWidget& window)
    : sheets_(sheets), window_(window), saved_(sheets)
{
}

bool SheetDocument::modified() const
{
    return !sameTexts(sheets_, saved_) || dataFile_ != savedDataFile_;
}

void SheetDocument::showState()
{
    if (path_.isEmpty()) {
        window_.setWindowTitle("kelvo");
        return;
    }
    const QString mark = modified() ? QStringLiteral("*") : QString();
    window_.setWindowTitle(mark + QFileInfo(path_).fileName() + QStringLiteral(" \u2014 kelvo"));
}

bool SheetDocument::open(const QString& path)
{
    std::string dataFile;
    if (const auto error = loadSheetFile(path.toStdString(), sheets_, &dataFile)) {
        tell("Open", *error);
        return false;
    }
    const std::optional<std::string> dataError = readRecordedData(dataFile);
    adopt(path);
    emit sheetsReplaced();
    if (dataError)
        tell("Open", *dataError);
    return true;
}

// The sheets' lines are the file's as they stand: none is set from the
// grid.
std::optional<std::string> SheetDocument::readRecordedData(const std::string& dataFile)
{
    grid_.reset();
    dataFile_.clear();
    if (dataFile.empty())
        return std::nullopt;
    GridRead read = readGridFile(dataFile, dataFile);
    if (!read)
        return std::move(read.error);
    grid_ = std::move(read.grid);
    dataFile_ = QFileInfo(QString::fromStdString(dataFile)).absoluteFilePath();
    return std::nullopt;
}

bool SheetDocument::openData(const QString& path)
{
    GridRead read = readGridFile(path.toStdString());
    if (!read) {
        tell("Open Data", read.error);
        return false;
    }
    setGridLines(sheets_, *read.grid, QFileInfo(path).fileName().toStdString());
    grid_ = std::move(read.grid);
    dataFile_ = QFileInfo(path).absoluteFilePath();
    showState();
    emit sheetsReplaced();
    return true;
}

bool SheetDocument::openDataPicked()
{
    QFileDialog dialog(&window_, "Open Data");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({dataFilter, allFilesFilter});
    if (!dataFile_.isEmpty())
        dialog.setDirectory(QFileInfo(dataFile_).absolutePath());
    else if (!path_.isEmpty())
        dialog.setDirectory(QFileInfo(path_).absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    return openData(dialog.selectedFiles().constFirst());
}

bool SheetDocument::openPicked()
{
    QFileDialog dialog(&window_, "Open");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({fileFilter, allFilesFilter});
    if (!path_.isEmpty())
        dialog.setDirectory(QFileInfo(path_).absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    return open(dialog.selectedFiles().constFirst());
}

bool SheetDocument::save()
{
    return path_.isEmpty() ? saveAs() : writeTo(path_);
}

bool SheetDocument::saveAs()
{
    QFileDialog dialog(&window_, "Save As");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({fileFilter});
    dialog.setDefaultSuffix("kelvo");
    if (!path_.isEmpty())
        dialog.selectFile(path_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    return writeTo(dialog.selectedFiles().constFirst());
}

bool SheetDocument::writeTo(const QString& path)
{
    if (const auto error = saveSheetFile(path.toStdString(), sheets_, dataFile_.toStdString())) {
        tell("Save", *error);
        return false;
    }
    adopt(path);
    return true;
}

bool SheetDocument::settleChanges()
{
    if (!modified())
        return true;
    const QString text = path_.isEmpty()
                             ? QStringLiteral("The sheets have changed. Save them?")
                             : QStringLiteral("The sheets have changed since %1 was opened or "
                                              "saved. Save them?")
                                   .arg(QFileInfo(path_).fileName());
    QMessageBox box(QMessageBox::Question, "kelvo", text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &window_);
    box.setDefaultButton(QMessageBox::Save);
    fitCaption(box);
    switch (box.exec()) {
    case QMessageBox::Save: return save();
    case QMessageBox::Discard: return true;
    default: return false;
    }
}

// The file now holds the sheets.
void SheetDocument::adopt(const QString& path)
{
    path_ = QFileInfo(path).absoluteFilePath();
    saved_ = sheets_;
    savedDataFile_ = dataFile_;
    remember(path_);
    showState();
}

void SheetDocument::remember(const QString& path)
{
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > recentLimit)
        files.removeLast();
    KelvoSettings().setValue(recentKey, files);
    emit recentFilesChanged();
}

QStringList SheetDocument::recentFiles() const
{
    KelvoSettings stored;
    const QStringList files = stored.value(recentKey).toStringList();
    QStringList present;
    for (const QString& file : files)
        if (present.size() < recentLimit && QFileInfo(file).isFile() && !present.contains(file))
            present << file;
    if (present != files)
        stored.setValue(recentKey, present);
    return present;
}

void SheetDocument::tell(const QString& caption, const std::string& message)
{
    QMessageBox box(QMessageBox::Warning, caption, QString::fromStdString(message),
                    QMessageBox::Ok, &window_);
    fitCaption(box);
    box.exec();
}
