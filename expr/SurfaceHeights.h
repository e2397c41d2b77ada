#pragma once
#include <memory>

#include "expr/Program.h"
#include "expr/ZFunction.h"

// The turn of every point by theta about the box centre, before f sees it.
struct PointTurn {
    double centreX = 0.0;
    double centreY = 0.0;
    double sinTheta = 0.0;
    double cosTheta = 1.0;
    bool operator==(const PointTurn& other) const;
};

// The heights of f(x,y) as they stand at one moment: its program, the
// turn, and the field whose height z takes, if any. A value that reads
// nothing shared, so any number of threads may ask it for heights.
class SurfaceHeights final : public ZFunction {
public:
    // 0 everywhere, as after a failed parse.
    SurfaceHeights() = default;
    // field: where f reads z, the heights z takes at the turned point.
    SurfaceHeights(Program program, const PointTurn& turn,
                   std::shared_ptr<const ZFunction> field);

    // Throws std::invalid_argument when x or y holds fewer points than z.
    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override;
    // The same program, turn and field (the fields by their own
    // sameHeights); other may also be a SurfaceFunction, as it stands.
    bool sameHeights(const ZFunction& other) const override;
    // With a snapshot of the field.
    std::unique_ptr<ZFunction> snapshot() const override;

    bool flat() const { return program_.flat(); }

private:
    Program program_;
    PointTurn turn_;
    // Null unless the program reads z.
    std::shared_ptr<const ZFunction> field_;
};
