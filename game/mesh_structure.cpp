// SPDX-License-Identifier: GPL-3.0-or-later
// How a mesh's counts and indices fit together. Records are named by their
// 0-based index, as the indices in the file count them, and placed at their
// own line (text) or offset (binary). A fault repeated on many records is
// reported for the first few and then summed up, so a mesh whose vertex
// count is off does not bury the other findings under thousands of lines.
#include <algorithm>
#include <limits>

#include "game/mesh.h"

namespace tailorloft::game {

namespace {

constexpr std::size_t kShownPerFault = 5;
constexpr std::uint32_t kFullWeight = 32768;
constexpr std::uint32_t kNoBinding = std::numeric_limits<std::uint32_t>::max();

// Record sizes of the binary form, for the offsets of single records.
constexpr std::uint64_t kFaceSize = 12;
constexpr std::uint64_t kBindingSize = 20;
constexpr std::uint64_t kBlendSize = 8;

std::string Plural(std::uint64_t count, std::string_view noun, std::string_view nouns) {
  return std::to_string(count) + " " + std::string(count == 1 ? noun : nouns);
}

std::string Range(std::uint64_t first, std::uint64_t count) {
  if (count == 1) return std::to_string(first);
  return std::to_string(first) + " to " + std::to_string(first + count - 1);
}

class Checker {
 public:
  explicit Checker(const Mesh& mesh) : mesh_(mesh) {}

  std::vector<MeshProblem> Run() {
    const std::uint64_t blends = mesh_.blends.size();
    if (blends > mesh_.vertexCount) {
      Add(mesh_.verticesAt, "the mesh has " + Plural(blends, "blend", "blends") + " but only " +
                                Plural(mesh_.vertexCount, "vertex", "vertices") +
                                "; the vertices must be the real ones and then one for each blend");
    }
    real_ = blends > mesh_.vertexCount ? 0 : mesh_.vertexCount - blends;
    CheckFaces();
    CheckBindings();
    if (mesh_.uvCount != real_) {
      Add(mesh_.uvsAt, "the mesh has " + Plural(mesh_.uvCount, "UV", "UVs") + " but " +
                           Plural(real_, "real vertex", "real vertices") + "; each real vertex needs one UV");
    }
    CheckBlends();
    return std::move(problems_);
  }

 private:
  MeshBlockPlace Record(const MeshBlockPlace& block, std::size_t index, std::uint64_t size) const {
    MeshBlockPlace place;
    if (mesh_.binary) {
      place.offset = block.offset + 4 + size * index;
    } else {
      place.line = block.line + 1 + index;
    }
    return place;
  }

  void Add(const MeshBlockPlace& place, std::string message) {
    // A place a binary mesh read from offset 0 cannot have is still the block's start.
    problems_.push_back({mesh_.binary ? 0 : place.line, mesh_.binary ? place.offset : 0, std::move(message)});
  }

  // The first few of one kind of fault one by one, then how many more.
  class Repeated {
   public:
    Repeated(Checker& checker, std::string more) : checker_(checker), more_(std::move(more)) {}
    void Add(const MeshBlockPlace& place, std::string message) {
      if (count_ < kShownPerFault) {
        checker_.Add(place, std::move(message));
      } else if (count_ == kShownPerFault) {
        firstHidden_ = place;
      }
      ++count_;
    }
    ~Repeated() {
      if (count_ > kShownPerFault) {
        checker_.Add(firstHidden_, "and " + std::to_string(count_ - kShownPerFault) + " more " + more_);
      }
    }
    Repeated(const Repeated&) = delete;
    Repeated& operator=(const Repeated&) = delete;

   private:
    Checker& checker_;
    std::string more_;
    std::size_t count_ = 0;
    MeshBlockPlace firstHidden_;
  };

  void CheckFaces() {
    Repeated faults(*this, "faces that name vertices the mesh does not have");
    for (std::size_t i = 0; i < mesh_.faces.size(); ++i) {
      const MeshFace& face = mesh_.faces[i];
      for (const std::uint32_t vertex : {face.a, face.b, face.c}) {
        if (vertex >= real_) {
          faults.Add(Record(mesh_.facesAt, i, kFaceSize), "face " + std::to_string(i) + " names vertex " +
                                                              std::to_string(vertex) + ", but the mesh has " +
                                                              Plural(real_, "real vertex", "real vertices"));
          break;
        }
      }
    }
  }

  // Marks `count` vertices from `first` as bound by `binding` in `owners`;
  // the parts outside `owners` are reported by the caller.
  void Cover(std::vector<std::uint32_t>& owners, std::uint64_t first, std::uint64_t count,
             std::uint32_t binding, std::string_view kind, std::string_view kinds, Repeated& overlaps) {
    const std::uint64_t end = std::min<std::uint64_t>(first + count, owners.size());
    for (std::uint64_t v = first; v < end; ++v) {
      if (owners[v] == kNoBinding) {
        owners[v] = binding;
        continue;
      }
      // One message for the whole run shared with one other binding.
      const std::uint32_t other = owners[v];
      std::uint64_t last = v;
      while (last + 1 < end && owners[last + 1] == other) ++last;
      overlaps.Add(Record(mesh_.bindingsAt, binding, kBindingSize),
                   "binding " + std::to_string(binding) + " covers " + std::string(last == v ? kind : kinds) +
                       " " + Range(v, last - v + 1) + ", which binding " + std::to_string(other) +
                       " covers too");
      v = last;
    }
  }

  void ReportGaps(const std::vector<std::uint32_t>& owners, std::string_view kind, std::string_view kinds) {
    Repeated gaps(*this, std::string(kinds) + " ranges bound to no bone");
    for (std::uint64_t v = 0; v < owners.size(); ++v) {
      if (owners[v] != kNoBinding) continue;
      std::uint64_t last = v;
      while (last + 1 < owners.size() && owners[last + 1] == kNoBinding) ++last;
      gaps.Add(mesh_.bindingsAt, (last == v ? std::string(kind) + " " + std::to_string(v) + " is"
                                            : std::string(kinds) + " " + Range(v, last - v + 1) + " are") +
                                     " bound to no bone");
      v = last;
    }
  }

  void CheckBindings() {
    const std::uint64_t blendVertices = mesh_.blends.size();
    // Both are bounded by records the reader has seen: the vertices and the blends.
    std::vector<std::uint32_t> realOwners(real_, kNoBinding);
    std::vector<std::uint32_t> blendOwners(blendVertices, kNoBinding);
    Repeated faults(*this, "bindings that do not fit the mesh");
    Repeated overlaps(*this, "overlaps between bindings");
    for (std::size_t i = 0; i < mesh_.bindings.size(); ++i) {
      const MeshBinding& b = mesh_.bindings[i];
      const MeshBlockPlace place = Record(mesh_.bindingsAt, i, kBindingSize);
      const std::string name = "binding " + std::to_string(i);
      const auto binding = static_cast<std::uint32_t>(i);
      if (b.bone >= mesh_.bones.size()) {
        faults.Add(place, name + " names bone " + std::to_string(b.bone) + ", but the mesh has " +
                              Plural(mesh_.bones.size(), "bone", "bones"));
      }
      if (b.realCount > 0 && std::uint64_t{b.firstReal} + b.realCount > real_) {
        faults.Add(place, name + " covers real vertices " + Range(b.firstReal, b.realCount) +
                              ", but the mesh has " + Plural(real_, "real vertex", "real vertices"));
      }
      Cover(realOwners, b.firstReal, b.realCount, binding, "real vertex", "real vertices", overlaps);
      if (b.blendCount == 0) continue;
      if (b.firstBlend < 0) {
        faults.Add(place, name + " has " + Plural(b.blendCount, "blend vertex", "blend vertices") +
                              " but no first blend vertex (" + std::to_string(b.firstBlend) + ")");
        continue;
      }
      const auto firstBlend = static_cast<std::uint64_t>(b.firstBlend);
      if (firstBlend + b.blendCount > blendVertices) {
        faults.Add(place, name + " covers blend vertices " + Range(firstBlend, b.blendCount) +
                              ", but the mesh has " +
                              Plural(blendVertices, "blend vertex", "blend vertices"));
      }
      Cover(blendOwners, firstBlend, b.blendCount, binding, "blend vertex", "blend vertices", overlaps);
    }
    ReportGaps(realOwners, "real vertex", "real vertices");
    ReportGaps(blendOwners, "blend vertex", "blend vertices");
  }

  void CheckBlends() {
    Repeated faults(*this, "blends that name missing vertices or weigh too much");
    for (std::size_t i = 0; i < mesh_.blends.size(); ++i) {
      const MeshBlend& blend = mesh_.blends[i];
      const MeshBlockPlace place = Record(mesh_.blendsAt, i, kBlendSize);
      if (blend.vertex >= real_) {
        faults.Add(place, "blend " + std::to_string(i) + " pulls vertex " + std::to_string(blend.vertex) +
                              ", but the mesh has " + Plural(real_, "real vertex", "real vertices"));
      }
      if (blend.weight > kFullWeight) {
        faults.Add(place, "blend " + std::to_string(i) + " weighs " + std::to_string(blend.weight) +
                              ", more than 32768 (all of the vertex)");
      }
    }
  }

  const Mesh& mesh_;
  std::uint64_t real_ = 0;
  std::vector<MeshProblem> problems_;
};

}  // namespace

std::vector<MeshProblem> MeshStructureProblems(const Mesh& mesh) { return Checker(mesh).Run(); }

}  // namespace tailorloft::game
