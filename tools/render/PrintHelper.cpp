#include "tools/render/PrintHelper.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

int execPrintHelper(char** argv)
{
    // The helper's place is fixed relative to this program's, in the
    // build tree as in the installed one.
    char self[PATH_MAX];
    const ssize_t size = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string helper;
    if (size > 0) {
        helper.assign(self, static_cast<std::size_t>(size));
        helper = helper.substr(0, helper.rfind('/') + 1) + KELVO_PRINT_HELPER;
        execv(helper.c_str(), argv);
    }
    std::fprintf(stderr, "kelvo-render: cannot start the printing program %s: %s\n"
                         "kelvo-render: the page was not printed\n",
                 helper.empty() ? "kelvo-print" : helper.c_str(), std::strerror(errno));
    return 2;
}
