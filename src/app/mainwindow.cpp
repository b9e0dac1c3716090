#include "mainwindow.h"

#include "artwork.h"
#include "boatmarker.h"
#include "faces.h"
#include "store/resultlayout.h"
#include "twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QStyledItemDelegate>

namespace rusena {

namespace {

constexpr int ClientWidth = 8985;
constexpr int ClientHeight = 5865;
constexpr int RowTop = 1200;
constexpr int RowStep = 240;
constexpr int RowHeight = 255;

// "  " and eight full-width characters must fit the 105-pixel name labels, so the names
// are drawn a little smaller than the rest of the panel.
constexpr int NamePixelSize = 11;

// The ground of the column headings and the selection controls: lighter than the neutral
// grey of the panel and its placing boxes.
const QColor HeadingGrey(0xE0, 0xE0, 0xE0);

QString arrayName(const char16_t *name, int index)
{
    return QString::fromUtf16(name) + u'(' + QString::number(index) + u')';
}

void setBackground(QWidget *widget, const QColor &background)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    widget->setPalette(palette);
}

void setForeground(QWidget *widget, const QColor &foreground)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, foreground);
    widget->setPalette(palette);
}

enum class Look {
    White, ///< bordered, white ground, black text
    Heading, ///< bordered, light grey ground, window text, centred
    WindowColours, ///< bordered, the system's window colours
    Borderless, ///< no border, grey ground
};

QLabel *makeLabel(QWidget *parent, const QString &name, const QRect &geometry, Look look,
    Qt::Alignment horizontal = Qt::AlignLeft, const QString &text = {})
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(designFont(faces::PGothic, 9.75));
    label->setTextFormat(Qt::PlainText);
    label->setIndent(1);
    if (look != Look::Borderless) {
        label->setFrameShape(QFrame::Box);
        label->setFrameShadow(QFrame::Plain);
        label->setLineWidth(1);
    }
    switch (look) {
    case Look::White:
        setBackground(label, Qt::white);
        setForeground(label, Qt::black);
        break;
    case Look::Heading:
        setBackground(label, HeadingGrey);
        horizontal = Qt::AlignHCenter;
        break;
    case Look::WindowColours: {
        const QPalette system = label->palette();
        setBackground(label, system.color(QPalette::Base));
        setForeground(label, system.color(QPalette::Text));
        break;
    }
    case Look::Borderless:
        setBackground(label, toColour(colours::NeutralGrey));
        break;
    }
    label->setAlignment(horizontal | Qt::AlignVCenter);
    return label;
}

QRect rowRect(int left, int row, int width)
{
    return twipsRect(left, RowTop + RowStep * (row - 1), width, RowHeight);
}

// The race list shows its twelve races in exactly its height, as designed: rows as tall
// as the font, text without the style's side margins.
class RaceListDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int RowPixels = 12;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return { QStyledItemDelegate::sizeHint(option, index).width(), RowPixels };
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette &palette = option.palette;
        if (selected)
            painter->fillRect(option.rect, palette.color(QPalette::Highlight));
        painter->save();
        painter->setFont(option.font);
        painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(option.rect.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
            index.data(Qt::DisplayRole).toString());
        painter->restore();
        if (option.state & QStyle::State_HasFocus) {
            painter->save();
            painter->setPen(QPen(palette.color(QPalette::Text), 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }
};

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("ルセナソフト"));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
        | Qt::MSWindowsFixedSizeDialogHint);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(px(ClientWidth), px(ClientHeight));
    setCentralWidget(m_client);

    buildMenus();
    buildSelection();
    buildHeader();
    buildRows();
    buildChart();
    buildPlacings();
    buildFavouriteRow();
    buildTextArea();

    for (int boat = 1; boat <= 6; ++boat)
        m_wak[boat]->raise();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setFont(designFont(faces::PGothic, 9));

    QMenu *file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    m_fileMenu = file;
    file->setObjectName(QStringLiteral("mfile"));
    m_mread = file->addAction(QStringLiteral("開く(&O)"));
    m_mread->setObjectName(QStringLiteral("mread"));
    m_mc = file->addAction(QStringLiteral("登録設定(&C)"));
    m_mc->setObjectName(QStringLiteral("mc"));
    file->addSeparator()->setObjectName(QStringLiteral("h"));
    m_mend = file->addAction(QStringLiteral("終了(&E)"));
    m_mend->setObjectName(QStringLiteral("mend"));

    // The day's favourite search comes first, then the windows over the day library.
    QMenu *search = bar->addMenu(QStringLiteral("検索(&S)"));
    search->setObjectName(QStringLiteral("msearch"));
    m_ms = search->addAction(QStringLiteral("お気に入り選手(&F)"));
    m_ms->setObjectName(QStringLiteral("ms"));
    search->addSeparator();
    m_mhistory = search->addAction(QStringLiteral("選手成績(&P)..."));
    m_mhistory->setObjectName(QStringLiteral("mhistory"));
    m_mpayouts = search->addAction(QStringLiteral("払戻金一覧(&R)..."));
    m_mpayouts->setObjectName(QStringLiteral("mpayouts"));
    m_mstats = search->addAction(QStringLiteral("統計(&T)..."));
    m_mstats->setObjectName(QStringLiteral("mstats"));
    // The programme windows: the shortcut opens 出走表 on the venue and race on show.
    search->addSeparator();
    m_mprogramme = search->addAction(QStringLiteral("出走表(&E)..."));
    m_mprogramme->setObjectName(QStringLiteral("mprogramme"));
    m_mprogramme->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_mfavouriteraces = search->addAction(QStringLiteral("お気に入り選手の出走(&G)..."));
    m_mfavouriteraces->setObjectName(QStringLiteral("mfavouriteraces"));

    QMenu *help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("mh"));
    m_mv = help->addAction(QStringLiteral("バージョン情報(&V)"));
    m_mv->setObjectName(QStringLiteral("mv"));
}

void MainWindow::buildSelection()
{
    m_frame1 = new QGroupBox(QStringLiteral("開催地・レース"), m_client);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(twipsRect(6960, 840, 1935, 2535));
    m_frame1->setFont(designFont(faces::PGothic, 9));
    setBackground(m_frame1, toColour(colours::NeutralGrey));

    const QFont listFont = designFont(faces::PGothic, 9, true);

    m_cmb = new QComboBox(m_frame1);
    m_cmb->setObjectName(QStringLiteral("cmb"));
    m_cmb->setGeometry(twipsRect(120, 240, 975, 300));
    m_cmb->setEditable(false);
    m_cmb->setFont(listFont);
    QPalette cmbPalette = m_cmb->palette();
    cmbPalette.setColor(QPalette::Button, HeadingGrey);
    cmbPalette.setColor(QPalette::Base, HeadingGrey);
    m_cmb->setPalette(cmbPalette);
    connect(m_cmb, &QComboBox::currentIndexChanged, this, &MainWindow::venueChosen);

    m_list1 = new QListWidget(m_frame1);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setGeometry(twipsRect(1200, 240, 570, 2220));
    m_list1->setFont(listFont);
    m_list1->setFrameShape(QFrame::Box);
    m_list1->setFrameShadow(QFrame::Plain);
    m_list1->setLineWidth(1);
    m_list1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list1->setUniformItemSizes(true);
    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list1->setItemDelegate(new RaceListDelegate(m_list1));
    QPalette listPalette = m_list1->palette();
    listPalette.setColor(QPalette::Base, HeadingGrey);
    m_list1->setPalette(listPalette);

    static const char16_t *const races[layout::RaceCount]
        = { u"  １Ｒ", u"  ２Ｒ", u"  ３Ｒ", u"  ４Ｒ", u"  ５Ｒ", u"  ６Ｒ", u"  ７Ｒ", u"  ８Ｒ",
              u"  ９Ｒ", u"１０Ｒ", u"１１Ｒ", u"１２Ｒ" };
    for (int race = 1; race <= layout::RaceCount; ++race) {
        auto *item = new QListWidgetItem(QString::fromUtf16(races[race - 1]), m_list1);
        item->setData(Qt::UserRole, race);
    }

    // A race is shown when the selection moves onto it (mouse or keys) and when the
    // user clicks the race already selected, e.g. after picking another venue.
    m_list1->viewport()->installEventFilter(this);
    connect(m_list1, &QListWidget::itemSelectionChanged, this, &MainWindow::emitSelectedRace);
    connect(m_list1, &QListWidget::clicked, this, [this] {
        if (std::exchange(m_pressOnSelectedRow, false))
            emitSelectedRace();
    });
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int label = 1; label <= 2; ++label) {
            if (watched == m_okiniiri[label + 1]) {
                Q_EMIT favouriteRaceChosen(label);
                return true;
            }
        }
    }
    if (watched == m_list1->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        const QListWidgetItem *item = m_list1->itemAt(press->position().toPoint());
        m_pressOnSelectedRow = item && item->isSelected();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::emitSelectedRace()
{
    const QList<QListWidgetItem *> selected = m_list1->selectedItems();
    if (selected.isEmpty())
        return;
    Q_EMIT raceChosen(selected.constFirst()->data(Qt::UserRole).toInt());
}

void MainWindow::buildHeader()
{
    m_tit[0] = makeLabel(m_client, arrayName(u"tit", 0), twipsRect(120, 240, 1815, 255),
        Look::White, Qt::AlignHCenter);
    m_tit[1] = makeLabel(m_client, arrayName(u"tit", 1), twipsRect(1920, 240, 735, 255),
        Look::White, Qt::AlignHCenter);
    m_tit[2]
        = makeLabel(m_client, arrayName(u"tit", 2), twipsRect(2640, 240, 6255, 255), Look::White);
    m_tit[3]
        = makeLabel(m_client, arrayName(u"tit", 3), twipsRect(120, 480, 8775, 255), Look::White);

    struct Heading {
        int index, left, top, width;
        const char16_t *text;
    };
    static const Heading headings[] = {
        { 0, 120, 840, 1575, u"選手名" },
        { 1, 1680, 840, 615, u"展示" },
        { 2, 2280, 840, 615, u"ｽﾀｰﾄ" },
        { 3, 3000, 840, 2895, u"スリット" },
        { 4, 6000, 840, 855, u"ﾚｰｽﾀｲﾑ" },
        { 5, 120, 2760, 1815, u"レース結果" },
        { 6, 2160, 2760, 3135, u"事故" },
        { 7, 5280, 2760, 1455, u"決まり手" },
        { 8, 2160, 3240, 1695, u"お気に入り選手" },
    };
    for (const Heading &h : headings) {
        m_rm[h.index] = makeLabel(m_client, arrayName(u"rm", h.index),
            twipsRect(h.left, h.top, h.width, RowHeight), Look::Heading, Qt::AlignHCenter,
            QString::fromUtf16(h.text));
    }
    m_rm[1]->setToolTip(QStringLiteral("展示タイム"));
}

void MainWindow::buildRows()
{
    QFont nameFont = designFont(faces::PGothic, 9.75);
    nameFont.setPixelSize(NamePixelSize);
    for (int row = 1; row <= 6; ++row) {
        QLabel *name
            = makeLabel(m_client, arrayName(u"dds", row - 1), rowRect(120, row, 1575), Look::White);
        name->setFont(nameFont);
        name->setIndent(0);
        m_dds[row - 1] = name;
        m_dds[row + 5] = makeLabel(m_client, arrayName(u"dds", row + 5), rowRect(1680, row, 615),
            Look::White, Qt::AlignRight);
        m_dds[row + 11] = makeLabel(m_client, arrayName(u"dds", row + 11), rowRect(2280, row, 615),
            Look::White, Qt::AlignRight);
        m_dds[row + 17] = makeLabel(m_client, arrayName(u"dds", row + 17), rowRect(6000, row, 855),
            Look::White, Qt::AlignRight);
    }
    m_dds[24]
        = makeLabel(m_client, arrayName(u"dds", 24), twipsRect(2160, 3000, 3135, 255), Look::White);
    m_dds[25] = makeLabel(m_client, arrayName(u"dds", 25), twipsRect(5280, 3000, 1455, 255),
        Look::White, Qt::AlignHCenter);
}

void MainWindow::buildChart()
{
    m_shape1 = new QFrame(m_client);
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    m_shape1->setGeometry(twipsRect(3000, 1200, 2895, 1455));
    m_shape1->setFrameShape(QFrame::Box);
    m_shape1->setFrameShadow(QFrame::Plain);
    m_shape1->setLineWidth(1);
    setBackground(m_shape1, toColour(colours::ChartCyan));
    setForeground(m_shape1, Qt::black);

    const auto makeLine = [this](const QString &name, int x) {
        auto *line = new QFrame(m_client);
        line->setObjectName(name);
        line->setGeometry(px(x), px(1200), 1, px(2640) - px(1200));
        setBackground(line, QColor(0xFF, 0x00, 0x00));
    };
    makeLine(QStringLiteral("Line1"), 3480);
    makeLine(QStringLiteral("Line2"), 5480);

    for (int boat = 1; boat <= 6; ++boat) {
        auto *marker = new BoatMarker(boat, m_client);
        marker->setObjectName(arrayName(u"wak", boat));
        const Marker resting = restingMarker(boat);
        marker->setGeometry(twipsRect(resting.left, resting.top, 375, 225));
        marker->hide();
        m_wak[boat] = marker;
    }
}

void MainWindow::buildPlacings()
{
    static const int boxLefts[] = { 240, 840, 1440 };
    for (int k = 1; k <= 3; ++k) {
        QLabel *box = makeLabel(m_client, arrayName(u"tyaku", k),
            twipsRect(boxLefts[k - 1], 3120, 375, 375), Look::Borderless, Qt::AlignHCenter);
        box->setFont(designFont(faces::PMincho, 18, true));
        box->setIndent(0);
        m_tyaku[k] = box;
    }
    static const int separatorLefts[] = { 600, 1200 };
    for (int k = 1; k <= 2; ++k) {
        QLabel *separator = makeLabel(m_client, arrayName(u"tyakub", k),
            twipsRect(separatorLefts[k - 1], 3120, 255, 375), Look::Borderless, Qt::AlignHCenter);
        separator->setFont(designFont(faces::PGothic, 18, true));
        separator->setIndent(0);
        setForeground(separator, Qt::black);
        m_tyakub[k] = separator;
    }
}

void MainWindow::buildFavouriteRow()
{
    static const int lefts[] = { 3840, 4680, 5520, 6120 };
    static const int widths[] = { 855, 855, 615, 615 };
    for (int i = 0; i < 4; ++i) {
        m_okiniiri[i] = makeLabel(m_client, arrayName(u"okiniiri", i),
            twipsRect(lefts[i], 3240, widths[i], 255), Look::WindowColours, Qt::AlignHCenter);
    }
    // A race label opens its race on a double-click.
    for (int i = 2; i <= 3; ++i)
        m_okiniiri[i]->installEventFilter(this);
    // Lies over the favourite row and hides it while a search runs.
    m_progressBar1 = new QProgressBar(m_client);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->setGeometry(twipsRect(3840, 3240, 2895, 255));
    m_progressBar1->setTextVisible(false);
}

void MainWindow::buildTextArea()
{
    m_txb = new QPlainTextEdit(m_client);
    m_txb->setObjectName(QStringLiteral("txb"));
    m_txb->setGeometry(twipsRect(120, 3600, 8775, 1815));
    m_txb->setReadOnly(true);
    // The organiser's lines fit the box; a damaged day may hold a line of a million
    // characters, which laid out wrapped would freeze the window for minutes.
    m_txb->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txb->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txb->setFont(designFont(faces::Terminal, 9.75));

    m_label1 = makeLabel(m_client, QStringLiteral("Label1"), twipsRect(720, 5520, 7695, 255),
        Look::Borderless, Qt::AlignHCenter,
        QStringLiteral("※  万全を期す為にお客様自身で主催者発行のものと照合して下さい。"));
    setForeground(m_label1, Qt::black);
}

void MainWindow::centreOnScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    adjustSize();
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing is never refused; the session decides what else closes with the window.
    event->accept();
    Q_EMIT closeRequested();
}

} // namespace rusena
