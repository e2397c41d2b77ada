#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct Builtin;
struct SymbolEntry;

// f(x,y) compiled from its tree into steps that each run over a block of
// points, so that a step's dispatch is paid once per block rather than
// once per point; a single point is a block of one. Every point sees the
// operations of the tree in its order (left, right, operator) with the
// same library calls, so its value does not depend on the block it is
// in. A domain error makes only its own point 0; infinities and NaN pass
// through.
//
// A value: the numbers and parameters are copied in when it is compiled,
// and running it reads nothing shared, so any number of threads may run
// one program at the same time.
class Program {
public:
    // Where a step finds an operand: a coordinate of the point, a number
    // fixed when compiled, or what an earlier step left in a slot. Slot 0
    // is the caller's result.
    enum class Source : std::uint8_t { X, Y, Z, Number, Slot };
    struct Operand {
        Source source = Source::Number;
        double number = 0.0;
        int slot = 0;
        bool operator==(const Operand& other) const;
    };

    // The variables that take the coordinates of each point; every other
    // variable keeps the value it has when the program is compiled.
    struct Inputs {
        const SymbolEntry* x = nullptr;
        const SymbolEntry* y = nullptr;
        const SymbolEntry* z = nullptr;
    };

    static constexpr std::size_t blockSize = 512;

    // 0 everywhere, as after a failed parse.
    Program() = default;

    // Building, as the tree compiles itself: each returns where its value
    // will be found.
    Operand variable(const SymbolEntry& entry, const Inputs& inputs) const;
    static Operand number(double value) { return {Source::Number, value, 0}; }
    enum class Op : std::uint8_t { Copy, Add, Subtract, Multiply, Divide, Power, Call };
    Operand binary(Op op, const Operand& left, const Operand& right, int slot);
    Operand call(const Builtin& function, const Operand& argument, int slot);
    // The value of the whole tree is the result.
    void finish(const Operand& result);

    // out[i] = f at point i for every i below out.size(): x[i] and y[i],
    // and z[i] where f reads z. out must not overlap the coordinates.
    void run(const double* x, const double* y, const double* z, std::span<double> out) const;
    double at(double x, double y, double z = 0.0) const;

    bool flat() const { return steps_.empty(); }
    // Whether the program reads z of the point.
    bool readsZ() const { return readsZ_; }
    // Whether its value is z itself, as for f(x,y) = z.
    bool givesZ() const;
    // Equal programs give equal values, bit for bit: the same steps on
    // bitwise equal numbers.
    bool operator==(const Program& other) const { return steps_ == other.steps_; }

    // A step, and where the values of a block of points lie while it
    // runs: what the loops over blocks (BlockKernels.h) take.
    struct Step {
        Op op;
        Operand left, right;
        const Builtin* function = nullptr;
        int out = 0;
        bool operator==(const Step& other) const = default;
    };
    struct Block {
        const double* x;
        const double* y;
        const double* z;
        double* out;
        double* slotMemory;
        std::size_t stride;
        unsigned char* failed;
    };

private:
    void add(const Step& step);

    std::vector<Step> steps_;
    // Slots above 0, each a block of the working memory.
    int slotsAbove_ = 0;
    // Whether a step can fail a point: a division or a call with a domain.
    bool canFail_ = false;
    bool readsZ_ = false;
};
