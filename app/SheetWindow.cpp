#include "app/SheetWindow.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <algorithm>
#include <string>

#include "app/MessageBoxWidth.h"
#include "sheets/SheetCommit.h"

namespace {

// Sheet texts are bytes; the controls show each as its Latin-1 character.
QString toQString(const char* text)
{
    return QString::fromLatin1(text);
}

// The smallest the list and the edit shrink to: a few characters.
constexpr QSize smallestControl{40, 20};

} // namespace

SheetWindow::SheetWindow(const QString& caption, DataSheet& sheet, QWidget* owner)
    : QWidget(owner, Qt::Window), sheet_(sheet)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    move(30, 50);
    resize(openSize);
    createControls();
}

// Going away saves the edits, as the button does; with no window left to
// own a box, a line that refuses its row keeps its texts quietly.
SheetWindow::~SheetWindow()
{
    if (!committed_)
        writeBack();
}

void SheetWindow::createControls()
{
    const QFontMetrics metrics(font());
    const int h = metrics.height();
    const int cw = metrics.averageCharWidth();

    list_ = new QListWidget(this);
    button_ = new QPushButton("update", this);
    button_->setGeometry(cw, h, 8 * cw, h * 3 / 2);
    edit_ = new QLineEdit(this);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    list_->setFont(fixed);
    edit_->setFont(fixed);
    fillList();

    // The widths come from the font the rows are shown in: the longest row
    // (the header's too) in full, with the list's scroll bar, frame and
    // item margins, or the edit's frame and margins.
    const QFontMetrics shown(fixed);
    const std::size_t count = entryCount(sheet_);
    int longest = 0;
    for (std::size_t i = 0; i <= count && i < sheet_.size(); ++i)
        longest = std::max(longest, shown.horizontalAdvance(toQString(sheet_[i].display)));
    const int itemMargins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1);
    const int listWidth = longest + itemMargins + 2 * list_->frameWidth() +
                          style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_);
    const int rowHeight = list_->count() > 0 ? list_->sizeHintForRow(0) : shown.height();
    // The list has room for one row more than it holds.
    listSize_ = QSize(listWidth, static_cast<int>(count + 1) * rowHeight + 2 * list_->frameWidth());
    editSize_ = QSize(listWidth, std::max(edit_->sizeHint().height(), shown.height() + 4));
    placeControls();

    connect(list_, &QListWidget::itemActivated, this, &SheetWindow::pickRow);
    connect(edit_, &QLineEdit::textEdited, this, &SheetWindow::rewriteSelectedRow);
    connect(button_, &QPushButton::clicked, this, &SheetWindow::commit);

    if (list_->count() > 0) {
        list_->setCurrentRow(0);
        edit_->setText(list_->item(0)->text());
        edit_->setCursorPosition(0);
    }
}

// Button, edit and list from the top, all at x = cw; the list and the edit
// follow the window's change from the size it opened at.
void SheetWindow::placeControls()
{
    const QFontMetrics metrics(font());
    const int h = metrics.height();
    const int cw = metrics.averageCharWidth();
    const QSize change = size() - openSize;
    const QSize edit = (editSize_ + QSize(change.width(), 0)).expandedTo(smallestControl);
    const QSize list = (listSize_ + change).expandedTo(smallestControl);
    edit_->setGeometry(cw, h + h * 9 / 5, edit.width(), editSize_.height());
    list_->setGeometry(cw, 5 * h, list.width(), list.height());
}

void SheetWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (list_ != nullptr)
        placeControls();
}

// Row i stands for line i + 1; the header is never listed.
void SheetWindow::fillList()
{
    const std::size_t count = entryCount(sheet_);
    for (std::size_t i = 1; i <= count; ++i)
        list_->insertItem(static_cast<int>(i) - 1, toQString(sheet_[i].display));
}

void SheetWindow::showLine(std::size_t line)
{
    const int row = static_cast<int>(line) - 1;
    if (line == 0 || line >= sheet_.size() || row >= list_->count())
        return;
    list_->item(row)->setText(toQString(sheet_[line].display));
    if (row == selected_)
        edit_->setText(list_->item(row)->text());
}

void SheetWindow::showSheet()
{
    for (std::size_t line = 1; line < sheet_.size(); ++line)
        showLine(line);
}

void SheetWindow::pickRow(QListWidgetItem* item)
{
    selected_ = list_->row(item);
    edit_->setText(item->text());
    edit_->setCursorPosition(0);
}

// Every keystroke shows at once in the selected row.
void SheetWindow::rewriteSelectedRow(const QString& text)
{
    if (selected_ < 0 || selected_ >= list_->count())
        return;
    const QString buffer = text.left(bufferLimit);
    list_->insertItem(selected_, buffer);
    delete list_->takeItem(selected_ + 1);
    list_->setCurrentRow(selected_);
}

std::vector<std::size_t> SheetWindow::writeBack()
{
    std::vector<std::string> rows;
    for (int i = 0; i < list_->count(); ++i)
        rows.push_back(list_->item(i)->text().toLatin1().toStdString());
    return commitSheetList(rows, sheet_);
}

void SheetWindow::commit()
{
    for (std::size_t line : writeBack()) {
        const QString name = toQString(sheet_[line].name).trimmed();
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        QString("The value of %1 is longer than %2 characters, so the line "
                                "was not changed.")
                            .arg(name)
                            .arg(DataLine::longestValue),
                        QMessageBox::Ok, this);
        fitCaption(box);
        box.exec();
    }
    emit committed();
}

void SheetWindow::closeEvent(QCloseEvent* event)
{
    commit();
    committed_ = true;
    QWidget::closeEvent(event);
}
