#pragma once
#include <cstddef>
#include <cstdint>

// The points at which the hidden-line renderer samples f: the box, the
// mesh intervals m along x and n along y, k sub-steps each, with every
// coordinate computed as the renderer computes it (start + index x step,
// the sub-step being the mesh step divided by k), so that a height
// computed here is the height the renderer would compute.
class MeshLattice {
public:
    // The front boundary (x1, y2) down to (x1, y1) and on to (x2, y1); a
    // line of constant y, index r = 1..n; a line of constant x, q = 1..m.
    enum class Family { Front, ConstantY, ConstantX };
    struct Line {
        Family family;
        std::int64_t index;
    };

    // The longest line a lattice may have: the renderer's limit on its
    // screen columns, k * (m + n) + 1.
    static constexpr std::int64_t maxLineSamples = std::int64_t{1} << 25;

    MeshLattice(double x1, double x2, double y1, double y2, int m, int n, int k);

    // m, n and k not negative and every line within maxLineSamples.
    bool valid() const { return valid_; }
    // Samples in each line of the family (0 when not valid), and lines.
    std::int64_t length(Family family) const;
    std::int64_t lines(Family family) const;
    // Sub-steps in each mesh interval.
    std::int64_t subSteps() const { return k_; }
    // Samples in all lines, the front counted once.
    std::int64_t samples() const;

    // The coordinates of the samples first .. first + count - 1 of a line,
    // which must lie within it.
    void points(Line line, std::int64_t first, std::size_t count, double* x, double* y) const;

    // The same points: the same box, bit for bit, and the same m, n, k.
    bool operator==(const MeshLattice& other) const;

private:
    double x1_, x2_, y1_, y2_;
    std::int64_t m_, n_, k_;
    std::int64_t mk_ = 0, nk_ = 0;
    double dx_, dy_, subDx_, subDy_;
    bool valid_ = false;
};
