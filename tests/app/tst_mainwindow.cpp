// The main window's controls, menus and looks: every control's name, place and look.

#include "app/app.h"
#include "app/dialogs.h"
#include "app/faces.h"
#include "app/mainwindow.h"
#include "app/screenrenderer.h"
#include "app/twips.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace rusena;

class TestMainWindow final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void control_data();
    void control();
    void window();
    void menus();
    void raceList();
    void looks_data();
    void looks();
    void faces_data();
    void faces();
    void playerNamesFit_data();
    void playerNamesFit();
    void screenshot();
    void markerSharp_data();
    void markerSharp();
    void longRaceTextLine_data();
    void longRaceTextLine();

private:
    QWidget *control(const QString &name) const;

    QTemporaryDir m_home;
    std::unique_ptr<App> m_app;
};

void TestMainWindow::initTestCase()
{
    QVERIFY(m_home.isValid());
    installFaceSubstitutions();
    QApplication::setFont(designFont(faces::PGothic, 9));
    Dialogs::setAnswering(true);
    m_app = std::make_unique<App>(DataFolder::below(m_home.path()));
    m_app->start();
    QVERIFY(QTest::qWaitForWindowExposed(m_app->mainWindow()));
}

void TestMainWindow::cleanupTestCase()
{
    m_app.reset();
    Dialogs::setAnswering(false);
}

QWidget *TestMainWindow::control(const QString &name) const
{
    return m_app->mainWindow()->findChild<QWidget *>(name);
}

void TestMainWindow::control_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("twips"); // left, top, width, height

    const auto row = [](const char *name, const char *parent, int l, int t, int w, int h) {
        QTest::newRow(name) << QString::fromLatin1(parent) << QRect(l, t, w, h);
    };
    row("Frame1", "client", 6960, 840, 1935, 2535);
    row("cmb", "Frame1", 120, 240, 975, 300);
    row("List1", "Frame1", 1200, 240, 570, 2220);
    row("tit(0)", "client", 120, 240, 1815, 255);
    row("tit(1)", "client", 1920, 240, 735, 255);
    row("tit(2)", "client", 2640, 240, 6255, 255);
    row("tit(3)", "client", 120, 480, 8775, 255);
    row("rm(0)", "client", 120, 840, 1575, 255);
    row("rm(1)", "client", 1680, 840, 615, 255);
    row("rm(2)", "client", 2280, 840, 615, 255);
    row("rm(3)", "client", 3000, 840, 2895, 255);
    row("rm(4)", "client", 6000, 840, 855, 255);
    static const char *const names[6][4] = { { "dds(0)", "dds(6)", "dds(12)", "dds(18)" },
        { "dds(1)", "dds(7)", "dds(13)", "dds(19)" }, { "dds(2)", "dds(8)", "dds(14)", "dds(20)" },
        { "dds(3)", "dds(9)", "dds(15)", "dds(21)" }, { "dds(4)", "dds(10)", "dds(16)", "dds(22)" },
        { "dds(5)", "dds(11)", "dds(17)", "dds(23)" } };
    for (int r = 0; r < 6; ++r) {
        const int top = 1200 + 240 * r;
        row(names[r][0], "client", 120, top, 1575, 255);
        row(names[r][1], "client", 1680, top, 615, 255);
        row(names[r][2], "client", 2280, top, 615, 255);
        row(names[r][3], "client", 6000, top, 855, 255);
    }
    row("Shape1", "client", 3000, 1200, 2895, 1455);
    row("Line1", "client", 3480, 1200, 15, 1440);
    row("Line2", "client", 5475, 1200, 15, 1440); // 5480 twips lies inside pixel 365
    row("wak(1)", "client", 120, 5520, 375, 225);
    row("wak(2)", "client", 600, 5520, 375, 225);
    row("wak(3)", "client", 1080, 5520, 375, 225);
    row("wak(4)", "client", 1560, 5520, 375, 225);
    row("wak(5)", "client", 2040, 5520, 375, 225);
    row("wak(6)", "client", 2520, 5520, 375, 225);
    row("rm(5)", "client", 120, 2760, 1815, 255);
    row("rm(6)", "client", 2160, 2760, 3135, 255);
    row("rm(7)", "client", 5280, 2760, 1455, 255);
    row("dds(24)", "client", 2160, 3000, 3135, 255);
    row("dds(25)", "client", 5280, 3000, 1455, 255);
    row("tyaku(1)", "client", 240, 3120, 375, 375);
    row("tyaku(2)", "client", 840, 3120, 375, 375);
    row("tyaku(3)", "client", 1440, 3120, 375, 375);
    row("tyakub(1)", "client", 600, 3120, 255, 375);
    row("tyakub(2)", "client", 1200, 3120, 255, 375);
    row("rm(8)", "client", 2160, 3240, 1695, 255);
    row("okiniiri(0)", "client", 3840, 3240, 855, 255);
    row("okiniiri(1)", "client", 4680, 3240, 855, 255);
    row("okiniiri(2)", "client", 5520, 3240, 615, 255);
    row("okiniiri(3)", "client", 6120, 3240, 615, 255);
    row("ProgressBar1", "client", 3840, 3240, 2895, 255);
    row("txb", "client", 120, 3600, 8775, 1815);
    row("Label1", "client", 720, 5520, 7695, 255);
}

void TestMainWindow::control()
{
    QFETCH(QString, parent);
    QFETCH(QRect, twips);
    const QString name = QString::fromLatin1(QTest::currentDataTag());

    QWidget *widget = control(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->geometry(), twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
}

void TestMainWindow::window()
{
    MainWindow *main = m_app->mainWindow();
    QCOMPARE(main->objectName(), QStringLiteral("main"));
    QCOMPARE(main->windowTitle(), QStringLiteral("ルセナソフト"));
    QCOMPARE(main->clientArea()->size(), QSize(599, 391));
    QVERIFY(main->clientArea()->y() >= main->menuBar()->height());
    QCOMPARE(main->minimumSize(), main->maximumSize());
    QVERIFY(!(main->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(main->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!main->windowIcon().pixmap(32, 32).isNull());

    const QRect screen = main->screen()->availableGeometry();
    // Centred up to the frame, whose size is only known once the window is shown.
    const QPoint off = main->frameGeometry().center() - screen.center();
    QVERIFY2(qAbs(off.x()) <= 3 && qAbs(off.y()) <= 3,
        qPrintable(u"%1,%2"_qs.arg(off.x()).arg(off.y())));
}

void TestMainWindow::menus()
{
    QMenuBar *bar = m_app->mainWindow()->menuBar();
    const QList<QAction *> top = bar->actions();
    QCOMPARE(top.size(), 3);

    auto *file = bar->findChild<QMenu *>(QStringLiteral("mfile"));
    QVERIFY(file);
    QCOMPARE(top.at(0), file->menuAction());
    QCOMPARE(file->title(), QStringLiteral("ファイル(&F)"));
    // 開く and the recent files first, then the library's commands, then the rest.
    const QList<std::pair<const char *, QString>> expected {
        { "mread", u"開く(&O)"_qs },
        { "mrecent", u"最近使ったファイル(&R)"_qs },
        { "mfolder", u"フォルダから取り込む(&I)..."_qs },
        { "mfetch", u"最新データを取得(&G)"_qs },
        { "mfetchperiod", u"期間を指定して取得(&T)..."_qs },
        { "mday", u"日付を選ぶ(&D)..."_qs },
        { "mprevday", u"前の日(&P)"_qs },
        { "mnextday", u"次の日(&N)"_qs },
        { "mcheck", u"ライブラリを検査(&K)"_qs },
        { "mrebuild", u"ライブラリを作り直す(&L)"_qs },
        { "hlibrary", QString() },
        { "mc", u"登録設定(&C)"_qs },
        { "h", QString() },
        { "mend", u"終了(&E)"_qs },
    };
    const QList<QAction *> items = file->actions();
    QCOMPARE(items.size(), expected.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QAction *item = items.at(i);
        const QString name = item->menu() ? item->menu()->objectName() : item->objectName();
        QCOMPARE(name, QString::fromLatin1(expected[i].first));
        QCOMPARE(item->isSeparator(), expected[i].second.isEmpty());
        if (!item->isSeparator())
            QCOMPARE(item->text(), expected[i].second);
    }
    QCOMPARE(items.at(6)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    QCOMPARE(items.at(7)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_PageDown));

    // The favourite search heads the search menu, then the library's windows.
    auto *search = bar->findChild<QMenu *>(QStringLiteral("msearch"));
    QVERIFY(search);
    QCOMPARE(top.at(1), search->menuAction());
    QCOMPARE(search->title(), QStringLiteral("検索(&S)"));
    QStringList names;
    for (const QAction *action : search->actions())
        names << action->objectName() + u' ' + action->text();
    QCOMPARE(names,
        (QStringList { QStringLiteral("ms お気に入り選手(&F)"), QStringLiteral(" "),
            QStringLiteral("mhistory 選手成績(&P)..."),
            QStringLiteral("mpayouts 払戻金一覧(&R)..."), QStringLiteral("mstats 統計(&T)..."),
            QStringLiteral(" "), QStringLiteral("mprogramme 出走表(&E)..."),
            QStringLiteral("mfavouriteraces お気に入り選手の出走(&G)...") }));
    QCOMPARE(search->actions().at(6)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));

    auto *help = bar->findChild<QMenu *>(QStringLiteral("mh"));
    QVERIFY(help);
    QCOMPARE(top.at(2), help->menuAction());
    QCOMPARE(help->title(), QStringLiteral("ヘルプ(&H)"));
    QCOMPARE(help->actions().size(), 1);
    QCOMPARE(help->actions().at(0)->objectName(), QStringLiteral("mv"));
    QCOMPARE(help->actions().at(0)->text(), QStringLiteral("バージョン情報(&V)"));
}

void TestMainWindow::raceList()
{
    QListWidget *list = m_app->mainWindow()->list1();
    const QStringList expected
        = { u"  １Ｒ"_qs, u"  ２Ｒ"_qs, u"  ３Ｒ"_qs, u"  ４Ｒ"_qs, u"  ５Ｒ"_qs, u"  ６Ｒ"_qs,
              u"  ７Ｒ"_qs, u"  ８Ｒ"_qs, u"  ９Ｒ"_qs, u"１０Ｒ"_qs, u"１１Ｒ"_qs, u"１２Ｒ"_qs };
    QCOMPARE(list->count(), 12);
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(list->item(i)->text(), expected.at(i));
        QCOMPARE(list->item(i)->data(Qt::UserRole).toInt(), i + 1);
    }
    // All twelve races are on show at once, as designed.
    QVERIFY(list->visualItemRect(list->item(11)).bottom() < list->viewport()->height());
    QVERIFY(!list->verticalScrollBar()->isVisible());
}

void TestMainWindow::looks_data()
{
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("bordered");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("text");

    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    const int centre = Qt::AlignHCenter | Qt::AlignVCenter;
    const int right = Qt::AlignRight | Qt::AlignVCenter;
    const QColor white(0xFF, 0xFF, 0xFF), heading(0xE0, 0xE0, 0xE0), grey(0xC0, 0xC0, 0xC0);
    QTest::newRow("tit(0)") << white << true << centre << QString();
    QTest::newRow("tit(2)") << white << true << left << QString();
    QTest::newRow("rm(1)") << heading << true << centre << u"展示"_qs;
    QTest::newRow("rm(2)") << heading << true << centre << u"ｽﾀｰﾄ"_qs;
    QTest::newRow("rm(4)") << heading << true << centre << u"ﾚｰｽﾀｲﾑ"_qs;
    QTest::newRow("rm(8)") << heading << true << centre << u"お気に入り選手"_qs;
    QTest::newRow("dds(0)") << white << true << left << QString();
    QTest::newRow("dds(6)") << white << true << right << QString();
    QTest::newRow("dds(12)") << white << true << right << QString();
    QTest::newRow("dds(18)") << white << true << right << QString();
    QTest::newRow("dds(24)") << white << true << left << QString();
    QTest::newRow("dds(25)") << white << true << centre << QString();
    QTest::newRow("tyaku(1)") << grey << false << centre << QString();
    QTest::newRow("tyakub(2)") << grey << false << centre << QString();
    QTest::newRow("Label1")
        << grey << false << centre
        << u"※  万全を期す為にお客様自身で主催者発行のものと照合して下さい。"_qs;
}

void TestMainWindow::looks()
{
    QFETCH(QColor, background);
    QFETCH(bool, bordered);
    QFETCH(int, alignment);
    QFETCH(QString, text);

    auto *label = qobject_cast<QLabel *>(control(QString::fromLatin1(QTest::currentDataTag())));
    QVERIFY(label);
    QVERIFY(label->autoFillBackground());
    QCOMPARE(label->palette().color(QPalette::Window), background);
    QCOMPARE(label->frameShape() == QFrame::Box, bordered);
    QCOMPARE(int(label->alignment()), alignment);
    QCOMPARE(label->text(), text);
}

void TestMainWindow::faces_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("bold");

    QTest::newRow("tit(2)") << u"IPAPGothic"_qs << false;
    QTest::newRow("dds(0)") << u"IPAPGothic"_qs << false;
    QTest::newRow("cmb") << u"IPAPGothic"_qs << true;
    QTest::newRow("List1") << u"IPAPGothic"_qs << true;
    QTest::newRow("tyaku(1)") << u"IPAPMincho"_qs << true;
    QTest::newRow("tyakub(1)") << u"IPAPGothic"_qs << true;
    QTest::newRow("txb") << u"IPAGothic"_qs << false;
}

void TestMainWindow::faces()
{
    QFETCH(QString, family);
    QFETCH(bool, bold);

    QWidget *widget = control(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(widget);
    QCOMPARE(widget->font().bold(), bold);
    const QFontInfo info(widget->font());
    if (!QFontDatabase::families().contains(family))
        QSKIP("the IPA fonts are not installed");
    QCOMPARE(info.family(), family);
}

void TestMainWindow::playerNamesFit_data()
{
    QTest::addColumn<QString>("name");
    // Names in the organiser's files are eight full-width characters, spaces included.
    QTest::newRow("spaced") << u"広　瀬　　聖　仁"_qs;
    QTest::newRow("three-character given name") << u"仁　科　　さやか"_qs;
    QTest::newRow("dense kanji") << u"髙橋長谷川﨑田郎"_qs;
    QTest::newRow("wide kana") << u"ムムムムムムムム"_qs;
}

void TestMainWindow::playerNamesFit()
{
    QFETCH(QString, name);
    for (int row = 0; row < 6; ++row) {
        QLabel *label = m_app->mainWindow()->dds(row);
        const QString shown = u"  "_qs + name;
        const int room
            = label->contentsRect().width() - qMax(label->indent(), 0) - 2 * label->margin();
        QVERIFY2(label->fontMetrics().horizontalAdvance(shown) <= room,
            qPrintable(u"%1 px for %2 px"_qs.arg(label->fontMetrics().horizontalAdvance(shown))
                           .arg(room)));
    }
}

void TestMainWindow::screenshot()
{
    const QPixmap shot = m_app->mainWindow()->grab();
    QCOMPARE(shot.deviceIndependentSize().toSize(), m_app->mainWindow()->size());
    const QString path = QDir::current().absoluteFilePath(u"mainwindow.png"_qs);
    QVERIFY(shot.save(path));
    // The chart's ground shows through between the two red lines.
    const QImage image = m_app->mainWindow()->clientArea()->grab().toImage();
    QCOMPARE(image.pixelColor(px(4000), px(1300)), QColor(0x00, 0xFF, 0xFF));
    QCOMPARE(image.pixelColor(px(3480), px(1300)), QColor(0xFF, 0x00, 0x00));
}

void TestMainWindow::markerSharp_data()
{
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<int>("edgeRow"); // device rows of the tag's top edge: edgeRow, ...
    QTest::addColumn<int>("edgeRows"); // ... as many as the scale

    // The top edge lies on design row 2; it must stay solid black, with clean cyan above
    // and the boat's colour below (a scaled picture would blur it into greys).
    QTest::newRow("100 %") << 1.0 << 2 << 1;
    QTest::newRow("200 %") << 2.0 << 4 << 2;
}

void TestMainWindow::markerSharp()
{
    QFETCH(qreal, scale);
    QFETCH(int, edgeRow);
    QFETCH(int, edgeRows);

    QWidget *marker = m_app->mainWindow()->wak(3);
    QImage image(marker->size() * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    marker->render(&image);
    const int x = qRound(8 * scale);
    QCOMPARE(image.pixelColor(x, edgeRow - 1), QColor(0x00, 0xFF, 0xFF));
    for (int row = edgeRow; row < edgeRow + edgeRows; ++row)
        QCOMPARE(image.pixelColor(x, row), QColor(Qt::black));
    QCOMPARE(image.pixelColor(x, edgeRow + edgeRows), QColor(0xFF, 0x00, 0x00));
}

void TestMainWindow::longRaceTextLine_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("organiser's longest line") << 79;
    QTest::newRow("as long as is shown") << int(RaceTextLineShown);
    QTest::newRow("one more") << int(RaceTextLineShown) + 1;
    QTest::newRow("a million characters") << 1000000;
}

// A damaged day may hold a race-text line of any length; laid out wrapped, a million
// characters kept the window busy for minutes.
void TestMainWindow::longRaceTextLine()
{
    QFETCH(int, length);
    MainWindow *main = m_app->mainWindow();
    ScreenModel screen = m_app->session().screen();
    const QString line(length, u'8');
    screen.txb = u"  1R\r\n"_qs + line + u"\r\n  end\r\n"_qs;

    QElapsedTimer shown;
    shown.start();
    renderScreen(screen, *main);
    main->txb()->viewport()->repaint();
    QVERIFY2(shown.elapsed() < 500, qPrintable(u"%1 ms"_qs.arg(shown.elapsed())));

    const QPlainTextEdit *txb = main->txb();
    QCOMPARE(txb->lineWrapMode(), QPlainTextEdit::NoWrap);
    const QStringList lines = txb->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(
        lines.at(1), length > RaceTextLineShown ? line.left(RaceTextLineShown) + u"…"_qs : line);
    QCOMPARE(lines.at(2), u"  end"_qs);
    renderScreen(m_app->session().screen(), *main);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
