#include "registrationedit.h"

#include "favourites/registration.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpressionValidator>

namespace rusena {

namespace {

bool allAccepted(const QString &text)
{
    for (const QChar ch : text) {
        if (!acceptsRegistrationChar(ch))
            return false;
    }
    return true;
}

// Shortcuts that only select or copy, or that cannot bring anything but digits back.
bool harmlessShortcut(QKeyEvent *event)
{
    return event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)
        || event->matches(QKeySequence::SelectAll) || event->matches(QKeySequence::Undo)
        || event->matches(QKeySequence::Redo);
}

} // namespace

RegistrationEdit::RegistrationEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setMaxLength(RegistrationMaxLength);
    // Full-width digits typed through an input method are not digits here.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(RegistrationMaxLength)), this));
}

void RegistrationEdit::pasteFiltered()
{
    if (isReadOnly())
        return;
    QString current = text();
    int cursor = cursorPosition();
    if (hasSelectedText()) {
        cursor = selectionStart();
        current.remove(cursor, selectedText().size());
    }
    const QString pasted = QGuiApplication::clipboard()->text();
    const QString next = filteredRegistrationText(current, cursor, pasted);
    const int inserted = next.size() - current.size();
    setText(next);
    setCursorPosition(cursor + inserted);
}

void RegistrationEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered();
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (typed.isEmpty() || event->key() == Qt::Key_Delete || harmlessShortcut(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!allAccepted(typed)) {
        event->accept(); // discarded: the box never sees it
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void RegistrationEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, &RegistrationEdit::pasteFiltered);
    }
    menu->popup(event->globalPos());
}

void RegistrationEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The X11 selection paste with the middle button would bypass the filter.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

} // namespace rusena
