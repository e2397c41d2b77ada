#pragma once
#include <string>

// A built-in function of one argument. Built-ins live for the whole run
// in one fixed table and are never released.
class BuiltinFunction {
public:
    using Plain = double (*)(double);

    explicit BuiltinFunction(const char* name, Plain plain = nullptr)
        : name_(name), plain_(plain) {}
    virtual double apply(double x) const = 0;
    // apply without the throw, for evaluating many points at once: false
    // where apply would throw, otherwise true with the same value.
    virtual bool tryApply(double x, double& value) const
    {
        value = apply(x);
        return true;
    }
    const char* name() const { return name_.c_str(); }
    // For a function that can never throw: the same computation as a
    // plain function, which the flat evaluator calls directly.
    Plain plain() const { return plain_; }

protected:
    ~BuiltinFunction() = default;

private:
    std::string name_;
    Plain plain_;
};

// The table in its fixed order, ended by a null slot.
const BuiltinFunction* const* builtinTable();

// The first built-in whose name equals name, or null.
const BuiltinFunction* findBuiltin(const char* name);
