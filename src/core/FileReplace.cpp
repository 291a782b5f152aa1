// Files the program rewrites whole (the settings file): through a temporary
// file beside the target and a rename.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>
#include <system_error>

#include "core/FileError.h"
#include "core/NativeFile.h"

#if __has_include(<unistd.h>) && !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#define PAMIRO_HAVE_FSYNC 1
#endif

namespace pamiro {

namespace fs = std::filesystem;

std::FILE* OpenStdioFile(const fs::path& path, bool createNew) {
    // Windows paths are wide; its C library knows no "x" (the name is random anyway).
#ifdef _WIN32
    return _wfopen(path.c_str(), createNew ? L"wb" : L"rb");
#else
    return std::fopen(path.c_str(), createNew ? "wbx" : "rb");
#endif
}

namespace {

// Temporary files of a save that ended before its rename carry the name this
// save would give its own: the store's name, ".tmp-" and digits. Only those
// older than a minute go, so another instance's save in progress is safe.
void RemoveStaleTemporaries(const fs::path& target) {
    const std::string prefix = target.filename().string() + ".tmp-";
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const auto now = fs::file_time_type::clock::now();
    std::error_code code;
    for (fs::directory_iterator entry(folder, code), end; !code && entry != end;
         entry.increment(code)) {
        const std::string name = entry->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
            !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                         [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        std::error_code ignored;
        if (!fs::is_regular_file(entry->symlink_status(ignored))) continue;
        const auto written = fs::last_write_time(entry->path(), ignored);
        if (ignored || now - written < std::chrono::minutes(1)) continue;
        fs::remove(entry->path(), ignored);
    }
}

// Without this a crash soon after the rename could bring the old file back.
void SyncFolder([[maybe_unused]] const fs::path& folder) {
#ifdef PAMIRO_HAVE_FSYNC
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
#endif
}

}  // namespace

bool ReplaceFileAtomically(const fs::path& file, std::string_view bytes, std::string& error) {
    // Messages name the store as the user knows it, never the temporary file.
    auto fail = [&](int errnoValue) {
        error = file.string() + ": " + ErrorText(errnoValue);
        return false;
    };
    std::error_code code;
    fs::path target = file;
    // A store that is a link to a file elsewhere stays a link.
    if (fs::is_symlink(file, code)) target = fs::weakly_canonical(file, code);
    if (code) target = file;

    // A store the user made read-only stays as it is, even where renaming
    // over it would work (as the superuser, or in a writable folder).
    const fs::file_status existing = fs::status(target, code);
    const bool exists = !code && fs::exists(existing);
    if (exists && (existing.permissions() & fs::perms::owner_write) == fs::perms::none) {
        return fail(EACCES);
    }
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), code);
    RemoveStaleTemporaries(target);

    std::random_device random;
    const fs::path temporary = target.string() + ".tmp-" + std::to_string(random() % 1000000000u);
    errno = 0;
    std::FILE* stream = OpenStdioFile(temporary, true);
    if (stream == nullptr) return fail(errno);
    int failure = 0;
    auto check = [&](bool ok) {
        if (!ok && failure == 0) failure = errno != 0 ? errno : EIO;
    };
    // The store keeps its mode (a private 0600 stays private) before any
    // byte of it is written.
    if (exists) {
        fs::permissions(temporary, existing.permissions(), code);
        if (code) failure = code.default_error_condition().value();
    }
    check(failure == 0 && std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size());
    check(std::fflush(stream) == 0);
#ifdef PAMIRO_HAVE_FSYNC
    check(::fsync(fileno(stream)) == 0);
#endif
    check(std::fclose(stream) == 0);
    if (failure != 0) {
        fs::remove(temporary, code);
        return fail(failure);
    }
    fs::rename(temporary, target, code);
    if (code) {
        const int renameError = code.default_error_condition().value();
        fs::remove(temporary, code);
        return fail(renameError);
    }
    SyncFolder(target.parent_path());
    return true;
}

}  // namespace pamiro
