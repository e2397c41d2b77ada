#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "expr/Builtins.h"
#include "expr/Program.h"
#include "expr/ZFunction.h"

struct SymbolEntry;

// The turn of every point by theta about the box centre, before f sees it.
struct PointTurn {
    double centreX = 0.0;
    double centreY = 0.0;
    double sinTheta = 0.0;
    double cosTheta = 1.0;
};

// f over many points at once, each with the value that
// SurfaceFunction::evaluate gives there, bit for bit: the program's steps
// run over a block of points each, so that their dispatch is paid once per
// block instead of once per point, while every point sees the same
// operations in the same order and the same libm calls. A domain error
// makes only its own point 0; infinities and NaN pass through.
//
// A snapshot: it copies the constants, the parameters, theta and the
// centre when it is made and reads nothing shared afterwards, so several
// threads may evaluate through one evaluator, each with its own Scratch.
class LineEvaluator final : public ZFunction {
public:
    static constexpr std::size_t blockSize = 512;

    // The working memory of evaluate, one per thread.
    class Scratch {
    public:
        Scratch() = default;
        explicit Scratch(const LineEvaluator& evaluator) { fit(evaluator); }
        // Grows to what evaluator needs, so that evaluate takes nothing.
        void fit(const LineEvaluator& evaluator);

    private:
        friend class LineEvaluator;

        // The turned x and y, then one block per level of the program's
        // stack above the first, which is the caller's z.
        std::vector<double> values_;
        std::vector<unsigned char> failed_;
    };

    // f = 0 everywhere, as after a failed parse.
    LineEvaluator() = default;
    // The program of a successful parse; x and y are the variables that
    // take the turned coordinates of each point, null when f does not
    // use them.
    LineEvaluator(const Program& program, const SymbolEntry* x, const SymbolEntry* y,
                  const PointTurn& turn);

    // z[i] = f(x[i], y[i]) for every i below z.size(); x and y must hold at
    // least as many points (std::invalid_argument otherwise). z may be x
    // or y itself.
    void evaluate(std::span<const double> x, std::span<const double> y, std::span<double> z,
                  Scratch& scratch) const;
    // The same with working memory of its own, taken for this call.
    void evaluate(std::span<const double> x, std::span<const double> y, std::span<double> z) const;

    // One coordinate of the points of a straight line: the same at every
    // point, or start at point 0 and start + i x step at point i (the
    // first point is the start itself even where 0 x step is not 0).
    struct Axis {
        double start = 0.0;
        double step = 0.0;
        bool fixed = true;
        static Axis at(double value) { return {value, 0.0, true}; }
        static Axis stepping(double start, double step) { return {start, step, false}; }
    };
    // z[i] = f at point first + i of the line for every i below z.size(),
    // without arrays of coordinates; first + z.size() must stay below 2^31
    // (std::invalid_argument otherwise).
    void evaluate(const Axis& x, const Axis& y, std::int64_t first, std::span<double> z,
                  Scratch& scratch) const;

    // Equal evaluators give equal values, bit for bit, at every point: the
    // same steps on bitwise equal numbers.
    bool operator==(const LineEvaluator& other) const;

    bool flat() const { return steps_.empty(); }

    // As a surface's heights: each thread with working memory of its own.
    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override;
    bool sameHeights(const ZFunction& other) const override;
    std::unique_ptr<ZFunction> snapshot() const override;

private:
    enum class Source : unsigned char { X, Y, Value };
    struct Operand {
        Source source = Source::Value;
        double value = 0.0;
        bool operator==(const Operand& other) const;
    };
    struct Step {
        Program::Op op;
        Operand first, second;
        const BuiltinFunction* function = nullptr;
        BuiltinFunction::Plain plain = nullptr;
        bool operator==(const Step& other) const = default;
    };
    struct Block;

    Operand operandOf(const double* where, const SymbolEntry* x, const SymbolEntry* y) const;
    template <class TurnBlock>
    void evaluateBlocks(std::span<double> z, Scratch& scratch, TurnBlock&& turnBlock) const;
    void run(Block& block, std::size_t count) const;

    std::vector<Step> steps_;
    PointTurn turn_;
    // Whether a step can meet a domain error: a division or a checked call.
    bool canFail_ = false;
    bool zeroFirst_ = false;
    bool copyOnPush_ = false;
    int stackDepth_ = 0;
};
