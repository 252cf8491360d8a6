// The platform's loader of shared libraries, one implementation file per platform.
// Threads: the owning thread; calls block only in the system's loader.
#pragma once

#include <string>

namespace lame::Loader {

// The file name of the encoder library on this platform.
const char* EncoderLibraryFileName();
// Opens the library; null when it cannot be found or loaded.
void* OpenLibrary(const std::string& FileName);
// The address of an exported name; null when the library lacks it.
void* FindEntryPoint(void* Library, const char* Name);
void CloseLibrary(void* Library);

} // namespace lame::Loader
