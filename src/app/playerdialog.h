#pragma once

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace rusena {

class RegistrationEdit;

/// The registration dialog `player`: the favourite's registration number and what the
/// main window's text box shows. Made once and hidden, never destroyed, by OK and
/// Cancel, so what the user typed stays for the next opening.
class PlayerDialog final : public QDialog {
    Q_OBJECT
public:
    explicit PlayerDialog(QWidget *parent = nullptr);

    RegistrationEdit *txb() const { return m_txb; }
    QRadioButton *op1(int index) const { return m_op1.at(index); }
    QPushButton *cmd1() const { return m_cmd1; }
    QPushButton *cmd2() const { return m_cmd2; }

Q_SIGNALS:
    /// The text of the registration box changed by the user.
    void registrationEdited(const QString &text);
    /// The user selected option button `index`.
    void optionChosen(int index);
    /// OK was clicked.
    void saveRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QGroupBox *m_frame1 = nullptr;
    QLabel *m_lb = nullptr;
    RegistrationEdit *m_txb = nullptr;
    QGroupBox *m_frame2 = nullptr;
    std::array<QRadioButton *, 2> m_op1 {};
    QPushButton *m_cmd1 = nullptr;
    QPushButton *m_cmd2 = nullptr;
};

} // namespace rusena
