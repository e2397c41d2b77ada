#pragma once
// Answers the program's real modal boxes as a user would: each one that
// opens is read, then closed by a click on one of its buttons.
#include <QApplication>
#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

struct ShownBox {
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
    QWidget* owner;
    QString name;
    int width;
};

class ModalAnswerer {
public:
    ModalAnswerer()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answerOpenBox(); });
        timer_.start(1);
    }

    // Answers to the questions in turn; a question beyond them is answered
    // No (Discard when it has no No). Notes are answered OK, other dialogs
    // by their default button.
    QList<QMessageBox::StandardButton> answers;
    // Runs while each box is open, before it is answered.
    std::function<void()> whileOpen;
    QList<ShownBox> shown;

    // Each box shown as "caption|text".
    QStringList texts() const
    {
        QStringList list;
        for (const ShownBox& box : shown)
            list << box.caption + "|" + box.text;
        return list;
    }

private:
    void answerOpenBox()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible() || open_.contains(dialog))
            return;
        open_.append(dialog);
        auto* box = qobject_cast<QMessageBox*>(dialog);
        shown.append({dialog->windowTitle(), box ? box->text() : QString(),
                      box ? box->standardButtons() : QMessageBox::NoButton,
                      dialog->parentWidget(), dialog->objectName(), dialog->width()});
        if (whileOpen)
            whileOpen();
        if (box == nullptr)
            clickDefaultButton(*dialog);
        else if (box->standardButtons() == QMessageBox::Ok)
            box->button(QMessageBox::Ok)->click();
        else if (!answers.isEmpty())
            box->button(answers.takeFirst())->click();
        else if (QAbstractButton* no = box->button(QMessageBox::No))
            no->click();
        else
            box->button(QMessageBox::Discard)->click();
        open_.removeOne(dialog);
    }

    static void clickDefaultButton(QDialog& dialog)
    {
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->isDefault())
                return button->click();
        dialog.reject();
    }

    QTimer timer_;
    QList<QDialog*> open_;
};
