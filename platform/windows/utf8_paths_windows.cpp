// UTF-8 paths on Windows: converted to UTF-16 for the wide calls (the narrow ones read the
// ANSI code page, which holds few of the world's letters), and back for the program's text.
#include "platform/interface/utf8_paths.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <knownfolders.h>

#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <wchar.h>

#include <cerrno>
#include <cstring>

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return L"";
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const wchar_t* wide, size_t size) {
    if (size == 0) return "";
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, int(size), nullptr, 0, nullptr, nullptr);
    std::string text(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, int(size), text.data(), length, nullptr, nullptr);
    return text;
}

std::string Narrow(const std::wstring& wide) { return Narrow(wide.data(), wide.size()); }

}  // namespace

namespace utf8 {

std::vector<std::string> Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Narrow(wide[i], wcslen(wide[i])));
    LocalFree(wide);
    return arguments;
}

std::string Environment(const char* name) {
    const std::wstring wideName = Wide(name);
    const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) return "";
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    value.resize(length < size ? length : 0);
    return Narrow(value);
}

std::filesystem::path ProgramFile(std::error_code* status) {
    // Longer than MAX_PATH is possible: the buffer grows until the name fits.
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::wstring name(size, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), size);
        if (length == 0) {
            *status = std::error_code(int(GetLastError()), std::system_category());
            return {};
        }
        if (length < size) return std::filesystem::path(name.substr(0, length));
    }
}

std::filesystem::path Path(const std::string& text) { return std::filesystem::path(Wide(text)); }
std::string Text(const std::filesystem::path& path) { return Narrow(path.wstring()); }

FILE* OpenFile(const std::string& path, const char* mode) { return _wfopen(Wide(path).c_str(), Wide(mode).c_str()); }

int Access(const std::string& path, int mode) {
    // The C library refuses X_OK: a folder one can write in can be entered.
    return _waccess(Wide(path).c_str(), mode & (R_OK | W_OK));
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

int MakeFolder(const std::string& path) { return _wmkdir(Wide(path).c_str()); }

int CreateUniqueFile(char* pathTemplate, int suffixLength) {
    const size_t length = std::strlen(pathTemplate);
    char* x = pathTemplate + length - suffixLength - 6;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        unsigned value = unsigned(_getpid()) * 7919u + ++counter;
        for (int i = 0; i < 6; ++i, value /= 36) x[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[value % 36];
        const int fd = _wopen(Wide(pathTemplate).c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY,
                              _S_IREAD | _S_IWRITE);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

int RemoveFile(const std::string& path) { return _wunlink(Wide(path).c_str()); }

std::string KnownPicturesFolder() {
    // Where the user's Pictures are, moved (by OneDrive, or by hand in the folder's
    // properties) or not.
    wchar_t* folder = nullptr;
    std::string text;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &folder))) text = Narrow(folder, wcslen(folder));
    CoTaskMemFree(folder);
    return text;
}

}  // namespace utf8
