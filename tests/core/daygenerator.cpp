#include "daygenerator.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <iconv.h>

#include <array>
#include <random>

namespace daygenerator {

// Full-width strings through glibc iconv, which knows the CP932 extensions too.
QByteArray toCp932(const QString &text)
{
    static iconv_t cd = iconv_open("CP932", "UTF-8");
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 4, '\0');
    char *src = in.data();
    size_t srcLeft = static_cast<size_t>(in.size());
    char *dst = out.data();
    size_t dstLeft = static_cast<size_t>(out.size());
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.truncate(out.size() - static_cast<qsizetype>(dstLeft));
    return out;
}

namespace {

// std::mt19937's output is fixed by the standard; the library distributions are not, so
// every draw goes through below().
class Dice final {
public:
    explicit Dice(std::uint32_t seed)
        : m_engine(seed)
    {
    }
    int below(int n)
    {
        return n <= 0 ? 0 : static_cast<int>(m_engine() % static_cast<std::uint32_t>(n));
    }
    bool chance(int percent) { return below(1000) < percent * 10; }
    bool perMille(int p) { return below(1000) < p; }
    template <typename T, std::size_t N> const T &pick(const std::array<T, N> &items)
    {
        return items[static_cast<std::size_t>(below(N))];
    }

private:
    std::mt19937 m_engine;
};

const std::array<QString, 12> Surnames
    = { QStringLiteral("田　中"), QStringLiteral("山　本"), QStringLiteral("佐々木"),
          QStringLiteral("髙　橋"), QStringLiteral("中　　"), QStringLiteral("長　尾"),
          QStringLiteral("小　林"), QStringLiteral("﨑　山"), QStringLiteral("吉　川"),
          QStringLiteral("森　　"), QStringLiteral("多羅尾"), QStringLiteral("渡　邊") };
const std::array<QString, 10> GivenNames = { QStringLiteral("太　郎"), QStringLiteral("　　健"),
    QStringLiteral("京志郎"), QStringLiteral("さやか"), QStringLiteral("聖　仁"),
    QStringLiteral("　　翔"), QStringLiteral("るり華"), QStringLiteral("雄一郎"),
    QStringLiteral("智　子"), QStringLiteral("①　Ⅱ") };
const std::array<QString, 8> Techniques
    = { QStringLiteral("逃げ　　　"), QStringLiteral("差し　　　"), QStringLiteral("まくり　　"),
          QStringLiteral("まくり差し"), QStringLiteral("抜き　　　"), QStringLiteral("恵まれ　　"),
          QStringLiteral("つけまい　"), QStringLiteral("　　　　　") };
const std::array<QString, 8> AccidentMarks
    = { QStringLiteral("F "), QStringLiteral("L "), QStringLiteral("K "), QStringLiteral("S "),
          QStringLiteral("K0"), QStringLiteral("L1"), QStringLiteral("S0"), QStringLiteral("00") };

QString pad(int value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char(' '));
}

QString raceLabel(int race)
{
    return pad(race, 4) + QLatin1Char('R');
}

QString hundredths(int value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

struct RowPlan final {
    QString mark; // two characters: "01".."06" or an accident mark
    int boat = 1;
    int course = 1;
    int registration = 4000;
};

// A placing row in the organiser's columns; accident rows lose the fields they lose in
// the real files.
QString placingRow(Dice &dice, const RowPlan &plan)
{
    const QChar kind = plan.mark.at(0);
    const QString name = dice.pick(Surnames) + QStringLiteral("　　") + dice.pick(GivenNames);
    QString row = QStringLiteral("  ") + plan.mark + QStringLiteral("  ")
        + QString::number(plan.boat) + QLatin1Char(' ')
        + QString::number(plan.registration).rightJustified(4, QLatin1Char('0')) + QLatin1Char(' ')
        + name + QLatin1Char(' ') + pad(1 + dice.below(99), 2) + QStringLiteral("  ")
        + pad(1 + dice.below(199), 3);
    const QString exhibition = QStringLiteral("  6.") + hundredths(50 + dice.below(50));
    const QString course = QStringLiteral("   ") + QString::number(plan.course);
    const QString noTime = QStringLiteral("      .  . ");
    if (kind == QLatin1Char('K'))
        return row + QStringLiteral(" K .      ") + QStringLiteral("   K .  ") + noTime;
    if (kind == QLatin1Char('L'))
        return row + exhibition + QStringLiteral("    ") + QStringLiteral("   L .  ") + noTime;
    const QString start
        = (kind == QLatin1Char('F') ? QStringLiteral("   F0.") : QStringLiteral("    0."))
        + hundredths(dice.below(kind == QLatin1Char('F') ? 25 : 60));
    if (kind == QLatin1Char('F') || kind == QLatin1Char('S') || plan.mark == QStringLiteral("00"))
        return row + exhibition + course + start + noTime;
    return row + exhibition + course + start + QStringLiteral("     1.")
        + hundredths(45 + dice.below(15)) + QLatin1Char('.') + QString::number(dice.below(10));
}

// Ways in which a damaged copy or an unexpected organiser format breaks a row.
QString damagedRow(Dice &dice, QString row)
{
    switch (dice.below(7)) {
    case 0:
        return row.left(dice.below(row.size())); // cut short
    case 1:
        return QString(); // lost row
    case 2:
        return row.remove(QLatin1Char('.')); // no dots at all
    case 3:
        return row.replace(0, 10, QStringLiteral("x")); // anchors near the start
    case 4:
        return QStringLiteral("  .........."); // dots only
    case 5:
        return row.replace(row.lastIndexOf(QLatin1Char('.')) - 12, 1, QLatin1Char('9'));
    default:
        return row + QString(220, QLatin1Char(' ')) + QStringLiteral("1.2.3.4"); // dots past 200
    }
}

QStringList payoutLines(Dice &dice, int extra)
{
    QStringList lines;
    const auto amount = [&] { return pad(100 + dice.below(30000), 6); };
    lines << QStringLiteral("        単勝     1       ") + amount() + QStringLiteral("  ");
    lines << QStringLiteral("        複勝     1       ") + amount() + QStringLiteral("  3       ")
            + amount();
    lines << QStringLiteral("        ２連単   1-3     ") + amount()
            + QStringLiteral("  人気     2 ");
    lines << QStringLiteral("        ２連複   1-3     ") + amount()
            + QStringLiteral("  人気     2 ");
    lines << QStringLiteral("        拡連複   1-3     ") + amount()
            + QStringLiteral("  人気     1 ");
    for (int n = 0; n < 2 + extra; ++n)
        lines << QStringLiteral("                 3-4     ") + amount()
                + QStringLiteral("  人気     8 ");
    lines << QStringLiteral("        ３連単   1-3-4   ") + amount()
            + QStringLiteral("  人気     6 ");
    lines << QStringLiteral("        ３連複   1-3-4   ") + amount()
            + QStringLiteral("  人気     5 ");
    return lines;
}

struct BlockOptions final {
    int accidentPerMille = 0;
    int damagePerMille = 0;
    int extraPayouts = 0;
    int favourite = 0; // placed in a random row when not 0
};

QStringList raceBlock(Dice &dice, int race, const BlockOptions &options)
{
    QStringList lines;
    lines << raceLabel(race)
            + QStringLiteral(
                "       予　　選　　                 H1800m  晴　  風  南　　 4m  波　  4cm");
    lines << QStringLiteral("  着 艇 登番 　選　手　名　　ﾓｰﾀｰ ﾎﾞｰﾄ 展示 進入 ｽﾀｰﾄﾀｲﾐﾝｸ ﾚｰｽﾀｲﾑ ")
            + dice.pick(Techniques);
    lines << QString(79, QLatin1Char('-'));

    std::array<int, 6> boats = { 1, 2, 3, 4, 5, 6 };
    for (int i = 5; i > 0; --i)
        std::swap(
            boats[static_cast<std::size_t>(i)], boats[static_cast<std::size_t>(dice.below(i + 1))]);
    const int favouriteRow = options.favourite ? dice.below(6) : -1;
    for (int row = 0; row < 6; ++row) {
        RowPlan plan;
        plan.boat = boats[static_cast<std::size_t>(row)];
        plan.course = dice.chance(80) ? plan.boat : 1 + dice.below(6);
        plan.mark = QStringLiteral("0") + QString::number(row + 1);
        if (dice.perMille(options.accidentPerMille))
            plan.mark = dice.pick(AccidentMarks);
        plan.registration = row == favouriteRow ? options.favourite : 3000 + dice.below(2200);
        QString text = placingRow(dice, plan);
        if (dice.perMille(options.damagePerMille))
            text = damagedRow(dice, text);
        lines << text;
    }
    lines << QString();
    if (dice.perMille(options.accidentPerMille))
        lines << QStringLiteral("  レース不成立");
    lines << payoutLines(dice, options.extraPayouts);
    lines << QString() << QString();
    return lines;
}

QString dateLine(Dice &dice)
{
    switch (dice.below(12)) {
    case 0:
        return QStringLiteral("   第 5日          2020 8 15"); // no "/"
    case 1:
        return QStringLiteral("日/ 2020"); // anchors at 1 and 2
    case 2:
        return QString();
    default:
        return QStringLiteral("   第") + pad(1 + dice.below(7), 2)
            + QStringLiteral("日          2020/") + pad(1 + dice.below(12), 2) + QLatin1Char('/')
            + pad(1 + dice.below(31), 2)
            + QStringLiteral("                             ボートレース");
    }
}

QString venueCode(Dice &dice, QList<QString> &used)
{
    static const std::array<QString, 6> Odd = { QStringLiteral("00"), QStringLiteral("25"),
        QStringLiteral("99"), QStringLiteral("A1"), QStringLiteral("  "), QStringLiteral("-1") };
    QString code;
    if (dice.chance(6))
        code = dice.pick(Odd);
    else if (!used.isEmpty() && dice.chance(8))
        code = used.at(dice.below(static_cast<int>(used.size())));
    else
        code = QString::number(1 + dice.below(24)).rightJustified(2, QLatin1Char('0'));
    used << code;
    return code;
}

QStringList sectionHeader(Dice &dice, const QString &code)
{
    QStringList lines;
    lines << code + QStringLiteral("KBGN");
    lines << QStringLiteral("唐　津［成績］      8/15      お盆特選～がばい王者  第 5日");
    lines << QString() << QStringLiteral("                            ＊＊＊　競走成績　＊＊＊")
          << QString();
    lines << QStringLiteral("          お盆特選～がばい王者決定戦～　　　　　")
            + QString(dice.below(3), QLatin1Char(' '));
    lines << QString() << dateLine(dice) << QString();
    lines << QStringLiteral("               －内容については主催者発行のものと照合して下さい－")
          << QString();
    lines << QStringLiteral(
        "   [払戻金]       ３連単           ３連複           ２連単         ２連複");
    for (int race = 1; race <= 12; ++race)
        lines << pad(race, 12)
                + QStringLiteral("R  1-3-4    1090    1-3-4     670    1-3     340    1-3     350");
    lines << QString() << QString() << QString();
    return lines;
}

QList<int> raceOrder(Dice &dice)
{
    QList<int> races;
    for (int race = 1; race <= 12; ++race) {
        if (!dice.chance(8))
            races << race;
    }
    if (dice.chance(10) && !races.isEmpty())
        races.insert(dice.below(static_cast<int>(races.size())), 1 + dice.below(12));
    if (dice.chance(5) && races.size() > 1)
        std::swap(races[0], races[races.size() - 1]);
    return races;
}

// Byte-level damage: stray control bytes, invalid and truncated double-byte sequences.
QByteArray damageBytes(Dice &dice, QByteArray bytes)
{
    static const std::array<QByteArray, 8> Stray
        = { QByteArray("\x81"), QByteArray("\xFF"), QByteArray("\x80\xA0"), QByteArray("\xFC\xFC"),
              QByteArray(1, '\0'), QByteArray("\x1A"), QByteArray("\n"), QByteArray("\x82\x0D") };
    const int at = dice.below(static_cast<int>(bytes.size()) + 1);
    bytes.insert(at, dice.pick(Stray));
    return bytes;
}

QByteArray join(Dice &dice, const QStringList &lines, int bytePerMille)
{
    QByteArray out;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QByteArray bytes = toCp932(lines[n]);
        if (dice.perMille(bytePerMille))
            bytes = damageBytes(dice, bytes);
        out += bytes;
        const bool last = n + 1 == lines.size();
        if (last && dice.chance(30))
            break; // no terminator after the last line
        out += dice.perMille(5) ? QByteArray("\r") : QByteArray("\r\n");
    }
    return out;
}

} // namespace

QByteArray randomDay(std::uint32_t seed)
{
    Dice dice(seed);
    BlockOptions options;
    options.accidentPerMille = 40 + dice.below(120);
    options.damagePerMille = dice.chance(50) ? 0 : 5 + dice.below(40);
    const int bytePerMille = dice.chance(50) ? 0 : 1 + dice.below(20);

    QStringList lines;
    lines << QStringLiteral("STARTK");
    QList<QString> used;
    const int venues = 1 + dice.below(dice.chance(20) ? 30 : 8);
    for (int v = 0; v < venues; ++v) {
        const QString code = venueCode(dice, used);
        lines << sectionHeader(dice, code);
        if (dice.chance(5)) { // a cancelled day: the header only
            lines << code + QStringLiteral("KEND");
            continue;
        }
        for (int race : raceOrder(dice)) {
            options.extraPayouts = dice.chance(10) ? 8 + dice.below(3) : dice.below(3);
            lines << raceBlock(dice, race, options);
        }
        if (!dice.chance(4))
            lines << code + QStringLiteral("KEND");
    }
    if (!dice.chance(5))
        lines << QStringLiteral("FINALK");
    if (dice.chance(15)) { // push the day against the store's limit
        const int target = 8490 + dice.below(25);
        while (lines.size() < target - 40)
            lines.insert(lines.size() - 1, QString());
        lines << sectionHeader(dice, QStringLiteral("01")) << raceBlock(dice, 1, options);
    }
    return join(dice, lines, bytePerMille);
}

QByteArray fullDay(int lineCount, int favourite, std::uint32_t seed)
{
    Dice dice(seed);
    BlockOptions options;
    options.accidentPerMille = 30;
    QStringList lines;
    lines << QStringLiteral("STARTK");
    for (int section = 0;; ++section) {
        const QString code = QString::number(1 + section % 24).rightJustified(2, QLatin1Char('0'));
        QStringList block = sectionHeader(dice, code);
        for (int race = 1; race <= 12; ++race) {
            options.favourite = (section % 10 == 0 && race == 3 + section % 9) ? favourite : 0;
            block << raceBlock(dice, race, options);
        }
        block << code + QStringLiteral("KEND");
        if (lines.size() + block.size() + 1 > lineCount)
            break;
        lines << block;
    }
    while (lines.size() < lineCount - 1)
        lines << QString();
    lines << QStringLiteral("FINALK");
    QByteArray out;
    for (const QString &line : lines)
        out += toCp932(line) + "\r\n";
    return out;
}

int someRegistrationNumber(const QByteArray &day)
{
    const qsizetype row = day.indexOf("\r\n  01  ");
    if (row < 0 || row + 16 > day.size())
        return 0;
    bool ok = false;
    const int number = day.mid(row + 10, 4).toInt(&ok);
    return ok ? number : 0;
}

} // namespace daygenerator
