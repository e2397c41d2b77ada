#include "expr/SurfaceFunction.h"

#include <algorithm>
#include <cmath>

#include "expr/LineEvaluator.h"
#include "sheets/Readings.h"

namespace {

constexpr double degreesToRadians = 0.017453292519943295;

// The count from the header, kept within the lines the sheet holds: the
// expression line is always a line of the sheet.
int countFrom(const DataSheet& sheet)
{
    if (sheet.size() < 2)
        return 0;
    const int lines = static_cast<int>(std::min<std::size_t>(sheet.size(), 1 << 20));
    const long long count = static_cast<long long>(integerReading(sheet[0].value)) - 1;
    return static_cast<int>(std::clamp<long long>(count, 0, std::max(lines - 2, 0)));
}

} // namespace

SurfaceFunction::SurfaceFunction(const DataSheet& sheet)
    : sheet_(&sheet), parameterCount_(countFrom(sheet)), parser_(std::make_unique<ExprParser>())
{
}

void SurfaceFunction::setCentre(double x, double y)
{
    centreX_ = x;
    centreY_ = y;
}

const DataLine* SurfaceFunction::expressionLine() const
{
    if (sheet_->size() < 2)
        return nullptr;
    return &(*sheet_)[static_cast<std::size_t>(parameterCount_) + 1];
}

bool SurfaceFunction::parse()
{
    const DataLine* line = expressionLine();
    if (line == nullptr) {
        ok_ = false;
        return false;
    }
    ok_ = parser_->parse(line->value);
    SymbolTable* symbols = parser_->symbols();
    xEntry_ = symbols->find("x");
    yEntry_ = symbols->find("y");
    return ok_;
}

void SurfaceFunction::setParameters()
{
    if (!ok_)
        return;
    for (int i = 1; i <= parameterCount_; ++i) {
        const DataLine& line = (*sheet_)[static_cast<std::size_t>(i)];
        parser_->symbols()->setValue(line.name, realReading(line.value));
    }
}

void SurfaceFunction::setTheta(double degrees)
{
    theta_ = degrees;
    const double r = degrees * degreesToRadians;
    sinTheta_ = std::sin(r);
    cosTheta_ = std::cos(r);
}

double SurfaceFunction::evaluate(double x, double y)
{
    if (!ok_)
        return 0.0;
    const double dx = x - centreX_;
    const double dy = y - centreY_;
    if (xEntry_ != nullptr)
        xEntry_->value = centreX_ + dx * cosTheta_ - dy * sinTheta_;
    if (yEntry_ != nullptr)
        yEntry_->value = centreY_ + dx * sinTheta_ + dy * cosTheta_;
    return parser_->evaluateSafely();
}

LineEvaluator SurfaceFunction::lineEvaluator() const
{
    if (!ok_)
        return {};
    return {parser_->program(), xEntry_, yEntry_, {centreX_, centreY_, sinTheta_, cosTheta_}};
}

void SurfaceFunction::heights(std::span<const double> x, std::span<const double> y,
                              std::span<double> z) const
{
    lineEvaluator().heights(x, y, z);
}

bool SurfaceFunction::sameHeights(const ZFunction& other) const
{
    const LineEvaluator mine = lineEvaluator();
    if (const auto* surface = dynamic_cast<const SurfaceFunction*>(&other))
        return mine == surface->lineEvaluator();
    return mine.sameHeights(other);
}

std::unique_ptr<ZFunction> SurfaceFunction::snapshot() const
{
    return std::make_unique<LineEvaluator>(lineEvaluator());
}
