#pragma once

#include <QLineEdit>

namespace rusena {

/// The registration number box: only ASCII digits can enter it, four at most. Typed
/// characters that are not digits are discarded before they reach the box, Backspace and
/// the other control characters included; Delete and the cursor keys work as usual. Paste
/// goes through the same filter. Any other route is stopped by a validator.
class RegistrationEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit RegistrationEdit(QWidget *parent = nullptr);

    /// Inserts the clipboard's text at the cursor when it is all digits (up to the limit);
    /// anything else leaves the box as it was.
    void pasteFiltered();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace rusena
