#include "tools/render/HelperPrograms.h"

#include <cstdio>
#include <string>

#include "pages/PrivatePrograms.h"

int execPrintHelper(char** argv)
{
    const std::string why = execPrivateProgram("kelvo-print", argv);
    std::fprintf(stderr, "kelvo-render: cannot start the printing program %s\n"
                         "kelvo-render: the page was not printed\n",
                 why.c_str());
    return 2;
}

int execQtRenderer(char** argv)
{
    const std::string why = execPrivateProgram("kelvo-render-qt", argv);
    std::fprintf(stderr, "kelvo-render: cannot start the drawing program %s\n"
                         "kelvo-render: nothing was drawn\n",
                 why.c_str());
    return 2;
}
