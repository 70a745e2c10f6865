// SPDX-License-Identifier: GPL-3.0-or-later
// Where the install lookup looks for the game, in words a user can check by
// hand, for the About box when the game was not found.
#pragma once

#include <string>
#include <vector>

namespace tailorloft::env {

// One line per kind of place, in the order the lookup tries them (UTF-8).
std::vector<std::string> GameSearchPlaces();

}  // namespace tailorloft::env
