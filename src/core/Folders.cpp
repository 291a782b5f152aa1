#include "core/Folders.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <system_error>

#include "core/FileError.h"
#include "core/FileLock.h"
#include "core/Paths.h"
#include "core/Text.h"

namespace pamiro {

namespace {

std::string Joined(std::string path, const RelativePath& parts) {
    for (const std::string& part : parts) path = JoinPath(path, part);
    return path;
}

// A memory folder's key: the parts joined with "/" on every platform.
std::string Key(const RelativePath& parts) {
    std::string key;
    for (const std::string& part : parts) key += (key.empty() ? "" : "/") + part;
    return key;
}

class NativeSink : public ByteSink {
  public:
    explicit NativeSink(std::unique_ptr<NativeFile> file) : file_(std::move(file)) {}
    bool Write(const char* data, std::size_t size) override { return file_->Write(data, size); }
    bool Close() override { return file_->Close(); }
    int Error() const override { return file_->Error(); }

  private:
    std::unique_ptr<NativeFile> file_;
};

class StringSink : public ByteSink {
  public:
    explicit StringSink(std::string* bytes) : bytes_(bytes) {}
    bool Write(const char* data, std::size_t size) override {
        if (bytes_ != nullptr) bytes_->append(data, size);
        return true;
    }
    bool Close() override { return true; }
    int Error() const override { return 0; }

  private:
    std::string* bytes_;
};

}  // namespace

std::string CaseVariantsNote(const CaseVariantsMet& met) {
    std::string list;
    for (const std::string& v : met.Variants) list += (list.empty() ? "" : ", ") + v;
    return "No se toma ninguno: en " + met.Folder + " hay varios nombres que solo difieren de " +
           met.Name + " en mayúsculas y minúsculas: " + list;
}

EntryKind DiskInputFolder::Entry(const RelativePath& path) const {
    if (followLinks_) {
        if (path.empty()) return EntryBelow(root_, {});
        return EntryFollowingLinks(Joined(root_, RelativePath(path.begin(), path.end() - 1)),
                                   path.back());
    }
    return EntryBelow(root_, path);
}

Lookup DiskInputFolder::Find(const RelativePath& path) const {
    NameLookup found = LookUpBelow(root_, path, followLinks_);
    Lookup lookup{found.Kind, found.Taken, std::nullopt};
    if (!found.Variants.empty()) {
        lookup.Ambiguous =
            CaseVariantsMet{PathOf(found.Taken), path[found.Taken.size()], found.Variants};
    }
    return lookup;
}

std::unique_ptr<ByteSource> DiskInputFolder::Open(const RelativePath& path) const {
    // Opened by the names found, so that the source is named by the path read.
    const Lookup found = Find(path);
    if (found.Kind != EntryKind::File) return nullptr;
    int error = 0;
    auto file = NativeFile::OpenForReading(root_, found.Found, followLinks_, error);
    if (!file) return nullptr;
    return std::make_unique<FileSource>(PathOf(found.Found), std::move(file));
}

std::vector<std::pair<std::string, EntryKind>> DiskInputFolder::Entries() const {
    return FolderEntries(root_);
}

std::string DiskInputFolder::PathOf(const RelativePath& path) const { return Joined(root_, path); }

EntryKind MemoryInputFolder::KindOf(const std::string& key) const {
    if (Files.count(key) != 0) return EntryKind::File;
    auto it = Files.lower_bound(key + "/");
    return it != Files.end() && it->first.compare(0, key.size() + 1, key + "/") == 0
               ? EntryKind::Folder
               : EntryKind::Missing;
}

// Names in any case, as on disk: a part that no entry holds exactly is the
// one entry of the wanted kind (a folder on the way, a file at the end) that
// differs from it only in ASCII case.
Lookup MemoryInputFolder::Find(const RelativePath& path) const {
    Lookup found;
    if (path.empty()) found.Kind = KindOf({});
    std::string key;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const std::string prefix = key.empty() ? "" : key + "/";
        const bool last = i + 1 == path.size();
        const EntryKind wanted = last ? EntryKind::File : EntryKind::Folder;
        std::string part = path[i];
        EntryKind kind = KindOf(prefix + part);
        if (kind == EntryKind::Missing) {
            std::set<std::string> variants;
            for (auto it = Files.lower_bound(prefix);
                 it != Files.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
                const std::string name = it->first.substr(
                    prefix.size(), it->first.find('/', prefix.size()) - prefix.size());
                if (EqualIgnoringAsciiCase(name, path[i]) && KindOf(prefix + name) == wanted) {
                    variants.insert(name);
                }
            }
            if (variants.size() > 1) {
                found.Ambiguous = CaseVariantsMet{
                    PathOf(found.Found), path[i], {variants.begin(), variants.end()}};
            }
            if (variants.size() != 1) return found;
            part = *variants.begin();
            kind = wanted;
        }
        found.Found.push_back(part);
        key = prefix + part;
        if (last) found.Kind = kind;
        if (kind != EntryKind::Folder) break;
    }
    return found;
}

EntryKind MemoryInputFolder::Entry(const RelativePath& path) const { return Find(path).Kind; }

std::unique_ptr<ByteSource> MemoryInputFolder::Open(const RelativePath& path) const {
    const Lookup found = Find(path);
    if (found.Kind != EntryKind::File) return nullptr;
    const auto it = Files.find(Key(found.Found));
    return std::make_unique<MemorySource>(it->first, it->second);
}

std::vector<std::pair<std::string, EntryKind>> MemoryInputFolder::Entries() const {
    std::map<std::string, EntryKind> entries;
    for (const auto& [path, bytes] : Files) {
        const auto slash = path.find('/');
        entries[path.substr(0, slash)] =
            slash == std::string::npos ? EntryKind::File : EntryKind::Folder;
    }
    return {entries.begin(), entries.end()};
}

std::string MemoryInputFolder::PathOf(const RelativePath& path) const { return Key(path); }

std::unique_ptr<ByteSink> DiskOutputFolder::Create(const std::string& name) {
    int error = 0;
    auto file = NativeFile::CreateForWriting(PathOf(name), error);
    if (!file) throw FileError(FileError::Kind::Write, PathOf(name), error);
    return std::make_unique<NativeSink>(std::move(file));
}

void DiskOutputFolder::Remove(const std::string& name) { RemoveFile(PathOf(name)); }

std::string DiskOutputFolder::PathOf(const std::string& name) const {
    std::string path = root_;
    for (std::size_t at = 0; at <= name.size();) {
        const std::size_t slash = std::min(name.find('/', at), name.size());
        if (slash > at) path = JoinPath(path, name.substr(at, slash - at));
        at = slash + 1;
    }
    return path;
}

std::vector<std::pair<std::string, EntryKind>> DiskOutputFolder::Entries(
    const std::string& folder) const {
    return FolderEntries(PathOf(folder));
}

void DiskOutputFolder::MakeFolder(const std::string& name) {
    std::error_code error;
    if (!std::filesystem::create_directory(NativePath(PathOf(name)), error)) {
        throw FileError(FileError::Kind::Write, PathOf(name), error ? error.value() : EEXIST);
    }
}

void DiskOutputFolder::Rename(const std::string& from, const std::string& to) {
    int error = 0;
    if (!RenameEntry(PathOf(from), PathOf(to), error)) {
        throw FileError(FileError::Kind::Write, PathOf(to), error);
    }
}

bool DiskOutputFolder::RemoveFolder(const std::string& name) {
    std::error_code error;
    std::filesystem::remove_all(NativePath(PathOf(name)), error);
    return !error;
}

namespace {

struct DiskLock : StagingTarget::HeldLock {
    explicit DiskLock(std::unique_ptr<FileLock> held) : Held(std::move(held)) {}
    std::unique_ptr<FileLock> Held;
};

struct MemoryLock : StagingTarget::HeldLock {
    MemoryLock(std::shared_ptr<std::set<std::string>> locked, std::string name)
        : Locked(std::move(locked)), Name(std::move(name)) {
        Locked->insert(Name);
    }
    ~MemoryLock() override { Locked->erase(Name); }
    std::shared_ptr<std::set<std::string>> Locked;
    std::string Name;
};

constexpr std::size_t kLockReadLimit = 4096;

}  // namespace

StagingTarget::Lock DiskOutputFolder::CreateLocked(const std::string& name, std::string_view text) {
    int error = 0;
    auto held = FileLock::Create(PathOf(name), error);
    if (held && !held->Write(text)) error = EIO;
    if (!held || error != 0) throw FileError(FileError::Kind::Write, PathOf(name), error);
    return std::make_unique<DiskLock>(std::move(held));
}

StagingTarget::Lock DiskOutputFolder::TakeLock(const std::string& name, LockState& state,
                                               std::string& read) {
    int error = 0;
    auto held = FileLock::Take(PathOf(name), error);
    if (!held) {
        state = error == EWOULDBLOCK ? LockState::Busy : LockState::Missing;
        return nullptr;
    }
    state = LockState::Taken;
    read = held->Read(kLockReadLimit);
    return std::make_unique<DiskLock>(std::move(held));
}

void DiskOutputFolder::KeepPermissions(const std::string& from, const std::string& to) {
    pamiro::KeepPermissions(PathOf(from), PathOf(to));
}

bool DiskOutputFolder::IgnoresCase() const { return !NamesTellCaseApart(); }

StagingTarget::Lock MemoryOutputFolder::CreateLocked(const std::string& name,
                                                     std::string_view text) {
    if (Files.count(name) != 0) throw FileError(FileError::Kind::Write, name, EEXIST);
    Files[name] = std::string(text);
    return std::make_unique<MemoryLock>(locked_, name);
}

StagingTarget::Lock MemoryOutputFolder::TakeLock(const std::string& name, LockState& state,
                                                 std::string& read) {
    const auto it = Files.find(name);
    if (it == Files.end()) {
        state = LockState::Missing;
        return nullptr;
    }
    if (locked_->count(name) != 0) {
        state = LockState::Busy;
        return nullptr;
    }
    state = LockState::Taken;
    read = it->second.substr(0, kLockReadLimit);
    return std::make_unique<MemoryLock>(locked_, name);
}

std::vector<std::pair<std::string, EntryKind>> MemoryOutputFolder::Entries(
    const std::string& folder) const {
    const std::string prefix = folder.empty() ? "" : folder + "/";
    std::map<std::string, EntryKind> entries;
    for (auto it = Files.lower_bound(prefix); it != Files.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) break;
        const std::string rest = it->first.substr(prefix.size());
        const auto slash = rest.find('/');
        entries[rest.substr(0, slash)] =
            slash == std::string::npos ? EntryKind::File : EntryKind::Folder;
    }
    return {entries.begin(), entries.end()};
}

void MemoryOutputFolder::Rename(const std::string& from, const std::string& to) {
    std::map<std::string, std::string> moved;
    for (auto it = Files.begin(); it != Files.end();) {
        if (it->first == from || it->first.compare(0, from.size() + 1, from + "/") == 0) {
            moved[to + it->first.substr(from.size())] = std::move(it->second);
            it = Files.erase(it);
        } else {
            ++it;
        }
    }
    if (moved.empty()) throw FileError(FileError::Kind::Write, to, ENOENT);
    for (auto& [name, bytes] : moved) Files[name] = std::move(bytes);
}

bool MemoryOutputFolder::RemoveFolder(const std::string& name) {
    if (Unremovable.count(name) != 0) return false;
    const std::string prefix = name + "/";
    for (auto it = Files.lower_bound(prefix);
         it != Files.end() && it->first.compare(0, prefix.size(), prefix) == 0;) {
        it = Files.erase(it);
    }
    return true;
}

std::unique_ptr<ByteSink> MemoryOutputFolder::Create(const std::string& name) {
    std::string* bytes = nullptr;
    if (keep_) {
        bytes = &Files[name];
        bytes->clear();
    }
    return std::make_unique<StringSink>(bytes);
}

}  // namespace pamiro
