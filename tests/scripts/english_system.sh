#!/usr/bin/env bash
# Trellith's texts on a Windows whose own code page is not Chinese. Wine takes the ANSI code page
# from a process's locale as it starts, so the e2e tests run twice: with a Chinese locale, which
# keeps the menu's picture, then with an English one, which compares its own with it. The test
# prefix was made with a Chinese locale, whose menu font has the Chinese character set (and would
# read Chinese bytes right even through the narrow calls); for both runs it gets the character
# set a prefix made on an English system has, and its own back afterwards.
#   english_system.sh WINE-EXEC E2E-TESTS.exe
set -u
offset=$(od -An -tu4 -j60 -N4 "$2" | tr -d ' ')
[ "$(od -An -tx2 -j$((offset + 4)) -N2 "$2" | tr -d ' ')" = 8664 ] && wine=/usr/lib/wine/wine64 || wine=/usr/lib/wine/wine
key='HKCU\Control Panel\Desktop\WindowMetrics'
font=$("$wine" reg query "$key" /v MenuFont 2>/dev/null | tr -d '\r' | awk '$1 == "MenuFont" {print $3}')
[ ${#font} -ge 48 ] || { echo "english_system: no menu font in the prefix"; exit 1; }
trap '"$wine" reg add "$key" /v MenuFont /t REG_BINARY /d "$font" /f >/dev/null' EXIT
"$wine" reg add "$key" /v MenuFont /t REG_BINARY /d "${font:0:46}00${font:48}" /f >/dev/null || exit 1
LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 "$1" "$2" --gtest_filter=EnglishSystem.AChineseSystemsMenu || exit 1
LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 "$1" "$2" --gtest_filter=EnglishSystem.TheSameTextsOnAnEnglishSystem
