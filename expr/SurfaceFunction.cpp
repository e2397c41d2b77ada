#include "expr/SurfaceFunction.h"

#include <algorithm>
#include <cmath>

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
    compile();
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
        compile();
        return false;
    }
    ok_ = parser_->parse(line->value);
    compile();
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
    compile();
}

void SurfaceFunction::setTheta(double degrees)
{
    theta_ = degrees;
    const double r = degrees * degreesToRadians;
    sinTheta_ = std::sin(r);
    cosTheta_ = std::cos(r);
    compile();
}

void SurfaceFunction::setHeightField(std::shared_ptr<const ZFunction> field)
{
    field_ = std::move(field);
    compile();
}

// x and y take the turned point, and z the field's height there while
// there is a field.
void SurfaceFunction::compile()
{
    if (!ok_) {
        current_ = SurfaceHeights();
        return;
    }
    const SymbolTable* symbols = parser_->symbols();
    const Program::Inputs inputs{symbols->find("x"), symbols->find("y"),
                                 field_ != nullptr ? symbols->find("z") : nullptr};
    current_ = SurfaceHeights(parser_->compile(inputs), {centreX_, centreY_, sinTheta_, cosTheta_},
                              field_);
}

void SurfaceFunction::heights(std::span<const double> x, std::span<const double> y,
                              std::span<double> z) const
{
    current_.heights(x, y, z);
}

bool SurfaceFunction::sameHeights(const ZFunction& other) const
{
    return current_.sameHeights(other);
}

std::unique_ptr<ZFunction> SurfaceFunction::snapshot() const
{
    return current_.snapshot();
}
