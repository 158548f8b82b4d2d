# Building targets of the native build for the cross builds, which take the show's data (and
# the browser's start screen) from it: sourced by web.sh and windows.sh, which set root,
# native (the build folder) and jobs.

# Configures $native as a Ninja tree when it has none yet, then builds the targets named.
build_native() {
    if [[ ! -f "$native/build.ninja" ]]; then
        cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
    fi
    cmake --build "$native" --target "$@" -j "$jobs"
}
