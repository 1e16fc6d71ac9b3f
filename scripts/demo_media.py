#!/usr/bin/env python3
"""Writes the demo home's generated media: short tunes (WAV, and MIDI), pictures (a portrait
BMP, and a landscape picture as raw RGB for the shell to encode) and two recordings.
Everything is computed here; nothing is copied from anywhere.
    demo_media.py HOME
"""
import math
import os
import struct
import sys

RATE = 44100
NOTES = {"C": 60, "D": 62, "E": 64, "F": 65, "G": 67, "A": 69, "B": 71, "c": 72, "-": None}


def freq(midi):
    return 440.0 * 2 ** ((midi - 69) / 12)


def melody_samples(tune, beat=0.3, channels=2, volume=0.3):
    """A plain melody of sine notes with a soft attack and decay, as 16-bit frames."""
    frames = bytearray()
    for name in tune:
        midi = NOTES[name]
        n = int(RATE * beat)
        for i in range(n):
            envelope = min(1.0, i / 400) * (1 - i / n) ** 0.5
            value = 0.0 if midi is None else math.sin(2 * math.pi * freq(midi) * i / RATE) * envelope * volume
            sample = struct.pack("<h", int(value * 32767))
            frames += sample * channels
    return bytes(frames)


def write_wav(path, frames, channels=2):
    header = b"RIFF" + struct.pack("<I", 36 + len(frames)) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, channels, RATE, RATE * channels * 2, channels * 2, 16)
    header += b"data" + struct.pack("<I", len(frames))
    with open(path, "wb") as f:
        f.write(header + frames)


def var_len(n):
    out = [n & 0x7F]
    while n > 0x7F:
        n >>= 7
        out.insert(0, (n & 0x7F) | 0x80)
    return bytes(out)


def write_midi(path, tune, ticks=96):
    events = [(0, b"\xff\x51\x03\x07\xa1\x20"), (0, b"\xc0\x00")]
    rest = 0
    for name in tune:
        midi = NOTES[name]
        if midi is None:
            rest += ticks
            continue
        events += [(rest, bytes([0x90, midi, 96])), (ticks, bytes([0x80, midi, 0]))]
        rest = 0
    events.append((0, b"\xff\x2f\x00"))
    track = b"".join(var_len(delta) + event for delta, event in events)
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, ticks) + b"MTrk" + struct.pack(">I", len(track)) + track)


def landscape_pixel(x, y, w, h):
    """A sunset over the sea: a warm sky, a sun, darker water with a glitter path."""
    horizon = h * 0.62
    sun_x, sun_y, sun_r = w * 0.5, horizon - h * 0.08, h * 0.12
    if y < horizon:
        t = y / horizon
        if (x - sun_x) ** 2 + (y - sun_y) ** 2 < sun_r ** 2:
            return (255, 236, 150)
        return (int(60 + 195 * t), int(40 + 90 * t), int(120 - 60 * t))
    t = (y - horizon) / (h - horizon)
    glitter = abs(x - sun_x) < sun_r * (1 - t * 0.5) and int(y) % 9 < 3
    if glitter:
        return (250, 200, 120)
    return (int(30 + 40 * (1 - t)), int(40 + 50 * (1 - t)), int(90 + 60 * (1 - t)))


def portrait_pixel(x, y, w, h):
    """A mountain under a blue sky, with green slopes below."""
    peak = h * 0.3 + abs(x - w * 0.55) * 0.9
    if y < peak:
        t = y / h
        return (int(90 + 100 * t), int(150 + 80 * t), 235)
    if y < peak + h * 0.05:
        return (240, 240, 245)
    t = (y - peak) / h
    return (int(40 + 60 * t), int(110 + 60 * t), int(50 + 20 * t))


def write_bmp(path, w, h, pixel):
    row_pad = (4 - w * 3 % 4) % 4
    body = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b = pixel(x, y, w, h)
            body += bytes((b, g, r))
        body += bytes(row_pad)
    header = b"BM" + struct.pack("<IHHI", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def write_rgb(path, w, h, pixel):
    with open(path, "wb") as f:
        for y in range(h):
            f.write(b"".join(bytes(pixel(x, y, w, h)) for x in range(w)))


def main():
    home = sys.argv[1]
    for folder in ("Music/輕音樂", "Photo", "Record"):
        os.makedirs(os.path.join(home, folder), exist_ok=True)
    twinkle = "CCGGAAG-FFEEDDC-"
    scale = "CDEFGABc-cBAGFEDC"
    arpeggio = "CEGcGEC-DFAcAFD-"
    write_midi(os.path.join(home, "Music", "小星星.mid"), twinkle)
    write_wav(os.path.join(home, "Music", "晚風.wav"), melody_samples(scale, beat=0.25))
    # The shell turns these into MP3.
    write_wav(os.path.join(home, "Music", "晨光.mp3.wav"), melody_samples(arpeggio, beat=0.2))
    write_wav(os.path.join(home, "Music", "輕音樂", "練習曲.mp3.wav"), melody_samples(scale[::-1], beat=0.2))
    write_bmp(os.path.join(home, "Photo", "山景.bmp"), 360, 640, portrait_pixel)
    write_rgb(os.path.join(home, "Photo", "海邊日落.jpg.rgb"), 640, 360, landscape_pixel)
    takes = [("202612052130", "小星星--示範歌手", twinkle), ("202612052145", "晚風--示範合唱團", scale)]
    for stamp, text, tune in takes:
        write_wav(os.path.join(home, "Record", stamp + text + ".wav"), melody_samples(tune, beat=0.25, volume=0.2))


if __name__ == "__main__":
    main()
