#!/usr/bin/env bash
# Format and static checks of the tracked C++ sources.
#   scripts/lint.sh        fail when clang-format would change a file, or on
#                          any clang-tidy finding in src/
#   scripts/lint.sh --fix  rewrite with clang-format the files it would change
# clang-tidy reads the compile_commands.json of BUILD_DIR (default build),
# a folder configured by ./dev.sh or cmake; it is built first so that the
# generated ui_*.h headers the sources include exist.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${BUILD_DIR:-build}
CLANG_FORMAT=${CLANG_FORMAT:-clang-format-14}
CLANG_TIDY=${CLANG_TIDY:-clang-tidy-14}

need() {
    command -v "$1" >/dev/null || { echo "lint: $1 is not installed" >&2; exit 2; }
}
need "$CLANG_FORMAT"

mapfile -t format_files < <(git ls-files -- \
    'src/*.cpp' 'src/*.h' 'sim/*.cpp' 'sim/*.h' 'tests/*.cpp' 'tests/*.h' \
    'bench/*.cpp' 'bench/*.h' 'tools/*.cpp' 'tools/*.h')
[ ${#format_files[@]} -gt 0 ] || { echo "lint: no C++ files found" >&2; exit 2; }

case "${1:-}" in
    --fix)
        "$CLANG_FORMAT" -i "${format_files[@]}"
        echo "lint: clang-format applied to ${#format_files[@]} files"
        exit 0
        ;;
    "") ;;
    *)
        echo "usage: $0 [--fix]" >&2
        exit 2
        ;;
esac

status=0

echo "== clang-format (${#format_files[@]} files)"
unformatted=()
for f in "${format_files[@]}"; do
    if ! "$CLANG_FORMAT" --dry-run -Werror "$f" >/dev/null 2>&1; then
        unformatted+=("$f")
    fi
done
if [ ${#unformatted[@]} -gt 0 ]; then
    for f in "${unformatted[@]}"; do
        diff -u "$f" <("$CLANG_FORMAT" "$f") --label "$f" --label "$f (formatted)" || true
    done
    echo "lint: clang-format would change ${#unformatted[@]} files (scripts/lint.sh --fix):"
    printf '  %s\n' "${unformatted[@]}"
    status=1
fi

# Only the tracked sources: the moc and autogen files in the build folder are
# in compile_commands.json too, but are not ours to lint.
mapfile -t tidy_files < <(git ls-files -- 'src/*.cpp')
[ ${#tidy_files[@]} -gt 0 ] || { echo "lint: no sources in src/" >&2; exit 2; }
echo "== clang-tidy (${#tidy_files[@]} files, build folder $BUILD_DIR)"
need "$CLANG_TIDY"
if [ ! -f "$BUILD_DIR/compile_commands.json" ]; then
    echo "lint: no $BUILD_DIR/compile_commands.json; configure first (./dev.sh test)" >&2
    exit 2
fi
cmake --build "$BUILD_DIR" --parallel "$(nproc)"

LOG_DIR=$(mktemp -d)
trap 'rm -rf "$LOG_DIR"' EXIT
log_of() {
    printf '%s/%s.log' "$LOG_DIR" "$(printf '%s' "$1" | tr / _)"
}
# One log per file, shown in file order once all are done.
tidy_one() {
    local log
    log=$(log_of "$1")
    "$CLANG_TIDY" -p "$BUILD_DIR" --quiet "$1" >"$log" 2>&1 || touch "$log.failed"
}
export -f log_of tidy_one
export CLANG_TIDY BUILD_DIR LOG_DIR
printf '%s\0' "${tidy_files[@]}" | xargs -0 -r -n 1 -P "$(nproc)" bash -c 'tidy_one "$1"' _ || true
failed=0
for f in "${tidy_files[@]}"; do
    log=$(log_of "$f")
    # A finding fails the file even where the config would let it warn only.
    if [ -f "$log.failed" ] || [ ! -f "$log" ] || grep -q -E '(warning|error): ' "$log"; then
        failed=$((failed + 1))
        if [ -f "$log" ]; then
            grep -v -E '^[0-9]+ (warnings?|errors?) generated\.$' "$log" || true
        else
            echo "$f: clang-tidy did not run"
        fi
    fi
done
if [ "$failed" -gt 0 ]; then
    echo "lint: clang-tidy failed on $failed of ${#tidy_files[@]} files; findings by check:"
    # A finding in a header shows once per file including it; count it once.
    cat "$LOG_DIR"/*.log | grep -E '(warning|error): ' | sort -u |
        grep -o '\[[a-z0-9.,-]*\]$' | sed 's/,-warnings-as-errors//' | sort | uniq -c | sort -rn || true
    status=1
fi

if [ "$status" -eq 0 ]; then
    echo "lint: clean"
fi
exit "$status"
