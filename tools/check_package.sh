#!/usr/bin/env bash
# Proves the installed library and the Debian packages instead of assuming
# them, from the build in build/ (run tools/build.sh first; .ci/run calls this):
#  1. cmake --install into a temporary prefix; the example under
#     examples/caption is built against it with find_package(Lumivex) and run
#     offscreen, and compiled once more with pkg-config's flags alone;
#  2. an install into a prefix that cannot be written fails with CMake's error;
#  3. CPack makes the .deb packages, lintian finds no error in them, and the
#     installed desktop entry and AppStream metainfo pass their validators;
#     the packaged lumivex-cli writes the same bytes as the built one, a HEIC
#     read and an AVIF written through the packaged HEIF module among them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# The libraries of every build are static, as the programs ship with them (the
# layer check's shared copies are not installed), so the build is packaged
# as it is.
build=${LUMIVEX_BUILD_DIR:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
step() { echo "package: $*"; }

step "install into a temporary prefix"
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log"
step "$(grep -c 'Installing:' "$work/install.log") files installed"

step "build and run examples/caption against it"
cmake -S examples/caption -B "$work/caption" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$work/prefix" ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
cmake --build "$work/caption" >/dev/null
"$work/caption/caption" --screenshot "$work/caption.png"
colours=$(identify -format '%k' "$work/caption.png")
if ((colours < 16)); then
  echo "package: the example's window shows $colours colours: the caption was not drawn" >&2
  exit 1
fi
step "example ran offscreen: $(identify -format '%wx%h' "$work/caption.png"), $colours colours"

step "compile the example with pkg-config's flags"
pc_dir=$(dirname "$(find "$work/prefix" -name lumivex.pc | head -n 1)")
read -r -a pc_flags <<<"$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs lumivex)"
read -r -a pc_cflags <<<"$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags lumivex)"
# The moc-free example needs no generated code: the flags alone must do.
g++ -o "$work/caption-pc" examples/caption/main.cpp "${pc_flags[@]}" -fPIC
"$work/caption-pc" --screenshot "$work/caption-pc.png"
cmp -s "$work/caption.png" "$work/caption-pc.png" || { echo "package: pkg-config build draws differently" >&2; exit 1; }

step "every installed header compiles on its own"
export LUMIVEX_CFLAGS="${pc_cflags[*]} -fPIC"
(cd "$work/prefix/include" && find lumivex -name '*.h' | sort) >"$work/headers"
xargs -P 2 -I{} sh -c 'echo "#include <{}>" | g++ -x c++ -fsyntax-only $LUMIVEX_CFLAGS - || echo "{} does not compile" >&2' \
  <"$work/headers" 2>"$work/headers.log"
if grep -q 'does not compile' "$work/headers.log"; then
  cat "$work/headers.log" >&2
  exit 1
fi
step "$(wc -l <"$work/headers") headers"

step "the installed Designer plugin is a Qt plugin for Designer's collections"
plugin=$(find "$work/prefix" -name liblumivex_designer.so)
# (qtplugininfo also complains that the plugin carries no metadata of its own.)
{ /usr/lib/qt6/bin/qtplugininfo "$plugin" 2>&1 || true; } | grep -q QDesignerCustomWidgetCollectionInterface

step "install into a prefix that cannot be written"
if cmake --install "$build" --prefix /proc/lumivex-install >"$work/refused.log" 2>&1; then
  echo "package: installing into /proc succeeded?" >&2
  exit 1
fi
grep -m 1 -A 2 'CMake Error' "$work/refused.log" | sed 's/^/package:   /'

step "make the Debian packages"
(cd "$build" && cpack -G DEB >"$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
version=$(sed -n 's/^project(Lumivex VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="$build/lumivex_${version}_amd64.deb"
dev="$build/lumivex-dev_${version}_amd64.deb"
ls -l "$deb" "$dev" | awk '{print "package:   " $5 " bytes " $9}'
dpkg-deb -f "$deb" Depends | sed 's/^/package:   lumivex depends on: /'

step "lintian"
lintian --fail-on error --display-level '>=warning' "$deb" "$dev" | sed 's/^/package:   /'

step "validate the installed desktop entry and metainfo"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/lumivex.desktop"
appstreamcli validate --no-net --pedantic "$work/root/usr/share/metainfo/org.lumivex.lumivex.metainfo.xml"
for f in usr/bin/lumivex usr/bin/lumivex-cli usr/share/man/man1/lumivex.1.gz usr/share/man/man1/lumivex-cli.1.gz \
  usr/share/bash-completion/completions/lumivex-cli usr/share/icons/hicolor/48x48/apps/lumivex.png; do
  [[ -e $work/root/$f ]] || { echo "package: $f is missing from the package" >&2; exit 1; }
done

step "the packaged lumivex-cli writes what the built one writes"
convert -size 120x80 gradient:orange-navy "$work/in.png"
"$work/root/usr/bin/lumivex-cli" image -o "$work/packaged.png" "$work/in.png"
"$build/cli/lumivex-cli" image -o "$work/built.png" "$work/in.png"
cmp "$work/packaged.png" "$work/built.png"
# HEIC in and AVIF out go through the module, found beside the packaged program.
heic=tests/data/pictures/photo-48x36.heic
"$work/root/usr/bin/lumivex-cli" image -o "$work/packaged.avif" "$heic"
"$build/cli/lumivex-cli" image -o "$work/built.avif" "$heic"
cmp "$work/packaged.avif" "$work/built.avif"
step "all checks passed"
