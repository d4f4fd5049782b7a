// A stand-in for a program that KRAV starts: writes each of its parameters as "[parameter]" and then its
// working folder, one a line, to "out" in its working folder (complete when it appears).
#include <cstdio>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The working folder as the program's texts spell it: Windows-1252 on Windows.
std::string WorkingFolder() {
#ifdef _WIN32
    const std::wstring wide = std::filesystem::current_path().native();
    std::string text(wide.size() * 2, '\0');
    int size = WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                                   static_cast<int>(text.size()), "?", nullptr);
    text.resize(static_cast<std::size_t>(size > 0 ? size : 0));
    return text;
#else
    return std::filesystem::current_path().string();
#endif
}

}  // namespace

int main(int argc, char** argv) {
    std::FILE* out = std::fopen("out.tmp", "wb");
    if (out == nullptr) return 1;
    for (int i = 1; i < argc; ++i)
        std::fprintf(out, "[%s]\n", argv[i]);
    std::fprintf(out, "%s\n", WorkingFolder().c_str());
    if (std::fclose(out) != 0) return 1;
    return std::rename("out.tmp", "out") == 0 ? 0 : 1;
}
