#include "dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QQueue>
#include <QStandardPaths>

#include <memory>

namespace rusena {

namespace {

struct Hook {
    bool answering = false;
    QQueue<Dialogs::Button> answers;
    QQueue<QStringList> files;
    QQueue<std::optional<QString>> folders;
    int cancelAfter = -1;
    QList<std::pair<int, int>> progress;
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
    return QStringLiteral("レース結果ファイル (*.txt *.lzh)");
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
    dialog->setNameFilters({ resultFileFilter(), QStringLiteral("テキストファイル (*.txt)") });
    return dialog;
}

std::optional<QString> Dialogs::openResultFile(QWidget *parent, const QString &folder)
{
    const QStringList files = openResultFiles(parent, folder);
    if (files.isEmpty())
        return std::nullopt;
    return files.constFirst();
}

QStringList Dialogs::openResultFiles(QWidget *parent, const QString &folder)
{
    Hook &h = hook();
    if (h.answering) {
        h.folderAsked = folder;
        return h.files.isEmpty() ? QStringList() : h.files.dequeue();
    }

    const std::unique_ptr<QFileDialog> dialog(createResultFileDialog(parent, folder));
    dialog->setFileMode(QFileDialog::ExistingFiles);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return dialog->selectedFiles();
}

std::optional<QString> Dialogs::chooseFolder(QWidget *parent)
{
    Hook &h = hook();
    if (h.answering)
        return h.folders.isEmpty() ? std::nullopt : h.folders.dequeue();
    const QString folder
        = QFileDialog::getExistingDirectory(parent, QStringLiteral("フォルダから取り込む"),
            QString(), QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

Dialogs::Progress::Progress(QWidget *parent, const QString &label)
    : m_parent(parent)
    , m_label(label)
{
}

Dialogs::Progress::~Progress() = default;

bool Dialogs::Progress::advance(int done, int total)
{
    Hook &h = hook();
    if (h.answering) {
        h.progress.append({ done, total });
        return h.cancelAfter < 0 || h.progress.size() <= h.cancelAfter;
    }
    // Made on the first step only: a task that never reports shows nothing at all.
    if (!m_dialog) {
        m_dialog = std::make_unique<QProgressDialog>(
            m_label, QStringLiteral("キャンセル"), 0, total, m_parent);
        m_dialog->setWindowTitle(QStringLiteral("ルセナソフト"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(300);
    }
    m_dialog->setMaximum(total);
    m_dialog->setValue(done);
    QCoreApplication::processEvents();
    return !m_dialog->wasCanceled();
}

std::optional<QString> Dialogs::saveCsvFile(QWidget *parent, const QString &suggestedName)
{
    Hook &h = hook();
    if (h.answering) {
        // setNextFile queues one path, or an empty list for a cancelled dialog.
        const QStringList answer = h.files.isEmpty() ? QStringList() : h.files.dequeue();
        return answer.isEmpty() ? std::nullopt : std::optional<QString>(answer.constFirst());
    }

    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("CSV に保存"),
        folder + u'/' + suggestedName, QStringLiteral("CSV ファイル (*.csv)"));
    if (path.isEmpty())
        return std::nullopt;
    return path;
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
    hook().files.enqueue(path ? QStringList { *path } : QStringList());
}

void Dialogs::setNextFiles(const QStringList &paths)
{
    hook().files.enqueue(paths);
}

void Dialogs::setNextFolder(std::optional<QString> path)
{
    hook().folders.enqueue(std::move(path));
}

void Dialogs::setCancelAfter(int steps)
{
    hook().cancelAfter = steps;
}

QList<std::pair<int, int>> Dialogs::takeProgress()
{
    return std::exchange(hook().progress, {});
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
