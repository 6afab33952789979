#!/usr/bin/env bash
# Checks the C++ sources: their formatting against .clang-format (src/, tests/ and fuzz/), then
# clang-tidy with .clang-tidy over the program's own sources in src/ that the build compiles.
# Usage: tools/lint.sh [build tree]   (default: <repo>/build, the default preset's tree)
# The build tree must be configured and built: clang-tidy reads its compile_commands.json and needs
# the headers generated there. Prints only findings; exits non-zero when there is one.
# LINT_JOBS sets how many clang-tidy processes run at once (default: 2).
# LINT_CACHE names a folder that remembers sources found clean: clang-tidy is skipped when src/, the
# checks and the tools are the same as in a clean run before. Unset (the default), it always runs.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build}
jobs=${LINT_JOBS:-2}

# The style and the checks are those of release 14; another release formats and checks differently.
pick_tool() {
    if command -v "$1-14" >/dev/null; then
        echo "$1-14"
    elif command -v "$1" >/dev/null; then
        echo "$1"
    else
        echo "lint.sh: $1 (version 14) is not installed" >&2
        exit 2
    fi
}
clang_format=$(pick_tool clang-format)
clang_tidy=$(pick_tool clang-tidy)

if ! [[ $jobs =~ ^[0-9]+$ ]] || ((jobs < 1)); then
    echo "lint.sh: LINT_JOBS must be a positive whole number, not '$jobs'" >&2
    exit 2
fi
database=$build/compile_commands.json
if [[ ! -f $database ]]; then
    echo "lint.sh: $database is missing: configure and build with 'cmake --preset default' first" >&2
    exit 2
fi

cd "$repo"
status=0

# Formatting. clang-format names each file and line that it would change.
if ! find src tests fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
    xargs -0 "$clang_format" --style=file --dry-run --Werror; then
    echo "lint.sh: files above are not formatted; mend them with: $clang_format -i FILE..." >&2
    status=1
fi

# clang-tidy over the sources of src/ in the build's compile commands: not the generated ones in the
# build tree, and not those built only for Windows, which need the Windows headers.
mapfile -t sources < <(grep -o '"file": *"[^"]*"' "$database" | sed 's/^"file": *"//; s/"$//' |
    grep "^$repo/src/.*\.cpp\$" | grep -v -e '_windows\.cpp$' -e '/combridge\.cpp$' | sort -u)
if ((${#sources[@]} == 0)); then
    echo "lint.sh: no sources of src/ found in $database" >&2
    exit 2
fi

# The sources, the checks, the compile commands less this tree's place, and the tools' versions.
cache_key=
if [[ -n ${LINT_CACHE:-} ]]; then
    cache_key=$({
        "$clang_tidy" --version
        cat .clang-tidy
        sed "s|$repo|.|g" "$database"
        find src -type f -print0 | sort -z | xargs -0 sha256sum
    } | sha256sum | cut -d' ' -f1)
    if [[ -e $LINT_CACHE/$cache_key ]]; then
        echo "lint.sh: clang-tidy skipped: these sources were found clean before ($LINT_CACHE)"
        exit $status
    fi
fi

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# Each file's output goes to a log of its own, kept only when it holds a finding (clang-tidy failed,
# or warned about a check that .clang-tidy does not make an error), so that the findings of two
# processes do not interleave.
export clang_tidy build logs
printf '%s\0' "${sources[@]}" | xargs -0 -n 1 -P "$jobs" sh -c '
    log="$logs/$(printf "%s" "$1" | tr / _).log"
    if "$clang_tidy" -p "$build" --quiet "$1" >"$log" 2>&1 && ! grep -Eq ": (warning|error):" "$log"; then
        rm -f "$log"
    fi
    exit 0' lint-tidy
if compgen -G "$logs/*.log" >/dev/null; then
    # The count of compiler warnings that clang-tidy adds to every file says nothing here.
    cat "$logs"/*.log | grep -Ev '^[0-9]+ (warning|error)s? (and [0-9]+ (warning|error)s? )?generated\.$' || true
    echo "lint.sh: clang-tidy found faults" >&2
    status=1
elif [[ -n $cache_key ]]; then
    mkdir -p "$LINT_CACHE" && touch "$LINT_CACHE/$cache_key"
fi
exit $status
