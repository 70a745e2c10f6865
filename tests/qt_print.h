// SPDX-License-Identifier: GPL-3.0-or-later
// Lets GoogleTest print Qt strings as text in failure messages, not as lists
// of UTF-16 code units.
#pragma once

#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

inline void PrintTo(const QStringList& list, std::ostream* out) {
  *out << '{';
  for (qsizetype i = 0; i < list.size(); ++i) {
    if (i != 0) *out << ", ";
    PrintTo(list[i], out);
  }
  *out << '}';
}
