#pragma once
// f(x,y) by the rules of the language alone, to check the program
// against: the text is read afresh and evaluated as it is read, by
// recursive descent. Only for texts that parse.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

class ExprOracle {
public:
    using Variables = std::map<std::string, double>;

    // The value of text with these variables (any other name is 0), or 0
    // when a domain error happens; domainError() tells which.
    double value(const std::string& text, const Variables& variables)
    {
        at_ = text.c_str();
        variables_ = &variables;
        failed_ = false;
        const double v = expression();
        return failed_ ? 0.0 : v;
    }
    bool domainError() const { return failed_; }

private:
    void blanks()
    {
        while (*at_ == ' ' || *at_ == '\t')
            ++at_;
    }
    bool take(char c)
    {
        blanks();
        if (*at_ != c)
            return false;
        ++at_;
        return true;
    }

    // expression = ["-"] term {("+" | "-") term}; the sign is 0 - term.
    double expression()
    {
        double v = take('-') ? 0.0 - term() : term();
        for (;;) {
            if (take('+'))
                v = v + term();
            else if (take('-'))
                v = v - term();
            else
                return v;
        }
    }
    double term()
    {
        double v = factor();
        for (;;) {
            if (take('*')) {
                v = v * factor();
            } else if (take('/')) {
                const double d = factor();
                if (d == 0.0 || std::isnan(d))
                    failed_ = true;
                v = v / d;
            } else {
                return v;
            }
        }
    }
    double factor()
    {
        const double base = primary();
        return take('^') ? std::pow(base, primary()) : base;
    }
    double primary()
    {
        blanks();
        if (take('(')) {
            const double v = expression();
            take(')');
            return v;
        }
        if (take('|')) {
            const double v = std::fabs(expression());
            take('|');
            return v;
        }
        if (std::isalpha(static_cast<unsigned char>(*at_)))
            return name();
        char* end = nullptr;
        const double v = std::strtod(at_, &end);
        at_ = end;
        return v;
    }
    double name()
    {
        std::string n;
        while (std::isalnum(static_cast<unsigned char>(*at_)))
            n.push_back(*at_++);
        if (!take('(')) {
            const auto found = variables_->find(n);
            return found == variables_->end() ? 0.0 : found->second;
        }
        const double x = expression();
        take(')');
        return call(n, x);
    }
    double call(const std::string& n, double x)
    {
        if (n == "sin") return std::sin(x);
        if (n == "cos") return std::cos(x);
        if (n == "tan") return std::tan(x);
        if (n == "atan") return std::atan(x);
        if (n == "exp") return std::exp(x);
        if (n == "cosh") return std::cosh(x);
        if (n == "sinh") return std::sinh(x);
        if (n == "tanh") return std::tanh(x);
        if (n == "fabs") return std::fabs(x);
        if (n == "step") return x >= 0.0 ? 1.0 : 0.0;
        if (n == "log") {
            failed_ = failed_ || !(x > 0.0);
            return std::log(x);
        }
        failed_ = failed_ || !(x >= 0.0);
        return std::sqrt(x);
    }

    const char* at_ = nullptr;
    const Variables* variables_ = nullptr;
    bool failed_ = false;
};
