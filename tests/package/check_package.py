#!/usr/bin/env python3
"""Checks the package a user downloads: the program, its module (32-bit, needing no DLL beyond
each other and the system's), the guide and its pictures, under one top folder. The guide is plain
text that Notepad shows from Windows NT 4 on, and its two languages have the same sections."""
import re
import struct
import sys
import zipfile

# Names a user types or looks for as they stand: the guide never breaks one across lines.
WHOLE_NAMES = ["HKEY_CURRENT_USER\\Software\\Trellith Logon", "HKEY_CURRENT_USER\\Software\\Trellith",
               "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "comctl32.dll",
               "winmm.dll", "msvcrt.dll", "ntdll.dll"}


def pe_facts(data):
    """Machine type and imported DLL names of a PE image."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    machine, sections = struct.unpack_from("<HH", data, pe + 4)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]
    table = optional + struct.unpack_from("<H", data, pe + 20)[0]

    def offset(rva):
        for i in range(sections):
            _, vsize, vaddr, rsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            if vaddr <= rva < vaddr + max(vsize, rsize):
                return rva - vaddr + raw
        raise ValueError("rva outside every section")

    names, at = [], offset(import_rva)
    while True:
        name_rva = struct.unpack_from("<I", data, at + 12)[0]
        if name_rva == 0:
            break
        start = offset(name_rva)
        names.append(data[start:data.index(b"\0", start)].decode().lower())
        at += 20
    return machine, names


def main():
    archive = zipfile.ZipFile(sys.argv[1])
    names = set(archive.namelist())
    top = "Trellith-1.5-win32/"
    expected = ["Trellith.exe", "Trellith.dll", "docs/README.txt"] + [
        "docs/images/%s.png" % p for p in ("menu", "settings", "countdown", "about", "tray")]
    missing = [e for e in expected if top + e not in names]
    if missing:
        sys.exit("package lacks " + ", ".join(missing))
    for binary in ("Trellith.exe", "Trellith.dll"):
        data = archive.read(top + binary)
        machine, imports = pe_facts(data)
        if machine != 0x14C:
            sys.exit("%s is not a 32-bit program" % binary)
        foreign = [d for d in imports if d not in SYSTEM_DLLS]
        if foreign:
            sys.exit("%s needs %s" % (binary, ", ".join(foreign)))
        print("%-12s %6d bytes, imports %s" % (binary, len(data), " ".join(sorted(imports))))
    check_guide(archive.read(top + "docs/README.txt"), {n[len(top + "docs/"):] for n in names})
    print("package ok: %d files" % len(names))


def sections(text):
    """The guide's languages, each a list of its sections: (title, the pictures it names)."""
    languages, lines = [], text.split("\n")
    for i, line in enumerate(lines):
        under = lines[i + 1] if i + 1 < len(lines) else ""
        if len(under) > 1 and set(under) in ({"="}, {"-"}):
            if under[0] == "=":
                languages.append([])
            languages[-1].append((line, []))
        elif languages:
            languages[-1][-1][1].extend(re.findall(r"images\\(\w+\.png)", line))
    return languages


def check_guide(guide, files):
    if not guide.startswith(b"\xff\xfe"):
        sys.exit("the guide is not UTF-16LE with a byte order mark")
    text = guide.decode("utf-16-le")[1:]
    if text.replace("\r\n", "").count("\n") or text.replace("\r\n", "").count("\r"):
        sys.exit("the guide has a line that does not end in CRLF")
    text = text.replace("\r\n", "\n")
    marks = re.search(r"\*\*|`|!\[|\]\(|^#|^\s*\* ", text, re.M)
    if marks:
        sys.exit("the guide has a Markdown mark: %r" % text[max(0, marks.start() - 30):marks.end() + 30])
    languages = sections(text)
    if len(languages) != 2:
        sys.exit("the guide has %d languages, not two" % len(languages))
    chinese, english = languages
    if [p for _, p in chinese] != [p for _, p in english]:  # as many sections, the same pictures in each
        sys.exit("the two languages' sections differ:\n%s\n%s" % (chinese, english))
    for _, pictures in chinese:
        for picture in pictures:
            if "images/" + picture not in files:
                sys.exit("the guide names images\\%s, which the package lacks" % picture)
    for half in text.split("User's guide (English)"):
        lines = "\n".join(line.strip() for line in half.split("\n"))
        for name in WHOLE_NAMES:
            if name not in half:
                sys.exit("a language of the guide does not name %s" % name)
            if any(name[:i].rstrip() + "\n" + name[i:].lstrip() in lines for i in range(1, len(name))):
                sys.exit("the guide breaks %s across lines" % name)


if __name__ == "__main__":
    main()
