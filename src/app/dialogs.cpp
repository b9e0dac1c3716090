#include "dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
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

// Qt's own file dialog names a folder "Folder", a file "txt File", a size "3 bytes" and
// writes dates the C locale's way whatever its translations say: those columns are
// written here, in Japanese.
class JapaneseFileColumns final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() < 1 || index.column() > 3)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        const QLocale japanese(QLocale::Japanese, QLocale::Japan);
        switch (index.column()) {
        case 1:
            if (info.isDir())
                return QString();
            return info.size() < 1024
                ? QStringLiteral("%1 バイト").arg(info.size())
                : japanese.formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
        case 2:
            if (info.isDir())
                return QStringLiteral("フォルダー");
            return info.suffix().isEmpty() ? QStringLiteral("ファイル")
                                           : info.suffix().toUpper() + QStringLiteral(" ファイル");
        default:
            return japanese.toString(info.lastModified(), QStringLiteral("yyyy/MM/dd HH:mm"));
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const char16_t *const names[] = { u"名前", u"サイズ", u"種類", u"更新日時" };
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4)
            return QString::fromUtf16(names[section]);
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
};

// Every file dialog of the program: Qt's own (the organiser's file names come in either
// letter case, which a desktop's native one may not match), with the columns in Japanese.
QFileDialog *makeFileDialog(QWidget *parent, const QString &caption)
{
    auto *dialog = new QFileDialog(parent, caption);
#ifndef Q_OS_WIN
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
#endif
    dialog->setProxyModel(new JapaneseFileColumns(dialog));
    return dialog;
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
    QFileDialog *dialog = makeFileDialog(parent, QString());
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        dialog->setDirectory(folder);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
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
    const std::unique_ptr<QFileDialog> dialog(
        makeFileDialog(parent, QStringLiteral("フォルダから取り込む")));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().constFirst();
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
        // Not modal: a modal one would pump events inside setValue().
        m_dialog->setWindowModality(Qt::NonModal);
        m_dialog->setMinimumDuration(300);
    }
    m_dialog->setMaximum(total);
    m_dialog->setValue(done);
    return !m_dialog->wasCanceled();
}

int Dialogs::Progress::stepsBeforeCancel()
{
    return hook().answering ? hook().cancelAfter : -1;
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
    const std::unique_ptr<QFileDialog> dialog(makeFileDialog(parent, QStringLiteral("CSV に保存")));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilter(QStringLiteral("CSV ファイル (*.csv)"));
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setDirectory(folder);
    dialog->selectFile(suggestedName);
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
