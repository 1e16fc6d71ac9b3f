#!/usr/bin/env python3
"""Fills a demo program folder's karaoke.mdb with invented songs and singers.

usage: demo_catalogue.py HOME
Writes the catalogue rows and prints one line per song: "<song_location>\t<title>",
so the caller can make a media clip for each.
"""
import os
import sqlite3
import sys

SINGERS = [
    # (name, sex) 0 female, 1 male, 2 group or other
    ("林曉雯", 0), ("陳美玲", 0), ("王若琳", 0), ("張心怡", 0), ("李雅婷", 0),
    ("黃志明", 1), ("吳建宏", 1), ("劉德昌", 1), ("蔡俊傑", 1), ("鄭家豪", 1),
    ("星光合唱團", 2), ("海風樂隊", 2), ("O'Neil Band", 2), ("小太陽童聲", 2), ("阿里山四重唱", 2),
]

# (kind, title, singer index); kinds: 0 台語 1 國語 2 客語 3 英語 4 日語 5 兒歌 6 其它 7 粵語
SONGS = [
    (0, "雨", 5), (0, "港邊", 6), (0, "舊情綿綿", 7), (0, "阮的心肝", 0), (0, "海風吹過", 1),
    (0, "夜雨思鄉曲", 7), (0, "愛拼才會成功", 8), (0, "港都夜雨寂寞暝", 9),
    (1, "風", 0), (1, "晴天", 5), (1, "小情歌", 1), (1, "月光下", 2), (1, "城裡的月光", 3),
    (1, "我們的約定", 4), (1, "青春紀念冊", 10), (1, "把悲傷留給自己", 6), (1, "明天會更好一點", 10),
    (1, "如果雲知道我的心", 2), (1, "一個人的旅行日記本", 3), (1, "那些年我們一起追的夢想", 4),
    (2, "山歌", 14), (2, "客家本色", 14), (2, "落水天", 11), (2, "桐花開時節", 11),
    (3, "Rain", 12), (3, "Yesterday Once", 12), (3, "Don't Stop", 12), (3, "Moon River", 1),
    (3, "Top of the World", 0),
    (4, "桜", 2), (4, "北國之春", 7), (4, "川の流れ", 3), (4, "昴", 9),
    (5, "兩隻老虎", 13), (5, "小星星", 13), (5, "捕魚歌", 13), (5, "造飛機", 13), (5, "火車快飛", 13),
    (5, "哥哥爸爸真偉大", 13),
    (6, "生日快樂", 10), (6, "恭喜恭喜", 10), (6, "結婚進行曲", 11), (6, "新年好", 14),
    (7, "友誼", 8), (7, "海闊天空", 11), (7, "千千闕歌", 1), (7, "月半小夜曲", 6), (7, "似水流年", 0),
    (7, "上海灘", 9), (7, "紅日", 5),
    (1, "心", 1), (1, "夢", 3), (1, "愛你", 6), (1, "聽海", 2), (1, "後來", 4), (1, "童話", 8),
    (1, "遇見", 0), (0, "一支小雨傘", 5), (0, "家後", 1), (1, "100%_純情", 9),
]


def main():
    home = sys.argv[1]
    # Written as any SQLite program writes songs; the jukebox puts them in stroke order when it
    # next starts.
    db = sqlite3.connect(os.path.join(home, "karaoke.mdb"))
    if db.execute("SELECT count(*) FROM song").fetchone()[0] > 0:
        return  # already filled
    codes = []
    for name, sex in SINGERS:
        cur = db.execute("INSERT INTO singer (singer_name, singer_sex) VALUES (?, ?)", (name, sex))
        codes.append(cur.lastrowid)
    serials = {}
    songs_dir = os.path.join(home, "songs")
    for kind, title, singer in SONGS:
        count = len(title)
        serials[(kind, count)] = serials.get((kind, count), 0) + 1
        num = f"{kind}{count:02d}{serials[(kind, count)]:03d}"
        location = os.path.join(songs_dir, num + ".mpg")
        db.execute(
            "INSERT INTO song (song_num, song_kind, song_name, song_text_count, song_singer_code,"
            " song_build_date, song_location) VALUES (?, ?, ?, ?, ?, ?, ?)",
            (num, kind, title, count, codes[singer], "2026/11/%02d" % (1 + len(serials) % 28), location))
        print(f"{location}\t{title}")
    db.commit()


if __name__ == "__main__":
    main()
