#include "expr/ExprNode.h"

namespace {

Program::Op opOf(TokenKind kind)
{
    switch (kind) {
    case TokenKind::Plus: return Program::Op::Add;
    case TokenKind::Minus: return Program::Op::Subtract;
    case TokenKind::Star: return Program::Op::Multiply;
    case TokenKind::Slash: return Program::Op::Divide;
    default: return Program::Op::Power;
    }
}

} // namespace

Program::Operand NumberNode::compile(Program&, const Program::Inputs&, int) const
{
    return Program::number(value_);
}

Program::Operand VariableNode::compile(Program& program, const Program::Inputs& inputs, int) const
{
    return program.variable(*entry_, inputs);
}

// The right operand works above the left one's slot while the left value
// waits there.
Program::Operand BinaryNode::compile(Program& program, const Program::Inputs& inputs,
                                     int slot) const
{
    const Program::Operand left = left_->compile(program, inputs, slot);
    const int above = left.source == Program::Source::Slot ? slot + 1 : slot;
    const Program::Operand right = right_->compile(program, inputs, above);
    return program.binary(opOf(operator_), left, right, slot);
}

Program::Operand CallNode::compile(Program& program, const Program::Inputs& inputs,
                                   int slot) const
{
    return program.call(*function_, argument_->compile(program, inputs, slot), slot);
}
