// SPDX-License-Identifier: GPL-3.0-or-later
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

#include <gtk/gtk.h>
#include <gtkmm/label.h>
#include <gtkmm/menu.h>
#include <gtkmm/textview.h>
#include <pango/pango-layout.h>

#include <cctype>
#include <clocale>
#include <sys/stat.h>

namespace {

// What of a text came from no catalogue: the text without its marked pieces (a marked format may
// hold marked words) and without the names, which stay as they are.
std::string Unmarked(std::string text) {
  const std::string open = "⟦", close = "⟧";
  for (size_t at, end; (at = text.rfind(open)) != std::string::npos &&
                       (end = text.find(close, at)) != std::string::npos;)
    text.erase(at, end + close.size() - at);
  for (std::string name : {"Velm'Mine", "Velmora", "DadaVevuroz", "Orla Venwick"})
    for (size_t at; (at = text.find(name)) != std::string::npos;)
      text.erase(at, name.size());
  return text;
}

// Whether a label or text view shows all of its text's width, not cut off nor ellipsized.
bool Whole(Gtk::Widget* widget, const Glib::ustring& text) {
  auto* label = dynamic_cast<Gtk::Label*>(widget);
  Glib::RefPtr<Pango::Layout> layout =
      label ? label->get_layout() : widget->create_pango_layout(text);
  int width, height;
  layout->get_pixel_size(width, height);
  return width <= widget->get_allocation().get_width() &&
         !pango_layout_is_ellipsized(layout->gobj());
}

class LanguageTest : public TempDirTest, public testing::WithParamInterface<const char*> {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    pseudo = std::string(GetParam()) == "pseudo";
    setenv("LANGUAGE", GetParam(), 1);
    std::setlocale(LC_ALL, "C.UTF-8"); // under "C" the language list is not read
    bindtextdomain(GETTEXT_PACKAGE, pseudo ? PSEUDO_LOCALEDIR : VELMINE_BUILT_LOCALEDIR);
    bind_textdomain_codeset(GETTEXT_PACKAGE, "UTF-8");
  }
  // The shown windows' titles, labels (but the toolkit's own on stock buttons), menus, column
  // headings, text views and the score table's words; and the score table's columns, which fit.
  void CheckShown() {
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
          int columns = 0;
          for (Gtk::TreeViewColumn* column : list->get_columns()) {
            texts.emplace_back(column->get_title(), nullptr);
            columns += column->get_width();
          }
          Gdk::Rectangle shown;
          list->get_visible_rect(shown);
          EXPECT_LE(columns, shown.get_width()) << "the score table's columns are cut";
        }
      }
      if (auto* score = dynamic_cast<ScoreDialog*>(window))
        for (const Gtk::TreeModel::Row& row : score->mList->children())
          for (Glib::ustring text : {row[score->scoreCol->strSec], row[score->scoreCol->strMode],
                                     row[score->scoreCol->strName]})
            texts.emplace_back(text, nullptr);
      for (const auto& [text, widget] : texts) {
        std::string left = Unmarked(text);
        EXPECT_TRUE(!pseudo || std::none_of(left.begin(), left.end(), isalpha))
            << "not from the catalogue: " << text;
        EXPECT_TRUE(widget == nullptr || !widget->get_mapped() || Whole(widget, text))
            << "cut: " << text;
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
  for (int code = 0; code < 6; code++)
    open([&] { new LoadDialog(window->timer, code); });
  open([&] { new NameDialog(table); });
  mkdir("MINE_SCORE.data", 0700); // a record that fails: its message, then the table
  open([&] { ButtonIn(new NameDialog(table), _("Ok"))->clicked(); });
  open([&] { window->vbox->button->clicked(); });             // the clock's text for a new game
  open([&] { window->vbox->menu->mediumItem->activate(); });  // the longest German mode
  open([&] { window->vbox->menu->advanceItem->activate(); }); // the narrowest window
  Trace([&] { delete window; });
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTest, testing::Values("pseudo", "de", "fr", "es"));

} // namespace
