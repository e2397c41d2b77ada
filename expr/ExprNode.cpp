#include "expr/ExprNode.h"

#include <cmath>

#include "expr/Builtins.h"
#include "expr/Error.h"
#include "expr/Program.h"
#include "expr/SymbolTable.h"

double VariableNode::evaluate() const
{
    return entry_->value;
}

double BinaryNode::evaluate() const
{
    const double left = left_->evaluate();
    const double right = right_->evaluate();
    switch (operator_) {
    case TokenKind::Plus: return left + right;
    case TokenKind::Minus: return left - right;
    case TokenKind::Star: return left * right;
    case TokenKind::Slash:
        if (right == 0.0 || std::isnan(right))
            throw Error{"div", 0.0};
        return left / right;
    case TokenKind::Caret: return std::pow(left, right);
    default: return 0.0;
    }
}

double CallNode::evaluate() const
{
    return function_->apply(argument_->evaluate());
}

const double* NumberNode::operand(Program& program) const
{
    return program.constant(value_);
}

void NumberNode::compile(Program& program) const
{
    program.load(operand(program));
}

const double* VariableNode::operand(Program&) const
{
    return &entry_->value;
}

void VariableNode::compile(Program& program) const
{
    program.load(&entry_->value);
}

void BinaryNode::compile(Program& program) const
{
    const double* left = left_->operand(program);
    const double* right = right_->operand(program);
    if (left != nullptr && right != nullptr) {
        program.applyBoth(operator_, left, right);
    } else if (right != nullptr) {
        left_->compile(program);
        program.apply(operator_, right, false);
    } else if (left != nullptr) {
        right_->compile(program);
        program.apply(operator_, left, true);
    } else {
        left_->compile(program);
        program.push();
        right_->compile(program);
        program.applyPopped(operator_);
    }
}

void CallNode::compile(Program& program) const
{
    argument_->compile(program);
    program.call(function_);
}
