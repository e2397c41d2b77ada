#include "tools/render/TextMetricsModule.h"

#include <dlfcn.h>

#include "pages/PrivatePrograms.h"

std::unique_ptr<MeasuringCanvas> loadMeasuringCanvas(std::string& error)
{
    const std::string path = privateFile("kelvo-text-metrics.so");
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        error = ::dlerror();
        return nullptr;
    }
    const auto make =
        reinterpret_cast<MakeMeasuringCanvas>(::dlsym(module, makeMeasuringCanvasName));
    if (make == nullptr) {
        error = path + " holds no " + makeMeasuringCanvasName;
        return nullptr;
    }
    return std::unique_ptr<MeasuringCanvas>(make());
}
