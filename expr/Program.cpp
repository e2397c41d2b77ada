#include "expr/Program.h"

#include <algorithm>

const double* Program::constant(double value)
{
    return &constants_.emplace_back(value);
}

void Program::add(Op op, const double* operand, const double* second)
{
    Step step{op, operand, {second}};
    steps_.push_back(step);
}

void Program::load(const double* operand)
{
    add(Op::Load, operand);
}

void Program::push()
{
    add(Op::Push, nullptr);
    maxDepth_ = std::max(maxDepth_, ++depth_);
}

void Program::apply(TokenKind op, const double* operand, bool reversed)
{
    switch (op) {
    case TokenKind::Plus: add(Op::Add, operand); break;
    case TokenKind::Star: add(Op::Multiply, operand); break;
    case TokenKind::Minus: add(reversed ? Op::SubtractFrom : Op::Subtract, operand); break;
    case TokenKind::Slash: add(reversed ? Op::DivideInto : Op::Divide, operand); break;
    default: add(reversed ? Op::PowerOf : Op::Power, operand); break;
    }
}

void Program::applyPopped(TokenKind op)
{
    --depth_;
    switch (op) {
    case TokenKind::Plus: add(Op::PopAdd, nullptr); break;
    case TokenKind::Minus: add(Op::PopSubtract, nullptr); break;
    case TokenKind::Star: add(Op::PopMultiply, nullptr); break;
    case TokenKind::Slash: add(Op::PopDivide, nullptr); break;
    default: add(Op::PopPower, nullptr); break;
    }
}

void Program::applyBoth(TokenKind op, const double* left, const double* right)
{
    switch (op) {
    case TokenKind::Plus: add(Op::AddBoth, left, right); break;
    case TokenKind::Minus: add(Op::SubtractBoth, left, right); break;
    case TokenKind::Star: add(Op::MultiplyBoth, left, right); break;
    case TokenKind::Slash: add(Op::DivideBoth, left, right); break;
    default: add(Op::PowerBoth, left, right); break;
    }
}

void Program::call(const BuiltinFunction* function)
{
    Step step{Op::Call, nullptr, {nullptr}};
    step.function = function;
    if (function->plain() != nullptr) {
        step.op = Op::CallPlain;
        step.plain = function->plain();
    }
    steps_.push_back(step);
}

void Program::finish()
{
    stack_.assign(static_cast<std::size_t>(maxDepth_) + 1, 0.0);
}

void Program::clear()
{
    steps_.clear();
    constants_.clear();
    stack_.clear();
    depth_ = 0;
    maxDepth_ = 0;
}
