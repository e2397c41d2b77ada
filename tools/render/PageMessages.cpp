#include "tools/render/PageMessages.h"

#include <cstdio>

int reportPage(const std::string& path, const PageFileResult& result)
{
    if (const auto& warning = result.parseWarning)
        std::fprintf(stderr, "kelvo-render: %s\n  %s\n  %s\n", warning->caption.c_str(),
                     warning->line.c_str(), warning->diagnostic.c_str());
    if (!result.meshWarning.empty())
        std::fprintf(stderr, "kelvo-render: %s\n", result.meshWarning.c_str());
    if (!result.written) {
        std::fprintf(stderr, "kelvo-render: cannot write %s: %s\n", path.c_str(),
                     result.error.c_str());
        return exitFailure;
    }
    return result.parseWarning || result.meshRefusal != MeshRefusal::None ? exitPageWarning : 0;
}
