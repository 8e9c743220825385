#!/bin/sh
# Copies the four licence texts the About dialog shows out of Debian's own
# copies, so they stay verbatim. Needs the packages named in ../README.md.
set -eu
out=$(cd "$(dirname "$0")/.." && pwd)

cp /usr/share/common-licenses/LGPL-2.1 "$out/qt-lgpl-license.txt"
cp /usr/share/common-licenses/LGPL-3 "$out/qt5-lgpl-license.txt"

# The library's own licence sits inside the package's copyright file, from
# its title line down to the sample attribution statement that closes it.
awk '/^ *Qwt License *$/ { on = 1 }
     on { print }
     on && /qwt\.sf\.net/ { exit }' \
    /usr/share/doc/libqwt-qt5-6/copyright > "$out/qwt-lgpl-license.txt"

# Machine-readable copyright file: the holder comes from the upstream files
# stanza and fills the blank holder line of the licence template; continuation
# lines lose their one-blank indent and " ." stands for an empty line. The
# full text is the stand-alone paragraph, the one after an empty line.
kiss=/usr/share/doc/libkissfft-float131/copyright
holder=$(awk '/^Files: \*$/ { f = 1; next }
              f && /^Copyright:/ { sub(/^Copyright: */, ""); print; exit }' "$kiss")
awk -v holder="$holder" '
     prev == "" && /^License: BSD-3-clause$/ { on = 1; next }
     { prev = $0 }
     on && !/^ / { exit }
     on { sub(/^ /, ""); if ($0 == ".") $0 = "";
          sub(/^Copyright \(c\)  \. /, "Copyright (c) " holder ". "); print }' \
    "$kiss" > "$out/kiss-fft-bsd-license.txt"
