#!/usr/bin/env bash
# Runs one fuzz target of tests/fuzz for a given time:
#   scripts/fuzz.sh TARGET SECONDS [LIBFUZZER-OPTION]...   e.g. scripts/fuzz.sh settings 600
# (options such as -runs=1000000 stop it earlier; the final lines give the executions run).
# TARGET is a folder name of tests/fuzz/corpus (settings, wav_header, recording_repair, ...).
# Builds with clang, libFuzzer, ASan and UBSan in build-fuzz/. Inputs that reach new code are
# kept in build-fuzz/corpus/TARGET; an input that breaks a property or crashes is saved in
# build-fuzz/crashes/TARGET/. Keep each such input as a regression case: copy it into
# tests/fuzz/corpus/TARGET/regression/ under a name that says what it found, and fix the fault;
# the normal tests replay it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

target=${1:?usage: scripts/fuzz.sh TARGET SECONDS}
seconds=${2:?usage: scripts/fuzz.sh TARGET SECONDS}
shift 2
if [ ! -d "tests/fuzz/corpus/$target" ]; then
  echo "fuzz: no target $target (see tests/fuzz/corpus/)" >&2
  exit 2
fi

bash scripts/install-deps.sh --fuzz

build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DKARAOKE_FUZZ=ON -DKARAOKE_BUILD_BENCH=OFF > /dev/null
cmake --build "$build" --target "fuzz_$target" -j"$(nproc)"

mkdir -p "$build/corpus/$target" "$build/crashes/$target"
# The WAV targets write a file per input: keep them in memory where the machine allows.
if [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
# Lean allocations (no allocation stacks, no fill, a small quarantine) triple the speed; rerun a
# crash input with ASAN_OPTIONS=detect_leaks=0 for full allocation stacks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:malloc_context_size=0:max_malloc_fill_size=0:quarantine_size_mb=16}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# A target whose work grows with the input gets a cap that still holds every kind of content
# (for cdg, 100 packets: each instruction and several frames); an option given here wins.
limits=()
case $target in
  cdg) limits=(-max_len=2400) ;;
esac
seeds=()
for folder in seed regression; do
  [ -d "tests/fuzz/corpus/$target/$folder" ] && seeds+=("tests/fuzz/corpus/$target/$folder")
done
exec "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$build/crashes/$target/" "${limits[@]}" "$@" "$build/corpus/$target" "${seeds[@]}"
