#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets and runs each for a while; stops at the first finding.
# Usage: scripts/fuzz.sh [seconds per target]   (default 15; hours: scripts/fuzz.sh 3600)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

targets=(receive_path hex_notation settings log_names recording plot transfer telnet)
[[ -x build/fuzz/tests/fuzz/fuzz_console ]] && targets+=(console)  # where libvterm is
[[ -x build/fuzz/tests/fuzz/fuzz_script ]] && targets+=(script)    # where Lua is
for target in "${targets[@]}"; do
  # New inputs go to the build folder; the seeds in tests/ stay as they are.
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus" build/fuzz/findings
  echo "fuzz_$target: ${seconds}s"
  build/fuzz/tests/fuzz/fuzz_$target -max_total_time="$seconds" -timeout=20 -print_final_stats=0 \
    -artifact_prefix=build/fuzz/findings/"$target"- "$corpus" tests/fuzz/corpus/"$target" \
    2>build/fuzz/$target.log || {
    tail -40 build/fuzz/$target.log >&2
    echo "fuzz_$target found a fault; the input is in build/fuzz/findings/" >&2
    exit 1
  }
done
