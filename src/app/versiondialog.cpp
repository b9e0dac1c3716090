#include "versiondialog.h"

#include "artwork.h"
#include "twips.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace rusena {

QString versionText()
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("ルセナソフト version 1.00") + crlf + crlf + QString::fromUtf16(HomePage)
        + crlf + crlf + QStringLiteral("ルセナソフト開発チーム");
}

VersionDialog::VersionDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("version"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
        | Qt::MSWindowsFixedSizeDialogHint);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(px(4410), px(2850));

    m_command1 = new QPushButton(QStringLiteral("OK"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(twipsRect(3600, 2400, 735, 375));
    connect(m_command1, &QPushButton::clicked, this, &QWidget::hide);

    auto *banner = new QLabel(this);
    banner->setObjectName(QStringLiteral("Image2"));
    banner->setGeometry(twipsRect(360, 120, 3615, 930));
    banner->setFrameShape(QFrame::Box);
    banner->setFrameShadow(QFrame::Plain);
    banner->setLineWidth(1);
    banner->setPixmap(bannerPixmap(devicePixelRatioF()));

    // The box's text face is the platform's own dialog face.
    m_lb = new QLabel(this);
    m_lb->setObjectName(QStringLiteral("lb"));
    m_lb->setGeometry(twipsRect(360, 1200, 3615, 975));
    m_lb->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lb->setTextFormat(Qt::PlainText);
    m_lb->setText(versionText());

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setGeometry(twipsRect(240, 1800, 480, 480));
    icon->setPixmap(iconPixmap(devicePixelRatioF()));

    m_cmd2 = new QPushButton(QString::fromUtf16(HomePage), this);
    m_cmd2->setObjectName(QStringLiteral("cmd2"));
    m_cmd2->setGeometry(twipsRect(120, 2400, 3375, 375));
    // Whether a browser opened is not our concern; the box stays as it is.
    connect(m_cmd2, &QPushButton::clicked, this,
        [] { QDesktopServices::openUrl(QUrl(QString::fromUtf16(HomePage))); });

    // OK first in the focus order, so it has the focus when the box opens.
    setTabOrder(m_command1, m_cmd2);
    m_command1->setDefault(true);
    m_command1->setFocus();
}

} // namespace rusena
