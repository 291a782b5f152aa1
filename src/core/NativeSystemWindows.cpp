#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include "core/NativeSystem.h"
#include "core/NativeWindows.h"

namespace pamiro {

using native::Narrow;
using native::Wide;

std::string SystemFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    const UINT got = ::GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (got == 0 || got >= folder.size()) return "C:\\Windows";
    folder.resize(got);
    std::string bytes;
    Narrow(folder, bytes);
    return bytes;
}

std::string TempFolderUnder(std::string_view systemFolder) {
    std::string folder(systemFolder);
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder + "\\Temp";
}

std::string FixedDefaultFolder() { return "C:\\Windows\\Temp"; }

std::string DocumentsFolder() {
    wchar_t* folder = nullptr;
    std::string bytes;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &folder))) {
        Narrow(folder, bytes);
    }
    ::CoTaskMemFree(folder);
    return bytes;
}

namespace {

std::wstring SectionKey(const std::string& application, std::string_view section) {
    return L"Software\\" + Wide(application) + L"\\" + Wide(section);
}

std::string SystemMessage(LSTATUS code) {
    wchar_t* text = nullptr;
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    const DWORD length = ::FormatMessageW(flags, nullptr, static_cast<DWORD>(code), 0,
                                          reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                                message.back() == L' ' || message.back() == L'.')) {
        message.pop_back();
    }
    std::string bytes;
    Narrow(message, bytes);
    return bytes.empty() ? "error " + std::to_string(code) : bytes;
}

std::string KeyError(const std::string& application, std::string_view section, LSTATUS code) {
    return "HKEY_CURRENT_USER\\Software\\" + application + "\\" + std::string(section) + ": " +
           SystemMessage(code);
}

struct Key {
    HKEY value = nullptr;
    ~Key() {
        if (value != nullptr) ::RegCloseKey(value);
    }
};

// A text value without its stored terminator; false for any other type.
bool TextOf(DWORD type, const std::wstring& data, DWORD bytes, std::wstring& text) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    text.assign(data.data(), bytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return true;
}

}  // namespace

std::string UserRegistry::Read(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
    Key opened;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey(application_, section).c_str(), 0,
                        KEY_QUERY_VALUE, &opened.value) != ERROR_SUCCESS) {
        return std::string(fallback);
    }
    const std::wstring name = Wide(key);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(opened.value, name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::string(fallback);
    }
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    std::wstring text;
    if (::RegQueryValueExW(opened.value, name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS ||
        !TextOf(type, data, size, text)) {
        return std::string(fallback);
    }
    std::string bytes;
    Narrow(text, bytes);
    return bytes;
}

std::vector<std::pair<std::string, std::string>> UserRegistry::ReadSection(
    std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> pairs;
    Key opened;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey(application_, section).c_str(), 0,
                        KEY_QUERY_VALUE, &opened.value) != ERROR_SUCCESS) {
        return pairs;
    }
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (::RegQueryInfoKeyW(opened.value, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, &longestName, &longestData, nullptr,
                           nullptr) != ERROR_SUCCESS) {
        return pairs;
    }
    for (DWORD index = 0;; ++index) {
        std::wstring name(longestName + 1, L'\0');
        std::wstring data(longestData / sizeof(wchar_t) + 1, L'\0');
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        DWORD type = 0;
        const LSTATUS status =
            ::RegEnumValueW(opened.value, index, name.data(), &nameLength, nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &size);
        if (status != ERROR_SUCCESS) break;  // ERROR_NO_MORE_ITEMS at the end
        name.resize(nameLength);
        std::wstring text;
        if (!TextOf(type, data, size, text)) continue;
        std::string nameBytes;
        std::string textBytes;
        Narrow(name, nameBytes);
        Narrow(text, textBytes);
        pairs.emplace_back(std::move(nameBytes), std::move(textBytes));
    }
    return pairs;
}

bool UserRegistry::Write(std::string_view section, std::string_view key, std::string_view value,
                         std::string& error) {
    Key created;
    LSTATUS status =
        ::RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(application_, section).c_str(), 0, nullptr,
                          0, KEY_SET_VALUE, nullptr, &created.value, nullptr);
    if (status == ERROR_SUCCESS) {
        const std::wstring text = Wide(value);
        status = ::RegSetValueExW(created.value, Wide(key).c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    if (status == ERROR_SUCCESS) return true;
    error = KeyError(application_, section, status);
    return false;
}

bool UserRegistry::DeleteSection(std::string_view section, std::string& error) {
    const LSTATUS status =
        ::RegDeleteTreeW(HKEY_CURRENT_USER, SectionKey(application_, section).c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
    error = KeyError(application_, section, status);
    return false;
}

}  // namespace pamiro
