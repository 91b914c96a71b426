#include "table.h"

#include "minebutton.h"
#include "namedialog.h"
#include "timer.h"
#include "vbox.h"
#include "window.h"
#include "xpm/image.h"

#include <gdkmm/types.h>
#include <gtk/gtk.h>
#include <gtkmm/scrollbar.h>
#include <gtkmm/viewport.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <iostream>

namespace {

typedef void (MineTable::*CellFunc)(int);
typedef void (MineTable::*VisitFunc)(CellFunc, int);

// Indexed by the position code: 8 right edge, 4 bottom line, 2 left edge, 1 top line.
const VisitFunc visits[16] = {
    &MineTable::BlankALL,       &MineTable::BlankUp,    &MineTable::BlankLeft,
    &MineTable::BlankUpLeft,    &MineTable::BlankDown,  &MineTable::BlankERROR,
    &MineTable::BlankDownLeft,  &MineTable::BlankERROR, &MineTable::BlankRight,
    &MineTable::BlankUpRight,   &MineTable::BlankERROR, &MineTable::BlankERROR,
    &MineTable::BlankDownRight, &MineTable::BlankERROR, &MineTable::BlankERROR,
    &MineTable::BlankERROR};

// What a container adds around its child, both sides together: its border, and its frame when it
// draws one.
Gtk::Requisition Around(Gtk::Container* box, Gtk::ShadowType shadow) {
  int border = 2 * box->get_border_width();
  bool framed = shadow != Gtk::SHADOW_NONE;
  Gtk::Requisition around = {border + (framed ? 2 * box->get_style()->get_xthickness() : 0),
                             border + (framed ? 2 * box->get_style()->get_ythickness() : 0)};
  return around;
}

// A saved game can carry any value in a cell's bomb field; like the file's own check, only a
// positive one counts as a bomb.
bool HasBomb(const MineButton* cell) {
  return cell->bomb > 0;
}

} // namespace

MineTable::WindowFit MineTable::FitWindow(int gridWidth, int gridHeight) {
  // The grid shows whole when the scrolled window and its viewport have room for it inside their
  // borders and frames; the layout puts the other widgets and the window's border around them.
  Gtk::Requisition board = Around(scrWin, scrWin->get_shadow_type());
  if (Gtk::Viewport* viewport = dynamic_cast<Gtk::Viewport*>(scrWin->get_child())) {
    Gtk::Requisition frame = Around(viewport, viewport->get_shadow_type());
    board.width += frame.width;
    board.height += frame.height;
  }
  board.width += gridWidth;
  board.height += gridHeight;
  Gtk::Requisition whole = window->vbox->WindowFor(board);
  WindowFit fit;
  fit.width = whole.width;
  fit.height = whole.height;
  fit.maxWidth = fit.width + 8;
  fit.maxHeight = fit.height + 8;
  fit.scrolls = fit.width > 800 || fit.height > 600;
  // A board cut by the cap scrolls that way, and its scroll bar takes room across, so that it
  // does not call for the other bar too.
  int spacing = 0;
  gtk_widget_style_get(GTK_WIDGET(scrWin->gobj()), "scrollbar-spacing", &spacing, NULL);
  if (fit.width > 800)
    fit.height += spacing + scrWin->get_hscrollbar()->size_request().height;
  if (fit.height > 600)
    fit.width += spacing + scrWin->get_vscrollbar()->size_request().width;
  fit.width = std::min(fit.width, 800);
  fit.height = std::min(fit.height, 600);
  return fit;
}

MineTable::MineTable(MineWindow* window0, MineTimer* timer0, ScoreFile* scoreFile0)
    : window(window0), sizeFlag(1), startFlag(0), nRow(10), nCol(10), nSize(24), pBomb(10),
      nBomb(0), BombCount(0), MissCount(0), mode(0), fillCount(0), filling(false) {
  std::fill(board, board + CAPACITY, static_cast<MineButton*>(0));
  table = new Gtk::Table(nRow, nCol, false);
  table->set_homogeneous(false);
  scrWin = new Gtk::ScrolledWindow();
  scrWin->set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  cellBox = new Gtk::EventBox();
  cellBox->add(*table);
  cellBox->show();
  // The grid cannot scroll by itself, so the scrolled window puts it in a viewport.
  scrWin->add(*cellBox);
  scrWin->show();
  image = new MineImage();
  image->SetScale(5, 5);
  timer = timer0;
  scoreFile = scoreFile0;
  table->signal_size_request().connect(sigc::mem_fun(*this, &MineTable::SizeAllocateEvent), true);
}

MineTable::~MineTable() {
  delete image;
  delete scrWin;
  delete cellBox;
  delete table;
  for (int i = 0; i < CAPACITY; i++) {
    delete board[i];
    board[i] = 0;
  }
}

Gtk::ScrolledWindow* MineTable::Show() {
  return scrWin;
}

bool MineTable::BoardFits(int nRow0, int nCol0) {
  return nRow0 >= 1 && nCol0 >= 1 && nRow0 <= CAPACITY / nCol0;
}

int MineTable::Cells() const {
  return BoardFits(nRow, nCol) ? nRow * nCol : 0;
}

void MineTable::HideCells() {
  if (cellBox->is_realized())
    cellBox->set_child_visible(false);
}

void MineTable::DropCellWindows() {
  HideCells();
  GtkWidget* box = GTK_WIDGET(cellBox->gobj());
  if (!gtk_widget_get_realized(box))
    return;
  // The toolkit unrealizes children before their parent, and each child window it destroys makes
  // it re-clip every sibling left: for thousands of cells that is quadratic. Destroying the
  // box's window first takes every cell's window with it in one go; the unrealize that follows
  // then finds them gone. It releases the window once more, hence the extra reference.
  GdkWindow* own = gtk_widget_get_window(box);
  g_object_ref(own);
  gdk_window_destroy(own);
  gtk_widget_unrealize(box);
}

void MineTable::ShowCells() {
  if (cellBox->get_child_visible())
    return;
  GtkWidget* box = GTK_WIDGET(cellBox->gobj());
  if (gtk_widget_get_realized(gtk_widget_get_parent(box))) {
    // The cells take their places relative to the box's own window, wherever the box lies, so
    // laid out now they are mapped (and, after a rebuild, made) at their places and the layout
    // pass that follows moves none of them. This request is no window fit: the fit waits for
    // the grid's request in that layout pass, as after any change to the grid.
    int flag = sizeFlag;
    sizeFlag = 0;
    Gtk::Requisition req = cellBox->size_request();
    sizeFlag = flag;
    Gtk::Allocation at = cellBox->get_allocation();
    at.set_width(req.width);
    at.set_height(req.height);
    cellBox->size_allocate(at);
    table->queue_resize();
  }
  cellBox->set_child_visible(true);
}

MineButton* MineTable::CellAt(int Num0) const {
  if (Num0 < 0 || Num0 >= Cells())
    return 0;
  return board[Num0];
}

void MineTable::PlaceCell(MineButton* cell, int Num0) {
  if (Num0 < 0 || Num0 >= CAPACITY) {
    delete cell;
    return;
  }
  // A slot holds one cell: one placed over another replaces it rather than leaving it attached.
  if (board[Num0] != cell)
    delete board[Num0];
  board[Num0] = cell;
  table->attach(*cell, cell->row, cell->row + 1, cell->col, cell->col + 1, Gtk::SHRINK, Gtk::SHRINK,
                0, 0);
  cell->show();
  // Ahead of the toggle button's own handlers, which never run since both return true.
  cell->signal_button_release_event().connect(
      sigc::bind(sigc::mem_fun(*this, &MineTable::ReleaseEvent), Num0), false);
  cell->signal_button_press_event().connect(
      sigc::bind(sigc::mem_fun(*this, &MineTable::PressEvent), Num0), false);
}

void MineTable::CreateTable() {
  timer->Stop();
  timer->timeLabel->set_text("time :");
  image->SetScale(nSize, nSize);
  SetMode();
  HideCells();
  int cells = Cells();
  for (int i = 0; i < cells; i++) {
    MineButton* cell = new MineButton(i % nRow, i / nRow, 0, 1, 0);
    cell->SetImage(image->CreateMark(1));
    PlaceCell(cell, i);
  }
  startFlag = 0;
  table->show();
  ShowCells();
}

void MineTable::KeepCreate() {
  timer->Stop();
  timer->timeLabel->set_text("time :");
  SetMode();
  HideCells();
  int cells = Cells();
  for (int i = 0; i < cells; i++) {
    MineButton* cell = board[i];
    // A saved game may have left the slot empty; the new game needs every cell.
    if (cell == 0) {
      cell = new MineButton(i % nRow, i / nRow, 0, 1, 0);
      PlaceCell(cell, i);
    }
    cell->col = i / nRow;
    cell->row = i % nRow;
    cell->bomb = 0;
    cell->state = 1;
    cell->num = 0;
    cell->set_sensitive(true);
    cell->set_active(false);
    cell->SetImage(image->CreateMark(1));
  }
  ShowCells();
  startFlag = 0;
}

void MineTable::ReCreate(int nRow0, int nCol0, int pBomb0, int nSize0) {
  // The cell slots and the draw's scratch array hold CAPACITY cells; a larger board would
  // write past them.
  if (nSize0 < 1 || !BoardFits(nRow0, nCol0))
    return;
  if (nRow0 == nRow && nCol0 == nCol && nSize0 == nSize) {
    sizeFlag = 0;
    pBomb = pBomb0;
    KeepCreate();
    return;
  }
  DropCellWindows();
  for (int i = 0; i < CAPACITY; i++) {
    delete board[i];
    board[i] = 0;
  }
  pBomb = pBomb0;
  nRow = nRow0;
  nCol = nCol0;
  nSize = nSize0;
  sizeFlag = 1;
  table->resize(nRow, nCol);
  CreateTable();
}

void MineTable::SizeAllocateEvent(GtkRequisition* req) {
  if (sizeFlag != 1)
    return;
  std::cout << "width=" << req->width << ",height=" << req->height << std::endl;
  std::cout << "CHANGE" << std::endl;
  sizeFlag = 0;
  if (window == 0)
    return;
  WindowFit fit = FitWindow(req->width, req->height);
  // The scroll bars come only with a board beyond the cap: the scrolled window keeps the bars it
  // once needed as long as they still find use, so a board that fits could stay cut by them
  // after a larger one, or after a layout at the window's former size.
  Gtk::PolicyType policy = fit.scrolls ? Gtk::POLICY_AUTOMATIC : Gtk::POLICY_NEVER;
  scrWin->set_policy(policy, policy);
  Gdk::Geometry hints = Gdk::Geometry();
  hints.max_width = fit.maxWidth;
  hints.max_height = fit.maxHeight;
  window->set_geometry_hints(*window, hints, Gdk::HINT_MAX_SIZE);
  window->resize(fit.width, fit.height);
}

void MineTable::SetMode() {
  std::cout << nRow << "\t" << nCol << "\t" << pBomb << std::endl;
  if (nCol == 10 && nRow == 10 && pBomb == 10)
    mode = 1;
  else if (nCol == 15 && nRow == 15 && pBomb == 15)
    mode = 2;
  else if (nCol == 20 && nRow == 20 && pBomb == 20)
    mode = 3;
  else
    mode = 4;
}

bool MineTable::PressEvent(GdkEventButton* event, int Num0) {
  MineButton* cell = CellAt(Num0);
  if (startFlag != 1 || cell == 0)
    return true;
  if (event->button == 3 && cell->state != 0) {
    if (cell->state == 2) {
      if (HasBomb(cell))
        BombCount--;
      else
        MissCount--;
    }
    cell->state++;
    if (cell->state > 2)
      cell->state = 1;
    if (cell->state == 2) {
      if (HasBomb(cell))
        BombCount++;
      else
        MissCount++;
    }
    cell->SetImage(image->CreateMark(cell->state));
  }
  if (BombCount == nBomb && MissCount == 0)
    GameOver();
  return true;
}

bool MineTable::ReleaseEvent(GdkEventButton* event, int Num0) {
  MineButton* cell = CellAt(Num0);
  if (cell == 0)
    return true;
  // Only a waiting board is all covered: after the end of a game every cell is open, so a
  // stray release cannot draw a new game over the revealed one.
  if (startFlag == 0 && event->button == 1 && cell->state == 1)
    CreateValue(Num0);
  if (startFlag != 1)
    return true;
  if (event->button == 1 && cell->state != 2) {
    cell->state = 0;
    cell->set_active(true);
    cell->set_sensitive(false);
    if (HasBomb(cell)) {
      cell->SetImage(image->CreateBomb());
      GameOver();
    } else {
      cell->SetImage(image->CreateNumber(cell->num));
      if (cell->num == 0)
        BlankButton(&MineTable::ButtonHit, Num0);
    }
  }
  if (startFlag == 1 && BombCount == nBomb && MissCount == 0)
    GameOver();
  return true;
}

void MineTable::ButtonHit(int Num0) {
  MineButton* cell = CellAt(Num0);
  if (cell == 0 || cell->state == 0 || HasBomb(cell))
    return;
  if (cell->state == 2)
    MissCount--;
  cell->state = 0;
  cell->set_active(true);
  cell->set_sensitive(false);
  cell->SetImage(image->CreateNumber(cell->num));
  if (cell->num != 0)
    return;
  // A region of thousands of empty cells would recurse once per cell; the outermost call
  // drains a work list instead, and the calls it makes only open cells and add to it.
  fillList[fillCount++] = Num0;
  if (filling)
    return;
  filling = true;
  while (fillCount > 0)
    BlankButton(&MineTable::ButtonHit, fillList[--fillCount]);
  filling = false;
}

void MineTable::GameOver() {
  startFlag = 0;
  timer->Stop();
  int cells = Cells();
  for (int i = 0; i < cells; i++) {
    MineButton* cell = board[i];
    if (cell == 0)
      continue;
    if (cell->state == 2)
      cell->SetImage(image->CreateMark(HasBomb(cell) ? 4 : 5));
    else if (HasBomb(cell))
      cell->SetImage(image->CreateBomb());
    cell->set_sensitive(false);
    cell->state = 0;
  }
  if (BombCount == nBomb && MissCount == 0) {
    std::cout << "CLEAR!" << std::endl;
    // The dialog owns itself from here on.
    new NameDialog(this);
  }
}

int MineTable::SetBomb(int i, int j, int num, int times) {
  // The products wrap modulo 2^32 by design; unsigned arithmetic gives that wrap without
  // signed overflow.
  std::uint32_t seed = (static_cast<std::uint32_t>(num) + 1u) *
                       (static_cast<std::uint32_t>(i) + 1u) * (static_cast<std::uint32_t>(j) + 1u);
  std::srand(seed);
  std::uint32_t r = static_cast<std::uint32_t>(std::rand()) *
                    (static_cast<std::uint32_t>(times) + 1u) *
                    (static_cast<std::uint32_t>(num) + 1u);
  // The absolute value of r read as a signed 32-bit value; the one value without a positive
  // counterpart, -2147483648, stays negative.
  std::uint32_t magnitude = r >= 0x80000000u ? 0u - r : r;
  int a = magnitude <= static_cast<std::uint32_t>(INT_MAX) ? static_cast<int>(magnitude) : INT_MIN;
  return a % 1000 < static_cast<long long>(pBomb) * 10 ? 1 : 0;
}

void MineTable::CreateValue(int Num0) {
  int numBOARD[CAPACITY];
  int cells = Cells();
  std::fill(numBOARD, numBOARD + cells, 0);
  nBomb = 0;
  timer->nSec = 0;
  BombCount = 0;
  MissCount = 0;
  int times = static_cast<int>(std::time(0));
  for (int num1 = 0; num1 < cells; num1++) {
    int row = num1 % nRow;
    int col = num1 / nRow;
    int bombType = SetBomb(col, row, num1, times);
    if (bombType == 1) {
      for (int c = std::max(col - 1, 0); c <= std::min(col + 1, nCol - 1); c++) {
        for (int r = std::max(row - 1, 0); r <= std::min(row + 1, nRow - 1); r++) {
          int num2 = c * nRow + r;
          // Cells before this one are settled and hold their count themselves.
          if (numBOARD[num2] < 0) {
            if (board[num2] != 0)
              board[num2]->num++;
          } else {
            numBOARD[num2]++;
          }
        }
      }
      nBomb++;
    }
    if (board[num1] != 0) {
      board[num1]->bomb = bombType;
      board[num1]->num = numBOARD[num1];
    }
    numBOARD[num1] = -1;
  }
  AroundZERO(Num0);
  timer->Start();
  startFlag = 1;
}

void MineTable::SetNum() {
  int cells = Cells();
  for (int i = 0; i < cells; i++) {
    if (board[i] == 0)
      continue;
    int row = i % nRow;
    int col = i / nRow;
    int count = 0;
    for (int c = std::max(col - 1, 0); c <= std::min(col + 1, nCol - 1); c++) {
      for (int r = std::max(row - 1, 0); r <= std::min(row + 1, nRow - 1); r++) {
        MineButton* other = board[c * nRow + r];
        if (other != 0 && HasBomb(other))
          count++;
      }
    }
    board[i]->num = count;
  }
}

void MineTable::BlankButton(void (MineTable::*func)(int), int Num0) {
  if (Num0 < 0 || Num0 >= Cells())
    return;
  // The position comes from the slot, not from the cell's own fields: a saved game can give a
  // cell fields that disagree with its slot, and the visit would then leave the board.
  int row = Num0 % nRow;
  int col = Num0 / nRow;
  int code = 0;
  if (row > nRow - 2)
    code += 8;
  if (col > nCol - 2)
    code += 4;
  if (row <= 0)
    code += 2;
  if (col <= 0)
    code += 1;
  VisitFunc visit = visits[code];
  (this->*visit)(func, Num0);
}

void MineTable::BlankALL(void (MineTable::*func)(int), int Num0) {
  const int R = nRow;
  (this->*func)(Num0);
  (this->*func)(Num0 - 1);
  (this->*func)(Num0 + 1);
  (this->*func)(Num0 - R);
  (this->*func)(Num0 + R);
  (this->*func)(Num0 - R - 1);
  (this->*func)(Num0 + R - 1);
  (this->*func)(Num0 - R + 1);
  (this->*func)(Num0 + R + 1);
}

void MineTable::BlankUp(void (MineTable::*func)(int), int Num0) {
  const int R = nRow;
  (this->*func)(Num0);
  (this->*func)(Num0 - 1);
  (this->*func)(Num0 + 1);
  (this->*func)(Num0 + R - 1);
  (this->*func)(Num0 + R);
  (this->*func)(Num0 + R + 1);
}

void MineTable::BlankLeft(void (MineTable::*func)(int), int Num0) {
  const int R = nRow;
  (this->*func)(Num0);
  (this->*func)(Num0 - R);
  (this->*func)(Num0 - R + 1);
  (this->*func)(Num0 + 1);
  (this->*func)(Num0 + R + 1);
  (this->*func)(Num0 + R);
}

void MineTable::BlankUpLeft(void (MineTable::*func)(int), int Num0) {
  const int R = nRow;
  (this->*func)(Num0);
  (this->*func)(Num0 + 1);
  (this->*func)(Num0 + R);
  (this->*func)(Num0 + R + 1);
}

void MineTable::BlankDown(void (MineTable::*func)(int), int Num0) {
  const int R = nRow;
  (this->*func)(Num0);
  (this->*func)(Num0 - R - 1);
  (this->*func)(Num0 - 1);
  (this->*func)(Num0 - R);
  (this->*func)(Num0 + 1);
  (this->*func)(Num0 - R + 1);
}

void MineTable::BlankDownLeft(void (MineTable::*func)(int), int Num0) {
  const int R = nRow;
  (this->*func)(Num0);
  (this->*func)(Num0 - R);
  (this->*func)(Num0 + 1);
  (this->*func)(Num0 - R + 1);
}

void MineTable::BlankRight(void (MineTable::*func)(int), int Num0) {
  const int R = nRow;
  (this->*func)(Num0);
  (this->*func)(Num0 - R);
  (this->*func)(Num0 - R - 1);
  (this->*func)(Num0 - 1);
  (this->*func)(Num0 + R - 1);
  (this->*func)(Num0 + R);
}

void MineTable::BlankUpRight(void (MineTable::*func)(int), int Num0) {
  const int R = nRow;
  (this->*func)(Num0);
  (this->*func)(Num0 - 1);
  (this->*func)(Num0 + R - 1);
  (this->*func)(Num0 + R);
}

void MineTable::BlankDownRight(void (MineTable::*func)(int), int Num0) {
  const int R = nRow;
  (this->*func)(Num0);
  (this->*func)(Num0 - R);
  (this->*func)(Num0 - R - 1);
  (this->*func)(Num0 - 1);
}

void MineTable::BlankERROR(void (MineTable::*)(int), int) {
  std::cout << "BLANK_ERROR" << std::endl;
}

void MineTable::DecreaseBomb(int Num0) {
  MineButton* cell = CellAt(Num0);
  if (cell != 0)
    cell->num--;
}

void MineTable::DecreaseAround(int Num0) {
  MineButton* cell = CellAt(Num0);
  if (cell == 0 || !HasBomb(cell))
    return;
  BlankButton(&MineTable::DecreaseBomb, Num0);
  cell->bomb = 0;
  nBomb--;
}

void MineTable::AroundZERO(int Num0) {
  BlankButton(&MineTable::DecreaseAround, Num0);
}
