#pragma once
#include <deque>
#include <vector>

#include "expr/TokenKind.h"

class BuiltinFunction;

// The expression tree flattened into steps of an accumulator machine, in
// the tree's evaluation order (left, right, operator). The running value
// stays in a register; an operand that is a constant or a variable is
// read straight from memory, and only a right operand that is itself a
// computation parks the left value on a small stack. Running a program
// gives the same value, and throws the same Error first, as walking the
// tree does.
class Program {
public:
    enum class Op {
        Load, Push,
        Add, Subtract, Multiply, Divide, Power,                    // acc op *operand
        SubtractFrom, DivideInto, PowerOf,                         // *operand op acc
        PopAdd, PopSubtract, PopMultiply, PopDivide, PopPower,     // pop op acc
        AddBoth, SubtractBoth, MultiplyBoth, DivideBoth, PowerBoth, // *operand op *second
        Call, CallPlain,
    };

    struct Step {
        Op op;
        const double* operand;
        union {
            const double* second;
            const BuiltinFunction* function;
            double (*plain)(double);
        };
    };

    const double* constant(double value);
    void load(const double* operand);
    void push();
    // acc = acc op *operand, or with reversed = true, *operand op acc.
    void apply(TokenKind op, const double* operand, bool reversed);
    // acc = popped op acc.
    void applyPopped(TokenKind op);
    // acc = *left op *right: two constants or variables in one step.
    void applyBoth(TokenKind op, const double* left, const double* right);
    void call(const BuiltinFunction* function);
    void finish();
    void clear();

    inline double run();

    // The steps in order, for evaluators that run the same program
    // another way.
    const std::vector<Step>& steps() const { return steps_; }

private:
    void add(Op op, const double* operand, const double* second = nullptr);

    std::vector<Step> steps_;
    std::deque<double> constants_;
    std::vector<double> stack_;
    int depth_ = 0;
    int maxDepth_ = 0;
};

#include "expr/ProgramRun.h"
