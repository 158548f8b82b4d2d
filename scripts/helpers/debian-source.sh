# Building a static library from Debian's source package once into a prefix: sourced by the
# scripts that cross-build the show's libraries (web-deps.sh, windows-deps.sh). The sourcing
# script sets log_name (its messages' prefix), cc and ar (the cross compiler and archiver),
# jobs, recipe, cache (the cache's folder, where the scratch folder goes) and prefix (include/,
# lib/, stamps/); for libopenmpt, cxx (the C++ compiler) and the array openmpt_flags (its own
# flags for that compiler).

log() { echo "$log_name: $*" >&2; }

# apt-get with apt's lists and dpkg held for this project's scripts alone while it runs:
# the test command builds the browser's and the Windows libraries side by side, and each
# may install packages (apt-get itself fails at once on a lock another holds).
apt_locked() {
    local sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo flock /tmp/orangefunk-apt.lock apt-get "$@"
}

# Installs the Debian packages named (those missing: the caller checks) with apt-get.
install_packages() {
    [[ $# -gt 0 ]] || return 0
    apt_locked update -qq
    apt_locked install -y -qq --no-install-recommends "$@"
}

# Adds Debian's source index to apt's lists when it is missing (apt-get source needs it).
enable_debian_sources() {
    if ! grep -rqs '^\(deb-src\|Types:.*deb-src\)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        local sudo=""
        [[ $(id -u) -eq 0 ]] || sudo="sudo"
        printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
            $sudo tee /etc/apt/sources.list.d/orangefunk-deb-src.sources >/dev/null
        apt_locked update -qq
    fi
}

# Unpacks the Debian source package $1 into the work folder and sets `src` to its folder;
# fails unless its upstream version is $2.
fetch_source() {
    local package=$1 version=$2
    (cd "$work" && apt-get source -qq --download-only "$package" >/dev/null 2>&1 ||
        { apt_locked update -qq && apt-get source -qq --download-only "$package"; })
    local dsc
    dsc=$(ls "$work"/"$package"_*.dsc | head -n 1)
    local folder="$work/src-$package"
    dpkg-source --no-check -x "$dsc" "$folder" >/dev/null
    local upstream
    upstream=$(basename "$dsc" .dsc)
    upstream=${upstream#*_}
    upstream=${upstream#*:}
    upstream=${upstream%-*}
    upstream=${upstream%%+*}
    upstream=${upstream%.dfsg}
    if [[ "$upstream" != "$version" ]]; then
        log "Debian's $package is $upstream, this build wants $version"
        return 1
    fi
    src=$folder
}

# Compiles the files $3... (relative to $2) with $compiler (default $cc) and the flags in the
# array cflags into the archive lib/$1, $jobs at a time.
compile_archive() {
    local archive=$1 base=$2
    shift 2
    local objects=() commands=() src obj
    mkdir -p "$work/obj-$archive"
    for src in "$@"; do
        obj="$work/obj-$archive/${src//\//_}.o"
        objects+=("$obj")
        commands+=("${compiler:-$cc} -c $base/$src -o $obj ${cflags[*]}")
    done
    printf '%s\n' "${commands[@]}" | xargs -P "$jobs" -I{} sh -c '{}'
    rm -f "$prefix/lib/$archive"
    $ar rcs "$prefix/lib/$archive" "${objects[@]}"
}

# Builds library $1 (version $2) with the function build_$1 unless its stamp exists.
build() {
    local name=$1 version=$2
    local stamp="$prefix/stamps/$name-$version-r$recipe"
    [[ -e "$stamp" ]] && return 0
    log "building $name $version (once; cached in $prefix)"
    local started=$SECONDS
    "build_$name" "$version"
    log "$name $version built in $((SECONDS - started)) s"
    touch "$stamp"
}

# Builds the libraries named with their versions (pairs: name version ...) in order, in a
# scratch folder `work` under $cache that is removed when the script exits; says how long it
# took when anything was built.
build_all() {
    work=""
    trap '[[ -n "$work" ]] && rm -rf "$work"' EXIT
    work=$(mktemp -d "$cache/work.XXXXXX")
    local started=$SECONDS
    while [[ $# -gt 0 ]]; do
        build "$1" "$2"
        shift 2
    done
    if [[ $((SECONDS - started)) -gt 1 ]]; then log "dependencies ready in $((SECONDS - started)) s"; fi
}

build_zlib() {
    local src
    fetch_source zlib "$1"
    cflags=(-O2 -w -DHAVE_UNISTD_H -I"$src")
    compile_archive libz.a "$src" adler32.c compress.c crc32.c deflate.c gzclose.c gzlib.c gzread.c \
        gzwrite.c infback.c inffast.c inflate.c inftrees.c trees.c uncompr.c zutil.c
    cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
}

build_libpng() {
    local src
    fetch_source libpng1.6 "$1"
    cp "$src/scripts/pnglibconf.h.prebuilt" "$src/pnglibconf.h"
    cflags=(-O2 -w -DPNG_ARM_NEON_OPT=0 -I"$src" -I"$prefix/include")
    compile_archive libpng.a "$src" png.c pngerror.c pngget.c pngmem.c pngpread.c pngread.c pngrio.c \
        pngrtran.c pngrutil.c pngset.c pngtrans.c pngwio.c pngwrite.c pngwtran.c pngwutil.c
    cp "$src/png.h" "$src/pngconf.h" "$src/pnglibconf.h" "$prefix/include/"
}

# libopenmpt's library, compiled straight from its sources' list in Makefile.am (no configure
# step, no player, tests or examples; no decoders of compressed samples), with the one module
# format the show plays, Impulse Tracker: the other formats' loaders leave the loader table
# and are not compiled, except those whose helpers the sample and pattern code calls.
openmpt_loaders=(it s3m mod ams dmf)
build_libopenmpt() {
    local src
    fetch_source libopenmpt "$1"
    local table=$src/soundlib/Sndfile.cpp
    sed -i -E '/^static constexpr FileFormatLoader ModuleFormatLoaders/,/^};/{/^\tMPT_DECLARE_FORMAT\(IT\),/b;/^\tMPT_DECLARE_FORMAT/d}' "$table"
    if [[ $(sed -n '/^static constexpr FileFormatLoader ModuleFormatLoaders/,/^};/p' "$table" | grep -c MPT_DECLARE_FORMAT) != 1 ]]; then
        log "libopenmpt $1: the loader table of $table is not as this recipe expects"
        return 1
    fi
    local files=()
    mapfile -t files < <(sed -nE 's/^(MPT_FILES_(SRC_MPT|SRC_OPENMPT|COMMON|SOUNDBASE|SOUNDLIB|SOUNDDSP)|libopenmpt_la_SOURCES) \+= (.+\.cpp)$/\3/p' \
        "$src/Makefile.am" | awk -v kept="${openmpt_loaders[*]}" '
        BEGIN { n = split(kept, k, " "); for (i = 1; i <= n; ++i) keep["soundlib/Load_" k[i] ".cpp"] = 1 }
        !/^soundlib\/Load_/ || ($0 in keep)')
    cflags=(-std=c++17 -O2 -w -DLIBOPENMPT_BUILD -DMPT_PACKAGE=true -I"$src" -I"$src/src" -I"$src/common"
            -I"$src/build/svn_version" "${openmpt_flags[@]}")
    compiler=$cxx compile_archive libopenmpt.a "$src" "${files[@]}"
    mkdir -p "$prefix/include/libopenmpt"
    cp "$src"/libopenmpt/libopenmpt*.h "$src"/libopenmpt/libopenmpt*.hpp "$prefix/include/libopenmpt/"
}
