#include "expr/LineEvaluator.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>
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
    const std::size_t blocks = 3 + static_cast<std::size_t>(evaluator.stackDepth_);
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
        for (const Operand& operand : {step.first, step.second}) {
            usesX_ = usesX_ || operand.source == Source::X;
            usesY_ = usesY_ || operand.source == Source::Y;
        }
        steps_.push_back(step);
    }
}

bool LineEvaluator::operator==(const LineEvaluator& other) const
{
    return steps_ == other.steps_ && sameBits(turn_.centreX, other.turn_.centreX) &&
           sameBits(turn_.centreY, other.turn_.centreY) &&
           sameBits(turn_.sinTheta, other.turn_.sinTheta) &&
           sameBits(turn_.cosTheta, other.turn_.cosTheta);
}

// The point turned by theta about the centre, written as
// SurfaceFunction::evaluate writes it, so that it rounds the same way.
void LineEvaluator::turn(Block& block, const double* x, const double* y, std::size_t count) const
{
    const double cx = turn_.centreX, cy = turn_.centreY;
    const double s = turn_.sinTheta, c = turn_.cosTheta;
    if (usesX_)
        for (std::size_t i = 0; i < count; ++i) {
            const double dx = x[i] - cx;
            const double dy = y[i] - cy;
            block.x[i] = cx + dx * c - dy * s;
        }
    if (usesY_)
        for (std::size_t i = 0; i < count; ++i) {
            const double dx = x[i] - cx;
            const double dy = y[i] - cy;
            block.y[i] = cy + dx * s + dy * c;
        }
}

void LineEvaluator::run(Block& b, std::size_t count) const
{
    double* acc = b.acc;
    double* top = b.stack;
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
        case Shape::Push:
            std::copy_n(acc, count, top);
            top += blockSize;
            break;
        case Shape::WithOperand:
            withOperand(step.first,
                        [&](auto right) { arith(op, Lanes{acc}, right, acc, b.failed, count); });
            break;
        case Shape::OperandFirst:
            withOperand(step.first,
                        [&](auto left) { arith(op, left, Lanes{acc}, acc, b.failed, count); });
            break;
        case Shape::Popped:
            top -= blockSize;
            arith(op, Lanes{top}, Lanes{acc}, acc, b.failed, count);
            break;
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

void LineEvaluator::evaluate(std::span<const double> x, std::span<const double> y,
                             std::span<double> z, Scratch& scratch) const
{
    if (x.size() < z.size() || y.size() < z.size())
        throw std::invalid_argument("LineEvaluator: fewer points than heights");
    if (flat()) {
        std::fill(z.begin(), z.end(), 0.0);
        return;
    }
    scratch.fit(*this);
    double* values = scratch.values_.data();
    Block block{values, values + blockSize, values + 2 * blockSize, values + 3 * blockSize,
                scratch.failed_.data()};
    for (std::size_t start = 0; start < z.size(); start += blockSize) {
        const std::size_t count = std::min(blockSize, z.size() - start);
        std::fill_n(block.failed, count, 0);
        std::fill_n(block.acc, count, 0.0);
        turn(block, x.data() + start, y.data() + start, count);
        run(block, count);
        for (std::size_t i = 0; i < count; ++i)
            z[start + i] = block.failed[i] != 0 ? 0.0 : block.acc[i];
    }
}

void LineEvaluator::evaluate(std::span<const double> x, std::span<const double> y,
                             std::span<double> z) const
{
    Scratch scratch(*this);
    evaluate(x, y, z, scratch);
}
