#pragma once

// How the view works: every user event in a window (a menu command, a click in the race
// list, a dialog button) reaches App, which forwards it to one Session operation in the
// core. The core changes its state and its ScreenModel and returns the message to show;
// App shows it through Dialogs and calls renderScreen(), which copies the ScreenModel onto
// the widgets. The widgets hold no race logic; they only show what the model says.

#include <QMainWindow>

#include <array>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;

namespace rusena {

/// The main window `main`: every control of the result viewer at its design place.
/// Controls carry their design names as objectName ("dds(3)", "wak(6)").
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

    QWidget *clientArea() const { return m_client; }

    QLabel *tit(int i) const { return m_tit.at(i); }
    QLabel *dds(int i) const { return m_dds.at(i); }
    QLabel *rm(int i) const { return m_rm.at(i); }
    QLabel *tyaku(int k) const { return m_tyaku.at(k); } ///< 1..3
    QLabel *tyakub(int k) const { return m_tyakub.at(k); } ///< 1..2
    QLabel *wak(int boat) const { return m_wak.at(boat); } ///< 1..6
    QLabel *okiniiri(int i) const { return m_okiniiri.at(i); }
    QComboBox *cmb() const { return m_cmb; }
    QListWidget *list1() const { return m_list1; }
    QProgressBar *progressBar1() const { return m_progressBar1; }
    QPlainTextEdit *txb() const { return m_txb; }

    QMenu *fileMenu() const { return m_fileMenu; }
    QAction *mread() const { return m_mread; }
    QAction *mc() const { return m_mc; }
    QAction *mend() const { return m_mend; }
    QAction *ms() const { return m_ms; }
    QAction *mhistory() const { return m_mhistory; }
    QAction *mpayouts() const { return m_mpayouts; }
    QAction *mstats() const { return m_mstats; }
    QAction *mprogramme() const { return m_mprogramme; }
    QAction *mfavouriteraces() const { return m_mfavouriteraces; }
    QAction *mv() const { return m_mv; }

    /// Places the window at the centre of its screen.
    void centreOnScreen();

Q_SIGNALS:
    /// The user picked venue `index` of cmb.
    void venueChosen(int index);
    /// The user clicked race `race` (1..12) in List1 or moved the selection onto it.
    void raceChosen(int race);
    /// The user double-clicked the favourite row's first (1) or second (2) race label.
    void favouriteRaceChosen(int label);
    /// The close box, the system menu or the session ending asked the window to close.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildSelection();
    void buildHeader();
    void buildRows();
    void buildChart();
    void buildPlacings();
    void buildFavouriteRow();
    void buildTextArea();
    void emitSelectedRace();

    QWidget *m_client = nullptr;
    std::array<QLabel *, 4> m_tit {};
    std::array<QLabel *, 26> m_dds {};
    std::array<QLabel *, 9> m_rm {};
    std::array<QLabel *, 4> m_tyaku {};
    std::array<QLabel *, 3> m_tyakub {};
    std::array<QLabel *, 7> m_wak {};
    std::array<QLabel *, 4> m_okiniiri {};
    QGroupBox *m_frame1 = nullptr;
    QComboBox *m_cmb = nullptr;
    QListWidget *m_list1 = nullptr;
    QFrame *m_shape1 = nullptr;
    QProgressBar *m_progressBar1 = nullptr;
    QPlainTextEdit *m_txb = nullptr;
    QLabel *m_label1 = nullptr;

    QMenu *m_fileMenu = nullptr;
    QAction *m_mread = nullptr;
    QAction *m_mc = nullptr;
    QAction *m_mend = nullptr;
    QAction *m_ms = nullptr;
    QAction *m_mhistory = nullptr;
    QAction *m_mpayouts = nullptr;
    QAction *m_mstats = nullptr;
    QAction *m_mprogramme = nullptr;
    QAction *m_mfavouriteraces = nullptr;
    QAction *m_mv = nullptr;

    bool m_pressOnSelectedRow = false;
};

} // namespace rusena
