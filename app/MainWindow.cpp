#include "app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>

#include "app/AppState.h"
#include "app/Application.h"

MainWindow::MainWindow(Application& app) : app_(app), page_(new PictureWidget(this))
{
    setWindowTitle("kelvo");
    setWindowIcon(QIcon(":/kelvo.svg"));
    setCentralWidget(page_);
    createMenu();
    setOrientationEnabled(false);
}

QAction* MainWindow::addCommand(QWidget* menu, const QString& text, int id)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { app_.command(id); });
    menu->addAction(action);
    actions_[id] = action;
    return action;
}

void MainWindow::createMenu()
{
    QMenuBar* bar = menuBar();
    addCommand(bar, "E&xit", CommandExit);
    QMenu* data = bar->addMenu("&Data");
    addCommand(data, "&Fdata", CommandFdata);
    data->addSeparator();
    addCommand(data, "&Gdata", CommandGdata);
    QMenu* plot = bar->addMenu("&Plot");
    addCommand(plot, "&Screen", CommandScreen);
    plot->addSeparator();
    addCommand(plot, "&Print", CommandPrint);
    addCommand(bar, "&Orientation", CommandOrientation);
    addCommand(bar, "&Help", CommandHelp);
    addCommand(bar, "&About", CommandAbout);
}

QAction* MainWindow::action(int id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::setOrientationEnabled(bool on)
{
    actions_.at(CommandOrientation)->setEnabled(on);
}

// Closing the main window ends the program; the popups it owns, and with
// them the sheet editors' last commits, go with it.
void MainWindow::closeEvent(QCloseEvent* event)
{
    if (app_.state().composing) {
        event->ignore();
        return;
    }
    event->accept();
    QApplication::quit();
}
