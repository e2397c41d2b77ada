#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "device/LineDrawer.h"
#include "device/PlotDevice.h"
#include "device/Projection.h"
#include "render/PieceSeer.h"

// The lines of constant x seen ahead on another thread, against horizons
// of their own from the front boundary, while this one draws the lines of
// constant y. Where the canvas has a layer for thin lines they are drawn
// on it there, through lines of their own with the device's rules, and
// the layer laid on the page here; otherwise they are kept and drawn here
// in order. Only a large mesh whose heights are all
// kept (so that both threads may read them) is worth it, and only while
// what is kept fits its budget. Not layered, they are always kept.
class SeenAhead {
public:
    static constexpr std::size_t budgetBytes = std::size_t{64} << 20;
    // Below this many samples in all the lines a second thread costs more
    // than it saves: the default page (about 16 000) draws in well under
    // a millisecond on one.
    static constexpr std::int64_t worthFrom = std::int64_t{1} << 18;

    // Null when the mesh is not worth it or what is kept does not fit.
    // The lines are drawn in the pens of this thread's walk.
    static std::unique_ptr<SeenAhead> make(PlotDevice& device, const Projection& view,
                                           MeshHeights& heights, const MeshLattice& lattice,
                                           const SurfacePens& pens, bool layered = true);
    ~SeenAhead();

    // On the other thread; true when every line was seen.
    bool see() noexcept;

    // The lines on the device after those of constant y; false when they
    // are still to be drawn.
    bool draw(PlotDevice& d, const SurfacePens& pens);

private:
    SeenAhead(PlotDevice& device, const Projection& view, MeshHeights& heights,
              const MeshLattice& lattice, const SurfacePens& pens, bool layered);
    // Room to keep the seen lines, within the budget.
    bool keep(std::size_t samples);
    void seeLine(MeshLattice::Line line);
    void keepPiece(const SeenSamples& s, std::int64_t q, std::size_t to, std::int64_t first,
                   std::size_t count);

    const MeshLattice& lattice_;
    MeshHeights& heights_;
    PieceSeer seer_;
    const Pen startPen_;
    const SurfacePens pens_;
    std::unique_ptr<double[]> lower_, upper_;
    std::unique_ptr<CanvasLayer> layer_;
    std::unique_ptr<LineDrawer> layerLines_;
    bool anyBelow_ = false;
    std::unique_ptr<DevicePoint[]> points_;
    std::unique_ptr<Seen[]> seen_;
    std::unique_ptr<bool[]> valid_;
    std::unique_ptr<bool[]> lineValid_;
};
