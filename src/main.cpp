// SPDX-License-Identifier: GPL-3.0-or-later
// The program's entry: the toolkit, the player's language, the one main window, and the event loop.
#include "intl.h"
#include "window.h"

#include <gtkmm/main.h>

#include <filesystem>
#include <system_error>

namespace {

// The catalogues lie where the install put them relative to the program, so a package, another
// prefix and a DESTDIR all find theirs; in the build tree, beside the program.
std::string LocaleDir() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    return VELMINE_LOCALEDIR;
  std::filesystem::path built = program.parent_path() / "locale";
  if (std::filesystem::is_directory(built, error))
    return built;
  return program.parent_path() / VELMINE_LOCALEDIR_FROM_PROGRAM;
}

} // namespace

int main(int argc, char* argv[]) {
  Gtk::Main kit(argc, argv, true);
  bindtextdomain(GETTEXT_PACKAGE, LocaleDir().c_str());
  // The toolkit takes UTF-8 whatever the locale's own character set.
  bind_textdomain_codeset(GETTEXT_PACKAGE, "UTF-8");
  // Never deleted: the program ends through exit(0) in the quit confirmation or the save dialog.
  MineWindow* window = new MineWindow();
  window->Create();
  Gtk::Main::run(*window);
  return 0;
}
