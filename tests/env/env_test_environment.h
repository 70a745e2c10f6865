// SPDX-License-Identifier: GPL-3.0-or-later
// What the Qt environment tests share with their main().
#pragma once

#include <QString>

#include "tests/qt_print.h"

// The folder QSettings keeps this test run's user settings in.
QString TestSettingsFolder();
