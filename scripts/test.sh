#!/usr/bin/env bash
# Builds and runs every test: the preset "release" (the download zip and its check), the host
# preset "native" (core tests under ASan and UBSan, bmp2pam, fuzz runs), then the preset
# "windows" (Win32 and end-to-end tests run by CTest under Wine on a private Xvfb). Ends with
# one line "N passed, N failed" that adds up the CTest runs, and exits non-zero when a test
# failed or a preset did not build.
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
bash scripts/deps.sh || exit 1
. scripts/wine-env.sh

passed=0
failed=0
mkdir -p build

# Adds the counts from CTest's summary line in the log $2 to the totals. A preset whose
# CTest printed no summary, or failed without naming a failed test, counts as one failure.
count_results() {
    local preset=$1 log=$2 rc=$3 line total bad
    line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        echo "test.sh: $preset: CTest reported no results" >&2
        failed=$((failed + 1))
        return
    fi
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    if ((rc != 0 && bad == 0)); then
        echo "test.sh: $preset: CTest exited with $rc" >&2
        failed=$((failed + 1))
    fi
}

# Configures, builds and tests one preset; extra arguments go to ctest.
run_preset() {
    local preset=$1 log=build/$1-ctest.log rc
    shift
    if ! cmake --preset "$preset" || ! cmake --build --preset "$preset"; then
        echo "test.sh: $preset: the build failed" >&2
        failed=$((failed + 1))
        return
    fi
    ctest --preset "$preset" "$@" 2>&1 | tee "$log"
    rc=${PIPESTATUS[0]}
    count_results "$preset" "$log" "$rc"
}

# The download: the stripped Velmo.exe and its zip, and the check of what they hold.
run_preset release

# Two cores: the unit tests and the fuzz run share them. --timeout only applies to tests
# that set no TIMEOUT of their own.
run_preset native --parallel 2 --timeout 600

# One Xvfb and one Wine session for the whole Windows preset, built after they exist
# because test discovery runs the test programs too. The GUI tests share that desktop,
# its pointer and its focus, so CTest runs them one at a time (--parallel 1); their
# RESOURCE_LOCK "desktop" would serialise them as well, but a test that forgets it
# cannot slip in beside them this way.
trap velmo_cleanup EXIT
if velmo_display && velmo_wine_prefix; then
    run_preset windows --parallel 1 --timeout 300
else
    echo "test.sh: windows: could not prepare Xvfb and the Wine prefix" >&2
    failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
((failed == 0))
