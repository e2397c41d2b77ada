#pragma once

// The height of the surface at a point: all the renderer needs of f.
class ZFunction {
public:
    virtual double evaluate(double x, double y) = 0;

protected:
    ~ZFunction() = default;
};
