// The program's paths are single-byte texts in the Windows-1252 character set, as the game writes its names.
// These turn such a text into the system's own path and back, and open a file by it: on Windows through the
// wide-character file functions (so that names with bytes above 127 mean the same on every machine, whatever
// its code page, and paths beyond the old 260-character limit work); elsewhere the bytes are the name.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace krav::platform {

// The path a file function of the C++ library is given for the program's path text.
std::filesystem::path NativePath(std::string_view text);

// The program's text for a path the system gave back (a folder listing, the program's own file). On Windows a
// character outside Windows-1252 becomes "?", so such a name is shown but cannot be opened by that text.
std::string PathText(const std::filesystem::path& path);

// std::fopen with the program's path text.
std::FILE* OpenFile(std::string_view path, const char* mode);

#ifdef _WIN32
// Windows-1252 text to UTF-16 and back (characters outside the set become "?").
std::wstring WideText(std::string_view text);
std::string NarrowText(std::wstring_view text);
#endif

}  // namespace krav::platform
