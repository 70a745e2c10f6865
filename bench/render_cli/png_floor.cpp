// SPDX-License-Identifier: GPL-3.0-or-later
// The floor of the --render benchmark: what any Qt program pays for a picture.
// Starts, loads Qt Gui, and writes a transparent PNG of WxH pixels, as
// tailorloft-cli --render writes its picture (through QImage, no window).
//
//   png_floor OUT.png W H
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: png_floor OUT.png W H\n");
    return 2;
  }
  QImage image(std::atoi(argv[2]), std::atoi(argv[3]), QImage::Format_RGBA8888);
  image.fill(Qt::transparent);
  return image.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
