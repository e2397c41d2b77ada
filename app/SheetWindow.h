#pragma once
#include <QSize>
#include <QWidget>
#include <cstddef>
#include <vector>

#include "sheets/DataSheet.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The editor of one data sheet: a list with a row per entry line, a
// one-line edit of the row last picked (double-click, or Return on the
// highlighted row), and an "update" button that writes the list back into
// the sheet. Closing it writes it back too. The list and the edit are wide
// enough for the longest row in their fixed-pitch font, and grow and shrink
// with the window.
class SheetWindow final : public QWidget {
    Q_OBJECT
public:
    SheetWindow(const QString& caption, DataSheet& sheet, QWidget* owner);
    ~SheetWindow() override;

    QListWidget* list() const { return list_; }
    QLineEdit* edit() const { return edit_; }
    QPushButton* button() const { return button_; }

    // The longest row the edit passes on to the list.
    static constexpr int bufferLimit = 118;
    static constexpr QSize openSize{200, 200};

    // Shows a line's display text again in its row (row line - 1), and in
    // the edit when that row is the one being edited: for lines changed
    // outside the editor, so that its next commit keeps the change.
    void showLine(std::size_t line);
    // Shows every line again: for sheets replaced as a whole, by a file.
    void showSheet();

public slots:
    // Writes the list back; each line that refuses its row says so in a box.
    void commit();

signals:
    // The list was written back into the sheet by the button or a close.
    void committed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void placeControls();
    // The lines that refused their rows; they keep their texts.
    std::vector<std::size_t> writeBack();
    void fillList();
    void pickRow(QListWidgetItem* item);
    void rewriteSelectedRow(const QString& text);

    DataSheet& sheet_;
    QListWidget* list_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QPushButton* button_ = nullptr;
    // The list row the edit rewrites: row 0 until a row is picked.
    int selected_ = 0;
    // The sizes the list and the edit open at, in a window of openSize;
    // a resized window adds its change to them.
    QSize listSize_;
    QSize editSize_;
    // Closing wrote the list back already; going away need not again.
    bool committed_ = false;
};
