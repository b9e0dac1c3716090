#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace rusena {

/// The author's home page, shown on the about box's button and in its text.
inline constexpr char16_t HomePage[] = u"https://example.org/rusena/";

/// The about box's text: name and version, home page, author, in lines joined by CR LF.
QString versionText();

/// The about box `version`. OK hides it; its close box discards it.
class VersionDialog final : public QDialog {
    Q_OBJECT
public:
    explicit VersionDialog(QWidget *parent = nullptr);

    QLabel *lb() const { return m_lb; }
    QPushButton *cmd2() const { return m_cmd2; }
    QPushButton *command1() const { return m_command1; }

private:
    QLabel *m_lb = nullptr;
    QPushButton *m_cmd2 = nullptr;
    QPushButton *m_command1 = nullptr;
};

} // namespace rusena
