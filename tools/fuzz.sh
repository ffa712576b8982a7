#!/usr/bin/env bash
# Builds the fuzz targets (clang-14 with libFuzzer, address and undefined-behaviour sanitizers)
# into build/fuzz and runs them over their corpora (engine/core/fuzz/corpus, tray/fuzz/corpus,
# convert/fuzz/corpus: a few seeds, and every input that ever failed).
#   tools/fuzz.sh short      replays each corpus, then fuzzes each target for a few seconds with
#                            a fixed seed (make test); fails on any finding
#   tools/fuzz.sh [SECONDS]  fuzzes each target for SECONDS (default 600), on both cores; what it
#                            learns goes to build/fuzz/corpus, what fails to build/fuzz/findings
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${VIREL_BUILD:-$repo/build}/fuzz
cmake -S "$repo" -B "$build" -DVIREL_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"${JOBS:-2}" >/dev/null

# target, its corpus in the repository, runs of the short mode (a few seconds each)
targets=("hook engine/core/fuzz/corpus/hook 12000"
         "version engine/core/fuzz/corpus/version 200000"
         "settings tray/fuzz/corpus/settings 200000"
         "decode convert/fuzz/corpus/decode 50000"
         "encode convert/fuzz/corpus/encode 50000")
keys_file="$build/keys-delivered"
: > "$keys_file"
export VIREL_FUZZ_KEYS_FILE=$keys_file

for entry in "${targets[@]}"; do
  read -r name corpus runs <<<"$entry"
  program="$build/fuzz_$name"
  if [ "${1:-}" = "short" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$repo/$corpus"/* "$work"/
    "$program" -seed=1 -runs="$runs" -artifact_prefix="$build/" "$work" 2>"$build/$name.log" ||
      { tail -30 "$build/$name.log"; echo "fuzz: $name failed (log: $build/$name.log)"; exit 1; }
    rm -rf "$work"
    trap - EXIT
    echo "fuzz: $name: $(grep -o 'Done [0-9]* runs' "$build/$name.log" | tail -1), no finding"
  else
    seconds=${1:-600}
    mkdir -p "$build/corpus/$name" "$build/findings/$name"
    cp -n "$repo/$corpus"/* "$build/corpus/$name"/
    "$program" -fork=2 -ignore_crashes=1 -max_total_time="$seconds" \
      -artifact_prefix="$build/findings/$name/" "$build/corpus/$name" 2>"$build/$name.log" || true
    # fork mode's status lines: "#<executions>: cov: ... exec/s <rate> ..."
    status=$(grep -E '^#[0-9]+:' "$build/$name.log" | tail -1 || true)
    echo "fuzz: $name: $(echo "$status" | grep -oE '^#[0-9]+' | tr -d '#') executions" \
         "($(echo "$status" | grep -oE 'exec/s [0-9]+')), findings: $(ls "$build/findings/$name" | wc -l)"
  fi
done
if [ -s "$keys_file" ]; then
  echo "fuzz: keys delivered through the hook: $(awk '{n += $1} END {print n}' "$keys_file")"
fi
