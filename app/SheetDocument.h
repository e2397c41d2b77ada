#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include "sheets/Sheets.h"

class QWidget;

// The sheet file the user works in: where the sheets were last opened
// from or saved to, what they held then, the dialogs that pick a file and
// the question before changed sheets are left. The window's title shows
// the file, with a "*" while the sheets differ from it.
class SheetDocument final : public QObject {
    Q_OBJECT
public:
    SheetDocument(Sheets& sheets, QWidget& window);

    // The file, empty until one is opened or saved.
    const QString& path() const { return path_; }
    // Whether the sheets differ from the file, or from the defaults while
    // there is none.
    bool modified() const;

    // Reads the file into the sheets; a refusal is told in a box and
    // changes nothing.
    bool open(const QString& path);
    // Asks for a file and reads it.
    bool openPicked();
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
    // The sheets were replaced by a file's.
    void sheetsReplaced();
    void recentFilesChanged();

private:
    bool writeTo(const QString& path);
    void adopt(const QString& path);
    void remember(const QString& path);
    void tell(const QString& caption, const std::string& message);

    Sheets& sheets_;
    QWidget& window_;
    // What the file holds, as far as this program knows.
    Sheets saved_;
    QString path_;
};
