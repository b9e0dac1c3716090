#pragma once

#include "celltablemodel.h"
#include "databasefn.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QTableWidget;

namespace rusena {

/// お気に入り選手の出走: the races of a programme day that the registered favourite is
/// entered in. A double-click (or Enter) on one opens its 出走表.
class FavouriteRacesWindow final : public QWidget {
    Q_OBJECT
public:
    explicit FavouriteRacesWindow(DatabaseFn database, QWidget *parent = nullptr);

    /// Lists the races of `reg` ("" for no favourite) on `date` (the newest programme day
    /// where the library holds no programme of it).
    void showPlayer(const QString &reg, const QDate &date);

    QComboBox *dayBox() const { return m_day; }
    QLabel *summaryLabel() const { return m_summary; }
    QTableWidget *table() const { return m_table; }

Q_SIGNALS:
    void raceChosen(const rusena::RaceRef &race);

private:
    void refresh();
    void onActivated(int row);

    DatabaseFn m_database;
    QString m_reg;
    QList<RaceRef> m_races;
    QComboBox *m_day = nullptr;
    QLabel *m_summary = nullptr;
    QTableWidget *m_table = nullptr;
};

} // namespace rusena
