#include "expr/LineEvaluator.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "expr/SymbolTable.h"

namespace {

using Op = Program::Op;

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// An operand that differs from point to point, and one that does not.
struct Lanes {
    const double* values;
    double operator[](std::size_t i) const { return values[i]; }
};
struct Broadcast {
    double value;
    double operator[](std::size_t) const { return value; }
};

// The coordinates of the points of a block: read from an array, the same
// at every point, or start + index x step. The index counts as a 32-bit
// int, whose conversions to double the processor makes several at once.
struct Stepped {
    double start, step;
    std::int32_t first;
    double operator[](std::size_t i) const
    {
        return start + static_cast<double>(first + static_cast<std::int32_t>(i)) * step;
    }
};

// The point turned by theta about the centre, written as
// SurfaceFunction::evaluate writes it, so that it rounds the same way.
template <class X, class Y>
void turnPoints(const PointTurn& t, X x, Y y, double* tx, double* ty, std::size_t count)
{
    const double cx = t.centreX, cy = t.centreY, s = t.sinTheta, c = t.cosTheta;
    for (std::size_t i = 0; i < count; ++i) {
        const double dx = x[i] - cx;
        const double dy = y[i] - cy;
        tx[i] = cx + dx * c - dy * s;
        ty[i] = cy + dx * s + dy * c;
    }
}

enum class Arith { Add, Subtract, Multiply, Divide, Power };

// out[i] = left[i] op right[i], as Program::run computes it at one point.
// A divisor that is zero or not a number fails the point instead of
// throwing; the quotient of a failed point is never used.
template <class Left, class Right>
void arith(Arith op, Left left, Right right, double* out, unsigned char* failed, std::size_t count)
{
    switch (op) {
    case Arith::Add:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = left[i] + right[i];
        break;
    case Arith::Subtract:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = left[i] - right[i];
        break;
    case Arith::Multiply:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = left[i] * right[i];
        break;
    case Arith::Divide:
        for (std::size_t i = 0; i < count; ++i) {
            const double divisor = right[i];
            const bool bad = divisor == 0.0 || std::isnan(divisor);
            failed[i] = static_cast<unsigned char>(failed[i] | bad);
            out[i] = left[i] / (bad ? 1.0 : divisor);
        }
        break;
    case Arith::Power:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = std::pow(left[i], right[i]);
        break;
    }
}

Arith arithOf(Op op)
{
    switch (op) {
    case Op::Add: case Op::PopAdd: case Op::AddBoth: return Arith::Add;
    case Op::Subtract: case Op::SubtractFrom: case Op::PopSubtract: case Op::SubtractBoth:
        return Arith::Subtract;
    case Op::Multiply: case Op::PopMultiply: case Op::MultiplyBoth: return Arith::Multiply;
    case Op::Divide: case Op::DivideInto: case Op::PopDivide: case Op::DivideBoth:
        return Arith::Divide;
    default: return Arith::Power;
    }
}

enum class Shape { Load, Push, WithOperand, OperandFirst, Popped, Both, Call, CallPlain };

Shape shapeOf(Op op)
{
    switch (op) {
    case Op::Load: return Shape::Load;
    case Op::Push: return Shape::Push;
    case Op::Add: case Op::Subtract: case Op::Multiply: case Op::Divide: case Op::Power:
        return Shape::WithOperand;
    case Op::SubtractFrom: case Op::DivideInto: case Op::PowerOf: return Shape::OperandFirst;
    case Op::PopAdd: case Op::PopSubtract: case Op::PopMultiply: case Op::PopDivide:
    case Op::PopPower:
        return Shape::Popped;
    case Op::AddBoth: case Op::SubtractBoth: case Op::MultiplyBoth: case Op::DivideBoth:
    case Op::PowerBoth:
        return Shape::Both;
    case Op::Call: return Shape::Call;
    default: return Shape::CallPlain;
    }
}

} // namespace

// The block of points under evaluation, laid out in a Scratch.
struct LineEvaluator::Block {
    double* x;
    double* y;
    double* acc;
    double* stack;
    unsigned char* failed;
};

bool LineEvaluator::Operand::operator==(const Operand& other) const
{
    return source == other.source && sameBits(value, other.value);
}

void LineEvaluator::Scratch::fit(const LineEvaluator& evaluator)
{
    const std::size_t blocks = 2 + static_cast<std::size_t>(evaluator.stackDepth_);
    if (values_.size() < blocks * blockSize)
        values_.resize(blocks * blockSize);
    failed_.resize(blockSize);
}

LineEvaluator::Operand LineEvaluator::operandOf(const double* where, const SymbolEntry* x,
                                                const SymbolEntry* y) const
{
    if (x != nullptr && where == &x->value)
        return {Source::X, 0.0};
    if (y != nullptr && where == &y->value)
        return {Source::Y, 0.0};
    return {Source::Value, *where};
}

LineEvaluator::LineEvaluator(const Program& program, const SymbolEntry* x, const SymbolEntry* y,
                             const PointTurn& turn)
    : turn_(turn)
{
    int depth = 0;
    for (const Program::Step& from : program.steps()) {
        Step step{from.op, {}, {}, nullptr, nullptr};
        switch (shapeOf(from.op)) {
        case Shape::Load: case Shape::WithOperand: case Shape::OperandFirst:
            step.first = operandOf(from.operand, x, y);
            break;
        case Shape::Both:
            step.first = operandOf(from.operand, x, y);
            step.second = operandOf(from.second, x, y);
            break;
        case Shape::Push:
            stackDepth_ = std::max(stackDepth_, ++depth);
            break;
        case Shape::Popped: --depth; break;
        case Shape::Call: step.function = from.function; break;
        case Shape::CallPlain: step.plain = from.plain; break;
        }
        canFail_ = canFail_ || arithOf(step.op) == Arith::Divide || step.op == Op::Call;
        steps_.push_back(step);
    }
    // A step that overwrites the running value without reading it starts
    // every program, and every operand computed after a push: then the
    // running value needs no start of 0, and a push can hand its block to
    // the stack instead of copying it.
    auto overwrites = [](const Step& step) {
        return shapeOf(step.op) == Shape::Load || shapeOf(step.op) == Shape::Both;
    };
    zeroFirst_ = !steps_.empty() && !overwrites(steps_.front());
    for (std::size_t i = 0; i < steps_.size(); ++i)
        if (steps_[i].op == Op::Push && (i + 1 == steps_.size() || !overwrites(steps_[i + 1])))
            copyOnPush_ = true;
}

bool LineEvaluator::operator==(const LineEvaluator& other) const
{
    return steps_ == other.steps_ && sameBits(turn_.centreX, other.turn_.centreX) &&
           sameBits(turn_.centreY, other.turn_.centreY) &&
           sameBits(turn_.sinTheta, other.turn_.sinTheta) &&
           sameBits(turn_.cosTheta, other.turn_.cosTheta);
}

// The running value lives in one block of a pool: the block of z, then
// one per stack level. A push moves it one level up, where the operand is
// computed; the popped operation writes back into the level below.
void LineEvaluator::run(Block& b, std::size_t count) const
{
    double* acc = b.acc;
    int level = 0;
    auto blockAt = [&](int at) { return at == 0 ? b.acc : b.stack + (at - 1) * blockSize; };
    auto withOperand = [&](const Operand& operand, auto&& use) {
        switch (operand.source) {
        case Source::X: use(Lanes{b.x}); break;
        case Source::Y: use(Lanes{b.y}); break;
        case Source::Value: use(Broadcast{operand.value}); break;
        }
    };
    for (const Step& step : steps_) {
        const Arith op = arithOf(step.op);
        switch (shapeOf(step.op)) {
        case Shape::Load:
            withOperand(step.first, [&](auto value) {
                for (std::size_t i = 0; i < count; ++i)
                    acc[i] = value[i];
            });
            break;
        case Shape::Push: {
            double* above = blockAt(++level);
            if (copyOnPush_)
                std::copy_n(acc, count, above);
            acc = above;
            break;
        }
        case Shape::WithOperand:
            withOperand(step.first,
                        [&](auto right) { arith(op, Lanes{acc}, right, acc, b.failed, count); });
            break;
        case Shape::OperandFirst:
            withOperand(step.first,
                        [&](auto left) { arith(op, left, Lanes{acc}, acc, b.failed, count); });
            break;
        case Shape::Popped: {
            double* below = blockAt(--level);
            arith(op, Lanes{below}, Lanes{acc}, below, b.failed, count);
            acc = below;
            break;
        }
        case Shape::Both:
            withOperand(step.first, [&](auto left) {
                withOperand(step.second,
                            [&](auto right) { arith(op, left, right, acc, b.failed, count); });
            });
            break;
        case Shape::Call:
            for (std::size_t i = 0; i < count; ++i)
                if (!step.function->tryApply(acc[i], acc[i]))
                    b.failed[i] = 1;
            break;
        case Shape::CallPlain:
            for (std::size_t i = 0; i < count; ++i)
                acc[i] = step.plain(acc[i]);
            break;
        }
    }
}

// The running value of each block is kept in z itself, once the block's
// points have been turned: z may be one of the caller's coordinates.
template <class TurnBlock>
void LineEvaluator::evaluateBlocks(std::span<double> z, Scratch& scratch,
                                   TurnBlock&& turnBlock) const
{
    if (flat()) {
        std::fill(z.begin(), z.end(), 0.0);
        return;
    }
    scratch.fit(*this);
    double* values = scratch.values_.data();
    Block block{values, values + blockSize, nullptr, values + 2 * blockSize,
                scratch.failed_.data()};
    for (std::size_t start = 0; start < z.size(); start += blockSize) {
        const std::size_t count = std::min(blockSize, z.size() - start);
        turnBlock(block, start, count);
        block.acc = z.data() + start;
        if (zeroFirst_)
            std::fill_n(block.acc, count, 0.0);
        if (canFail_)
            std::fill_n(block.failed, count, 0);
        run(block, count);
        if (canFail_)
            for (std::size_t i = 0; i < count; ++i)
                if (block.failed[i] != 0)
                    block.acc[i] = 0.0;
    }
}

void LineEvaluator::evaluate(std::span<const double> x, std::span<const double> y,
                             std::span<double> z, Scratch& scratch) const
{
    if (x.size() < z.size() || y.size() < z.size())
        throw std::invalid_argument("LineEvaluator: fewer points than heights");
    evaluateBlocks(z, scratch, [&](Block& block, std::size_t start, std::size_t count) {
        turnPoints(turn_, Lanes{x.data() + start}, Lanes{y.data() + start}, block.x, block.y,
                   count);
    });
}

// The coordinates are made as they are turned, four ways: each axis fixed
// or stepping. Point 0 of a stepping axis is its start itself, turned
// again after its block.
void LineEvaluator::evaluate(const Axis& x, const Axis& y, std::int64_t first,
                             std::span<double> z, Scratch& scratch) const
{
    constexpr auto indexLimit = std::int64_t{1} << 31;
    if (first < 0 || first + static_cast<std::int64_t>(z.size()) >= indexLimit)
        throw std::invalid_argument("LineEvaluator: point index out of range");
    evaluateBlocks(z, scratch, [&](Block& block, std::size_t start, std::size_t count) {
        const auto from = static_cast<std::int32_t>(first + static_cast<std::int64_t>(start));
        auto withAxis = [&](const Axis& axis, auto&& use) {
            if (axis.fixed)
                use(Broadcast{axis.start});
            else
                use(Stepped{axis.start, axis.step, from});
        };
        withAxis(x, [&](auto xs) {
            withAxis(y, [&](auto ys) { turnPoints(turn_, xs, ys, block.x, block.y, count); });
        });
        if (from == 0)
            turnPoints(turn_, Broadcast{x.start}, Broadcast{y.start}, block.x, block.y, 1);
    });
}

void LineEvaluator::evaluate(std::span<const double> x, std::span<const double> y,
                             std::span<double> z) const
{
    Scratch scratch(*this);
    evaluate(x, y, z, scratch);
}

void LineEvaluator::heights(std::span<const double> x, std::span<const double> y,
                            std::span<double> z) const
{
    thread_local Scratch scratch;
    scratch.fit(*this);
    evaluate(x, y, z, scratch);
}

bool LineEvaluator::sameHeights(const ZFunction& other) const
{
    const auto* evaluator = dynamic_cast<const LineEvaluator*>(&other);
    if (evaluator == nullptr)
        return other.sameHeights(*this);
    return *this == *evaluator;
}

std::unique_ptr<ZFunction> LineEvaluator::snapshot() const
{
    return std::make_unique<LineEvaluator>(*this);
}
