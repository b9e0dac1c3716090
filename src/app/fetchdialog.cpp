#include "fetchdialog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace rusena {

namespace {

QDateEdit *dateEdit(const QDate &date, QWidget *parent)
{
    auto *edit = new QDateEdit(date, parent);
    edit->setDisplayFormat(u"yyyy/MM/dd"_s);
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

FetchDialog::FetchDialog(
    const QDate &from, const QDate &to, const QString &source, int intervalMs, QWidget *parent)
    : QDialog(parent)
    , m_intervalMs(intervalMs)
{
    setObjectName(u"fetchperiod"_s);
    setWindowTitle(u"期間を指定して取得"_s);
    m_from = dateEdit(from, this);
    m_to = dateEdit(to, this);
    m_kinds = new QComboBox(this);
    m_kinds->addItems({ u"競走成績と番組表"_s, u"競走成績だけ"_s, u"番組表だけ"_s });
    m_source = new QLineEdit(source, this);
    m_estimate = new QLabel(this);
    m_estimate->setObjectName(u"estimate"_s);
    m_estimate->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(u"取得"_s);
    auto *form = new QFormLayout(this);
    form->addRow(u"最初の日(&F):"_s, m_from);
    form->addRow(u"最後の日(&T):"_s, m_to);
    form->addRow(u"種類(&K):"_s, m_kinds);
    form->addRow(u"取得元(&S):"_s, m_source);
    form->addRow(m_estimate);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_from, &QDateEdit::dateChanged, this, &FetchDialog::updateEstimate);
    connect(m_to, &QDateEdit::dateChanged, this, &FetchDialog::updateEstimate);
    connect(m_kinds, &QComboBox::currentIndexChanged, this, &FetchDialog::updateEstimate);
    connect(m_source, &QLineEdit::textChanged, this, [this, buttons] {
        buttons->button(QDialogButtonBox::Ok)
            ->setEnabled(fetch::isUsableSource(QUrl(this->source())));
    });
    updateEstimate();
}

QDate FetchDialog::from() const
{
    return m_from->date();
}

QDate FetchDialog::to() const
{
    return m_to->date();
}

bool FetchDialog::results() const
{
    return m_kinds->currentIndex() != 2;
}

bool FetchDialog::programmes() const
{
    return m_kinds->currentIndex() != 1;
}

QString FetchDialog::source() const
{
    return m_source->text().trimmed();
}

QString FetchDialog::estimate() const
{
    return m_estimate->text();
}

void FetchDialog::updateEstimate()
{
    const qint64 days = std::max<qint64>(0, from().daysTo(to()) + 1);
    const qint64 requests = days * ((results() ? 1 : 0) + (programmes() ? 1 : 0));
    m_estimate->setText(u"%1 日、要求 %2 件: 間隔 %3 秒で%4かかります（保存済みの日は"
                        "要求しません）。"_s.arg(days)
                            .arg(requests)
                            .arg(m_intervalMs / 1000.0)
                            .arg(fetch::durationText(requests, m_intervalMs)));
}

} // namespace rusena
