#!/usr/bin/env bash
# Builds the 64-bit Windows libraries of the Windows build (zlib, libpng, libopenmpt) from
# Debian source with MinGW-w64, once, into a cache outside the source tree; a library
# whose folder is complete is never built again. Its standard output carries one line,
# the cache's prefix (include/ and lib/): everything else goes to standard error.
#
# Environment: ORANGEFUNK_WINDOWS_CACHE overrides the cache folder
# (default ${XDG_CACHE_HOME:-$HOME/.cache}/orangefunk-windows); JOBS the parallel jobs (2).
set -euo pipefail
exec 3>&1 1>&2

# Bump when the flags or file lists below change: every library is then built again.
recipe=1
jobs=${JOBS:-2}
host=x86_64-w64-mingw32

need=()
command -v $host-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
[[ -f /usr/share/mingw-w64/include/windows.h || -f /usr/$host/include/windows.h ]] || need+=(mingw-w64-x86-64-dev)
command -v dpkg-source >/dev/null || need+=(dpkg-dev)
command -v make >/dev/null || need+=(make)
if [[ ${#need[@]} -gt 0 ]]; then
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

source "$(dirname "$0")/debian-source.sh"
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

# libopenmpt alone (no decoders of compressed samples, no player), as a static library.
build_libopenmpt() {
    local src
    fetch_source libopenmpt "$1"
    (
        cd "$src"
        ./configure --host=$host CC="$cc" CXX="$host-g++-posix" AR="$ar" --disable-shared --enable-static \
            --without-zlib --without-mpg123 --without-ogg --without-vorbis --without-vorbisfile \
            --without-portaudio --without-portaudiocpp --without-sndfile --without-flac --without-pulseaudio \
            --disable-openmpt123 --disable-examples --disable-tests --disable-doxygen-doc \
            >"$work/openmpt-configure.log" 2>&1 || { tail -n 30 "$work/openmpt-configure.log" >&2; exit 1; }
        make -j"$jobs" CXXFLAGS="-O2" CFLAGS="-O2" libopenmpt.la \
            >"$work/openmpt-make.log" 2>&1 || { tail -n 30 "$work/openmpt-make.log" >&2; exit 1; }
    )
    cp "$src/.libs/libopenmpt.a" "$prefix/lib/"
    mkdir -p "$prefix/include/libopenmpt"
    cp "$src"/libopenmpt/libopenmpt*.h "$src"/libopenmpt/libopenmpt*.hpp "$prefix/include/libopenmpt/"
}

work=""
cleanup() { [[ -n "$work" ]] && rm -rf "$work"; }
trap cleanup EXIT
work=$(mktemp -d "$cache/work.XXXXXX")

started=$SECONDS
build zlib "$zlib_version"
build libpng "$png_version"
build libopenmpt "$openmpt_version"
[[ $((SECONDS - started)) -gt 1 ]] && log "dependencies ready in $((SECONDS - started)) s"
echo "$prefix" >&3
