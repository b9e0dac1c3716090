#!/usr/bin/env python3
"""Writes the small synthetic result files of the golden tests (CP932, CR LF).

Each file is laid out like the organiser's files but holds only what one group of
behaviours needs; the comments say what each race is there to show. The expected JSON
beside each file comes from refdump.py (an independent model), not from resultdump.

    make_synthetic.py OUTDIR
"""

import os
import sys

HEADER = ("  着 艇 登番 　選　手　名　　ﾓｰﾀｰ ﾎﾞｰﾄ 展示 進入 ｽﾀｰﾄﾀｲﾐﾝｸ ﾚｰｽﾀｲﾑ ")
DASHES = "-" * 79


def row(place, boat, reg, name, course, start, time, exhibition="6.80", motor="40", hull="55"):
    """A placing row in the organiser's fixed columns (name: 8 characters)."""
    assert len(name) == 8, name
    # Accident marks stand left in their column ("K .", "L ."), times stand right.
    exh = (" " + exhibition.ljust(5)) if exhibition[0] in "KL" else exhibition.rjust(6)
    start = start.ljust(5) if start[0] in "KL" else start.rjust(5)
    return ("  " + place.ljust(2) + "  " + boat + " " + reg + " " + name + " " + motor.rjust(2)
            + hull.rjust(5) + exh + "   " + course + "   " + start + "     " + time)


def label(race, title="一　　般　　"):
    return "%4dR       %s                 H1800m  晴　  風  北　　 2m  波　  2cm" % (race, title)


def block(race, technique, rows, payouts, title="一　　般　　", trailing=2):
    lines = [label(race, title), HEADER + technique.ljust(5, "　"), DASHES] + rows + [""]
    return lines + payouts + [""] * trailing


def payouts(first, second, third=None):
    lines = ["        単勝     %s          150  " % first,
            "        複勝     %s          110  %s          180  " % (first, second),
            "        ２連単   %s-%s        540  人気     2 " % (first, second),
            "        ２連複   %s-%s        320  人気     1 " % tuple(sorted((first, second)))]
    if third:
        lines.append("        ３連単   %s-%s-%s     2210  人気     6 " % (first, second, third))
    return lines


def section(code, venue_title, meeting, date_line, races):
    lines = ["%sKBGN" % code, venue_title + "［成績］", "",
             "                            ＊＊＊　競走成績　＊＊＊", "", meeting, "", date_line, ""]
    for r in races:
        lines += r
    return lines + ["%sKEND" % code]


def basic_day():
    """Two venues: accidents, technique, missing races, the 29-line limit, the favourite
    (4321) in 戸田 2R and 住之江 1R."""
    toda = [
        # F, L, K and S rows in one race; L and K rows have a blank course and take 5 and 6.
        block(1, "まくり差し", [
            row("01", "3", "1111", "青　木　　一　郎", "3", "0.12", "1.50.9"),
            row("02", "1", "2222", "井　上　　二　郎", "1", "0.15", "1.52.0"),
            row("S1", "2", "3333", "上　田　　三　郎", "2", "0.20", " .  . "),
            row("F", "4", "4444", "江　藤　　四　郎", "4", "F0.05", " .  . "),
            row("L1", "5", "5555", "大　野　　五　郎", " ", "L .", " .  . "),
            row("K0", "6", "6666", "加　藤　　六　郎", " ", "K .", " .  . ", exhibition="K ."),
        ], payouts("3", "1")),
        # All three places known, white-text boxes; the favourite 4321 rides here.
        block(2, "差し", [
            row("01", "2", "4321", "佐　藤　　花　子", "2", "0.08", "1.49.5"),
            row("02", "4", "1212", "鈴　木　　次　郎", "4", "0.11", "1.50.2"),
            row("03", "6", "2323", "高　橋　　三　郎", "6", "0.19", "1.51.0"),
            row("04", "1", "3434", "田　中　　四　郎", "1", "0.02", "1.52.3"),
            row("05", "3", "4545", "伊　藤　　五　郎", "3", "1.02", "1.53.1"),
            row("06", "5", "5656", "渡　辺　　六　郎", "5", "0.30", "1.54.8"),
        ], payouts("2", "4", "6")),
        # A block of exactly ten lines: with payouts only the text box is empty.
        block(3, "恵まれ", [
            row("01", "1", "7001", "中　村　　一　郎", "1", "0.10", "1.50.0"),
            row("02", "2", "7002", "小　林　　二　郎", "2", "0.10", "1.51.0"),
            row("03", "3", "7003", "加　藤　　三　郎", "3", "0.10", "1.52.0"),
            row("04", "4", "7004", "吉　田　　四　郎", "4", "0.10", "1.53.0"),
            row("05", "5", "7005", "山　田　　五　郎", "5", "0.10", "1.54.0"),
            row("06", "6", "7006", "佐々木　　六　郎", "6", "0.10", "1.55.0"),
        ], [], trailing=0),
        # No terminator within 29 lines: the section end stands 30 lines after the label.
        block(4, "逃げ", [
            row("01", "1", "7101", "山　口　　一　郎", "1", "0.10", "1.50.0"),
            row("02", "2", "7102", "松　本　　二　郎", "2", "0.10", "1.51.0"),
            row("03", "3", "7103", "井　上　　三　郎", "3", "0.10", "1.52.0"),
            row("04", "4", "7104", "木　村　　四　郎", "4", "0.10", "1.53.0"),
            row("05", "5", "7105", "林　　　　五　郎", "5", "0.10", "1.54.0"),
            row("06", "6", "7106", "清　水　　六　郎", "6", "0.10", "1.55.0"),
        ], payouts("1", "2", "3") + ["        (続き)"] * 11, trailing=4),
        # 5R to 12R are not in the section: the race-read message.
    ]
    sumi = [
        # A block of exactly 29 lines (terminator 29 lines after the label); payouts only
        # shows its lines 11 to 29. The favourite 4321 rides here too.
        block(1, "逃げ", [
            row("01", "1", "4321", "佐　藤　　花　子", "1", "0.01", "1.48.8"),
            row("02", "3", "8102", "森　　　　二　郎", "3", "0.14", "1.50.1"),
            row("03", "2", "8103", "池　田　　三　郎", "2", "0.09", "1.51.4"),
            row("04", "5", "8104", "橋　本　　四　郎", "5", "0.17", "1.52.2"),
            row("05", "4", "8105", "石　川　　五　郎", "4", "0.13", "1.53.0"),
            row("06", "6", "8106", "前　田　　六　郎", "6", "0.22", "1.54.6"),
        ], payouts("1", "3", "2") + ["        払戻 %d" % i for i in range(1, 9)], trailing=6),
        # A void race: five flying starts and a "00" row, no technique anywhere.
        block(2, "", [
            row("F", "1", "8201", "藤　田　　一　郎", "1", "F0.03", " .  . "),
            row("F", "2", "8202", "岡　田　　二　郎", "2", "F0.19", " .  . "),
            row("F", "3", "8203", "後　藤　　三　郎", "3", "F0.18", " .  . "),
            row("F", "4", "8204", "長谷川　　四　郎", "4", "F0.01", " .  . "),
            row("F", "5", "8205", "村　上　　五　郎", "5", "F0.02", " .  . "),
            row("00", "6", "8206", "近　藤　　六　郎", "6", "0.05", " .  . "),
        ], ["  レース不成立"], trailing=0),
    ]
    return (["STARTK"]
            + section("02", "戸　田", "          新春テスト記念競走　　　",
                      "   第 2日          2026/ 1/ 5                             ボートレース戸　田", toda)
            + section("12", "住之江", "  住之江テスト杯  ",
                      "   第 6日          2026/ 1/ 5                             ボートレース住之江", sumi)
            + ["FINALK"])


def simple_race(race, technique, regs, title="一　　般　　"):
    names = ["東　　　　一　郎", "西　　　　二　郎", "南　　　　三　郎",
             "北　　　　四　郎", "中　　　　五　郎", "外　　　　六　郎"]
    rows = [row("%02d" % (i + 1), str(i + 1), regs[i], names[i], str(i + 1), "0.1%d" % i,
                "1.5%d.0" % i) for i in range(6)]
    return block(race, technique, rows, payouts("1", "2", "3"), title=title)


def venues_day():
    """The venue list: an out-of-range code, a venue listed twice, a blank-padded code whose
    section cannot be found, a section after FINALK. Favourite 5555."""
    first_edogawa = [simple_race(1, "まくり", ["5555", "1002", "1003", "1004", "1005", "1006"]),
                     simple_race(2, "抜き", ["2001", "2002", "2003", "2004", "2005", "5555"])]
    second_edogawa = [simple_race(1, "つけまい", ["3001", "3002", "3003", "3004", "3005", "3006"])]
    out_of_range = [simple_race(1, "逃げ", ["5555", "4002", "4003", "4004", "4005", "4006"])]
    date = "   第 3日          2025/11/30                             ボートレース江戸川"
    return (["STARTK"]
            # Listed by nobody; the favourite's first race lies here, so no venue is known.
            + section("25", "謎の場", "  範囲外  ", date, out_of_range)
            + section("03", "江戸川", "  江戸川一番目  ", date, first_edogawa)
            + section(" 5", "多摩川", "  空白付き  ", date, [])
            + section("03", "江戸川", "  江戸川二番目  ", date, second_edogawa)
            + ["FINALK"]
            + section("04", "平和島", "  最終行の後  ", date, []))


def dates_day():
    """Header and block-limit edge cases, one venue each."""
    kiryu = [simple_race(1, "逃げ", ["1101", "1102", "1103", "1104", "1105", "1106"])]
    tsu = [
        # Two rows share course 1: course 2 keeps empty fields, boat 1's marker is untouched.
        block(1, "まくり", [
            row("01", "1", "1201", "東　　　　一　郎", "1", "0.10", "1.50.0"),
            row("02", "2", "1202", "西　　　　二　郎", "1", "0.12", "1.51.0"),
            row("03", "3", "1203", "南　　　　三　郎", "3", " 1.02", "1.52.0"),
            row("04", "4", "1204", "北　　　　四　郎", "4", "0.14", "1.53.0"),
            row("05", "5", "1205", "中　　　　五　郎", "5", "0.15", "1.54.0"),
            row("06", "6", "1206", "外　　　　六　郎", "6", "0.16", "1.55.0"),
        ], payouts("2", "2", "3")),
    ]
    mikuni = [simple_race(1, "差し", ["1301", "1302", "1303", "1304", "1305", "1306"])]
    omura = [
        # No technique of its own: the next race's label line names one.
        simple_race(1, "", ["2401", "2402", "2403", "2404", "2405", "2406"]),
        # 3R is missing, so 2R runs on to the section end: missing data; 3R is unreadable.
        simple_race(2, "恵まれ", ["2411", "2412", "2413", "2414", "2415", "2416"],
                    title="逃げ切り戦　"),
        # A one-line block: its placing rows are empty, so it cannot be read.
        [label(11)],
        # Race 12 runs to the section end; a race-1 label inside it does not end it.
        simple_race(12, "まくり差し", ["2421", "2422", "2423", "2424", "2425", "2426"])[:-2]
        + [label(1), ""],
    ]
    return (["STARTK"]
            + section("01", "桐　生", "  桐生テスト  ",
                      "   第 1日          2026/ 1/ 5                             ボートレース桐　生", kiryu)
            # No "日" and no "/" in the date line; the title keeps its full-width blanks.
            + section("09", "　津　", "\u3000\u3000津テスト杯\u3000  ", "   ＊＊      2026.01.05", tsu)
            # "日" at position 2 and "/" at position 3: both cut before the line start.
            + section("10", "三　国", "三国テスト", "X日/2026/ 1/ 5", mikuni)
            + section("24", "大　村", "  大村テスト  ",
                      "   第10日          2025/12/31                             ボートレース大　村", omura)
            + ["FINALK"])


def write(path, lines):
    with open(path, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("cp932"))


def main(outdir):
    write(os.path.join(outdir, "synth_day.txt"), basic_day())
    write(os.path.join(outdir, "synth_venues.txt"), venues_day())
    write(os.path.join(outdir, "synth_dates.txt"), dates_day())


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__)))
