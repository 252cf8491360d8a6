// Shared libraries through dlopen: the encoder is Debian's libmp3lame0, found on the system's
// library path. RTLD_LOCAL keeps its names out of the process's global lookup.
#include "LibraryLoader.h"

#include <dlfcn.h>

namespace lame::Loader {

const char* EncoderLibraryFileName()
{
    return "libmp3lame.so.0";
}

void* OpenLibrary(const std::string& FileName)
{
    return dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindEntryPoint(void* Library, const char* Name)
{
    return dlsym(Library, Name);
}

void CloseLibrary(void* Library)
{
    dlclose(Library);
}

} // namespace lame::Loader
