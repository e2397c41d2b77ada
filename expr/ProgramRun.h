#pragma once
// The evaluation loop, inline: it runs once for every sample point.
#include <cmath>

#include "expr/Builtins.h"
#include "expr/Error.h"

inline double Program::run()
{
    double acc = 0.0;
    double* top = stack_.data();
    auto divide = [](double dividend, double divisor) {
        if (divisor == 0.0 || std::isnan(divisor))
            throw Error{"div", 0.0};
        return dividend / divisor;
    };
    for (const Step& step : steps_) {
        switch (step.op) {
        case Op::Load: acc = *step.operand; break;
        case Op::Push: *top++ = acc; break;
        case Op::Add: acc = acc + *step.operand; break;
        case Op::Subtract: acc = acc - *step.operand; break;
        case Op::Multiply: acc = acc * *step.operand; break;
        case Op::Divide: acc = divide(acc, *step.operand); break;
        case Op::Power: acc = std::pow(acc, *step.operand); break;
        case Op::SubtractFrom: acc = *step.operand - acc; break;
        case Op::DivideInto: acc = divide(*step.operand, acc); break;
        case Op::PowerOf: acc = std::pow(*step.operand, acc); break;
        case Op::PopAdd: acc = *--top + acc; break;
        case Op::PopSubtract: acc = *--top - acc; break;
        case Op::PopMultiply: acc = *--top * acc; break;
        case Op::PopDivide: --top; acc = divide(*top, acc); break;
        case Op::PopPower: --top; acc = std::pow(*top, acc); break;
        case Op::AddBoth: acc = *step.operand + *step.second; break;
        case Op::SubtractBoth: acc = *step.operand - *step.second; break;
        case Op::MultiplyBoth: acc = *step.operand * *step.second; break;
        case Op::DivideBoth: acc = divide(*step.operand, *step.second); break;
        case Op::PowerBoth: acc = std::pow(*step.operand, *step.second); break;
        case Op::Call: acc = step.function->apply(acc); break;
        case Op::CallPlain: acc = step.plain(acc); break;
        }
    }
    return acc;
}
