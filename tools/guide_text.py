#!/usr/bin/env python3
"""Writes the user's guide part of README.md as the README.txt of the package:
python3 guide_text.py README.md OUTPUT. Plain text in UTF-16LE with a byte order mark and CRLF line
ends, which Notepad shows from Windows NT 4 on in any language: headings underlined, each picture
named as the file beside the guide (images\\NAME.png)."""
import os
import re
import sys
import unicodedata


def width(text):
    """Columns a line takes in a fixed-width font, a wide character two."""
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


def picture(match):
    alt, name = match.group(1), match.group(2)
    if any(width(c) == 2 for c in alt):
        return "（图：images\\%s，%s）" % (name, alt)
    return "(Picture: images\\%s, %s)" % (name, alt)


def plain(line):
    heading = re.match(r"(#{2,3}) (.*)", line)
    if heading:
        title = heading.group(2)
        return title + "\n" + ("=" if len(heading.group(1)) == 2 else "-") * width(title)
    return re.sub(r"!\[([^]]*)\]\(docs/images/([^)]+)\)", picture, line)


def main():
    text = open(sys.argv[1], encoding="utf-8").read()
    guide = text[text.index("## 使用说明"):text.index("## For developers")].rstrip() + "\n"
    guide = "\n".join(plain(line) for line in guide.split("\n"))
    os.makedirs(os.path.dirname(sys.argv[2]), exist_ok=True)
    with open(sys.argv[2], "w", encoding="utf-16", newline="\r\n") as out:  # "utf-16" writes the BOM
        out.write(guide)


if __name__ == "__main__":
    main()
