// Generated days, damaged in the ways real and copied files are, through the whole core:
// start-up, every race of every listed venue, and the favourite search. Besides "no crash"
// (the sanitizer build catches the rest) every screen the user could see must be one the
// program can draw: markers only at chart places, placing boxes only with boat digits in
// their colours, messages only from the known set.

#include "daygenerator.h"

#include "filebytes.h"
#include "race/raceselection.h"
#include "session/session.h"
#include "store/nametables.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace rusena;

namespace {

constexpr int SweepDays = 200;

QByteArray playerRecord(int number, int mode)
{
    QByteArray record;
    record.append(static_cast<char>(number & 0xFF)).append(static_cast<char>(number >> 8));
    record.append(static_cast<char>(mode)).append('\0');
    return record;
}

// Left edges the start-timing chart can give: late, the flying-start stop, and every
// hundredth from one second late to a flying 0.18.
bool isChartLeft(int left)
{
    if (left == 3040 || left == 5460)
        return true;
    return left >= 3120 && left <= 5480 && (5120 - left) % 20 == 0;
}

bool isChartTop(int top)
{
    return top >= 1220 && top <= 2420 && (top - 980) % 240 == 0;
}

struct BoxColours {
    QString caption;
    Rgb fg;
    Rgb bg;
};

const QList<BoxColours> &boatBoxes()
{
    static const QList<BoxColours> boxes
        = { { QStringLiteral("１"), colours::Black, colours::White },
              { QStringLiteral("２"), colours::White, colours::Black },
              { QStringLiteral("３"), colours::Black, colours::Red },
              { QStringLiteral("４"), colours::White, colours::Blue },
              { QStringLiteral("５"), colours::Black, colours::Yellow },
              { QStringLiteral("６"), colours::Black, colours::Green } };
    return boxes;
}

// Returns a description of the first broken rule, or an empty string.
QString checkScreen(const Session &session)
{
    const ScreenModel &screen = session.screen();
    for (int boat = 1; boat <= 6; ++boat) {
        const Marker &m = screen.wak[static_cast<size_t>(boat)];
        if (m.visible && (!isChartLeft(m.left) || !isChartTop(m.top)))
            return QStringLiteral("wak(%1) shown at %2,%3").arg(boat).arg(m.left).arg(m.top);
    }
    for (int k = 1; k <= 3; ++k) {
        const Box &box = screen.tyaku[static_cast<size_t>(k)];
        if (box.caption.isEmpty()) {
            if (box.bg != colours::NeutralGrey)
                return QStringLiteral("tyaku(%1) empty but not neutral").arg(k);
            continue;
        }
        const auto match = std::find_if(boatBoxes().cbegin(), boatBoxes().cend(),
            [&](const BoxColours &c) { return c.caption == box.caption; });
        if (match == boatBoxes().cend())
            return QStringLiteral("tyaku(%1) caption \"%2\"").arg(k).arg(box.caption);
        if (match->fg != box.fg || match->bg != box.bg)
            return QStringLiteral("tyaku(%1) \"%2\" in wrong colours").arg(k).arg(box.caption);
    }
    for (int k = 1; k <= 2; ++k) {
        const QString &sep = screen.tyakub[static_cast<size_t>(k)].caption;
        if (!sep.isEmpty() && sep != QStringLiteral("-"))
            return QStringLiteral("tyakub(%1) \"%2\"").arg(k).arg(sep);
    }
    const QString &technique = screen.dds[25];
    const auto &names = session.tables().techniqueNames;
    if (!technique.isEmpty() && std::find(names.cbegin(), names.cend(), technique) == names.cend())
        return QStringLiteral("dds(25) \"%1\"").arg(technique);
    if (screen.txb != session.race().raceText)
        return QStringLiteral("txb differs from RaceText");
    if (!screen.txb.isEmpty() && !screen.txb.endsWith(QStringLiteral("\r\n")))
        return QStringLiteral("txb does not end with CR LF");
    const ProgressBar &bar = screen.progressBar1;
    if (bar.visible || bar.value < 0 || bar.value > std::max(bar.maximum, 0))
        return QStringLiteral("progress bar visible or at %1 of %2")
            .arg(bar.value)
            .arg(bar.maximum);
    return {};
}

QString checkBlankPanel(const ScreenModel &screen)
{
    for (const QString &t : screen.tit)
        if (!t.isEmpty())
            return QStringLiteral("tit not blank after a failure");
    for (const QString &d : screen.dds)
        if (!d.isEmpty())
            return QStringLiteral("dds not blank after a failure");
    for (const QString &o : screen.okiniiri)
        if (!o.isEmpty())
            return QStringLiteral("okiniiri not blank after a failure");
    if (!screen.txb.isEmpty())
        return QStringLiteral("txb not blank after a failure");
    return {};
}

// The message a selection may give, by outcome.
QString checkSelection(const Session &session, const Outcome &outcome, int race)
{
    const QString venue = session.screen().cmbText();
    switch (outcome.code) {
    case Code::Ok:
        return outcome.message ? QStringLiteral("message on success") : QString();
    case Code::MissingData:
        if (outcome.message != missingDataMessage(venue))
            return QStringLiteral("missing-data message: ")
                + outcome.message.value_or(Message {}).text;
        return checkBlankPanel(session.screen());
    case Code::RaceRead:
        if (outcome.message != raceReadMessage(venue, race))
            return QStringLiteral("race-read message: ")
                + outcome.message.value_or(Message {}).text;
        return checkBlankPanel(session.screen());
    default:
        return QStringLiteral("unexpected outcome %1").arg(static_cast<int>(outcome.code));
    }
}

QString checkFavouriteRow(const Session &session)
{
    static const QRegularExpression label(QStringLiteral("^( \\d R| 1[0-2] R)?$"));
    const FavouriteResult &found = session.favourite();
    if (!label.match(found.race1).hasMatch() || !label.match(found.race2).hasMatch())
        return QStringLiteral("race labels \"%1\" \"%2\"").arg(found.race1, found.race2);
    const auto &venues = session.tables().venueNames;
    if (!found.venue.isEmpty()
        && std::find(venues.cbegin() + 1, venues.cend(), found.venue) == venues.cend())
        return QStringLiteral("favourite venue \"%1\"").arg(found.venue);
    return {};
}

} // namespace

class TestSweep final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void generatorIsDeterministic();
    void everyRaceOfGeneratedDays_data();
    void everyRaceOfGeneratedDays();
    void cleanupTestCase();

private:
    int m_tried = 0;
    int m_shown = 0;
};

void TestSweep::generatorIsDeterministic()
{
    QCOMPARE(daygenerator::randomDay(7), daygenerator::randomDay(7));
    QVERIFY(daygenerator::randomDay(7) != daygenerator::randomDay(8));
    const QByteArray full = daygenerator::fullDay(LineStore::MaxResultLines, 7);
    QCOMPARE(full.count("\r\n"), LineStore::MaxResultLines);
}

void TestSweep::everyRaceOfGeneratedDays_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= SweepDays; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

void TestSweep::everyRaceOfGeneratedDays()
{
    QFETCH(quint32, seed);
    const QByteArray day = daygenerator::randomDay(seed);
    const int favourite = (seed % 5 == 0) ? 0 : daygenerator::someRegistrationNumber(day);

    QTemporaryDir dir;
    const DataFolder folder = DataFolder::below(dir.path());
    QVERIFY(folder.ensureData());
    QVERIFY(writeBytes(folder.racekPath(), day));
    QVERIFY(writeBytes(folder.playerPath(), playerRecord(favourite, static_cast<int>(seed % 3))));

    Session session(folder);
    session.startUp();
    QVERIFY(session.store().count() <= LineStore::MaxResultLines);
    QCOMPARE(session.selectRace(1).code, Code::NoVenueChosen);

    const QStringList venues = session.screen().cmbItems;
    const auto &names = session.tables().venueNames;
    for (qsizetype index = 0; index < venues.size(); ++index) {
        QVERIFY2(std::find(names.cbegin() + 1, names.cend(), venues[index]) != names.cend(),
            qPrintable(venues[index]));
        if (venues.indexOf(venues[index]) != index)
            continue; // a duplicate shows the same section
        session.selectVenue(static_cast<int>(index));
        for (int race = 1; race <= 12; ++race) {
            const Outcome outcome = session.selectRace(race);
            ++m_tried;
            m_shown += outcome.ok();
            const QString broken = checkSelection(session, outcome, race) + checkScreen(session);
            QVERIFY2(broken.isEmpty(),
                qPrintable(QStringLiteral("%1 %2R: %3").arg(venues[index]).arg(race).arg(broken)));
        }
    }

    const Outcome searched = session.searchFavourite();
    QVERIFY2(searched.code == (favourite == 0 ? Code::NoFavourite : Code::Ok)
            || (favourite != 0 && searched.code == Code::NotFound),
        qPrintable(QString::number(static_cast<int>(searched.code))));
    QVERIFY2(checkFavouriteRow(session).isEmpty(), qPrintable(checkFavouriteRow(session)));
    QVERIFY2(checkScreen(session).isEmpty(), qPrintable(checkScreen(session)));
}

void TestSweep::cleanupTestCase()
{
    // Most generated races must be readable, or the panel checks above test nothing.
    if (m_tried > 0)
        QVERIFY2(m_shown * 2 > m_tried,
            qPrintable(QStringLiteral("%1 of %2 shown").arg(m_shown).arg(m_tried)));
}

QTEST_GUILESS_MAIN(TestSweep)
#include "tst_sweep.moc"
