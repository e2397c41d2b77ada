#pragma once
#include <memory>
#include <string>

#include "expr/ExprParser.h"
#include "expr/ZFunction.h"
#include "sheets/DataSheet.h"

class LineEvaluator;

// f(x,y) bound to the function sheet: parses its expression line, sets
// the parameters from the lines before it, and evaluates f at a point
// turned by theta about the box centre. Whoever draws the page warns of
// a line that does not parse.
class SurfaceFunction final : public ZFunction {
public:
    explicit SurfaceFunction(const DataSheet& sheet);

    void setCentre(double x, double y);

    // Parses the expression line; false when it does not parse (f is then
    // 0 everywhere) or the sheet has no such line.
    bool parse();
    void setParameters();
    void setTheta(double degrees);
    double evaluate(double x, double y);
    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override;
    bool sameHeights(const ZFunction& other) const override;
    std::unique_ptr<ZFunction> snapshot() const override;
    // f as it stands now (parse, parameters, theta and centre), for
    // evaluating many points at once, on any number of threads.
    LineEvaluator lineEvaluator() const;

    bool ok() const { return ok_; }
    int parameterCount() const { return parameterCount_; }
    const ExprParser& parser() const { return *parser_; }
    // The line of f(x,y), after the parameters; null when the sheet is
    // too short to have one.
    const DataLine* expressionLine() const;

private:
    const DataSheet* sheet_;
    int parameterCount_;
    bool ok_ = false;
    std::unique_ptr<ExprParser> parser_;
    double theta_ = 0.0;
    double sinTheta_ = 0.0;
    double cosTheta_ = 1.0;
    double centreX_ = 0.0;
    double centreY_ = 0.0;
    // x and y of the current parse, looked up once per parse instead of
    // once per point; null when the expression does not use them.
    SymbolEntry* xEntry_ = nullptr;
    SymbolEntry* yEntry_ = nullptr;
};
