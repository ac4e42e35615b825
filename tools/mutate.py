#!/usr/bin/env python3
"""Mutation check: puts one small fault at a time into the sources, runs the tests that cover
them, and counts the faults the tests notice (killed) and those they do not (survived).

    tools/mutate.py host [--tree DIR] [--every N] FILE...
        the portable core: builds the host preset of DIR (default: this tree) and runs its unit
        tests; every N-th fault only, when given.
    tools/mutate.py windows [--every N] FILE...
        the Windows side: builds the x86_64 preset and runs, under Wine, the test suites of
        SUITES that cover each file (run it the way scripts/test.sh runs ctest: a display and a
        Wine session must be there).

A fault's tests are ended after five times the time they take without it (at least a minute): a
fault that makes them loop counts as killed, and leaves no process behind.

Faults: a comparison turned (< <=, > >=, == !=), && and || swapped, + and - swapped, a number
made one larger, return 0 and 1 swapped, a call on a line of its own left out. A fault that does
not compile is not counted. Prints one line a fault and the totals."""
import argparse
import os
import re
import signal
import subprocess
import sys
import time

SWAPS = [(r"<=", "<"), (r"(?<![<-])<(?![<=])", "<="), (r">=", ">"), (r"(?<![>-])>(?![>=])", ">="),
         (r"==", "!="), (r"!=", "=="), (r"&&", "||"), (r"\|\|", "&&"), (r"(?<=\w) \+ (?=\w)", " - "),
         (r"(?<=\w) - (?=\w)", " + "), (r"\breturn 0;", "return 1;"), (r"\breturn 1;", "return 0;")]
NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.])")
CALL_LINE = re.compile(r"^\s+[A-Za-z_][\w:]*(->\w+|\.\w+)*\(.*\);\s*$")

# The Windows-side suites (ctest names without their prefix) that cover a file.
SUITES = {
    "desktops.cpp": ["Desktops", "HiddenWindowsAtTheEnd", "AppMainTest"],
    "scheme_file.cpp": ["SchemeFile", "SchemeFileE2E", "Settings"],
    "settings_dialog.cpp": ["Settings"],
    "main_window.cpp": ["Tray", "AppMainTest", "Scheduler", "Settings"],
    "tray_icon.cpp": ["Tray"],
    "popup_menu.cpp": ["Tray"],
    "tick.cpp": ["Scheduler"],
    "countdown_dialog.cpp": ["Scheduler"],
    "app_main.cpp": ["AppMainTest", "StartUp"],
    "companion.cpp": ["CompanionModule", "Scheduler"],
    "autorun.cpp": ["Autorun", "Settings"],
    "about_dialog.cpp": ["About"],
    "owner_draw.cpp": ["OwnerDraw", "CenterOnScreen", "DialogColors"],
}


def code_part(line):
    """The line without its comment and string literals, blanked out in place."""
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote:
            out.append(" ")
            if c == "\\":
                out.append(" ")
                i += 1
            elif c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(" ")
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def faults(path):
    """(line index, new line, description) for every fault of the file."""
    lines = open(path, encoding="utf-8").read().split("\n")
    found = []
    for n, line in enumerate(lines):
        stripped = line.strip()
        if not stripped or stripped.startswith(("#", "//", "*", "static_assert", "typedef")):
            continue
        code = code_part(line)
        for pattern, replacement in SWAPS:
            for m in re.finditer(pattern, code):
                if "template" in code or "#" in code[:m.start()]:
                    continue
                new = line[:m.start()] + replacement + line[m.end():]
                found.append((n, new, "%s -> %s" % (m.group(0), replacement)))
        for m in NUMBER.finditer(code):
            new = line[:m.start()] + str(int(m.group(1)) + 1) + line[m.end():]
            found.append((n, new, "%s -> %d" % (m.group(1), int(m.group(1)) + 1)))
        if CALL_LINE.match(code) and not stripped.startswith(("return", "case", "else")):
            found.append((n, "", "call left out"))
    return lines, found


def run(command, cwd, timeout):
    """The command's exit code, or -1 when it ran out of time; then its whole process group ends,
    so that a fault that makes the tests loop forever leaves no process behind."""
    process = subprocess.Popen(command, cwd=cwd, shell=True, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        return -1


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))  # the fault is taken out first
    parser = argparse.ArgumentParser()
    parser.add_argument("side", choices=["host", "windows"])
    parser.add_argument("--tree", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser.add_argument("--every", type=int, default=1)
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    tree = os.path.abspath(args.tree)
    if args.side == "host":
        build = "cmake --preset host >/dev/null && cmake --build build/host --target host_tests -j2"
    else:
        build = "cmake --build build/windows-x64 -j2"
    if run(build, tree, 900) != 0:
        sys.exit("the tree does not build as it is")
    killed = survived = stillborn = 0
    index = 0
    limits = {}  # each test command's time limit, from its own time without a fault
    for name in args.files:
        path = os.path.join(tree, name)
        lines, found = faults(path)
        original = "\n".join(lines)
        if args.side == "windows":
            suites = SUITES[os.path.basename(name)]
            test = "ctest --test-dir build/windows-x64 --timeout 300 -R '%s'" % "|".join(
                "\\." + s + "$" for s in suites)
        else:
            test = "build/host/host_tests"
        if test not in limits:
            start = time.time()
            if run(test, tree, 3600) != 0:
                sys.exit("the tests fail without a fault: " + test)
            limits[test] = max(60, 5 * (time.time() - start))
        for n, new, what in found:
            index += 1
            if (index - 1) % args.every:
                continue
            mutated = lines[:n] + ([new] if new else []) + lines[n + 1:]
            try:
                with open(path, "w", encoding="utf-8") as f:
                    f.write("\n".join(mutated))
                if run(build, tree, 900) != 0:
                    stillborn += 1
                    continue
                result = run(test, tree, limits[test])
            finally:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original)
            verdict = "killed" if result != 0 else "SURVIVED"
            killed += result != 0
            survived += result == 0
            print("%-8s %s:%d %s" % (verdict, name, n + 1, what), flush=True)
    run(build, tree, 900)
    total = killed + survived
    print("%d faults: %d killed, %d survived (%.0f %% killed); %d did not compile" %
          (total, killed, survived, 100.0 * killed / total if total else 0, stillborn))


if __name__ == "__main__":
    main()
