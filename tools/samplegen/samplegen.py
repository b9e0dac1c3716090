#!/usr/bin/env python3
"""Writes a whole fictional racing day in the organiser's result-file layout.

The day is invented (players, meetings and results are made up, the same on every run)
but laid out like a real download: Shift-JIS (code page 932), CR LF line ends, one
section per venue with its payout summary, and twelve race blocks per venue with placing
rows and payout lines. It has flying starts (F), late starts (L), withdrawals (K),
disqualifications (S), every winning technique and one void race, so a new user can try
every part of the viewer on it.

    samplegen.py [OUTPUT]        (default: samples/K261207.TXT beside the repository root)
"""

import os
import random
import sys

YEAR, MONTH, DAY = 2026, 12, 7
SEED = 20261207

# (code, name as printed in headers, meeting title, day of the meeting)
VENUES = [
    ("24", "大　村", "師走ルセナ杯争奪戦", 4),
    ("18", "徳　山", "周南冬景色カップ", 2),
    ("12", "住之江", "なにわ年末特別競走", 5),
    ("07", "蒲　郡", "三河湾オーシャン杯", 3),
    ("02", "戸　田", "荒川ビギナーズ記念", 1),
]

FAMILY = ["青　海", "赤　城", "朝　霧", "天　野", "荒　瀬", "石　堂", "泉　川", "磯　辺", "岩　代",
          "潮　見", "浦　部", "大　河", "沖　津", "音　羽", "霞　野", "風　間", "川　瀬", "岸　本",
          "久　我", "雲　井", "黒　潮", "小　舟", "駒　形", "桜　庭", "汐　田", "白　波", "菅　浦",
          "瀬　戸", "高　潮", "滝　沢", "千　早", "月　岡", "鶴　巻", "遠　浅", "凪　野", "波　野",
          "浜　風", "葉　山", "日　向", "深　津", "舟　橋", "帆　高", "湊　川", "岬　田", "水　無",
          "八　潮", "夕　凪", "渡　海", "五十嵐", "長谷部", "小野寺", "真　砂", "鳴　海", "七　瀬"]
GIVEN = ["一　馬", "海　斗", "航　平", "颯　太", "大　河", "拓　海", "湊　人", "蓮　司", "陽　介",
         "健　吾", "修　平", "隼　人", "翔　也", "雄　大", "誠　司", "直　樹", "光　希", "悠　真",
         "　　渚", "　　凪", "　　潮", "　　岬", "美　波", "七　海", "千　尋", "汐　里", "さやか",
         "ひかる", "あおい", "つばさ", "真　琴", "由　衣"]

RACE_TITLES = ["一　　般　　", "一　　般　　", "予　　選　　", "予　　選　　", "予　　選　　",
               "予　　選　　", "予　　選　　", "予選特選　　", "特　　選　　", "特　　選　　",
               "選　　抜　　", "準優勝戦　　"]
WEATHER = ["晴　", "曇り", "雨　"]
WINDS = ["北　　", "北西　", "西　　", "南西　", "南　　", "東　　"]

# Techniques by code: a course-1 winner escapes, an outer winner turns or cuts inside.
NIGE, SASHI, MAKURI, MEGUMARE, NUKI, MAKURIZASHI, TSUKEMAI = (
    "逃げ", "差し", "まくり", "恵まれ", "抜き", "まくり差し", "つけまい")

# Races given a fixed story, so that the day shows every case: (venue, race) -> story.
STORIES = {
    ("24", 3): {"accidents": {"F": 1}, "technique": MAKURI},
    ("24", 7): {"technique": TSUKEMAI},
    ("18", 5): {"accidents": {"L": 1}, "technique": NUKI},
    ("18", 9): {"technique": MAKURIZASHI},
    ("12", 4): {"accidents": {"K": 1, "S": 1}, "technique": SASHI},
    ("12", 8): {"void": True},
    ("07", 2): {"accidents": {"S": 1}, "technique": MEGUMARE},
    ("07", 11): {"accidents": {"F": 1, "K": 1}, "technique": NIGE},
    ("02", 6): {"accidents": {"F": 1, "L": 1, "S": 1}, "technique": MAKURI},
}

# A player who rides twice at two venues: the one to register as the favourite.
FAVOURITE = ("4649", "波　野　　航　平")
FAVOURITE_RIDES = {("18", 2): 3, ("02", 10): 1}  # (venue, race) -> boat


def full_name(rng, used):
    while True:
        name = rng.choice(FAMILY) + "　　" + rng.choice(GIVEN)
        if name not in used and name != FAVOURITE[1]:
            used.add(name)
            return name


class Venue:
    def __init__(self, rng, code):
        self.rng = rng
        self.code = code
        used = set()
        numbers = rng.sample(range(3100, 5200), 40)
        self.players = [("%04d" % n, full_name(rng, used), "%2d" % rng.randint(1, 80))
                        for n in numbers if n != int(FAVOURITE[0])][:36]

    def entrants(self, race):
        """Six (registration, name, motor) for boats 1..6; everyone rides twice a day."""
        start = ((race - 1) * 6) % 36
        six = [self.players[(start + i) % 36] for i in range(6)]
        boat = FAVOURITE_RIDES.get((self.code, race))
        if boat:
            six[boat - 1] = (FAVOURITE[0], FAVOURITE[1], "27")
        return six


def entry_courses(rng):
    """Entry course of boats 1..6: mostly by boat number, sometimes an outer boat cuts in."""
    courses = list(range(1, 7))
    if rng.random() < 0.3:
        a = rng.randint(2, 5)
        courses[a - 1], courses[a] = courses[a], courses[a - 1]
    return courses


def finishing_order(rng, courses, technique):
    """Boats in finishing order, the winner chosen to fit the technique."""
    by_course = {c: b for b, c in enumerate(courses, start=1)}
    if technique in (NIGE, MEGUMARE):
        winner_course = 1
    elif technique == SASHI:
        winner_course = rng.choice([2, 3])
    elif technique == MAKURI:
        winner_course = rng.choice([3, 4])
    elif technique == MAKURIZASHI:
        winner_course = rng.choice([4, 5])
    elif technique == TSUKEMAI:
        winner_course = rng.choice([5, 6])
    else:  # 抜き: overtaken after the first turn, any course
        winner_course = rng.choice([1, 2, 3])
    rest = [b for b in range(1, 7) if b != by_course[winner_course]]
    rng.shuffle(rest)
    rest.sort(key=lambda b: courses[b - 1] + rng.random() * 4)
    return [by_course[winner_course]] + rest


def pick_technique(rng):
    return rng.choices([NIGE, SASHI, MAKURI, MAKURIZASHI, NUKI, MEGUMARE, TSUKEMAI],
                       weights=[50, 15, 12, 12, 6, 3, 2])[0]


def row(place, boat, reg, name, motor, hull, exhibition, course, start, time):
    # A withdrawn boat's "K ." stands one column left of where an exhibition time starts.
    exhibition = " K .  " if exhibition.startswith("K") else "  " + exhibition
    return ("  %-2s  %d %s %s %s%5s%s   %s   %s     %s"
            % (place, boat, reg, name, motor, hull, exhibition, course, start, time))


def race_time(tenths):
    """A race time as the organiser writes it: minutes.seconds.tenths (1.50.3)."""
    return "%d.%02d.%d" % (tenths // 600, (tenths // 10) % 60, tenths % 10)


def payout_lines(rng, order):
    a, b, c = order[:3]
    pair = "%d-%d" % tuple(sorted((a, b)))
    trio = "%d-%d-%d" % tuple(sorted((a, b, c)))
    money = lambda low, high: rng.randint(low, high) // 10 * 10
    pop = lambda high: rng.randint(1, high)
    quinella = [tuple(sorted(p)) for p in ((a, b), (a, c), (b, c))]
    lines = ["        単勝     %d       %6d  " % (a, money(100, 2000)),
             "        複勝     %d       %6d  %d       %6d  " % (a, money(100, 600), b, money(100, 900)),
             "        ２連単   %d-%d     %6d  人気   %3d " % (a, b, money(150, 9000), pop(30)),
             "        ２連複   %-5s   %6d  人気   %3d " % (pair, money(120, 5000), pop(15)),
             "        拡連複   %d-%d     %6d  人気   %3d " % (quinella[0] + (money(100, 1500), pop(15))),
             "                 %d-%d     %6d  人気   %3d " % (quinella[1] + (money(100, 2500), pop(15))),
             "                 %d-%d     %6d  人気   %3d " % (quinella[2] + (money(100, 3000), pop(15))),
             "        ３連単   %d-%d-%d   %6d  人気   %3d " % (a, b, c, money(300, 90000), pop(120)),
             "        ３連複   %-7s %6d  人気   %3d " % (trio, money(150, 20000), pop(20))]
    return lines


def make_race(rng, venue, race):
    story = STORIES.get((venue.code, race), {})
    entrants = venue.entrants(race)
    weather = rng.choice(WEATHER)
    label = "%4dR       %s                 H1800m  %s  風  %s %dm  波　 %2dcm" % (
        race, RACE_TITLES[race - 1], weather, rng.choice(WINDS), rng.randint(0, 7), rng.randint(1, 8))
    header_head = "  着 艇 登番 　選　手　名　　ﾓｰﾀｰ ﾎﾞｰﾄ 展示 進入 ｽﾀｰﾄﾀｲﾐﾝｸ ﾚｰｽﾀｲﾑ "
    courses = entry_courses(rng)
    exhibitions = ["%4.2f" % (6.60 + rng.randint(0, 35) / 100) for _ in range(6)]
    starts = [rng.randint(1, 30) for _ in range(6)]
    hulls = [str(rng.randint(10, 99)) for _ in range(6)]

    if story.get("void"):
        # Five boats flew: the race is void, nothing is paid out.
        rows = []
        for boat in range(1, 7):
            reg, name, motor = entrants[boat - 1]
            if boat < 6:
                rows.append(row("F", boat, reg, name, motor, hulls[boat - 1], exhibitions[boat - 1],
                                str(courses[boat - 1]), "F0.%02d" % rng.randint(1, 5), " .  . "))
            else:
                rows.append(row("00", boat, reg, name, motor, hulls[boat - 1], exhibitions[boat - 1],
                                str(courses[boat - 1]), " 0.%02d" % starts[boat - 1], " .  . "))
        block = [label, header_head + "　" * 5, "-" * 79] + rows + ["", "  レース不成立"]
        return block, None

    technique = story.get("technique") or pick_technique(rng)
    order = finishing_order(rng, courses, technique)
    accidents = story.get("accidents", {})
    # Accident boats are taken from the back of the field and listed last.
    marked = []
    for mark in ("K", "L", "F", "S"):
        for _ in range(accidents.get(mark, 0)):
            marked.append((order.pop(), mark))
    if MEGUMARE == technique and not marked:
        marked.append((order.pop(), "S"))
    # A withdrawn or late boat takes no course; the others close up from course 1.
    absent = {boat for boat, mark in marked if mark in "KL"}
    present = sorted((b for b in range(1, 7) if b not in absent), key=lambda b: courses[b - 1])
    for course, boat in enumerate(present, start=1):
        courses[boat - 1] = course

    rows = []
    tenths = rng.randint(1060, 1120)  # three laps in about 1 min 50 s
    for place, boat in enumerate(order, start=1):
        tenths += rng.randint(4, 25) if place > 1 else 0
        reg, name, motor = entrants[boat - 1]
        rows.append(row("%02d" % place, boat, reg, name, motor, hulls[boat - 1], exhibitions[boat - 1],
                        str(courses[boat - 1]), " 0.%02d" % starts[boat - 1], race_time(tenths)))
    for boat, mark in marked:
        reg, name, motor = entrants[boat - 1]
        course, start, exhibition = str(courses[boat - 1]), " 0.%02d" % starts[boat - 1], exhibitions[boat - 1]
        # S and L carry a digit, K a zero, F stands alone.
        place = mark + rng.choice("012") if mark in "SL" else mark + ("0" if mark == "K" else "")
        if mark == "F":
            start = "F0.%02d" % rng.randint(1, 6)
        elif mark == "L":
            course, start = " ", "L .  "
        elif mark == "K":
            course, start, exhibition = " ", "K .  ", "K .  "
        rows.append(row(place, boat, reg, name, motor, hulls[boat - 1], exhibition, course, start,
                        " .  . "))
    payouts = payout_lines(rng, order)
    block = [label, header_head + technique.ljust(5, "　"), "-" * 79] + rows + [""] + payouts + ["", ""]
    return block, (order, payouts)


def summary_line(race, result):
    if result is None:
        return "          %3s  不成立           不成立           不成立         不成立     " % ("%dR" % race)
    order, payouts = result
    amount = lambda line: int(line.split()[-3])
    a, b, c = order[:3]
    return "          %3s  %d-%d-%d  %6d    %-5s  %6d    %d-%d  %6d    %-3s  %6d" % (
        "%dR" % race, a, b, c, amount(payouts[7]), "%d-%d-%d" % tuple(sorted((a, b, c))),
        amount(payouts[8]), a, b, amount(payouts[2]), "%d-%d" % tuple(sorted((a, b))), amount(payouts[3]))


def make_section(rng, code, printed, title, day):
    venue = Venue(rng, code)
    races = [make_race(rng, venue, r) for r in range(1, 13)]
    lines = ["%sKBGN" % code,
             "%s［成績］     %2d/%2d      %s  第%2d日" % (printed, MONTH, DAY, title[:10], day),
             "",
             "                            ＊＊＊　競走成績　＊＊＊",
             "",
             "          %s競走" % title + "　" * 8,
             "",
             "   第%2d日          %d/%2d/%2d                             ボートレース%s"
             % (day, YEAR, MONTH, DAY, printed),
             "",
             "               －内容については主催者発行のものと照合して下さい－",
             "",
             "   [払戻金]       ３連単           ３連複           ２連単         ２連複"]
    lines += [summary_line(r, result) for r, (_, result) in enumerate(races, start=1)]
    lines += ["", "", ""]
    for block, _ in races:
        lines += block
    return lines + ["%sKEND" % code]


def main(path):
    rng = random.Random(SEED)
    lines = ["STARTK"]
    for code, printed, title, day in VENUES:
        lines += make_section(rng, code, printed, title, day)
    lines.append("FINALK")
    with open(path, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("cp932"))


if __name__ == "__main__":
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "samples", "K261207.TXT"))
