// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/finding.h"

#include <algorithm>
#include <tuple>

namespace tailorloft::game {

void SortFindings(std::vector<Finding>& findings) {
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    return std::tie(a.file, a.line) < std::tie(b.file, b.line);
  });
}

}  // namespace tailorloft::game
