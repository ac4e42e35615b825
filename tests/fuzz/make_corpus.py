#!/usr/bin/env python3
"""Seed corpora for the fuzzers: scheme files, valid and on every boundary, into the first folder;
recovery files, sound and damaged, into the second."""
import os
import struct
import sys


def record(name=b"scheme", kind=0, minutes=0, action=0, delay=0, suspended=0, once=0, fired=0):
    return name.ljust(48, b"\0")[:48] + struct.pack("<8I", kind, minutes, action, delay, suspended, once, fired, 0)


MARK, SESSION = 0x5EED5EED12345678, 0x3E7  # the fuzzer reads the files as of this logon


def recovery(*records, mark=MARK):
    """A recovery file: (window, process, thread, slot, class) a record, sealed with FNV-1a."""
    body = struct.pack("<QQ", mark, SESSION)
    body += b"".join(struct.pack("<QIIi", w, p, t, s) + c.ljust(32, b"\0") for w, p, t, s, c in records)
    seal = 2166136261
    for byte in body:
        seal = ((seal ^ byte) * 16777619) & 0xFFFFFFFF
    return b"TRHW" + struct.pack("<III", 3, len(records), seal) + body


def write(out, seeds):
    os.makedirs(out, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


def main():
    write(sys.argv[1], {
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
    })
    sound = recovery((0x10052, 40, 41, 0, b"Notepad"), (0xFFFF00000004003A, 40, 41, 4, b"A" * 31))
    write(sys.argv[2], {
        "one": recovery((0x10052, 40, 41, 2, b"Notepad")),
        "two": sound,
        "cut": sound[:-1],
        "slot_5": recovery((0x10052, 40, 41, 5, b"Notepad")),
        "in_view": recovery((0x10052, 40, 41, -1, b"Notepad")),
        "other_logon": recovery((0x10052, 40, 41, 1, b"Notepad"), mark=MARK + 1),
        "no_records": recovery(),
    })


if __name__ == "__main__":
    main()
