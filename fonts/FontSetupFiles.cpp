#include "fonts/FontSetupFiles.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb.h>

namespace {

void addList(FcStrList* list, std::set<std::string>& files, bool withFolder)
{
    if (list == nullptr)
        return;
    while (const FcChar8* name = FcStrListNext(list)) {
        const std::string path = reinterpret_cast<const char*>(name);
        files.insert(path);
        if (withFolder)
            files.insert(std::filesystem::path(path).parent_path().string());
    }
    FcStrListDone(list);
}

std::string fromEnvironment(const char* name, const std::string& otherwise)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : otherwise;
}

// Where fontconfig looks for a user's own configuration and fonts, from
// HOME and the XDG folders, as its default configuration names them.
void addUserPlaces(std::set<std::string>& files)
{
    const std::string home = fromEnvironment("HOME", {});
    const std::string config = fromEnvironment("XDG_CONFIG_HOME", home.empty() ? "" : home + "/.config");
    const std::string data = fromEnvironment("XDG_DATA_HOME", home.empty() ? "" : home + "/.local/share");
    if (!config.empty()) {
        files.insert(config + "/fontconfig");
        files.insert(config + "/fontconfig/conf.d");
        files.insert(config + "/fontconfig/fonts.conf");
    }
    if (!data.empty())
        files.insert(data + "/fonts");
    if (!home.empty()) {
        files.insert(home + "/.fonts");
        files.insert(home + "/.fonts.conf");
        files.insert(home + "/.fonts.conf.d");
    }
}

// The shared object that holds the code at `address`.
void addLibraryOf(const void* address, std::set<std::string>& files)
{
    Dl_info info{};
    if (::dladdr(address, &info) != 0 && info.dli_fname != nullptr)
        files.insert(info.dli_fname);
}

void here() {}

} // namespace

std::vector<std::string> fontSetupFiles(const std::vector<std::string>& faceFiles)
{
    std::set<std::string> files(faceFiles.begin(), faceFiles.end());
    if (FcConfig* config = FcConfigGetCurrent()) {
        addList(FcConfigGetConfigFiles(config), files, true);
        addList(FcConfigGetFontDirs(config), files, false);
        addList(FcConfigGetCacheDirs(config), files, false);
    }
    addUserPlaces(files);
    addLibraryOf(reinterpret_cast<const void*>(&here), files);
    addLibraryOf(reinterpret_cast<const void*>(&FcInit), files);
    addLibraryOf(reinterpret_cast<const void*>(&FT_Init_FreeType), files);
    addLibraryOf(reinterpret_cast<const void*>(&hb_shape), files);
    files.erase(std::string());
    return {files.begin(), files.end()};
}
