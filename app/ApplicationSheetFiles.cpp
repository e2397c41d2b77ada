// The Application's side of sheet files and data files: the File menu,
// the question before the program ends, and files dropped on the main
// window.
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/SheetDocument.h"
#include "app/SheetWindow.h"

namespace {

enum class DroppedKind { None, Sheets, Data };

struct DroppedFile {
    DroppedKind kind = DroppedKind::None;
    QString path;
};

// What the one local file a drag carries is, by its name's ending: a
// .kelvo sheet file, or a data file as Open Data lists them.
DroppedFile droppedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile())
        return {};
    const QString path = url.toLocalFile();
    if (path.endsWith(QStringLiteral(".kelvo")))
        return {DroppedKind::Sheets, path};
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const char* ending : {"csv", "txt", "dat", "tsv"})
        if (suffix == QLatin1String(ending))
            return {DroppedKind::Data, path};
    return {};
}

} // namespace

void Application::connectFileCommands()
{
    const MainWindow::Commands& menu = mainWindow_->commands();
    connect(menu.open, &QAction::triggered, this, &Application::openSheetFile);
    connect(menu.openData, &QAction::triggered, this, &Application::openDataFile);
    connect(menu.save, &QAction::triggered, this, &Application::saveSheets);
    connect(menu.saveAs, &QAction::triggered, this, &Application::saveSheetsAs);
    // The list is read as the menu opens, so that files gone meanwhile
    // are dropped from it.
    connect(menu.file, &QMenu::aboutToShow, this, &Application::showRecentFiles);
    connect(document_.get(), &SheetDocument::recentFilesChanged, this,
            &Application::showRecentFiles);
    connect(document_.get(), &SheetDocument::sheetsReplaced, this,
            &Application::showSheetsInEditors);
    showRecentFiles();
}

void Application::connectEditor(SheetWindow* editor)
{
    connect(editor, &SheetWindow::committed, document_.get(), &SheetDocument::showState);
}

void Application::openAtStart(const QString& path)
{
    document_->open(path);
}

void Application::commitEditors()
{
    for (SheetWindow* editor : {fdataWindow_.data(), sdataWindow_.data(), styleWindow_.data()})
        if (editor != nullptr)
            editor->commit();
}

void Application::showSheetsInEditors()
{
    for (SheetWindow* editor : {fdataWindow_.data(), sdataWindow_.data(), styleWindow_.data()})
        if (editor != nullptr)
            editor->showSheet();
}

void Application::openSheetFile()
{
    if (boxWaiting_)
        return;
    commitEditors();
    if (document_->settleChanges())
        document_->openPicked();
}

void Application::openGivenFile(const QString& path)
{
    if (boxWaiting_)
        return;
    commitEditors();
    if (document_->settleChanges())
        document_->open(path);
}

// Lines the editors hold go in first, so that the grid's lines land on
// them and the editors then show the sheets as they stand.
void Application::openDataFile()
{
    if (boxWaiting_)
        return;
    commitEditors();
    document_->openDataPicked();
}

void Application::openGivenData(const QString& path)
{
    if (boxWaiting_)
        return;
    commitEditors();
    document_->openData(path);
}

void Application::saveSheets()
{
    commitEditors();
    document_->save();
}

void Application::saveSheetsAs()
{
    commitEditors();
    document_->saveAs();
}

void Application::showRecentFiles()
{
    QMenu* recent = mainWindow_->commands().recent;
    recent->clear();
    const QStringList files = document_->recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        // Mnemonics 1 to 9, then 0 for the tenth.
        const QString text = QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(files[i]);
        QAction* entry = recent->addAction(text);
        const QString path = files[i];
        connect(entry, &QAction::triggered, this, [this, path] { openGivenFile(path); });
    }
    recent->setEnabled(!files.isEmpty());
}

bool Application::sheetFileEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Close:
        commitEditors();
        if (document_->settleChanges())
            return false;
        event->ignore();
        return true;
    case QEvent::DragEnter: {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        if (droppedFile(drag->mimeData()).kind == DroppedKind::None)
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const DroppedFile file = droppedFile(drop->mimeData());
        if (file.kind == DroppedKind::None)
            return false;
        drop->acceptProposedAction();
        if (file.kind == DroppedKind::Sheets)
            openGivenFile(file.path);
        else
            openGivenData(file.path);
        return true;
    }
    default: return false;
    }
}
