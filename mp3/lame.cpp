#include "lame.h"

#include "ACS_Classes.h"
#include "LibraryLoader.h"

namespace lame {

#define CORVATONE_LAME_DEFINE(Name) decltype(&::Name) Name = nullptr;
CORVATONE_LAME_ENTRY_POINTS(CORVATONE_LAME_DEFINE)
#undef CORVATONE_LAME_DEFINE

namespace {

bool FLoaded = false;
void* FHandle = nullptr;

std::string& LibraryFileName()
{
    static std::string FileName = Loader::EncoderLibraryFileName();
    return FileName;
}

template <typename TFunction> void LookUp(TFunction& Pointer, const char* Name)
{
    // The loader hands out untyped addresses; the type is the header's function of that name.
    Pointer = reinterpret_cast<TFunction>(Loader::FindEntryPoint(FHandle, Name));
}

void LookUpEntryPoints()
{
#define CORVATONE_LAME_LOOK_UP(Name) LookUp(Name, #Name);
    CORVATONE_LAME_ENTRY_POINTS(CORVATONE_LAME_LOOK_UP)
#undef CORVATONE_LAME_LOOK_UP
}

} // namespace

void LoadEncoderLibrary()
{
    if (FLoaded)
        return;
    FHandle = Loader::OpenLibrary(LibraryFileName());
    if (!FHandle)
        return;
    FLoaded = true;
    LookUpEntryPoints();
}

void UnloadEncoderLibrary()
{
    // The handle is kept, so only an open library is released: a second unload must not drop a
    // reference that someone else holds on the same library.
    const bool WasLoaded = FLoaded;
    FLoaded = false;
    if (WasLoaded && FHandle)
        Loader::CloseLibrary(FHandle);
}

bool EncoderLibraryLoaded()
{
    return FLoaded;
}

void* EncoderLibraryHandle()
{
    return FHandle;
}

void RaiseMissingEntryPoint(const char* Name)
{
    throw EACSException(std::string("The encoder library has no entry point \"") + Name + "\".");
}

void SetEncoderLibraryFileNameForTests(const std::string& FileName)
{
    LibraryFileName() = FileName;
}

} // namespace lame
