#!/usr/bin/env bash
# Builds samples/icons.dll, a Windows library holding three icons (red, green, blue, each
# at 16, 32 and 48 pixels; from make_samples.py) and nothing else, and samples/noicons.dll
# without any. Needs mingw-w64 (Debian gcc-mingw-w64-x86-64, binutils-mingw-w64-x86-64);
# run once after make_samples.py and commit the results:
#     ./make_icons.sh
set -euo pipefail
cd "$(dirname "$0")/samples"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/icons.rc" <<'RC'
1 ICON "red.ico"
2 ICON "green.ico"
3 ICON "blue.ico"
RC
printf 'int dllEntry(void) { return 1; }\n' >"$work/entry.c"
x86_64-w64-mingw32-windres -I . "$work/icons.rc" -O coff -o "$work/icons.res.o"
x86_64-w64-mingw32-gcc -shared -nostdlib -s -Wl,--entry,dllEntry \
  -o icons.dll "$work/entry.c" "$work/icons.res.o"
x86_64-w64-mingw32-gcc -shared -nostdlib -s -Wl,--entry,dllEntry -o noicons.dll "$work/entry.c"
wrestool -l icons.dll
