#!/usr/bin/env python3
"""Seed corpus for the scheme file fuzzer: valid files and files on every boundary."""
import os
import struct
import sys


def record(name=b"scheme", kind=0, minutes=0, action=0, delay=0, suspended=0, once=0, fired=0):
    return name.ljust(48, b"\0")[:48] + struct.pack("<8I", kind, minutes, action, delay, suspended, once, fired, 0)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    seeds = {
        "empty": b"",
        "word_only": struct.pack("<I", 1),
        "one": record() + struct.pack("<I", 0),
        "two": record(b"a", 3, 1439, 4, 3599, 7, 1, 1) + record("关机".encode("gbk"), 1, 5, 3, 60) + struct.pack("<I", 1),
        "no_word": record(),
        "kind_4": record(kind=4) + struct.pack("<I", 0),
        "minutes_1440": record(minutes=1440) + struct.pack("<I", 0),
        "action_5": record(action=5) + struct.pack("<I", 0),
        "delay_3600": record(delay=3600) + struct.pack("<I", 0),
        "long_name": b"n" * 48 + record()[48:] + struct.pack("<I", 0),
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
