#pragma once
#include <memory>

#include "expr/Program.h"
#include "expr/TokenKind.h"

struct Builtin;
struct SymbolEntry;

class ExprNode {
public:
    virtual ~ExprNode() = default;
    // Appends the steps that compute this node's value, using slots from
    // slot on, and says where the value is then found: a constant or a
    // variable needs no step.
    virtual Program::Operand compile(Program& program, const Program::Inputs& inputs,
                                     int slot) const = 0;
};

using NodePtr = std::unique_ptr<ExprNode>;

class NumberNode final : public ExprNode {
public:
    explicit NumberNode(double value) : value_(value) {}
    Program::Operand compile(Program& program, const Program::Inputs& inputs,
                             int slot) const override;

private:
    double value_;
};

// Reads its variable through the entry, resolved at parse time.
class VariableNode final : public ExprNode {
public:
    explicit VariableNode(const SymbolEntry* entry) : entry_(entry) {}
    Program::Operand compile(Program& program, const Program::Inputs& inputs,
                             int slot) const override;

private:
    const SymbolEntry* entry_;
};

class BinaryNode final : public ExprNode {
public:
    BinaryNode(TokenKind op, NodePtr left, NodePtr right)
        : operator_(op), left_(std::move(left)), right_(std::move(right)) {}
    Program::Operand compile(Program& program, const Program::Inputs& inputs,
                             int slot) const override;

private:
    TokenKind operator_;
    NodePtr left_;
    NodePtr right_;
};

class CallNode final : public ExprNode {
public:
    CallNode(const Builtin* function, NodePtr argument)
        : function_(function), argument_(std::move(argument)) {}
    Program::Operand compile(Program& program, const Program::Inputs& inputs,
                             int slot) const override;

private:
    const Builtin* function_;
    NodePtr argument_;
};
