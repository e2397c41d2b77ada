#include "pages/PrivatePrograms.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include <unistd.h>

namespace {

std::string ownFolder()
{
    char self[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (size <= 0)
        return {};
    const std::string path(self, static_cast<std::size_t>(size));
    return path.substr(0, path.rfind('/') + 1);
}

// Beside this program when it is there (to be run, where it must be).
std::string privatePath(const std::string& name, int mode)
{
    const std::string folder = ownFolder();
    const std::string beside = folder + name;
    if (::access(beside.c_str(), mode) == 0)
        return beside;
    return folder + KELVO_PRIVATE_DIR_FROM_BIN "/" + name;
}

} // namespace

std::string privateProgram(const std::string& name)
{
    return privatePath(name, X_OK);
}

std::string privateFile(const std::string& name)
{
    return privatePath(name, R_OK);
}

std::string execPrivateProgram(const std::string& name, char** argv)
{
    const std::string program = privateProgram(name);
    ::execv(program.c_str(), argv);
    return program + ": " + std::strerror(errno);
}
