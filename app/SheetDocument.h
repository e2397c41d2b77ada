#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "grid/HeightGrid.h"
#include "sheets/Sheets.h"

class QWidget;

// The sheet file the user works in: where the sheets were last opened
// from or saved to, what they held then, the dialogs that pick a file and
// the question before changed sheets are left. The window's title shows
// the file, with a "*" while the sheets differ from it. With the sheets
// goes the grid of heights of the data file last opened, which the sheet
// file records.
class SheetDocument final : public QObject {
    Q_OBJECT
public:
    SheetDocument(Sheets& sheets, QWidget& window);

    // The file, empty until one is opened or saved.
    const QString& path() const { return path_; }
    // Whether the sheets (or the data file) differ from the file, or from
    // the defaults while there is none.
    bool modified() const;
    // The grid the pages draw, null without one, and its file.
    const std::shared_ptr<const HeightGrid>& grid() const { return grid_; }
    const QString& dataFile() const { return dataFile_; }

    // Reads the file into the sheets; a refusal is told in a box and
    // changes nothing. The data file it records is read too; one that
    // cannot be is told, and the sheets are read without a grid.
    bool open(const QString& path);
    // Asks for a file and reads it.
    bool openPicked();
    // Reads a data file's grid and sets the lines that draw it; a refusal
    // is told in a box and changes nothing.
    bool openData(const QString& path);
    // Asks for a data file and reads it.
    bool openDataPicked();
    // Writes the sheets to the file, or asks for one while there is none.
    bool save();
    // Asks for a file and writes the sheets to it.
    bool saveAs();
    // Before changed sheets are replaced or the program ends: asks whether
    // to save them. False when the user cancels or the save fails.
    bool settleChanges();

    // The files last opened or saved, newest first; those gone are
    // dropped from the list.
    QStringList recentFiles() const;

    static constexpr int recentLimit = 10;

public slots:
    // The title as the sheets now stand.
    void showState();

signals:
    // The sheets were replaced by a file's, or lines of them by a data
    // file's.
    void sheetsReplaced();
    void recentFilesChanged();

private:
    bool writeTo(const QString& path);
    void adopt(const QString& path);
    void remember(const QString& path);
    void tell(const QString& caption, const std::string& message);
    // Reads the grid of the data file a sheet file records; why it
    // cannot be read, if it cannot.
    std::optional<std::string> readRecordedData(const std::string& dataFile);

    Sheets& sheets_;
    QWidget& window_;
    // What the file holds, as far as this program knows.
    Sheets saved_;
    QString path_;
    std::shared_ptr<const HeightGrid> grid_;
    // Absolute; empty without a grid. savedDataFile_ is the file's.
    QString dataFile_, savedDataFile_;
};
