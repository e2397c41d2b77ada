#pragma once
// The loops that run over a block of points: a program's steps, and the
// turn of the points by theta. They are built twice, for the registers
// every x86-64 has and, in BlockKernelsWide.cpp, for AVX2, which does
// four points where the other does two; both do the same IEEE operations
// in the same order on each point, so they give the same bits. Everything
// here with a body has internal linkage, and calls nothing but what is
// always inlined, the built-ins' own functions and pow, so that no
// function built for the wider registers can stand in for one built
// without them.
#include <math.h>

#include <cstddef>
#include <type_traits>

#include "expr/Builtins.h"
#include "expr/Program.h"
#include "expr/WideKernels.h"

// The turn of points by an angle about a centre, as f(x,y) turns them.
struct TurnConstants {
    double centreX, centreY, sinTheta, cosTheta;
};

// In the file built with AVX2; called only where the processor has it.
void runStepsWide(const Program::Step* steps, std::size_t stepCount, const Program::Block& block,
                  std::size_t count);
void turnPointsWide(const TurnConstants& t, const double* x, const double* y, std::size_t count,
                    double* tx, double* ty);

namespace {

// An operand that differs from point to point, and one that does not.
struct Lanes {
    const double* values;
    double operator[](std::size_t i) const { return values[i]; }
};
struct Broadcast {
    double value;
    double operator[](std::size_t) const { return value; }
};

// out[i] = left[i] op right[i]. A divisor that fails the point is
// replaced by 1, so that no division by zero happens; the quotient of a
// failed point is never used.
template <class Left, class Right, class Count>
void runBinary(Program::Op op, Left left, Right right, double* out, unsigned char* failed,
               Count count)
{
    using Op = Program::Op;
    switch (op) {
    case Op::Add:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = left[i] + right[i];
        break;
    case Op::Subtract:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = left[i] - right[i];
        break;
    case Op::Multiply:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = left[i] * right[i];
        break;
    case Op::Divide:
        for (std::size_t i = 0; i < count; ++i) {
            const double divisor = right[i];
            const bool ok = divides(divisor);
            failed[i] = static_cast<unsigned char>(failed[i] | !ok);
            out[i] = left[i] / (ok ? divisor : 1.0);
        }
        break;
    case Op::Power:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = ::pow(left[i], right[i]);
        break;
    case Op::Copy: case Op::Call: break;
    }
}

// out[i] = function(argument[i]), failing the points outside its domain.
template <class Argument, class Count>
void runCall(const Builtin& function, Argument argument, double* out, unsigned char* failed,
             Count count)
{
    if (function.inDomain != nullptr)
        for (std::size_t i = 0; i < count; ++i)
            failed[i] = static_cast<unsigned char>(failed[i] | !function.inDomain(argument[i]));
    if constexpr (std::is_same_v<Argument, Lanes>) {
        if (function.block != nullptr) {
            function.block(argument.values, out, count);
            return;
        }
    }
    for (std::size_t i = 0; i < count; ++i)
        out[i] = function.function(argument[i]);
}

[[maybe_unused]] double* slotOf(const Program::Block& b, int at)
{
    return at == 0 ? b.out : b.slotMemory + static_cast<std::size_t>(at - 1) * b.stride;
}

[[maybe_unused]] const double* lanesOf(const Program::Block& b, const Program::Operand& operand)
{
    using Source = Program::Source;
    switch (operand.source) {
    case Source::X: return b.x;
    case Source::Y: return b.y;
    case Source::Z: return b.z;
    case Source::Slot: return slotOf(b, operand.slot);
    case Source::Number: break;
    }
    return nullptr;
}

template <class Use>
void withOperand(const Program::Block& b, const Program::Operand& operand, Use&& use)
{
    if (operand.source == Program::Source::Number)
        use(Broadcast{operand.number});
    else
        use(Lanes{lanesOf(b, operand)});
}

// count is a std::size_t, or a constant for a single point, where the
// loops fall away.
template <class Count>
void runSteps(const Program::Step* steps, std::size_t stepCount, const Program::Block& b,
              Count count)
{
    using Op = Program::Op;
    for (std::size_t s = 0; s < stepCount; ++s) {
        const Program::Step& step = steps[s];
        double* out = slotOf(b, step.out);
        switch (step.op) {
        case Op::Copy:
            withOperand(b, step.left, [&](auto value) {
                for (std::size_t i = 0; i < count; ++i)
                    out[i] = value[i];
            });
            break;
        case Op::Call:
            withOperand(b, step.left, [&](auto argument) {
                runCall(*step.function, argument, out, b.failed, count);
            });
            break;
        default:
            withOperand(b, step.left, [&](auto left) {
                withOperand(b, step.right, [&](auto right) {
                    runBinary(step.op, left, right, out, b.failed, count);
                });
            });
        }
    }
}

// tx, ty: the points turned, rounded as f(x,y) has always rounded them.
[[maybe_unused]] void turnPoints(const TurnConstants t, const double* x, const double* y,
                                std::size_t count, double* tx, double* ty)
{
    for (std::size_t i = 0; i < count; ++i) {
        const double dx = x[i] - t.centreX;
        const double dy = y[i] - t.centreY;
        tx[i] = t.centreX + dx * t.cosTheta - dy * t.sinTheta;
        ty[i] = t.centreY + dx * t.sinTheta + dy * t.cosTheta;
    }
}

} // namespace
