#!/usr/bin/env bash
# Builds the WebAssembly libraries of the browser build (zlib, libpng, SDL2, libopenmpt)
# from Debian source with emscripten, once, into a cache outside the source tree. Each
# library goes to its own folder named after its version and the recipe below; a folder
# that is complete is never built again. Its standard output carries one line, the cache's
# prefix (include/ and lib/): everything else, installers' and builds' chatter included,
# goes to standard error.
#
# Environment: ORANGEFUNK_WEB_CACHE overrides the cache folder
# (default ${XDG_CACHE_HOME:-$HOME/.cache}/orangefunk-web); JOBS the parallel jobs (2).
set -euo pipefail
# Standard output is kept (as 3) for the one line of the result.
exec 3>&1 1>&2

# Bump when the flags or file lists below change: every library is then built again.
recipe=2
jobs=${JOBS:-2}
export NODE_PATH=/usr/share/nodejs  # emcc's JavaScript tools need Debian's acorn

# Tools: emscripten, and what apt-get source needs.
need=()
command -v emcc >/dev/null || need+=(emscripten)
command -v dpkg-source >/dev/null || need+=(dpkg-dev)
# Debian's sources and the steps that build a library from them (fetch_source, build, ...).
source "$(dirname "$0")/debian-source.sh"
install_packages "${need[@]}"
log_name=web-deps
cc=emcc
ar=emar
enable_debian_sources

# Versions. libopenmpt must be the native build's, so that rows fall at the same times.
if ! openmpt_version=$(pkg-config --modversion libopenmpt 2>/dev/null); then
    echo "web-deps: the native libopenmpt-dev is missing (scripts/setup.sh installs it)" >&2
    exit 1
fi
openmpt_version=${openmpt_version%%+*}  # "0.6.9+release.autotools" names the tarball
zlib_version=1.2.13
png_version=1.6.39
sdl_version=2.26.5

emscripten_version=$(emcc -dumpversion)
cache=${ORANGEFUNK_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orangefunk-web}
prefix=$cache/emscripten-$emscripten_version
mkdir -p "$prefix/include" "$prefix/lib" "$prefix/stamps"

# SDL2 with its emscripten video (WebGL through EGL), events and Web Audio back-ends and
# the generic (single-threaded) thread stand-ins.
build_sdl2() {
    local src
    fetch_source libsdl2 "$1"
    rm -rf "$prefix/include/SDL2"
    mkdir -p "$prefix/include/SDL2"
    cp "$src"/include/*.h "$prefix/include/SDL2/"
    cflags=(-O2 -w -I"$prefix/include/SDL2")
    local files=(
        SDL.c SDL_assert.c SDL_dataqueue.c SDL_error.c SDL_guid.c SDL_hints.c SDL_list.c SDL_log.c SDL_utils.c
        atomic/SDL_atomic.c atomic/SDL_spinlock.c
        audio/SDL_audio.c audio/SDL_audiocvt.c audio/SDL_audiodev.c audio/SDL_audiotypecvt.c audio/SDL_mixer.c
        audio/SDL_wave.c audio/emscripten/SDL_emscriptenaudio.c audio/disk/SDL_diskaudio.c
        audio/dummy/SDL_dummyaudio.c
        cpuinfo/SDL_cpuinfo.c dynapi/SDL_dynapi.c
        events/SDL_clipboardevents.c events/SDL_displayevents.c events/SDL_dropevents.c events/SDL_events.c
        events/SDL_gesture.c events/SDL_keyboard.c events/SDL_mouse.c events/SDL_quit.c events/SDL_touch.c
        events/SDL_windowevents.c
        file/SDL_rwops.c filesystem/emscripten/SDL_sysfilesystem.c
        haptic/SDL_haptic.c haptic/dummy/SDL_syshaptic.c
        joystick/SDL_gamecontroller.c joystick/SDL_joystick.c joystick/controller_type.c
        joystick/emscripten/SDL_sysjoystick.c
        loadso/dlopen/SDL_sysloadso.c locale/SDL_locale.c locale/emscripten/SDL_syslocale.c
        main/dummy/SDL_dummy_main.c misc/SDL_url.c misc/dummy/SDL_sysurl.c
        power/SDL_power.c power/emscripten/SDL_syspower.c
        render/SDL_d3dmath.c render/SDL_render.c render/SDL_yuv_sw.c render/opengles2/SDL_render_gles2.c
        render/opengles2/SDL_shaders_gles2.c render/software/SDL_blendfillrect.c
        render/software/SDL_blendline.c render/software/SDL_blendpoint.c render/software/SDL_drawline.c
        render/software/SDL_drawpoint.c render/software/SDL_render_sw.c render/software/SDL_rotate.c
        render/software/SDL_triangle.c
        sensor/SDL_sensor.c sensor/dummy/SDL_dummysensor.c
        stdlib/SDL_crc16.c stdlib/SDL_crc32.c stdlib/SDL_getenv.c stdlib/SDL_iconv.c stdlib/SDL_malloc.c
        stdlib/SDL_qsort.c stdlib/SDL_stdlib.c stdlib/SDL_string.c stdlib/SDL_strtokr.c
        thread/SDL_thread.c thread/generic/SDL_syscond.c thread/generic/SDL_sysmutex.c
        thread/generic/SDL_syssem.c thread/generic/SDL_systhread.c thread/generic/SDL_systls.c
        timer/SDL_timer.c timer/unix/SDL_systimer.c
        video/SDL_RLEaccel.c video/SDL_blit.c video/SDL_blit_0.c video/SDL_blit_1.c video/SDL_blit_A.c
        video/SDL_blit_N.c video/SDL_blit_auto.c video/SDL_blit_copy.c video/SDL_blit_slow.c video/SDL_bmp.c
        video/SDL_clipboard.c video/SDL_egl.c video/SDL_fillrect.c video/SDL_pixels.c video/SDL_rect.c
        video/SDL_shape.c video/SDL_stretch.c video/SDL_surface.c video/SDL_video.c video/SDL_yuv.c
        video/emscripten/SDL_emscriptenevents.c video/emscripten/SDL_emscriptenframebuffer.c
        video/emscripten/SDL_emscriptenmouse.c video/emscripten/SDL_emscriptenopengles.c
        video/emscripten/SDL_emscriptenvideo.c
        video/dummy/SDL_nullevents.c video/dummy/SDL_nullframebuffer.c video/dummy/SDL_nullvideo.c
        video/yuv2rgb/yuv_rgb.c
    )
    compile_archive libSDL2.a "$src/src" "${files[@]}"
}

# libopenmpt (debian-source.sh) with C++ exceptions, which it reports load failures with.
cxx=em++
openmpt_flags=(-fexceptions -fvisibility=hidden)

build_all zlib "$zlib_version" libpng "$png_version" sdl2 "$sdl_version" libopenmpt "$openmpt_version"
echo "$prefix" >&3
