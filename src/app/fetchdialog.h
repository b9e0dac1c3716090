#pragma once

#include "fetch/fetchplan.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;

namespace rusena {

/// ファイル > 期間を指定して取得: the period, the kinds, the source address, and how long
/// the fetch will take at the interval.
class FetchDialog final : public QDialog {
    Q_OBJECT
public:
    FetchDialog(const QDate &from, const QDate &to, const QString &source, int intervalMs,
        QWidget *parent = nullptr);

    QDate from() const;
    QDate to() const;
    bool results() const;
    bool programmes() const;
    QString source() const;
    /// What the dialog says the fetch will take.
    QString estimate() const;

    QDateEdit *fromEdit() const { return m_from; }
    QDateEdit *toEdit() const { return m_to; }
    QComboBox *kindBox() const { return m_kinds; }

private:
    void updateEstimate();

    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QComboBox *m_kinds = nullptr;
    QLineEdit *m_source = nullptr;
    QLabel *m_estimate = nullptr;
    int m_intervalMs = 0;
};

} // namespace rusena
