// SPDX-License-Identifier: GPL-3.0-or-later
// Every window and dialog in a pseudo-language whose catalogue marks each text (⟦Reset⟧), and in
// each shipped language: every text a player reads is translated, and none is cut.
#include "support.h"

namespace {

// What of a text came from no catalogue is what is left without its marked pieces, innermost first
// (a marked format may hold marked words), and without the names, which stay as they are.
const std::regex marked("⟦((?!⟦)[\\s\\S])*?⟧|Velm'Mine|Velmora|DadaVevuroz|Orla Venwick");

class LanguageTest : public TempDirTest, public testing::WithParamInterface<const char*> {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    setenv("LANGUAGE", GetParam(), 1);
    std::setlocale(LC_ALL, "C.UTF-8"); // under "C" the language list is not read
    bindtextdomain(GETTEXT_PACKAGE, pseudo ? PSEUDO_LOCALEDIR : VELMINE_BUILT_LOCALEDIR);
    bind_textdomain_codeset(GETTEXT_PACKAGE, "UTF-8");
  }
  // Runs `opening`, then checks every shown window and closes all but the game's: each title,
  // label (but the toolkit's own on stock buttons), menu, column heading, text view and score table
  // word translated; each label and text view whole, not cut nor ellipsized; the columns fitting.
  void Open(const std::function<void()>& opening) {
    Trace(opening);
    Settle();
    for (Gtk::Window* window : Shown<Gtk::Window>()) {
      std::vector<std::pair<Glib::ustring, Gtk::Widget*>> texts = {{window->get_title(), nullptr}};
      std::vector<Gtk::Widget*> parts = ShownIn<Gtk::Widget>(window);
      for (Gtk::MenuItem* item : ShownIn<Gtk::MenuItem>(window))
        for (Gtk::Widget* entry : ShownIn<Gtk::Widget>(item->get_submenu()))
          parts.push_back(entry);
      for (Gtk::Widget* part : parts) {
        GtkWidget* button = gtk_widget_get_ancestor(part->gobj(), GTK_TYPE_BUTTON);
        if (button != nullptr && gtk_button_get_use_stock(GTK_BUTTON(button)))
          continue;
        if (auto* label = dynamic_cast<Gtk::Label*>(part))
          texts.emplace_back(label->get_text(), label);
        if (auto* view = dynamic_cast<Gtk::TextView*>(part))
          texts.emplace_back(view->get_buffer()->get_text(), view);
        if (auto* list = dynamic_cast<Gtk::TreeView*>(part)) {
          Gdk::Rectangle shown;
          list->get_visible_rect(shown);
          for (Gtk::TreeViewColumn* column : list->get_columns()) {
            texts.emplace_back(column->get_title(), nullptr);
            shown.set_width(shown.get_width() - column->get_width());
          }
          EXPECT_GE(shown.get_width(), 0) << "the score table's columns are cut";
        }
      }
      if (auto* score = dynamic_cast<ScoreDialog*>(window))
        for (const Gtk::TreeModel::Row& row : score->mList->children())
          for (Glib::ustring text : {row[score->scoreCol->strSec], row[score->scoreCol->strMode],
                                     row[score->scoreCol->strName]})
            texts.emplace_back(text, nullptr);
      for (const auto& [text, widget] : texts) {
        std::string left = text;
        while (std::regex_search(left, marked))
          left = std::regex_replace(left, marked, "");
        EXPECT_FALSE(pseudo && std::regex_search(left, std::regex("[A-Za-z]")))
            << "not from the catalogue: " << text;
        if (widget == nullptr || !widget->get_mapped())
          continue;
        auto* label = dynamic_cast<Gtk::Label*>(widget);
        auto layout = label ? label->get_layout() : widget->create_pango_layout(text);
        EXPECT_TRUE(layout->get_pixel_logical_extents().get_width() <=
                        widget->get_allocation().get_width() &&
                    !layout->is_ellipsized())
            << "cut: " << text;
      }
    }
    for (Gtk::Window* shown : Shown<Gtk::Window>())
      if (shown != game)
        Trace([&] { dynamic_cast<NameDialog*>(shown) ? delete shown : (void)CloseRequest(shown); });
  }

  const bool pseudo = std::string(GetParam()) == "pseudo";
  MineWindow* game = nullptr;
};

TEST_P(LanguageTest, EveryWindowShowsItsTextsTranslatedAndWhole) {
  game = new MineWindow();
  Trace([&] { game->Create(); });
  MineTable* table = game->vbox->table;
  Release(table, 55, 1);
  while (!game->timer->timeLabel->get_visible())
    Gtk::Main::iteration();
  Open([&] { new SaveDialog(table, game->vbox->saveFile, game->timer); });
  mkdir("MINE_SAVE.data", 0700); // a save that fails: its message
  Open([&] {
    ButtonIn(new SaveDialog(table, game->vbox->saveFile, game->timer), _("Ok"))->clicked();
  });
  Open([&] { new AboutDialog(game->timer); });
  Open([&] { CloseRequest(game); });
  Open([&] { game->vbox->menu->gridDialog->Show(); });
  for (int code = 0; code < 6; code++)
    Open([&] { new LoadDialog(game->timer, code); });
  Open([&] { new NameDialog(table); });
  mkdir("MINE_SCORE.data", 0700); // a record that fails: its message, then the table
  Open([&] { ButtonIn(new NameDialog(table), _("Ok"))->clicked(); });
  rmdir("MINE_SCORE.data"); // a record: the table's words
  Open([&] { ButtonIn(new NameDialog(table), _("Ok"))->clicked(); });
  Open([&] { game->vbox->button->clicked(); });             // the clock's text for a new game
  Open([&] { game->vbox->menu->mediumItem->activate(); });  // the longest German mode
  Open([&] { game->vbox->menu->advanceItem->activate(); }); // the narrowest window
  Trace([&] { delete game; });
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTest, testing::Values("pseudo", "de", "fr", "es"));

} // namespace
