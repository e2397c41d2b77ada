#pragma once
#include <memory>
#include <string>

#include "expr/ExprParser.h"
#include "expr/SurfaceHeights.h"
#include "expr/ZFunction.h"
#include "sheets/DataSheet.h"

// f(x,y) bound to the function sheet: parses its expression line, sets
// the parameters from the lines before it, and gives the heights of f at
// points turned by theta about the box centre. Whoever draws the page
// warns of a line that does not parse.
//
// Every change recompiles f at once, so that heights cost no more than
// the run of its program; heights() is const and may be asked from any
// number of threads while nothing changes the function.
class SurfaceFunction final : public ZFunction {
public:
    explicit SurfaceFunction(const DataSheet& sheet);

    void setCentre(double x, double y);

    // Parses the expression line; false when it does not parse (f is then
    // 0 everywhere) or the sheet has no such line.
    bool parse();
    void setParameters();
    void setTheta(double degrees);
    // While a field is set, the name z in f(x,y) takes the field's height
    // at the turned point, where f's x and y are; without one (null), z
    // is a variable like any other.
    void setHeightField(std::shared_ptr<const ZFunction> field);

    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override;
    bool sameHeights(const ZFunction& other) const override;
    std::unique_ptr<ZFunction> snapshot() const override;
    // f as it stands now (parse, parameters, theta, centre and field).
    const SurfaceHeights& current() const { return current_; }

    bool ok() const { return ok_; }
    int parameterCount() const { return parameterCount_; }
    const ExprParser& parser() const { return *parser_; }
    // The line of f(x,y), after the parameters; null when the sheet is
    // too short to have one.
    const DataLine* expressionLine() const;

private:
    void compile();

    const DataSheet* sheet_;
    int parameterCount_;
    bool ok_ = false;
    std::unique_ptr<ExprParser> parser_;
    double theta_ = 0.0;
    double sinTheta_ = 0.0;
    double cosTheta_ = 1.0;
    double centreX_ = 0.0;
    double centreY_ = 0.0;
    std::shared_ptr<const ZFunction> field_;
    SurfaceHeights current_;
};
