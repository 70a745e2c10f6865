// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a suit of the largest real size for the --render benchmark and for
// trying the preview: a 500-vertex body with a 256 texture and a 6 000-vertex
// head accessory with a 128 one, about 12 300 triangles, the files as the
// game's tools write them (text meshes, 8-bit BMPs, a text skeleton).
//
//   make_render_suit FOLDER            the suit and adult-skeleton.cmx in FOLDER
//   make_render_suit FOLDER GAME       the suit in FOLDER; the skeleton only as
//                                      adult-skeleton.cmx.bcf in GAME/GameData/Objects.far
#include <QImage>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "core/cmx_writer.h"
#include "core/suit.h"

namespace {

namespace fs = std::filesystem;

struct BoneRow {
  const char* name;
  const char* parent;
  float x, y, z;
};

// The adult skeleton's 29 bones standing as the game's does: feet on y = 0,
// the head near y = 5, the left side at -X. Identity rotations.
constexpr std::array<BoneRow, 29> kBones{{
    {"ROOT", "NULL", 0, 3, 0},          {"PELVIS", "ROOT", 0, 0, 0},
    {"L_LEG", "PELVIS", -0.3f, -0.15f, 0}, {"L_LEG1", "L_LEG", 0, -1.4f, 0},
    {"L_FOOT", "L_LEG1", 0, -1.4f, 0},  {"L_TOE0", "L_FOOT", 0, -0.05f, 0.25f},
    {"L_TOE01", "L_TOE0", 0, 0, 0.1f},  {"L_TOE02", "L_TOE01", 0, 0, 0.05f},
    {"R_LEG", "PELVIS", 0.3f, -0.15f, 0}, {"R_LEG1", "R_LEG", 0, -1.4f, 0},
    {"R_FOOT", "R_LEG1", 0, -1.4f, 0},  {"R_TOE0", "R_FOOT", 0, -0.05f, 0.25f},
    {"R_TOE01", "R_TOE0", 0, 0, 0.1f},  {"R_TOE02", "R_TOE01", 0, 0, 0.05f},
    {"SPINE", "PELVIS", 0, 0.3f, 0},    {"SPINE1", "SPINE", 0, 0.4f, 0},
    {"SPINE2", "SPINE1", 0, 0.4f, 0},   {"NECK", "SPINE2", 0, 0.5f, 0},
    {"HEAD", "NECK", 0, 0.4f, 0},       {"L_ARM", "NECK", -0.35f, -0.15f, 0},
    {"L_ARM1", "L_ARM", -0.5f, 0, 0},   {"L_ARM2", "L_ARM1", -0.6f, 0, 0},
    {"L_HAND", "L_ARM2", -0.6f, 0, 0},  {"L_FINGER0", "L_HAND", -0.2f, 0, 0},
    {"R_ARM", "NECK", 0.35f, -0.15f, 0}, {"R_ARM1", "R_ARM", 0.5f, 0, 0},
    {"R_ARM2", "R_ARM1", 0.6f, 0, 0},   {"R_HAND", "R_ARM2", 0.6f, 0, 0},
    {"R_FINGER0", "R_HAND", 0.2f, 0, 0},
}};

std::string SkeletonText() {
  std::ostringstream text;
  text << "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n1\r\nadult\r\n" << kBones.size() << "\r\n";
  for (const BoneRow& bone : kBones) {
    text << bone.name << "\r\n" << bone.parent << "\r\n0\r\n| " << bone.x << ' ' << bone.y << ' ' << bone.z
         << " |\r\n| 0 0 0 1 |\r\n1\r\n1\r\n1\r\n0\r\n0\r\n";
  }
  text << "0\r\n0\r\n";
  return text.str();
}

// The same skeleton as a BCF: counts as u32, names as Pascal strings.
std::string SkeletonBcf() {
  std::string out;
  const auto u32 = [&out](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const auto f32 = [&u32](float f) {
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof f);
    std::memcpy(&bits, &f, sizeof f);
    u32(bits);
  };
  const auto pascal = [&out](const std::string& s) {
    out += static_cast<char>(s.size());
    out += s;
  };
  u32(1);
  pascal("adult");
  u32(kBones.size());
  for (const BoneRow& bone : kBones) {
    pascal(bone.name);
    pascal(bone.parent);
    u32(0);
    for (const float v : {bone.x, bone.y, bone.z, 0.0f, 0.0f, 0.0f, 1.0f}) f32(v);
    u32(1), u32(1), u32(1), f32(0), f32(0);
  }
  u32(0), u32(0);
  return out;
}

// A FAR 1a archive of one entry.
std::string Far(const std::string& name, const std::string& bytes) {
  std::string out = "FAR!byAZ";
  const auto u32 = [&out](std::size_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  u32(1);
  u32(16 + bytes.size());
  out += bytes;
  u32(1), u32(bytes.size()), u32(bytes.size()), u32(16), u32(name.size());
  return out + name;
}

// A closed surface of `rows` rings of `columns` vertices around the bone's y
// axis, as a .skn: ring(t) gives (radius, y) at height t in 0 .. 1, the crown first.
std::string Surface(const std::string& name, const std::string& texture, const std::string& bone, int rows,
                    int columns, const std::function<std::array<double, 2>(double)>& ring) {
  std::ostringstream skn;
  skn << name << "\r\n" << texture << "\r\n1\r\n" << bone << "\r\n";
  skn << 2 * (rows - 1) * columns << "\r\n";
  for (int r = 0; r + 1 < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const int a = r * columns + c, b = r * columns + (c + 1) % columns;
      skn << a << ' ' << a + columns << ' ' << b << "\r\n" << b << ' ' << a + columns << ' ' << b + columns << "\r\n";
    }
  }
  const int count = rows * columns;
  skn << "1\r\n0 0 " << count << " -1 0\r\n" << count << "\r\n";
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) skn << static_cast<double>(c) / columns << ' ' << (r + 0.5) / rows << "\r\n";
  }
  skn << "0\r\n" << count << "\r\n";
  for (int r = 0; r < rows; ++r) {
    const auto [radius, y] = ring((r + 0.5) / rows);
    for (int c = 0; c < columns; ++c) {
      const double angle = 2 * std::numbers::pi * c / columns;
      skn << radius * std::sin(angle) << ' ' << y << ' ' << radius * std::cos(angle) << ' ' << std::sin(angle)
          << " 0 " << std::cos(angle) << "\r\n";
    }
  }
  return skn.str();
}

// An 8-bit paletted BMP of side `side` in bands of colour.
QImage Texture(int side, QRgb a, QRgb b) {
  QImage image(side, side, QImage::Format_Indexed8);
  image.setColorCount(256);
  for (int i = 0; i < 256; ++i) {
    const double t = i / 255.0;
    image.setColor(i, qRgb(static_cast<int>(qRed(a) * (1 - t) + qRed(b) * t),
                           static_cast<int>(qGreen(a) * (1 - t) + qGreen(b) * t),
                           static_cast<int>(qBlue(a) * (1 - t) + qBlue(b) * t)));
  }
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) image.setPixel(x, y, static_cast<uint>(((x / 8 + y / 8) % 2) * 128 + y * 127 / side));
  }
  return image;
}

bool Write(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: make_render_suit FOLDER [GAME]\n");
    return 2;
  }
  const fs::path folder = argv[1];
  fs::create_directories(folder);
  bool ok = Write(folder / "xskin-B900MAFit_bench-PELVIS-BODY.skn",
                  Surface("xskin-B900MAFit_bench-PELVIS-BODY", "x", "PELVIS", 20, 25, [](double t) {
                    return std::array<double, 2>{0.45 + 0.2 * std::sin(std::numbers::pi * t), 1.7 - 4.7 * t};
                  }));
  // 6 000 vertices: 60 rings of 100.
  ok = ok && Write(folder / "xskin-c900ma_bench-HEAD-HEAD.skn",
                   Surface("xskin-c900ma_bench-HEAD-HEAD", "C900MAlgt_bench", "HEAD", 60, 100, [](double t) {
                     const double angle = std::numbers::pi * t;
                     return std::array<double, 2>{0.38 * std::sin(angle), 0.3 + 0.5 * std::cos(angle)};
                   }));
  ok = ok && Texture(256, qRgb(40, 60, 160), qRgb(220, 200, 90)).save(QString::fromStdString((folder / "B900MAFitlgt_bench.bmp").string()), "BMP");
  ok = ok && Texture(128, qRgb(180, 120, 90), qRgb(240, 200, 170)).save(QString::fromStdString((folder / "C900MAlgt_bench.bmp").string()), "BMP");
  tailorloft::Suit suit{"B900MAFit_bench", "PELVIS", "xskin-B900MAFit_bench-PELVIS-BODY",
                        {{"HEAD", "xskin-c900ma_bench-HEAD-HEAD"}}};
  ok = ok && Write(folder / "B900MAFit_bench.cmx", tailorloft::FormatCmx(suit));
  if (argc == 3) {
    const fs::path game = argv[2];
    fs::create_directories(game / "GameData" / "Skins");
    ok = ok && Write(game / "GameData" / "Objects.far", Far("adult-skeleton.cmx.bcf", SkeletonBcf()));
  } else {
    ok = ok && Write(folder / "adult-skeleton.cmx", SkeletonText());
  }
  if (!ok) {
    std::fprintf(stderr, "make_render_suit: could not write the files\n");
    return 1;
  }
  return 0;
}
