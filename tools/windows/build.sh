#!/usr/bin/env bash
# The Windows installer, cross-built on Debian 12 (run as root):
#   tools/windows/build.sh            packages, Qt for Windows (cached), libxlsxwriter, the
#                                     program, build-win/rovanta-2.2.0-setup.exe
#   tools/windows/build.sh --check    the same, then the tests under wine, a silent install and
#                                     uninstall, and the Windows command line against Linux's
#   tools/windows/build.sh --qt-only  only the packages and the Qt cache
# The first run builds Qt (about half an hour of both cores); later runs take it from the cache.
# Environment: ROVANTA_WINCACHE (default /var/cache/rovanta-windows) holds Qt and libxlsxwriter
# built for Windows; ROVANTA_WINBUILD (default <source>/build-win) the project's build.
# Measured on a 2-core machine: Qt about 65 CPU-minutes (once); a cached run with --check 5-9 min.
set -euo pipefail

src=$(cd "$(dirname "$0")/../.." && pwd)
here=$src/tools/windows
cache=${ROVANTA_WINCACHE:-/var/cache/rovanta-windows}
out=${ROVANTA_WINBUILD:-$src/build-win}
jobs=${ROVANTA_JOBS:-$(nproc)}
mode=build
case "${1:-}" in
  --check) mode=check ;;
  --qt-only) mode=qt ;;
  "") ;;
  *) echo "usage: $0 [--check|--qt-only]" >&2; exit 2 ;;
esac

triple=x86_64-w64-mingw32
qt_version=6.4.2
# Debian's qtbase source lacks the Wintab header and turns on the Android deployment tool; the
# Vulkan headers Linux's Qt brings along sit in /usr/include, which a Windows build must not
# read; the program needs none of SQL, XML, Concurrent, OpenGL or Vulkan.
qt_configure=(-release -shared -xplatform win32-g++ -qt-host-path /usr
  -nomake examples -nomake tests -no-opengl -no-icu -no-dbus -no-pkg-config
  -qt-zlib -qt-pcre -qt-harfbuzz -qt-freetype -qt-libpng -qt-libjpeg -no-zstd
  -no-feature-sql -no-feature-concurrent -no-feature-xml -no-feature-tabletevent
  -no-feature-androiddeployqt -no-feature-vulkan)

say() { printf '\n== %s (%s)\n' "$*" "$(date +%T)"; }
# Heavy work yields the processor to whoever else uses the machine.
low() { nice -n 19 "$@"; }

packages() {
  say "packages"
  export DEBIAN_FRONTEND=noninteractive
  # apt-get source needs the source index of the same mirror.
  if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    cat >/etc/apt/sources.list.d/rovanta-deb-src.sources <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  fi
  apt-get update
  apt-get install -y --no-install-recommends \
    cmake ninja-build g++ dpkg-dev xz-utils ccache \
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libxlsxwriter-dev libgl-dev \
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    mingw-w64-x86-64-dev libz-mingw-w64-dev nsis wine wine64 xvfb xauth xdotool imagemagick perl fonts-dejavu-core
}

toolchain() {
  mkdir -p "$cache"
  # Qt's own build bundles its third-party code and needs no more than the compilers.
  cat >"$cache/mingw-qt.cmake.new" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
EOF
  cat >"$cache/mingw.cmake.new" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
  # Rewritten only when changed: a newer file would make the cached builds configure anew.
  local f
  for f in mingw-qt.cmake mingw.cmake; do
    if cmp -s "$cache/$f.new" "$cache/$f"; then rm "$cache/$f.new"; else mv "$cache/$f.new" "$cache/$f"; fi
  done
}

# The cache is reused only when it was made from the same version with the same configure line.
qt_stamp() { printf '%s\n%s\n' "$qt_version" "${qt_configure[*]}"; }

qt() {
  if [[ -f $cache/qt/rovanta-stamp ]] && [[ $(cat "$cache/qt/rovanta-stamp") == "$(qt_stamp)" ]]; then
    say "Qt $qt_version for Windows: cached in $cache/qt"
    return
  fi
  local qsrc=""
  # A build cut short (a stopped session) goes on where it stopped when its configure line is
  # the same; anything else starts afresh.
  if [[ -f $cache/qt-build/rovanta-stamp ]] && [[ $(cat "$cache/qt-build/rovanta-stamp") == "$(qt_stamp)" ]]; then
    qsrc=$(find "$cache/qt-src" -maxdepth 1 -mindepth 1 -type d -name "qt6-base-$qt_version*" | head -n1)
  fi
  if [[ -n $qsrc ]]; then
    say "Qt $qt_version for Windows: going on with the build in $cache/qt-build"
  else
    say "Qt $qt_version for Windows: building (about half an hour of both cores)"
    rm -rf "$cache/qt" "$cache/qt-src" "$cache/qt-build"
    mkdir -p "$cache/qt-src" "$cache/qt-build"
    (cd "$cache/qt-src" && apt-get source qt6-base)
    qsrc=$(find "$cache/qt-src" -maxdepth 1 -mindepth 1 -type d -name "qt6-base-$qt_version*" | head -n1)
    [[ -n $qsrc ]] || { echo "Debian's qt6-base source is not $qt_version" >&2; exit 1; }
    (cd "$cache/qt-build" &&
      low "$qsrc/configure" -prefix "$cache/qt" "${qt_configure[@]}" -- \
        -DCMAKE_TOOLCHAIN_FILE="$cache/mingw-qt.cmake" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
    qt_stamp >"$cache/qt-build/rovanta-stamp"
  fi
  (cd "$cache/qt-build" && low cmake --build . --parallel "$jobs" && cmake --install .)
  qt_stamp >"$cache/qt/rovanta-stamp"
  rm -rf "$cache/qt-src" "$cache/qt-build"
  say "Qt ready: $(du -sh "$cache/qt" | cut -f1) in $cache/qt"
}

xlsx_stamp() { echo "libxlsxwriter static, dtoa, MinGW zlib"; }

xlsxwriter() {
  if [[ -f $cache/xlsxwriter/rovanta-stamp ]] && [[ $(cat "$cache/xlsxwriter/rovanta-stamp") == "$(xlsx_stamp)" ]]; then
    say "libxlsxwriter for Windows: cached in $cache/xlsxwriter"
    return
  fi
  say "libxlsxwriter for Windows: building"
  rm -rf "$cache/xlsxwriter" "$cache/xlsx-src" "$cache/xlsx-build"
  mkdir -p "$cache/xlsx-src"
  (cd "$cache/xlsx-src" && apt-get source libxlsxwriter)
  local xsrc
  xsrc=$(find "$cache/xlsx-src" -maxdepth 1 -mindepth 1 -type d -name 'libxlsxwriter-*' | head -n1)
  # Static, with the bundled zip code; numbers written without regard to the C locale. Its -lz
  # is MinGW's zlib, whose zlib1.dll the installer takes along.
  low cmake -S "$xsrc" -B "$cache/xlsx-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$cache/mingw.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DUSE_DTOA_LIBRARY=ON \
    -DCMAKE_INSTALL_PREFIX="$cache/xlsxwriter"
  low cmake --build "$cache/xlsx-build" --parallel "$jobs"
  cmake --install "$cache/xlsx-build"
  xlsx_stamp >"$cache/xlsxwriter/rovanta-stamp"
  rm -rf "$cache/xlsx-src" "$cache/xlsx-build"
}

# wine finds the DLLs of Qt and of the MinGW runtime through WINEPATH (once the compilers are
# installed).
wine_env() {
  gccdir=$(dirname "$($triple-gcc-posix -print-libgcc-file-name)")
  export WINEPATH="Z:${cache//\//\\}\\qt\\bin;Z:${gccdir//\//\\};Z:\\usr\\$triple\\lib"
  export WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko installer dialogs when wine makes its prefix.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX=${WINEPREFIX:-$cache/wineprefix}
}

project() {
  say "Rovanta for Windows: building in $out"
  local tests=OFF
  [[ $mode == check ]] && tests=ON
  # Only the Windows libxlsxwriter, and only for this build (the checks build Linux's too).
  local pc=$cache/xlsxwriter/lib/pkgconfig
  # make_cities and make_manpage run at build time: through wine, like the tests.
  PKG_CONFIG_LIBDIR=$pc cmake -S "$src" -B "$out" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$cache/qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DROVANTA_TESTS=$tests -DROVANTA_HARDENING=OFF \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run" \
    -DCMAKE_INSTALL_PREFIX=/opt/rovanta -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
  PKG_CONFIG_LIBDIR=$pc low cmake --build "$out" --parallel "$jobs"
}

# The DLLs a Windows program needs that Windows itself does not bring, found where the build
# took them from.
dlls_of() {
  local f name
  for f in "$@"; do
    $triple-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p'
  done | sort -u | while read -r name; do
    for dir in "$cache/qt/bin" "$gccdir" "/usr/$triple/lib"; do
      if [[ -f $dir/$name ]]; then echo "$dir/$name"; break; fi
    done
  done
}

stage() {
  say "installer contents"
  local st=$out/stage
  rm -rf "$st"
  cmake --install "$out" --prefix "$st" >/dev/null
  # What is not for Windows: manual pages, menu entries and icons of the Linux desktop.
  rm -rf "$st/share/man" "$st/share/applications" "$st/share/icons" "$st/share/metainfo"
  cp "$src/dist/icons/rovanta.ico" "$st/bin/rovanta.ico"
  local plugins=(platforms/qwindows.dll platforms/qoffscreen.dll styles/qwindowsvistastyle.dll
    imageformats/qgif.dll imageformats/qico.dll imageformats/qjpeg.dll
    tls/qschannelbackend.dll tls/qcertonlybackend.dll)
  local p
  for p in "${plugins[@]}"; do
    mkdir -p "$st/bin/$(dirname "$p")"
    cp "$cache/qt/plugins/$p" "$st/bin/$p"
  done
  # Qt's own Hungarian texts (the buttons of its dialogs) are the same files as Linux's.
  mkdir -p "$st/bin/translations"
  cp /usr/share/qt6/translations/qtbase_hu.qm "$st/bin/translations/"
  # Plugins beside the programs, where Qt looks first.
  printf '[Paths]\nPrefix=.\nPlugins=.\nTranslations=translations\n' >"$st/bin/qt.conf"
  # Every DLL the programs and plugins load, and those that these load in turn.
  local before=-1 now
  while :; do
    now=$(find "$st/bin" -name '*.dll' | wc -l)
    [[ $now == "$before" ]] && break
    before=$now
    dlls_of "$st"/bin/*.exe $(find "$st/bin" -name '*.dll') | while read -r d; do
      [[ -f $st/bin/$(basename "$d") ]] || cp "$d" "$st/bin/"
    done
  done
  find "$st/bin" \( -name '*.exe' -o -name '*.dll' \) -exec $triple-strip --strip-unneeded {} +
}

installer() {
  say "installer"
  local st=$out/stage
  local version
  version=$(sed -n 's/^project(Rovanta VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
  # One line per file and folder, so that the uninstaller removes only what was installed.
  (cd "$st" && find . -mindepth 1 -type d | sed 's|^\./||' | sort) >"$out/dirs.txt"
  (cd "$st" && find . -type f | sed 's|^\./||' | sort) >"$out/files.txt"
  {
    while read -r d; do echo "CreateDirectory \"\$INSTDIR\\${d//\//\\}\""; done <"$out/dirs.txt"
    while read -r f; do
      echo "File \"/oname=${f//\//\\}\" \"$st/$f\""
    done <"$out/files.txt"
  } >"$out/install-files.nsh"
  {
    while read -r f; do echo "Delete \"\$INSTDIR\\${f//\//\\}\""; done <"$out/files.txt"
    sort -r "$out/dirs.txt" | while read -r d; do echo "RMDir \"\$INSTDIR\\${d//\//\\}\""; done
  } >"$out/uninstall-files.nsh"
  makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DOUTDIR="$out" -DICON="$st/bin/rovanta.ico" \
    "$here/rovanta.nsi"
  say "installer ready: $out/rovanta-$version-setup.exe ($(du -h "$out/rovanta-$version-setup.exe" | cut -f1))"
}

packages
toolchain
wine_env
qt
[[ $mode == qt ]] && exit 0
xlsxwriter
project
stage
installer
[[ $mode == check ]] || exit 0
# The tests open their windows on the offscreen platform, which on Windows reads fonts only from
# Qt's own folder (there is no fontconfig): they get the DejaVu fonts Linux's tests use. The
# installer takes nothing from there; the installed programs use Windows's fonts.
mkdir -p "$cache/qt/lib/fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf "$cache/qt/lib/fonts/"
exec "$here/check.sh" "$out"
