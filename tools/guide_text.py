#!/usr/bin/env python3
"""Writes the user's guide part of README.md as a text file for Windows users:
python3 guide_text.py README.md OUTPUT. UTF-8 with a byte order mark and CRLF line ends, so that
Notepad on Windows 2000 and XP shows the Chinese text; the pictures sit beside it in images/."""
import os
import sys

text = open(sys.argv[1], encoding="utf-8").read()
guide = text[text.index("## 使用说明"):text.index("## For developers")].rstrip() + "\n"
guide = guide.replace("docs/images/", "images/")
os.makedirs(os.path.dirname(sys.argv[2]), exist_ok=True)
with open(sys.argv[2], "w", encoding="utf-8-sig", newline="\r\n") as out:
    out.write(guide)
