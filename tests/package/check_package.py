#!/usr/bin/env python3
"""Checks the package a user downloads: the program, its module (32-bit, needing no DLL beyond
each other and the system's), the guide and its pictures, under one top folder."""
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
    guide = archive.read(top + "docs/README.txt")
    if not guide.startswith(b"\xef\xbb\xbf") or b"\r\n" not in guide:
        sys.exit("the guide is not UTF-8 with a byte order mark and CRLF lines")
    text = guide.decode("utf-8-sig").replace("\r\n", "\n")
    lines = "\n".join(line.strip() for line in text.split("\n"))
    for name in WHOLE_NAMES:
        if name not in text:
            sys.exit("the guide does not name %s" % name)
        if any(name[:i].rstrip() + "\n" + name[i:].lstrip() in lines for i in range(1, len(name))):
            sys.exit("the guide breaks %s across lines" % name)
    print("package ok: %d files" % len(names))


if __name__ == "__main__":
    main()
