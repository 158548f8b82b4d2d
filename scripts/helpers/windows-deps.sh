#!/usr/bin/env bash
# Installs the Windows build's tools (MinGW-w64, Wine, zip) and builds its 64-bit Windows
# libraries (zlib, libpng, libopenmpt) from Debian source with MinGW-w64, once, into a
# cache outside the source tree; a library whose folder is complete is never built again. Its standard output carries one line,
# the cache's prefix (include/ and lib/): everything else goes to standard error.
#
# Environment: ORANGEFUNK_WINDOWS_CACHE overrides the cache folder
# (default ${XDG_CACHE_HOME:-$HOME/.cache}/orangefunk-windows); JOBS the parallel jobs (2).
set -euo pipefail
exec 3>&1 1>&2

# Bump when the flags or file lists below change: every library is then built again.
recipe=2
jobs=${JOBS:-2}
host=x86_64-w64-mingw32

# The tools: MinGW-w64, what apt-get source needs, Wine to run the program here, zip to
# pack it and icoutils to read its resources back (the Windows tests).
need=()
command -v $host-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
[[ -f /usr/share/mingw-w64/include/windows.h ]] || need+=(mingw-w64-x86-64-dev)
command -v dpkg-source >/dev/null || need+=(dpkg-dev)
[[ -x /usr/lib/wine/wine64 ]] || need+=(wine64)
command -v zip >/dev/null || need+=(zip)
command -v wrestool >/dev/null || need+=(icoutils)
source "$(dirname "$0")/debian-source.sh"
install_packages "${need[@]}"
log_name=windows-deps
cc="$host-gcc-posix"
ar="$host-gcc-ar-posix"
enable_debian_sources

# libopenmpt must be the native build's, so that rows fall at the same times.
if ! openmpt_version=$(pkg-config --modversion libopenmpt 2>/dev/null); then
    echo "windows-deps: the native libopenmpt-dev is missing (scripts/setup.sh installs it)" >&2
    exit 1
fi
openmpt_version=${openmpt_version%%+*}
zlib_version=1.2.13
png_version=1.6.39

cache=${ORANGEFUNK_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orangefunk-windows}
prefix=$cache/mingw-w64-$($host-gcc-posix -dumpversion)
mkdir -p "$prefix/include" "$prefix/lib" "$prefix/stamps"

# libopenmpt (debian-source.sh) cross-compiled by MinGW-w64, for the Unicode API and
# thread-safe exception handling, as its own build for Windows compiles it.
cxx=$host-g++-posix
openmpt_flags=(-municode -mthreads)

build_all zlib "$zlib_version" libpng "$png_version" libopenmpt "$openmpt_version"
echo "$prefix" >&3
