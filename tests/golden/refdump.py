#!/usr/bin/env python3
"""Independent reference model of the viewer's core for golden files.

Reads a result file and prints the JSON document `resultdump` prints (same options; the
tests compare the documents parsed, so layout and key order are free). It shares no code with the
C++ core: it is written from scratch from the result file's layout and the main
window's behaviour, so that a golden file made with it checks the core rather than
recording it.

    refdump.py [--favourite N] [--mode M] FILE > FILE.json
"""

import json
import sys

MAX_LINES = 8500
VENUES = [None, "桐生", "戸田", "江戸川", "平和島", "多摩川", "浜名湖", "蒲郡", "常滑", "津",
          "三国", "琵琶湖", "住之江", "尼崎", "鳴門", "丸亀", "児島", "宮島", "徳山", "下関",
          "若松", "芦屋", "福岡", "唐津", "大村"]
LABELS = [None] + ["%4dR" % r for r in range(1, 13)]
TECHNIQUES = ["不成立", "逃げ", "差し", "まくり", "恵まれ", "抜き", "まくり差し", "つけまい"]
TECHNIQUE_SEARCH = [("まくり差し", 6), ("逃げ", 1), ("差し", 2), ("まくり", 3), ("恵まれ", 4),
                    ("抜き", 5), ("つけまい", 7)]
BOX_COLOURS = {1: ("１", "#000000", "#FFFFFF"), 2: ("２", "#FFFFFF", "#000000"),
               3: ("３", "#000000", "#FF0000"), 4: ("４", "#FFFFFF", "#0000FF"),
               5: ("５", "#000000", "#FFFF00"), 6: ("６", "#000000", "#00FF00")}
GREY = "#C0C0C0"
NAME_LENGTH = 8  # the organiser's name field is eight characters wide


def mid(line, pos, length):
    """Characters from 1-based `pos`, at most `length` of them ("" past the end)."""
    if pos < 1:
        raise ValueError("cut before the line start")
    return line[pos - 1:pos - 1 + length]


def char_at(line, pos):
    return mid(line, pos, 1)


def non_blank(line, pos):
    # Past the end of the line counts as non-blank; only U+0020 is a blank.
    return char_at(line, pos) != " "


def small_number(text):
    """A number written with optional blanks around its digits, else None."""
    t = text.strip(" ")
    if t and all("0" <= c <= "9" for c in t):
        return int(t)
    return None


def split_lines(data):
    """Lines end at CR or CR LF; a lone LF stays in its line."""
    lines, start, i = [], 0, 0
    while i < len(data):
        if data[i] == 0x0D:
            lines.append(data[start:i])
            i += 2 if i + 1 < len(data) and data[i + 1] == 0x0A else 1
            start = i
        else:
            i += 1
    if start < len(data):
        lines.append(data[start:])
    return [b.decode("cp932", errors="replace") for b in lines]


class Model:
    def __init__(self, data, favourite, mode):
        all_lines = split_lines(data)
        self.lines = all_lines[:MAX_LINES]
        self.count = len(self.lines)
        self.fav = 0
        self.mode = 0
        if favourite is not None:
            self.fav, self.mode = favourite, mode
        else:
            self.mode = 1  # no player.dat: defaults 0 and 1
        self.fav_result = ["", "", ""]
        self.cmb = self.venue_list()
        # Screen after start-up: panel reset, markers at their resting places, hidden.
        self.tit = [""] * 4
        self.dds = [""] * 26
        self.tyaku = [{"caption": "", "fg": "#000000", "bg": GREY} for _ in range(3)]
        self.tyakub = ["", ""]
        self.wak = [{"visible": False, "left": 120 + 480 * b, "top": 5520} for b in range(6)]
        self.okiniiri = [""] * 4
        self.txb = ""
        self.race_line_count = 0
        self.clear_state()

    def line(self, n):
        return self.lines[n - 1] if 1 <= n <= self.count else ""

    def venue_list(self):
        items = []
        for i in range(1, MAX_LINES + 1):
            line = self.line(i)
            if mid(line, 3, 4) == "KBGN":
                k = small_number(mid(line, 1, 2))
                if k is not None and 1 <= k <= 24:
                    items.append(VENUES[k])
            if mid(line, 1, 6) == "FINALK":
                break
        return items

    # -- favourite search -------------------------------------------------------------
    def search(self):
        if self.fav == 0:
            return msg("検索不可能", "お気に入り選手が登録されていません。", "warning")
        self.fav_result = ["", "", ""]
        key = "%04d" % self.fav
        code, found = "", False
        i = 1
        while i <= self.count:
            line = self.line(i)
            if mid(line, 3, 4) == "KBGN":
                code = mid(line, 1, 2)
            for r in range(1, 13):
                if mid(line, 1, 5) == LABELS[r]:
                    for row_index in range(i + 3, i + 9):
                        row = self.line(row_index)
                        start = next((p for p in range(1, 201)
                                      if all(non_blank(row, p + d) for d in range(4))), None)
                        if start is None or mid(row, start, 4) != key:
                            continue
                        if not found:
                            k = small_number(code)
                            self.fav_result[0] = VENUES[k] if k is not None and 1 <= k <= 24 else ""
                            self.fav_result[1] = " %d R" % r
                            found = True
                        else:
                            self.fav_result[2] = " %d R" % r
                    i += 9
                    break
            i += 1
        self.show_favourite()
        if not found:
            return msg("検索結果", "お気に入り選手は出走していませんでした。", "information")
        return None

    def show_favourite(self):
        if self.fav != 0:
            self.okiniiri = ["%04d" % self.fav] + list(self.fav_result)

    # -- resets -------------------------------------------------------------------------
    def clear_state(self):
        self.st = {"meeting_title": "", "race_heading": "", "meeting_date": "",
                   "meeting_day_number": "", "technique_code": "", "accident_text": "",
                   "top_boats": [""] * 3, "row_courses": [""] * 6, "placing_codes": [""] * 6,
                   "boat_numbers": [""] * 6, "player_names": [""] * 6,
                   "exhibition_times": [""] * 6, "start_timings": [""] * 6,
                   "race_times": [""] * 6}
        self.race_text = ""

    def reset_panel(self):
        self.tit = [""] * 4
        self.dds = [""] * 26
        for box in self.tyaku:
            box["caption"], box["bg"] = "", GREY
        self.tyakub = ["", ""]
        for marker in self.wak:
            marker["visible"] = False
        self.okiniiri[0] = ""
        self.txb = ""

    def fail(self, message):
        self.reset_panel()
        self.clear_state()
        self.okiniiri = [""] * 4
        return message

    # -- race selection -----------------------------------------------------------------
    def select(self, venue, race):
        self.clear_state()
        k = VENUES.index(venue)
        code = "%02d" % k
        missing = msg("読み込みエラー", venue + "競艇場のデータがありません。", "warning")
        unread = msg("読み込みエラー", "%s競艇場 ( %dレース ) 読み込みエラー。" % (venue, race), "warning")
        start = next((j for j in range(1, MAX_LINES + 1) if mid(self.line(j), 1, 6) == code + "KBGN"), None)
        if start is None:
            return self.fail(missing)
        st = self.st
        st["meeting_title"] = self.line(start + 5).strip(" ")
        date_line = self.line(start + 7)
        year = month = dom = ""
        pos = next((p for p in range(1, 201) if char_at(date_line, p) == "日"), None)
        if pos is not None and pos >= 3:
            st["meeting_day_number"] = mid(date_line, pos - 2, 2)
        pos = next((p for p in range(1, 201) if char_at(date_line, p) == "/"), None)
        if pos is not None and pos >= 5:
            year, month, dom = mid(date_line, pos - 4, 4), mid(date_line, pos + 1, 2), mid(date_line, pos + 4, 2)
            st["meeting_date"] = year + "年" + month + "月" + dom + "日"
        label_at = None
        for m in range(0, 361):
            line = self.line(start + m)
            if mid(line, 1, 5) == LABELS[race]:
                label_at = start + m
                break
            if mid(line, 1, 6) == code + "KEND":
                break
        if label_at is None:
            return self.fail(unread)
        self.race_line_count = 1
        block = None
        for n in range(1, 31):
            line = self.line(label_at + n - 1)
            if (race <= 11 and mid(line, 1, 5) == LABELS[race + 1]) or mid(line, 1, 6) == code + "KEND":
                block = [self.line(label_at + i) for i in range(n)]  # lines 1..n-1 and the terminator
                break
        if block is None:
            return self.fail(missing)
        count = len(block) - 1
        race_lines = block + [""] * (30 - len(block))
        shown = race_lines[:count]
        if self.mode == 2:
            shown = race_lines[10:count]
        self.race_line_count = len(shown)
        st["race_heading"] = race_lines[0]
        self.race_text = "".join(s + "\r\n" for s in shown)
        if not self.parse(race_lines):
            return self.fail(unread)
        self.fill()
        return None

    # -- parsing ------------------------------------------------------------------------
    @staticmethod
    def dots(row):
        return [p for p in range(200, 0, -1) if char_at(row, p) == "."]

    def parse(self, race_lines):
        rows = race_lines[3:9]
        anchors = []
        for row in rows:
            dots = self.dots(row)
            if len(dots) < 3 or dots[2] < 7:
                return False
            d2, d3 = dots[1], dots[2]
            d4 = dots[3] if len(dots) >= 4 else None
            if d2 < 3 or (d4 is not None and d4 < 3):
                return False
            if char_at(row, d3 - 6) not in ("1", "2", "3", "4", "5", "6", "0", " "):
                return False
            r = next((p for p in range(1, 201) if all(non_blank(row, p + d) for d in range(4))), None)
            if r is None or r < 3:
                return False
            m = next((p for p in range(1, 201) if non_blank(row, p)), None)
            anchors.append((row, m, r, d2, d3, d4))
        st = self.st
        courses = st["row_courses"]
        for i, (row, m, r, d2, d3, d4) in enumerate(anchors):
            courses[i] = char_at(row, d3 - 6)
        k = sum(1 for c in courses if c in ("0", " "))
        for i in range(6):
            if k and courses[i] in ("0", " "):
                courses[i] = str(7 - k)
                k -= 1
        for i, (row, m, r, d2, d3, d4) in enumerate(anchors):
            n = int(courses[i]) - 1
            st["placing_codes"][n] = char_at(row, m)
        for i, (row, m, r, d2, d3, d4) in enumerate(anchors):
            n = int(courses[i]) - 1
            st["boat_numbers"][n] = char_at(row, r - 2)
            st["player_names"][n] = mid(row, r + 5, NAME_LENGTH)
        for i, (row, m, r, d2, d3, d4) in enumerate(anchors):
            n = int(courses[i]) - 1
            st["race_times"][n] = mid(row, d2 - 2, 7)
            st["start_timings"][n] = mid(row, d3 - 2, 5)
            if d4 is not None:
                st["exhibition_times"][n] = mid(row, d4 - 2, 5)
        st["technique_code"] = "0"
        done = False
        for line in race_lines:
            for p in range(1, 201):
                for name, code in TECHNIQUE_SEARCH:
                    if mid(line, p, len(name)) == name:
                        st["technique_code"] = str(code)
                        done = True
                        break
                if done:
                    break
            if done:
                break
        for k in range(3):
            n = int(courses[k]) - 1
            if char_at(st["placing_codes"][n], 1) not in ("S", "F", "L", "K"):
                st["top_boats"][k] = st["boat_numbers"][n]
        return True

    # -- panel fill ---------------------------------------------------------------------
    def fill(self):
        st = self.st
        self.tit = [st["meeting_date"], "第" + st["meeting_day_number"] + "日",
                    "  " + st["meeting_title"], st["race_heading"]]
        for n in range(6):
            self.dds[n] = "  " + st["player_names"][n]
            self.dds[n + 6] = st["exhibition_times"][n]
            self.dds[n + 12] = st["start_timings"][n]
            self.dds[n + 18] = st["race_times"][n]
        for n in range(6):
            timing = st["start_timings"][n]
            slit = 0
            if char_at(timing, 2) == "1":
                slit = 100
            elif char_at(timing, 2) == "0":
                slit = small_number(mid(timing, 4, 2)) or 0
            mark = char_at(st["placing_codes"][n], 1)
            if mark == "F":
                slit = -slit
            elif mark == "L":
                slit = 105
            elif mark == "K":
                slit = 110
            boat = small_number(st["boat_numbers"][n]) if st["boat_numbers"][n] else None
            if boat is None or not 1 <= boat <= 6:
                continue  # a course without a boat leaves every marker alone
            marker = self.wak[boat - 1]
            if slit == 110:
                marker["visible"] = False
                continue
            marker["left"] = 3040 if slit == 105 else 5460 if slit <= -19 else 5120 - 20 * slit
            marker["top"] = 980 + 240 * (n + 1)
            marker["visible"] = True
        accidents = ""
        for i in range(6):
            n = int(st["row_courses"][i]) - 1
            mark = char_at(st["placing_codes"][n], 1)
            if mark in ("K", "F", "L", "S"):
                accidents += st["boat_numbers"][n] + "." + mark
        st["accident_text"] = accidents
        self.dds[24] = accidents
        self.dds[25] = TECHNIQUES[int(st["technique_code"])]
        for box in self.tyaku:
            box["caption"], box["bg"] = "", GREY
        top = st["top_boats"]
        won = st["technique_code"] != "0"
        if won and top[0] and top[1] and top[2]:
            self.tyakub, count = ["-", "-"], 3
        elif won and top[0] and top[1] and not top[2]:
            self.tyakub, count = ["-", ""], 2
        else:
            self.tyakub, count = ["", ""], 1
        if won:
            for k in range(count):
                boat = small_number(top[k]) if top[k] else None
                if boat in BOX_COLOURS:
                    caption, fg, bg = BOX_COLOURS[boat]
                    self.tyaku[k].update(fg=fg, bg=bg, caption=caption)
        self.show_favourite()
        self.txb = self.race_text

    def selection(self, venue, race, message):
        state = {key: self.st[key] for key in ("meeting_title", "race_heading", "meeting_date",
                                                "meeting_day_number")}
        state["race_line_count"] = self.race_line_count
        for key in ("technique_code", "accident_text", "top_boats", "row_courses",
                    "placing_codes", "boat_numbers", "player_names", "exhibition_times",
                    "start_timings", "race_times"):
            state[key] = list(self.st[key]) if isinstance(self.st[key], list) else self.st[key]
        panel = {"tit": list(self.tit), "dds": list(self.dds),
                 "tyaku": [dict(box) for box in self.tyaku], "tyakub": list(self.tyakub),
                 "wak": [dict(m) for m in self.wak], "okiniiri": list(self.okiniiri),
                 "txb": self.txb}
        return {"venue": venue, "race": race, "message": message, "state": state, "panel": panel}


def msg(caption, text, icon):
    return {"caption": caption, "text": text, "icon": icon, "buttons": "ok"}


def main(argv):
    favourite, mode, path = None, 1, None
    args = iter(argv[1:])
    for arg in args:
        if arg == "--favourite":
            favourite = int(next(args))
        elif arg == "--mode":
            mode = int(next(args))
        else:
            path = arg
    with open(path, "rb") as f:
        model = Model(f.read(), favourite, mode)
    doc = {"line_count": model.count, "venues": list(model.cmb),
           "settings": {"favourite": model.fav, "mode": model.mode}, "search": None}
    if favourite is not None:
        message = model.search()
        doc["search"] = {"message": message, "favourite_venue": model.fav_result[0],
                         "favourite_race1": model.fav_result[1],
                         "favourite_race2": model.fav_result[2], "okiniiri": list(model.okiniiri)}
    selections = []
    for venue in dict.fromkeys(model.cmb):
        for race in range(1, 13):
            message = model.select(venue, race)
            selections.append(model.selection(venue, race, message))
    doc["selections"] = selections
    sys.stdout.buffer.write((json.dumps(doc, ensure_ascii=False, indent=2) + "\n").encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv)
