#include "playerdialog.h"

#include "artwork.h"
#include "faces.h"
#include "registrationedit.h"
#include "twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace rusena {

PlayerDialog::PlayerDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("player"));
    setWindowTitle(QStringLiteral("登録設定"));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
        | Qt::MSWindowsFixedSizeDialogHint);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(px(4455), px(2625));

    m_frame1 = new QGroupBox(QStringLiteral("設定"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(twipsRect(120, 120, 4215, 1935));

    m_lb = new QLabel(QStringLiteral("登録番号"), m_frame1);
    m_lb->setObjectName(QStringLiteral("lb"));
    m_lb->setGeometry(twipsRect(240, 360, 1575, 255));
    m_lb->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lb->setFont(designFont(faces::PGothic, 9.75));

    m_txb = new RegistrationEdit(m_frame1);
    m_txb->setObjectName(QStringLiteral("txb"));
    m_txb->setGeometry(twipsRect(3220, 320, 855, 270));
    connect(m_txb, &QLineEdit::textChanged, this, &PlayerDialog::registrationEdited);

    m_frame2 = new QGroupBox(QStringLiteral("テキストボックスに表示するデータ"), m_frame1);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_frame2->setGeometry(twipsRect(120, 840, 3975, 855));

    m_op1[0] = new QRadioButton(QStringLiteral("全て表示する"), m_frame2);
    m_op1[0]->setGeometry(twipsRect(240, 360, 1695, 255));
    m_op1[1] = new QRadioButton(QStringLiteral("配当のみ表示する"), m_frame2);
    m_op1[1]->setGeometry(twipsRect(1920, 360, 1815, 255));
    for (int i = 0; i < 2; ++i) {
        m_op1[i]->setObjectName(QStringLiteral("op1(%1)").arg(i));
        connect(m_op1[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                Q_EMIT optionChosen(i);
        });
    }
    m_op1[0]->setChecked(true);

    m_cmd1 = new QPushButton(QStringLiteral("OK"), this);
    m_cmd1->setObjectName(QStringLiteral("cmd1"));
    m_cmd1->setGeometry(twipsRect(1800, 2160, 1215, 375));
    m_cmd2 = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cmd2->setObjectName(QStringLiteral("cmd2"));
    m_cmd2->setGeometry(twipsRect(3120, 2160, 1215, 375));
    // Neither button is the default: Enter in the box must not save by surprise.
    m_cmd1->setAutoDefault(false);
    m_cmd2->setAutoDefault(false);
    connect(m_cmd1, &QPushButton::clicked, this, &PlayerDialog::saveRequested);
    connect(m_cmd2, &QPushButton::clicked, this, &QWidget::hide);

    setTabOrder(m_txb, m_op1[0]);
    setTabOrder(m_op1[0], m_op1[1]);
    setTabOrder(m_op1[1], m_cmd1);
    setTabOrder(m_cmd1, m_cmd2);
}

void PlayerDialog::closeEvent(QCloseEvent *event)
{
    // The close box acts as Cancel: the dialog and what was typed in it stay.
    hide();
    event->ignore();
}

} // namespace rusena
