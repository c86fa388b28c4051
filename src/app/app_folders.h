// SPDX-License-Identifier: GPL-3.0-or-later
// The application's folders: where the settings file lives on this system.
#pragma once

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
  [[nodiscard]] std::string IniFilePath() const;
  // The line's full settings, beside the settings file.
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
};

}  // namespace korvani::app
