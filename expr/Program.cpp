#include "expr/Program.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <type_traits>

#include "expr/Builtins.h"
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

// out[i] = left[i] op right[i]. A divisor that fails the point is
// replaced by 1, so that no division by zero happens; the quotient of a
// failed point is never used.
template <class Left, class Right, class Count>
void runBinary(Op op, Left left, Right right, double* out, unsigned char* failed, Count count)
{
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
            out[i] = std::pow(left[i], right[i]);
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
    for (std::size_t i = 0; i < count; ++i)
        out[i] = function.function(argument[i]);
}

} // namespace

// The points of one block, and where its slots lie.
struct Program::Block {
    const double* x;
    const double* y;
    const double* z;
    double* out;
    double* slots;
    std::size_t stride;
    unsigned char* failed;

    double* slot(int at) const
    {
        return at == 0 ? out : slots + static_cast<std::size_t>(at - 1) * stride;
    }
    const double* lanes(const Operand& operand) const
    {
        switch (operand.source) {
        case Source::X: return x;
        case Source::Y: return y;
        case Source::Z: return z;
        case Source::Slot: return slot(operand.slot);
        case Source::Number: break;
        }
        return nullptr;
    }
    template <class Use>
    void with(const Operand& operand, Use&& use) const
    {
        if (operand.source == Source::Number)
            use(Broadcast{operand.number});
        else
            use(Lanes{lanes(operand)});
    }
};

bool Program::Operand::operator==(const Operand& other) const
{
    return source == other.source && sameBits(number, other.number) && slot == other.slot;
}

Program::Operand Program::variable(const SymbolEntry& entry, const Inputs& inputs) const
{
    if (&entry == inputs.x)
        return {Source::X, 0.0, 0};
    if (&entry == inputs.y)
        return {Source::Y, 0.0, 0};
    if (&entry == inputs.z)
        return {Source::Z, 0.0, 0};
    return number(entry.value);
}

void Program::add(const Step& step)
{
    steps_.push_back(step);
    slotsAbove_ = std::max(slotsAbove_, step.out);
    for (const Operand* operand : {&step.left, &step.right})
        readsZ_ = readsZ_ || operand->source == Source::Z;
}

Program::Operand Program::binary(Op op, const Operand& left, const Operand& right, int slot)
{
    add({op, left, right, nullptr, slot});
    canFail_ = canFail_ || op == Op::Divide;
    return {Source::Slot, 0.0, slot};
}

Program::Operand Program::call(const Builtin& function, const Operand& argument, int slot)
{
    add({Op::Call, argument, {}, &function, slot});
    canFail_ = canFail_ || function.inDomain != nullptr;
    return {Source::Slot, 0.0, slot};
}

void Program::finish(const Operand& result)
{
    if (!(result.source == Source::Slot && result.slot == 0))
        add({Op::Copy, result, {}, nullptr, 0});
}

// count is a std::size_t, or a constant for a single point, where the
// loops fall away.
template <class Count>
void Program::runBlock(const Block& b, Count count) const
{
    for (const Step& step : steps_) {
        double* out = b.slot(step.out);
        switch (step.op) {
        case Op::Copy:
            b.with(step.left, [&](auto value) {
                for (std::size_t i = 0; i < count; ++i)
                    out[i] = value[i];
            });
            break;
        case Op::Call:
            b.with(step.left, [&](auto argument) {
                runCall(*step.function, argument, out, b.failed, count);
            });
            break;
        default:
            b.with(step.left, [&](auto left) {
                b.with(step.right,
                       [&](auto right) { runBinary(step.op, left, right, out, b.failed, count); });
            });
        }
    }
}

// The slots lie on the stack where they fit, as they do for all but the
// most deeply nested texts; otherwise each thread takes them once and
// keeps them.
void Program::run(const double* x, const double* y, const double* z, std::span<double> out) const
{
    if (flat()) {
        std::fill(out.begin(), out.end(), 0.0);
        return;
    }
    const std::size_t stride = std::min(blockSize, out.size());
    const std::size_t slotValues = static_cast<std::size_t>(slotsAbove_) * stride;
    constexpr std::size_t onStack = 4 * blockSize;
    double local[onStack];
    unsigned char failed[blockSize];
    double* slots = local;
    if (slotValues > onStack) {
        thread_local std::vector<double> kept;
        if (kept.size() < slotValues)
            kept.resize(slotValues);
        slots = kept.data();
    }
    for (std::size_t start = 0; start < out.size(); start += blockSize) {
        const std::size_t count = std::min(blockSize, out.size() - start);
        const Block block{x + start, y + start, z != nullptr ? z + start : nullptr,
                          out.data() + start, slots, stride, failed};
        if (canFail_)
            std::fill_n(failed, count, 0);
        if (out.size() == 1)
            runBlock(block, std::integral_constant<std::size_t, 1>{});
        else
            runBlock(block, count);
        if (canFail_)
            for (std::size_t i = 0; i < count; ++i)
                if (failed[i] != 0)
                    block.out[i] = 0.0;
    }
}

double Program::at(double x, double y, double z) const
{
    double value = 0.0;
    run(&x, &y, &z, {&value, 1});
    return value;
}
