#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pamiro {

// What the system keeps for the program beside its files: the system folder
// and, on Windows, the user's settings in the registry. Texts are bytes of the
// system's code page, as paths are (NativeFile.h).

// The folder the default folders hang under: on Windows the Windows folder
// (GetWindowsDirectoryW), elsewhere "/var" (its "tmp" is the counterpart of
// the Windows folder's "Temp").
std::string SystemFolder();
// The default folder under the system folder: its "Temp" on Windows
// ("C:\Windows" gives "C:\Windows\Temp"), its "tmp" elsewhere ("/var/tmp").
std::string TempFolderUnder(std::string_view systemFolder);
// The user's documents folder: on Windows the Documents known folder, elsewhere
// the home folder. Empty when the system names none.
std::string DocumentsFolder();
// What a missing folder setting reads as: "C:\Windows\Temp" on Windows,
// "/var/tmp" elsewhere.
std::string FixedDefaultFolder();

// The settings of the application under HKEY_CURRENT_USER\Software\<application>,
// one key per section and one text value per key name. Windows only.
class UserRegistry {
  public:
    explicit UserRegistry(std::string application) : application_(std::move(application)) {}

    // The value, or fallback when it is missing or no text.
    std::string Read(std::string_view section, std::string_view key,
                     std::string_view fallback) const;
    // Every text value of a section in the registry's own order (Windows
    // promises none; Wine gives them sorted by name).
    std::vector<std::pair<std::string, std::string>> ReadSection(std::string_view section) const;
    // False with the system's message in error when the value could not be written.
    bool Write(std::string_view section, std::string_view key, std::string_view value,
               std::string& error);
    // Removes the section's key with everything under it; a missing one is no fault.
    bool DeleteSection(std::string_view section, std::string& error);

  private:
    std::string application_;
};

}  // namespace pamiro
