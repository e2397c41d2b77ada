#include "expr/Program.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <type_traits>

#include "expr/BlockKernels.h"
#include "expr/Builtins.h"
#include "expr/SymbolTable.h"

namespace {

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

} // namespace

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

bool Program::givesZ() const
{
    return steps_.size() == 1 && steps_[0].op == Op::Copy && steps_[0].left.source == Source::Z;
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
    const bool wide = wideKernels();
    for (std::size_t start = 0; start < out.size(); start += blockSize) {
        const std::size_t count = std::min(blockSize, out.size() - start);
        const Block block{x + start, y + start, z != nullptr ? z + start : nullptr,
                          out.data() + start, slots, stride, failed};
        if (canFail_)
            std::fill_n(failed, count, 0);
        if (out.size() == 1)
            runSteps(steps_.data(), steps_.size(), block,
                     std::integral_constant<std::size_t, 1>{});
        else if (wide)
            runStepsWide(steps_.data(), steps_.size(), block, count);
        else
            runSteps(steps_.data(), steps_.size(), block, count);
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
