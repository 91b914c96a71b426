// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoredialog.h"

#include "intl.h"
#include "scorefile.h"
#include "timegrab.h"
#include "timer.h"
#include "xpm/pictures.h"

#include <glib.h>
#include <gtkmm/scrollbar.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iostream>

namespace {

const int SCORE_ROWS = 30;

void WideEnough(Gtk::Requisition* request) {
  request->width = std::max(request->width, 550);
}

// The scrolled window asks for the columns' width alone, even once its vertical bar is shown, and
// the bar then takes its room from the columns, cutting the last; so the room is asked for too.
void RoomForBar(Gtk::Requisition* request, Gtk::ScrolledWindow* scrolled) {
  int spacing = 0;
  scrolled->get_style_property("scrollbar-spacing", spacing);
  request->width += scrolled->get_vscrollbar()->size_request().width + spacing;
}

// Names come from a file the player may have edited by hand: bytes that are not UTF-8 would
// upset the view, so they show as replacement characters.
Glib::ustring ShownName(const Glib::ustring& name) {
  if (name.empty())
    // TRANSLATORS: the score table's name of a winner who gave none.
    return _("NO NAME");
  if (name.validate())
    return name;
  gchar* valid = g_utf8_make_valid(name.data(), name.bytes());
  Glib::ustring shown(valid);
  g_free(valid);
  return shown;
}

} // namespace

ScoreCol::ScoreCol() {
  add(num);
  add(score);
  add(board);
  add(strBoard);
  add(bomb);
  add(sec);
  add(strSec);
  add(rate);
  add(strMode);
  add(strName);
}

ScoreDialog::ScoreDialog(ScoreFile* scoreFile0, MineTimer* timer0)
    : beginnerCheck(0), mediumCheck(0), advanceCheck(0), freeCheck(0), checkBox(0), targetRow(0),
      beginnerFlag(1), mediumFlag(1), advanceFlag(1), freeFlag(1), timeGrab(1), timer(timer0),
      scoreFile(scoreFile0), scrWin(0), listView(0), cellProg(0), progCol(0), scoreCol(0),
      okButton(0), vbox(0) {
  scrWin = new Gtk::ScrolledWindow();
  scoreCol = new ScoreCol();
  mList = Gtk::ListStore::create(*scoreCol);
  listView = new Gtk::TreeView(mList);

  // TRANSLATORS: the score table's column headings: the rank, the score, the board's cells
  // with its size ("100 (10x10)"), the bombs, the playing time, the share of cells holding a
  // bomb (drawn as a bar), the winner's name, and the board's mode.
  listView->append_column(_("Best"), scoreCol->num);
  listView->append_column(C_("column", "Score"), scoreCol->score);
  listView->append_column(_("Board"), scoreCol->strBoard);
  listView->append_column(_("Bomb"), scoreCol->bomb);
  listView->append_column(_("Time"), scoreCol->strSec);
  cellProg = new Gtk::CellRendererProgress();
  progCol = listView->get_column(listView->append_column(_("Bomb Rate"), *cellProg) - 1);
  progCol->add_attribute(cellProg->property_value(), scoreCol->rate);
  listView->append_column(_("Name"), scoreCol->strName);
  listView->append_column(_("Mode"), scoreCol->strMode);

  // The texts of "Board" and "Time" would sort wrongly ("120.0 sec" before "25.0 sec"), so
  // those columns sort by their numbers.
  listView->get_column(0)->set_sort_column(scoreCol->num);
  listView->get_column(1)->set_sort_column(scoreCol->score);
  listView->get_column(2)->set_sort_column(scoreCol->board);
  listView->get_column(3)->set_sort_column(scoreCol->bomb);
  listView->get_column(4)->set_sort_column(scoreCol->sec);
  progCol->set_sort_column(scoreCol->rate);

  // TRANSLATORS: the score table's check boxes that show or hide the records of a mode: the
  // preset boards Beginner, Medium and Advance (the hardest), and any other board (Free).
  beginnerCheck = new Gtk::CheckButton(C_("filter", "Beginner"));
  mediumCheck = new Gtk::CheckButton(C_("filter", "Medium"));
  advanceCheck = new Gtk::CheckButton(C_("filter", "Advance"));
  freeCheck = new Gtk::CheckButton(C_("filter", "Free"));
  checkBox = new Gtk::Table(1, 4, false);
  vbox = get_vbox();
  okButton = add_button(_("OK"), Gtk::RESPONSE_NONE);

  scoreIcon = Gdk::Pixbuf::create_from_xpm_data(flag_xpm);
  set_icon(scoreIcon);
}

ScoreDialog::~ScoreDialog() {
  for (ScoreItem* item = scoreFile->firstList; item != 0; item = item->next)
    item->select = 0;
  mList->clear();
  delete okButton;
  delete beginnerCheck;
  delete mediumCheck;
  delete advanceCheck;
  delete freeCheck;
  delete checkBox;
  delete cellProg;
  delete scoreCol;
  delete listView;
  delete scrWin;
}

void ScoreDialog::Create(long long targetRow0) {
  targetRow = targetRow0;
  timeGrab = BeginTimeGrab(this, timer, _("SCORE"));
  ReadFile();

  scrWin->set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
  scrWin->add(*listView);
  listView->columns_autosize();
  // At least 550 pixels, and as wide as the columns ask for the rows shown, so none is cut off.
  // The view measures its rows a few at a time, in idle time, so the least width is applied to
  // each request it makes rather than to one taken now.
  listView->set_size_request(-1, 250);
  listView->signal_size_request().connect(sigc::ptr_fun(&WideEnough), true);
  scrWin->signal_size_request().connect(sigc::bind(sigc::ptr_fun(&RoomForBar), scrWin), true);
  vbox->pack_start(*scrWin, Gtk::PACK_EXPAND_WIDGET, 0);
  scrWin->show();
  listView->show();

  Gtk::CheckButton* checks[] = {beginnerCheck, mediumCheck, advanceCheck, freeCheck};
  for (int i = 0; i < 4; i++) {
    checkBox->attach(*checks[i], i, i + 1, 0, 1, Gtk::SHRINK, Gtk::SHRINK, 0, 0);
    checks[i]->set_active(true);
    checks[i]->show();
  }
  checkBox->show();
  vbox->pack_start(*checkBox, Gtk::PACK_EXPAND_WIDGET, 0);

  okButton->show();
  // Taking the focus, the view would put its cursor, and so the selection, on the first row;
  // the OK button takes it instead, so that only the target is ever selected.
  okButton->grab_focus();
  vbox->show();
  show();

  // Connected only now, so ticking the boxes above ran no handler.
  okButton->signal_clicked().connect(sigc::mem_fun(*this, &ScoreDialog::OkClicked));
  signal_delete_event().connect(sigc::mem_fun(*this, &ScoreDialog::SignalDelete));
  beginnerCheck->signal_toggled().connect(sigc::mem_fun(*this, &ScoreDialog::BeginnerChecked));
  mediumCheck->signal_toggled().connect(sigc::mem_fun(*this, &ScoreDialog::MediumChecked));
  advanceCheck->signal_toggled().connect(sigc::mem_fun(*this, &ScoreDialog::AdvanceChecked));
  freeCheck->signal_toggled().connect(sigc::mem_fun(*this, &ScoreDialog::FreeChecked));
}

void ScoreDialog::ReadFile() {
  mList->clear();
  int i = 1;
  for (ScoreItem* item = scoreFile->firstList; item != 0 && i <= SCORE_ROWS; item = item->next) {
    if (!ModeShown(item->mode))
      continue;
    AppendRow(item, i);
    i++;
  }
}

void ScoreDialog::SelectMode(Glib::ustring& buffer0, int mode) {
  // TRANSLATORS: the mode of a record whose mode code is 0, in the score table's Mode column.
  static const char* const names[] = {NC_("mode", "unknown"), NC_("mode", "Beginner"),
                                      NC_("mode", "Medium"), NC_("mode", "Advance"),
                                      NC_("mode", "Free")};
  if (mode >= 0 && mode <= 4)
    buffer0 = g_dpgettext2(GETTEXT_PACKAGE, "mode", names[mode]);
}

bool ScoreDialog::ModeShown(int mode) {
  return (mode == 1 && beginnerFlag == 1) || (mode == 2 && mediumFlag == 1) ||
         (mode == 3 && advanceFlag == 1) || (mode == 4 && freeFlag == 1);
}

// Rows, columns, bombs and tenths are covered by the check value but may still be anything a
// hand-edited line makes them, so the products are taken wide and the bar stays in 0 to 100.
void ScoreDialog::AppendRow(ScoreItem* item, int num) {
  char buffer[64];
  long long cells = (long long)item->row * item->col;
  long long rate = cells == 0 ? 0 : (long long)item->bomb * 100 / cells;

  Gtk::TreeModel::iterator it = mList->append();
  Gtk::TreeModel::Row row = *it;
  row[scoreCol->num] = num;
  row[scoreCol->score] = item->score;
  row[scoreCol->board] = (int)std::clamp<long long>(cells, INT_MIN, INT_MAX);
  std::snprintf(buffer, sizeof buffer, "%lld (%dx%d)", cells, item->row, item->col);
  row[scoreCol->strBoard] = buffer;
  row[scoreCol->bomb] = item->bomb;
  row[scoreCol->sec] = item->sec;
  long long tenths = item->sec < 0 ? -(long long)item->sec : item->sec;
  // TRANSLATORS: a time in the score table: a minus sign or nothing, whole seconds and
  // tenths, as in "25.0 sec".
  row[scoreCol->strSec] =
      Format(_("%s%lld.%lld sec"), item->sec < 0 ? "-" : "", tenths / 10, tenths % 10);
  row[scoreCol->rate] = (int)std::clamp<long long>(rate, 0, 100);
  Glib::ustring mode;
  SelectMode(mode, item->mode);
  row[scoreCol->strMode] = mode;
  row[scoreCol->strName] = ShownName(item->name);

  // The path is taken once the row is filled, since a sorted store places it by its values.
  if (item->TIME == targetRow) {
    Gtk::TreeModel::Path path = mList->get_path(it);
    listView->set_cursor(path);
    listView->scroll_to_row(path);
  }
}

void ScoreDialog::ModeChecked(Gtk::CheckButton* check, int& flag, const char* name) {
  flag = check->get_active() ? 1 : 0;
  std::cout << name << std::endl;
  std::cout << (flag == 1 ? "ACTIVE" : "NO ACTIVE") << std::endl;
  ReadFile();
}

void ScoreDialog::BeginnerChecked() {
  ModeChecked(beginnerCheck, beginnerFlag, "Beginner");
}

void ScoreDialog::MediumChecked() {
  ModeChecked(mediumCheck, mediumFlag, "Medium");
}

void ScoreDialog::AdvanceChecked() {
  ModeChecked(advanceCheck, advanceFlag, "Advance");
}

void ScoreDialog::FreeChecked() {
  ModeChecked(freeCheck, freeFlag, "Free");
}

void ScoreDialog::CloseDialog() {
  EndTimeGrab(this, timer, timeGrab, this);
}

void ScoreDialog::OkClicked() {
  std::cout << "Return..." << std::endl;
  CloseDialog();
}

bool ScoreDialog::SignalDelete(GdkEventAny*) {
  std::cout << "delete..." << std::endl;
  CloseDialog();
  return true;
}
