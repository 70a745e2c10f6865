#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang and runs each briefly from the seed
# corpus in fuzz/corpus. New inputs go to a scratch folder, never the seeds.
# FUZZ_SECONDS sets the time per target (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-fuzz
seconds=${FUZZ_SECONDS:-10}

CXX=clang++ CC=clang cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAILORLOFT_BUILD_FUZZ=ON -DTAILORLOFT_SANITIZE=ON -DTAILORLOFT_WERROR=ON \
  -DTAILORLOFT_BUILD_GUI=OFF -DTAILORLOFT_BUILD_CLI=OFF -DTAILORLOFT_BUILD_TESTS=OFF \
  -DTAILORLOFT_BUILD_BENCH=OFF >/dev/null
targets=(wine_registry steam_libraries cmx_reader skn_reader bmf_reader skeleton_reader far_reader bmp_reader)
cmake --build "$build" -j2 --target "${targets[@]/%/_fuzz}"

for target in "${targets[@]}"; do
  echo "-- ${target}_fuzz for ${seconds}s"
  scratch="$build/corpus/$target"
  mkdir -p "$scratch"
  log="$build/$target.log"
  if ! "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/" "$scratch" "fuzz/corpus/$target" \
      >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "${target}_fuzz found a fault; the input is in $build/" >&2
    exit 1
  fi
  grep -E '^stat::number_of_executed_units' "$log"
done
