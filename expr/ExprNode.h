#pragma once
#include <memory>

#include "expr/TokenKind.h"

class BuiltinFunction;
class Program;
struct SymbolEntry;

class ExprNode {
public:
    virtual ~ExprNode() = default;
    virtual double evaluate() const = 0;
    // Appends the steps that leave this node's value in the accumulator.
    virtual void compile(Program& program) const = 0;
    // Where a constant or variable keeps its value; null for a computation.
    virtual const double* operand(Program&) const { return nullptr; }
};

using NodePtr = std::unique_ptr<ExprNode>;

class NumberNode final : public ExprNode {
public:
    explicit NumberNode(double value) : value_(value) {}
    double evaluate() const override { return value_; }
    void compile(Program& program) const override;
    const double* operand(Program& program) const override;

private:
    double value_;
};

// Reads its variable through the entry, resolved at parse time.
class VariableNode final : public ExprNode {
public:
    explicit VariableNode(const SymbolEntry* entry) : entry_(entry) {}
    double evaluate() const override;
    void compile(Program& program) const override;
    const double* operand(Program& program) const override;

private:
    const SymbolEntry* entry_;
};

class BinaryNode final : public ExprNode {
public:
    BinaryNode(TokenKind op, NodePtr left, NodePtr right)
        : operator_(op), left_(std::move(left)), right_(std::move(right)) {}
    double evaluate() const override;
    void compile(Program& program) const override;

private:
    TokenKind operator_;
    NodePtr left_;
    NodePtr right_;
};

class CallNode final : public ExprNode {
public:
    CallNode(const BuiltinFunction* function, NodePtr argument)
        : function_(function), argument_(std::move(argument)) {}
    double evaluate() const override;
    void compile(Program& program) const override;

private:
    const BuiltinFunction* function_;
    NodePtr argument_;
};
