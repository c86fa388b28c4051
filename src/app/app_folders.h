// SPDX-License-Identifier: GPL-3.0-or-later
// The application's folders: where the settings file lives on this system.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace korvani::app {

class AppFolders {
 public:
  // `getEnv` reads an environment variable ("" when unset).
  explicit AppFolders(std::function<std::string(const char*)> getEnv);

  // APPDATA where it is set; elsewhere XDG_CONFIG_HOME, else ~/.config. Ends in a separator.
  [[nodiscard]] std::string AppFolder() const;
  [[nodiscard]] std::string IniFolder() const;
  // Where one session's own settings are: the settings folder for the program's first
  // session, else a folder per port beside it (Ports/Port-COM201/), set by SetPortFolder.
  [[nodiscard]] std::string SessionFolder() const { return IniFolder() + PortFolder; }
  void SetPortFolder(std::int16_t comNumber);
  // The 16-line settings file, in the session's folder.
  [[nodiscard]] std::string IniFilePath() const;
  // The line's full settings, beside the settings file; the Tx lines' periodic send and the
  // receive view's settings too.
  [[nodiscard]] std::string LineSettingsFilePath() const;
  // The Tx lines' periodic send, beside the settings file.
  [[nodiscard]] std::string RepeatsFilePath() const;
  // The receive view's settings (how much it keeps), beside the settings file.
  [[nodiscard]] std::string ViewSettingsFilePath() const;
  // The program's own choices (the version check, the sent lines' end), beside it.
  [[nodiscard]] std::string OptionsFilePath() const;

  // USB adapters' COM numbers by their identity, beside the settings file.
  [[nodiscard]] std::string PortIdentitiesFilePath() const;
  // The network ports on the port list, beside the settings file.
  [[nodiscard]] std::string NetworkPortsFilePath() const;

 private:
  std::function<std::string(const char*)> GetEnv;
  std::string PortFolder;  // "" for the first session
};

}  // namespace korvani::app
