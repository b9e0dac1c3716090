#include "dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QQueue>

#include <memory>

namespace rusena {

namespace {

struct Hook {
    bool answering = false;
    QQueue<Dialogs::Button> answers;
    QQueue<std::optional<QString>> files;
    QList<Message> asked;
    QString folderAsked;
    std::function<void(const Message &)> observer;
};

Hook &hook()
{
    static Hook instance;
    return instance;
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Dialogs::Button Dialogs::message(QWidget *parent, const Message &message)
{
    Hook &h = hook();
    if (h.answering) {
        h.asked.append(message);
        if (h.observer)
            h.observer(message);
        return h.answers.isEmpty() ? Button::Ok : h.answers.dequeue();
    }

    QMessageBox box(boxIcon(message.icon), message.caption, message.text, QMessageBox::Ok, parent);
    if (message.buttons == MessageButtons::OkCancel) {
        QPushButton *cancel = box.addButton(QMessageBox::Cancel);
        cancel->setText(QStringLiteral("キャンセル"));
    }
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? Button::Ok : Button::Cancel;
}

QString Dialogs::resultFileFilter()
{
    return QStringLiteral("テキストファイル (*.txt)");
}

QFileDialog *Dialogs::createResultFileDialog(QWidget *parent, const QString &folder)
{
    auto *dialog = new QFileDialog(parent);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        dialog->setDirectory(folder);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
#ifndef Q_OS_WIN
    // The organiser's files come as K200105.TXT as well as k200105.txt. Qt's own dialog
    // matches name filters without regard to case; a desktop's native one may not.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
#endif
    dialog->setNameFilter(resultFileFilter());
    return dialog;
}

std::optional<QString> Dialogs::openResultFile(QWidget *parent, const QString &folder)
{
    Hook &h = hook();
    if (h.answering) {
        h.folderAsked = folder;
        return h.files.isEmpty() ? std::nullopt : h.files.dequeue();
    }

    const std::unique_ptr<QFileDialog> dialog(createResultFileDialog(parent, folder));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().constFirst();
}

void Dialogs::setAnswering(bool on)
{
    hook() = Hook {};
    hook().answering = on;
}

void Dialogs::setNextAnswer(Button button)
{
    hook().answers.enqueue(button);
}

void Dialogs::setNextFile(std::optional<QString> path)
{
    hook().files.enqueue(std::move(path));
}

void Dialogs::setObserver(std::function<void(const Message &)> observer)
{
    hook().observer = std::move(observer);
}

QString Dialogs::lastFolderAsked()
{
    return hook().folderAsked;
}

QList<Message> Dialogs::takeAsked()
{
    return std::exchange(hook().asked, {});
}

} // namespace rusena
