#include "qv4000fp_icons.h"

// The images are kept as XPM text so that they need no resource bundle.
namespace {
// clang-format off

// A computer (blue) joined by a grey cable to an instrument (red).
const char* const kWindowIconXpm[] = {
    "16 16 5 1",
    "  c None",
    ". c #FFFFFF",
    "b c #0000FF",
    "g c #808080",
    "r c #FF0000",
    "                ",
    " ...........    ",
    " .bbbbbbbbb.    ",
    " .bbbbbbbbb.    ",
    " .bb.....bb.    ",
    " .bb.....bb.    ",
    " .bbbbbbbbb.    ",
    " ......g....    ",
    "       g        ",
    "       ggggg    ",
    "           g    ",
    "    .......g....",
    "    .rrrrrrrrrr.",
    "    .rr......rr.",
    "    .rrrrrrrrrr.",
    "    ............",
};

const char* const kStartXpm[] = {
    "12 12 2 1",
    "  c None",
    "g c #008000",
    "            ",
    " g          ",
    " ggg        ",
    " ggggg      ",
    " ggggggg    ",
    " ggggggggg  ",
    " ggggggggg  ",
    " ggggggg    ",
    " ggggg      ",
    " ggg        ",
    " g          ",
    "            ",
};

const char* const kStartContXpm[] = {
    "12 12 2 1",
    "  c None",
    "g c #008000",
    "            ",
    "g     g     ",
    "gg    gg    ",
    "ggg   ggg   ",
    "gggg  gggg  ",
    "ggggg ggggg ",
    "ggggg ggggg ",
    "gggg  gggg  ",
    "ggg   ggg   ",
    "gg    gg    ",
    "g     g     ",
    "            ",
};

const char* const kStopXpm[] = {
    "12 12 2 1",
    "  c None",
    "r c #800000",
    "            ",
    "            ",
    " rrrrrrrrrr ",
    " rrrrrrrrrr ",
    " rrrrrrrrrr ",
    " rrrrrrrrrr ",
    " rrrrrrrrrr ",
    " rrrrrrrrrr ",
    " rrrrrrrrrr ",
    " rrrrrrrrrr ",
    " rrrrrrrrrr ",
    " rrrrrrrrrr ",
};

const char* const kWhatsThisXpm[] = {
    "20 17 3 1",
    "  c None",
    "# c #000000",
    ". c #FFFFFF",
    "#           #####   ",
    "##         ##   ##  ",
    "#.#       ##     ## ",
    "#..#      ##     ## ",
    "#...#           ##  ",
    "#....#         ##   ",
    "#.....#       ##    ",
    "#......#     ##     ",
    "#.......#    ##     ",
    "#........#   ##     ",
    "#.....#####         ",
    "#..#..#      ##     ",
    "#.# #..#     ##     ",
    "##  #..#            ",
    "#    #..#           ",
    "     #..#           ",
    "      ##            ",
};
// clang-format on

} // namespace

QPixmap qv4000fp_windowIconPixmap() {
    return QPixmap(kWindowIconXpm);
}

QIcon qv4000fp_connectionIcon() {
    return QIcon(qv4000fp_windowIconPixmap());
}

QPixmap qv4000fp_startPixmap() {
    return QPixmap(kStartXpm);
}

QPixmap qv4000fp_startContPixmap() {
    return QPixmap(kStartContXpm);
}

QPixmap qv4000fp_stopPixmap() {
    return QPixmap(kStopXpm);
}

QPixmap qv4000fp_whatsThisPixmap() {
    return QPixmap(kWhatsThisXpm);
}
