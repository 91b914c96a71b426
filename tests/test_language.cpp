// Every window and dialog in a pseudo-language whose catalogue marks each text (⟦Reset⟧), and in
// each shipped language: every text a player reads is translated, and none is cut. Needs a
// display and the catalogues built in the build tree; runs in a temporary directory.
#include "support.h"

#include "aboutdialog.h"
#include "intl.h"
#include "loaddialog.h"
#include "menu.h"
#include "savedialog.h"
#include "scoredialog.h"
#include "setgrid.h"
#include "vbox.h"
#include "window.h"

#include <gtkmm/label.h>
#include <gtkmm/menu.h>
#include <gtkmm/textview.h>
#include <pango/pango-layout.h>

#include <cctype>
#include <clocale>
#include <set>
#include <sys/stat.h>

namespace {

// Names, not words: the same in every language.
const std::string untranslated[] = {"Velm'Mine", "Velmora", "DadaVevuroz", "Orla Venwick"};

// What a text shows that came from no catalogue: the text without its marked pieces (a marked
// format may hold marked words) and without the names.
std::string Unmarked(std::string text) {
  for (size_t open; (open = text.rfind("⟦")) != std::string::npos;) {
    size_t close = text.find("⟧", open);
    if (close == std::string::npos)
      break;
    text.erase(open, close + std::string("⟧").size() - open);
  }
  for (const std::string& name : untranslated)
    for (size_t at; (at = text.find(name)) != std::string::npos;)
      text.erase(at, name.size());
  return text;
}

class LanguageTest : public TempDirTest, public testing::WithParamInterface<const char*> {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    pseudo = std::string(GetParam()) == "pseudo";
    setenv("LANGUAGE", GetParam(), 1);
    // Not "C", where the language list is not read.
    std::setlocale(LC_ALL, "C.UTF-8");
    bindtextdomain(GETTEXT_PACKAGE, pseudo ? PSEUDO_LOCALEDIR : VELMINE_BUILT_LOCALEDIR);
    bind_textdomain_codeset(GETTEXT_PACKAGE, "UTF-8");
  }
  // Each shown window: its title, labels (a stock button's are the toolkit's), menus, column
  // headings, text view and the score table's words, whole and marked in the pseudo-language.
  void CheckShown() {
    Settle();
    for (Gtk::Window* window : Shown<Gtk::Window>()) {
      std::vector<std::pair<Glib::ustring, Gtk::Label*>> texts = {{window->get_title(), nullptr}};
      std::set<Gtk::Widget*> stock;
      for (Gtk::Button* button : ShownIn<Gtk::Button>(window))
        if (button->get_use_stock())
          for (Gtk::Label* label : ShownIn<Gtk::Label>(button))
            stock.insert(label);
      std::vector<Gtk::Widget*> parts = ShownIn<Gtk::Widget>(window);
      for (Gtk::MenuItem* item : ShownIn<Gtk::MenuItem>(window))
        for (Gtk::Widget* entry : ShownIn<Gtk::Widget>(item->get_submenu()))
          parts.push_back(entry);
      for (Gtk::Widget* part : parts) {
        if (auto* label = dynamic_cast<Gtk::Label*>(part); label && !stock.count(label))
          texts.emplace_back(label->get_text(), label);
        if (auto* list = dynamic_cast<Gtk::TreeView*>(part))
          for (Gtk::TreeViewColumn* column : list->get_columns())
            texts.emplace_back(column->get_title(), nullptr);
        if (auto* view = dynamic_cast<Gtk::TextView*>(part))
          texts.emplace_back(view->get_buffer()->get_text(), nullptr);
      }
      if (auto* score = dynamic_cast<ScoreDialog*>(window))
        for (const Gtk::TreeModel::Row& row : score->mList->children())
          for (const Glib::ustring& text :
               {row[score->scoreCol->strSec], row[score->scoreCol->strMode],
                row[score->scoreCol->strName]})
            texts.emplace_back(text, nullptr);
      for (const auto& [text, label] : texts) {
        std::string left = Unmarked(text);
        if (pseudo)
          EXPECT_TRUE(std::none_of(left.begin(), left.end(), isalpha))
              << "not from the catalogue: " << text;
        if (label != nullptr && label->get_mapped()) {
          Gtk::Requisition wanted = label->size_request();
          Gtk::Allocation given = label->get_allocation();
          EXPECT_FALSE(given.get_width() < wanted.width || given.get_height() < wanted.height ||
                       pango_layout_is_ellipsized(label->get_layout()->gobj()))
              << "cut: " << text;
        }
      }
    }
  }

  bool pseudo = false;
};

TEST_P(LanguageTest, EveryWindowShowsItsTextsTranslatedAndWhole) {
  MineWindow* window = new MineWindow();
  Trace([&] { window->Create(); });
  MineTable* table = window->vbox->table;
  Release(table, 55, 1);
  while (!window->timer->timeLabel->get_visible())
    Gtk::Main::iteration();
  auto open = [&](const std::function<void()>& opening) {
    Trace(opening);
    CheckShown();
    for (Gtk::Window* shown : Shown<Gtk::Window>())
      if (shown != window)
        Trace([&] { dynamic_cast<NameDialog*>(shown) ? delete shown : (void)CloseRequest(shown); });
  };
  open([] {});
  open([&] { new SaveDialog(table, window->vbox->saveFile, window->timer); });
  mkdir("MINE_SAVE.data", 0700); // a save that fails: its message
  open([&] {
    ButtonIn(new SaveDialog(table, window->vbox->saveFile, window->timer), _("Ok"))->clicked();
  });
  open([&] { new AboutDialog(window->timer); });
  open([&] { CloseRequest(window); });
  open([&] { window->vbox->menu->gridDialog->Show(); });
  for (int code = 0; code < 4; code++)
    open([&] { new LoadDialog(window->timer, code); });
  open([&] { new NameDialog(table); });
  open([&] { ButtonIn(new NameDialog(table), _("Ok"))->clicked(); });
  open([&] { window->vbox->button->clicked(); });             // the clock's text for a new game
  open([&] { window->vbox->menu->advanceItem->activate(); }); // the narrowest window
  Trace([&] { delete window; });
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTest, testing::Values("pseudo", "de", "fr", "es"));

} // namespace
