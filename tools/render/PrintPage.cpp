#include "tools/render/PrintPage.h"

#include <cstdio>

int printPage(bool)
{
    std::fprintf(stderr, "kelvo-render: printing is not available in this build\n");
    return 2;
}
