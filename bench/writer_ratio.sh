#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the writer benchmark and prints, for each suit size, the time of
# WriteCmxFile divided by the time of a plain write of the same bytes, and what
# its two flushes to the disk cost: WriteCmxFile against the same writer
# without them (medians of 5 runs). Usage: bench/writer_ratio.sh [path/to/cmx_writer_bench] [benchmark flags...]
# TMPDIR chooses the folder written to (e.g. TMPDIR=/dev/shm for memory only).
set -euo pipefail
bench=${1:-build/bench/cmx_writer_bench}
shift || true
"$bench" --benchmark_filter='Write' --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true "$@" |
  awk '$1 ~ /_median$/ {
         split($1, part, "/"); size = part[2]
         if (part[1] == "BM_WriteCmxFile") writer[size] = $2
         if (part[1] == "BM_WriteCmxFileNoFlush") noflush[size] = $2
         if (part[1] == "BM_PlainWrite") plain[size] = $2
         if (!(size in seen)) { seen[size] = 1; order[++count] = size }
       }
       END {
         for (i = 1; i <= count; i++) {
           size = order[i]
           printf "%-20s WriteCmxFile %12.0f ns   plain %12.0f ns   ratio %6.2f", \
                  size, writer[size], plain[size], writer[size] / plain[size]
           if (size in noflush)
             printf "   without flushes %12.0f ns   flushes cost %12.0f ns", \
                    noflush[size], writer[size] - noflush[size]
           printf "\n"
         }
       }'
