#!/usr/bin/env bash
# Draws the pictures of the markup reference (docs/markup.md) with
# "lumivex-cli text", so that the page shows what the program really draws.
# Run it again after a change of the look:
#   bash tools/markup_pictures.sh [path/to/lumivex-cli]
set -euo pipefail
cd "$(dirname "$0")/.."

cli="${1:-}"
if [ -z "$cli" ]; then
    for candidate in build/cli/lumivex-cli; do
        if [ -x "$candidate" ]; then
            cli="$candidate"
            break
        fi
    done
fi
if [ -z "$cli" ] || [ ! -x "$cli" ]; then
    echo "markup_pictures.sh: build lumivex-cli first: cmake --build build --target lumivex-cli" >&2
    exit 1
fi

out=docs/markup
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
count=0
# NAME|MARKUP[|OPTIONS], one picture per line; docs/markup.md shows the same
# markup. Without OPTIONS the picture is as wide as the text.
while IFS='|' read -r name markup options; do
    [ -n "$name" ] || continue
    # shellcheck disable=SC2086 # the options are words
    "$cli" text "$markup" --font "Tahoma,14" --size 14 ${options:-} -o "$out/$name.png"
    count=$((count + 1))
done <<'LIST'
bold|Plain and <b>bold</b>
italic|Plain and <i>italic</i>
underline|Plain and <u>underlined</u>
strikeout|Plain and <s>struck out</s>
subscript|H<sub>2</sub>O
superscript|E = mc<sup>2</sup>
shadow|<shadow>With a shadow</shadow>
hidden|Shown<z> hidden</z> and shown
error|<e>Mispeled</e> word
highlight|Plain and <hi>highlighted</hi>
linebreak|First line<br>Second line
rule|Above the rule<hr>Below it
anchor|Visit <a href="https://example.com">our site</a>
font|<font face="DejaVu Serif" size="5" color="orange" bgcolor="navy">Font</font> and plain
paragraph|<p align="center">Centred</p><p align="right">and on the right</p>|--width 300
paragraph-background|<p bgcolor="lightyellow" bgcolorto="skyblue">A gradient behind the line</p>
list|<ul><li>First item<li>Second item</ul>
image|<img src="SSYS:3"> An icon
indent|Name:<ind x="90">Value
offset|<of x="40">Starts 40 pixels in
rotation|<r a="8">Tilted text</r>
body|<body bgcolor="lavender" bgcolorto="white">Body gradient
blink|Shown <blink>hidden</blink> shown
entities|&lt;tag&gt; &amp; &copy; &reg; &trade; &euro; &sect; &para; &permil; &quot;
colours|<font color="crimson">crimson</font> <font color="darkorange">darkorange</font> <font color="seagreen">seagreen</font> <font color="clNavy">clNavy</font> <font color="#8A2BE2">#8A2BE2</font>
LIST
echo "markup_pictures.sh: $count pictures in $out"
