#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tailorloft and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DTAILORLOFT_BUILD_BENCH=OFF >/dev/null
cmake --build build -j2 --target tailorloft
exec build/app/tailorloft "$@"
