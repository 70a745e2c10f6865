// SPDX-License-Identifier: GPL-3.0-or-later
// The bytes of the game's files made from the structs the readers return, so
// tests build small files in place instead of keeping binary samples. Names
// are UTF-8 and written in Windows-1252; a name it cannot hold, or a Pascal
// string longer than 255 bytes, throws std::invalid_argument.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "game/mesh.h"
#include "game/skeleton.h"

namespace tailorloft::game::testing {

// A .skn with CR LF line ends. The UV and vertex blocks hold uvCount and
// vertexCount records, taken from uvs and vertices where those have them
// and zeros after; the block places and `binary` are not written.
std::string SknText(const Mesh& mesh);
// The same mesh as a .bmf, records as SknText chooses them.
std::string BmfBytes(const Mesh& mesh);

// A text CMX skeleton file: the two header lines, the skeletons (no property
// lists, flags 1 1 1, wiggle 0 0), then 0 suits and 0 skills. CR LF.
std::string CmxSkeletonText(const std::vector<Skeleton>& skeletons);
// A BCF file with the skeletons and suits of `file` (laid out as the text
// form above), then 0 skills.
std::string BcfBytes(const SkeletonFile& file);

// A FAR 1a archive holding the entries in order, the manifest at the end.
std::string FarBytes(const std::vector<std::pair<std::string, std::string>>& nameAndBytes);

// A complete BMP: file header, info header of `infoHeaderSize` bytes (12, 40,
// 108 or 124), a full palette for 8 bits and fewer (biClrUsed 0), three
// masks after a 40-byte header when compression is 3 (BI_BITFIELDS), and
// zeroed pixel rows padded to 4 bytes. topDown stores a negative height.
std::string BmpBytes(int width, int height, int bitCount, std::uint32_t compression = 0, bool topDown = false,
                     std::uint32_t infoHeaderSize = 40);

// A made-up adult skeleton "adult" with the 29 bones of the game, parents
// before children: ROOT 3 units up, legs down to y = 0 and toes towards +Z,
// the spine up to HEAD at y = 5, arms straight out from NECK, the left side
// at -X. Translations relative to the parent; identity rotations.
Skeleton AdultSkeleton();

// A closed box of side 1 around the origin: 8 vertices, 12 outward faces,
// one binding to `boneName`, 8 UVs, no blends, vertices filled.
Mesh BoxMesh(const std::string& name, const std::string& texture, const std::string& boneName);

// A small valid mesh on PELVIS and SPINE: 6 real vertices (4 on PELVIS,
// 2 on SPINE), 2 blend vertices on SPINE pulling real vertices 2 and 3,
// 4 faces; everything filled.
Mesh BlendedMesh();

// What `read` throws as a GameFileError (its what()), or "(read)" when it
// throws nothing.
std::string ErrorOf(const std::function<void()>& read);

// `text` with the first `from` replaced by `to`; a test failure when `text`
// holds no `from`.
std::string Replaced(std::string text, const std::string& from, const std::string& to);

// `bytes` with the little-endian u32 at `at` set to `value`.
std::string WithU32(std::string bytes, std::size_t at, std::uint32_t value);

}  // namespace tailorloft::game::testing
