#!/usr/bin/env python3
"""Writes daily logs in which every match is against a new opponent.

    bench/distinct_opponents.py OUT_DIR [OPPONENTS]

The worst case for memory: each opponent costs its record, its name and one
match, and nothing is shared. OPPONENTS defaults to a million, 400 a day.
"""
import datetime
import os
import sys


def sjis(text):
    return text.encode("cp932")


def main():
    out = sys.argv[1]
    total = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000
    os.makedirs(out, exist_ok=True)
    start_phrase = sjis("(しょだん 120勝80敗 レート1500 最大7連鎖 切断率2%)と対戦を開始しました")
    saved = sjis("リプレイをオートセーブしました")
    won = sjis("さんに勝ちました")
    day = datetime.date(2005, 5, 1)
    per_day = 400
    for first in range(0, total, per_day):
        lines = []
        for n in range(first, min(first + per_day, total)):
            second = (n - first) * 200
            name = sjis("対戦者") + b"%07d" % n
            stamp = [b"[%02d:%02d:%02d]" % (s // 3600 % 24, s // 60 % 60, s % 60)
                     for s in (second, second + 60, second + 120, second + 121)]
            lines += [stamp[0] + name + start_phrase, stamp[1] + saved,
                      stamp[2] + saved, stamp[3] + name + won]
        with open(os.path.join(out, day.strftime("%Y%m%d.log")), "wb") as f:
            f.write(b"\r\n".join(lines) + b"\r\n")
        day += datetime.timedelta(days=1)


if __name__ == "__main__":
    main()
