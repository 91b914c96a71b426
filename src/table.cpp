// SPDX-License-Identifier: GPL-3.0-or-later
#include "table.h"

#include "intl.h"
#include "minebutton.h"
#include "namedialog.h"
#include "timer.h"
#include "toolkit.h"
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

// Idle work that must find the layout pass over and be done before anything is drawn.
const int AFTER_LAYOUT = GTK_PRIORITY_RESIZE + 1;
static_assert(AFTER_LAYOUT < GDK_PRIORITY_REDRAW, "the view is settled before it is drawn");

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

// The lines (first to last, or first past last when none) among count, starting at at[0] to
// at[count - 1] and ending at at[count], that overlap the span [low, high).
void VisibleLines(const int* at, int count, double low, double high, int* first, int* last) {
  *first = count;
  *last = -1;
  for (int i = 0; i < count; i++) {
    if (at[i + 1] > low && at[i] < high) {
      *first = std::min(*first, i);
      *last = i;
    }
  }
}

} // namespace

Gtk::Requisition MineTable::ViewFrames() {
  Gtk::Requisition frames = Around(scrWin, scrWin->get_shadow_type());
  if (Gtk::Viewport* viewport = dynamic_cast<Gtk::Viewport*>(scrWin->get_child())) {
    Gtk::Requisition frame = Around(viewport, viewport->get_shadow_type());
    frames.width += frame.width;
    frames.height += frame.height;
  }
  return frames;
}

MineTable::WindowFit MineTable::FitWindow(int gridWidth, int gridHeight) {
  // The grid shows whole when the scrolled window and its viewport have room for it inside their
  // borders and frames; the layout puts the other widgets and the window's border around them.
  Gtk::Requisition room = ViewFrames();
  room.width += gridWidth;
  room.height += gridHeight;
  Gtk::Requisition whole = windowFor ? windowFor(room) : room;
  WindowFit fit;
  fit.width = whole.width;
  fit.height = whole.height;
  fit.scrolls = fit.width > 800 || fit.height > 600;
  // A board cut by the cap scrolls that way, and its scroll bar takes room across, so that it
  // does not call for the other bar too; the largest size leaves that room as well.
  int spacing = 0;
  scrWin->get_style_property("scrollbar-spacing", spacing);
  if (fit.width > 800)
    fit.height += spacing + scrWin->get_hscrollbar()->size_request().height;
  if (fit.height > 600)
    fit.width += spacing + scrWin->get_vscrollbar()->size_request().width;
  fit.maxWidth = fit.width + 8;
  fit.maxHeight = fit.height + 8;
  fit.width = std::min(fit.width, 800);
  fit.height = std::min(fit.height, 600);
  return fit;
}

MineTable::MineTable(MineWindow* window0, MineTimer* timer0, ScoreFile* scoreFile0)
    : window(window0), sizeFlag(1), startFlag(0), nRow(10), nCol(10), nSize(24), pBomb(10),
      nBomb(0), BombCount(0), MissCount(0), mode(0), barsPolicy(Gtk::POLICY_AUTOMATIC), oldGrid(0),
      oldCount(0), blockCount(0), blocksAcross(0), lineCountX(0), lineCountY(0), fillCount(0),
      filling(false) {
  std::fill(board, board + CAPACITY, static_cast<MineButton*>(0));
  cellLinks = linkSets[0];
  oldLinks = linkSets[1];
  cellBox = new Gtk::EventBox();
  gridBox = new Gtk::Fixed();
  cellBox->add(*gridBox);
  gridBox->show();
  MakeGrid();
  // Followed before the scrolled window hands them on: the viewport moves and redraws the grid
  // in its own handler, and the cells coming into view must be there by then.
  across = Gtk::manage(new Gtk::Adjustment(0, 0, 0));
  down = Gtk::manage(new Gtk::Adjustment(0, 0, 0));
  acrossLink =
      across->signal_value_changed().connect(sigc::mem_fun(*this, &MineTable::ViewChanged));
  downLink = down->signal_value_changed().connect(sigc::mem_fun(*this, &MineTable::ViewChanged));
  acrossLayoutLink =
      across->signal_changed().connect(sigc::mem_fun(*this, &MineTable::LayoutChanged));
  downLayoutLink = down->signal_changed().connect(sigc::mem_fun(*this, &MineTable::LayoutChanged));
  scrWin = new Gtk::ScrolledWindow(*across, *down);
  scrWin->set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  viewAllocateLink = scrWin->signal_size_allocate().connect(
      sigc::hide(sigc::mem_fun(*this, &MineTable::ViewAllocated)));
  cellBox->show();
  // The grid cannot scroll by itself, so the scrolled window puts it in a viewport.
  scrWin->add(*cellBox);
  realizeLink = cellBox->signal_realize().connect(sigc::mem_fun(*this, &MineTable::MakeBlocks));
  // Ahead of the box's own unrealize, which would otherwise destroy the cells' windows one by one.
  unrealizeLink =
      cellBox->signal_unrealize().connect(sigc::mem_fun(*this, &MineTable::DropBlocks), false);
  scrWin->show();
  image = new MineImage();
  image->SetScale(5, 5);
  timer = timer0;
  scoreFile = scoreFile0;
}

MineTable::~MineTable() {
  DropWindows(cellBox);
  DropOldGrid();
  for (sigc::connection* link : {&acrossLink, &downLink, &acrossLayoutLink, &downLayoutLink,
                                 &viewIdleLink, &viewAllocateLink, &barsIdleLink, &realizeLink,
                                 &unrealizeLink, &allocateLink, &exposeLink, &requestLink})
    link->disconnect();
  for (int i = 0; i < CAPACITY; i++)
    cellLinks[i].Cut();
  delete image;
  delete scrWin;
  delete cellBox;
  delete gridBox;
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
  return nRow0 >= 2 && nCol0 >= 2 && nRow0 <= CAPACITY / nCol0;
}

int MineTable::Cells() const {
  return BoardFits(nRow, nCol) ? nRow * nCol : 0;
}

void MineTable::HideCells() {
  if (cellBox->is_realized())
    cellBox->set_child_visible(false);
}

void MineTable::ShowCells(bool laidOut) {
  if (cellBox->get_child_visible())
    return;
  if (!laidOut && cellBox->get_parent()->get_realized()) {
    // The cells take their places relative to the box's own window, wherever the box lies, so
    // laid out now they are mapped (and, after a rebuild, made) at their places and the layout
    // pass that follows moves none of them. This request is no window fit: the fit waits for
    // the grid's request in that layout pass, as after any change to the grid.
    requestLink.block();
    Gtk::Requisition req = cellBox->size_request();
    requestLink.unblock();
    Gtk::Allocation at = cellBox->get_allocation();
    at.set_width(req.width);
    at.set_height(req.height);
    cellBox->size_allocate(at);
    table->queue_resize();
  }
  cellBox->set_child_visible(true);
}

void MineTable::ViewChanged() {
  // Until the scrolled window is laid out there is no view to judge by: the cells stay as they
  // are, all shown on a board that was never put on screen.
  if (across->get_page_size() <= 0 || down->get_page_size() <= 0)
    return;
  // The lines lie in the box's window, the box in the viewport.
  FindLines();
  Gtk::Allocation box = cellBox->get_allocation();
  int firstRow, lastRow, firstCol, lastCol;
  VisibleLines(lineX, lineCountX, across->get_value() - box.get_x(),
               across->get_value() - box.get_x() + across->get_page_size(), &firstRow, &lastRow);
  VisibleLines(lineY, lineCountY, down->get_value() - box.get_y(),
               down->get_value() - box.get_y() + down->get_page_size(), &firstCol, &lastCol);
  int cells = Cells();
  int changes = 0, inView = 0;
  for (int i = 0; i < cells; i++) {
    MineButton* cell = board[i];
    if (cell == 0)
      continue;
    bool in = cell->row >= firstRow && cell->row <= lastRow && cell->col >= firstCol &&
              cell->col <= lastCol;
    changes += in != cell->get_child_visible();
    inView += in;
  }
  if (changes == 0)
    return;
  // When most of the view changes, all the cells' windows go at once with the box's and the
  // ones in view are made anew off screen: cheaper than changing each window among the others
  // on screen, though the whole view is then drawn again.
  // The box stays child-visible (hiding it would take the keyboard focus from the cells) and is
  // mapped again at once.
  bool many = changes > inView / 2 && cellBox->get_mapped();
  if (many)
    DropWindows(cellBox);
  for (int i = 0; i < cells; i++) {
    MineButton* cell = board[i];
    if (cell == 0)
      continue;
    // The cell with the keyboard focus keeps it, in view or not.
    bool in = (cell->row >= firstRow && cell->row <= lastRow && cell->col >= firstCol &&
               cell->col <= lastCol) ||
              cell->is_focus();
    cell->SetInView(in);
  }
  if (many)
    MapAgain(cellBox);
}

void MineTable::FindLines() {
  // Every cell is laid out, in view or not. No spacing lies between the lines, and a cell that
  // does not fill its line is centred in it: the line starts where its widest cell does.
  int cells = Cells();
  lineCountX = cells > 0 ? nRow : 0;
  lineCountY = cells > 0 ? nCol : 0;
  std::fill(lineX, lineX + lineCountX, INT_MAX);
  std::fill(lineY, lineY + lineCountY, INT_MAX);
  int endX = 0, endY = 0;
  for (int i = 0; i < cells; i++) {
    if (board[i] == 0)
      continue;
    Gtk::Allocation at = board[i]->get_allocation();
    lineX[i % nRow] = std::min(lineX[i % nRow], at.get_x());
    lineY[i / nRow] = std::min(lineY[i / nRow], at.get_y());
    endX = std::max(endX, at.get_x() + at.get_width());
    endY = std::max(endY, at.get_y() + at.get_height());
  }
  // A line without a cell (a slot left empty) takes no room.
  lineX[lineCountX] = endX;
  lineY[lineCountY] = endY;
  for (int i = lineCountX - 1; i >= 0; i--)
    lineX[i] = std::min(lineX[i], lineX[i + 1]);
  for (int j = lineCountY - 1; j >= 0; j--)
    lineY[j] = std::min(lineY[j], lineY[j + 1]);
}

void MineTable::MakeBlocks() {
  DropBlocks();
  blocksAcross = (nRow + BLOCK - 1) / BLOCK;
  int blocksDown = (nCol + BLOCK - 1) / BLOCK;
  if (nRow < 1 || nCol < 1 || blocksAcross > BLOCKS / blocksDown)
    return;
  for (blockCount = 0; blockCount < blocksAcross * blocksDown; blockCount++) {
    // The grid draws the cells it holds, whatever window they draw in.
    blocks[blockCount] = NewChildWindow(cellBox, table);
    // No shape yet: the first fit always applies.
    blockShapes[blockCount].width = -1;
  }
  int cells = Cells();
  for (int i = 0; i < cells; i++)
    if (board[i] != 0)
      RealizeIn(board[i], BlockOf(board[i]));
  ShapeBlocks();
  for (int i = 0; i < blockCount; i++)
    gdk_window_show(blocks[i]);
}

void MineTable::DropBlocks() {
  int cells = Cells();
  for (int i = 0; blockCount > 0 && i < cells; i++)
    if (board[i] != 0)
      RealizeIn(board[i], 0);
  // A block already gone with the box's window is only released.
  for (int i = 0; i < blockCount; i++)
    gdk_window_destroy(blocks[i]);
  blockCount = 0;
}

bool MineTable::BlockExposed(GdkEventExpose* event) {
  int block = 0;
  while (block < blockCount && blocks[block] != event->window)
    block++;
  if (block == blockCount)
    return false;
  int firstRow = block % blocksAcross * BLOCK;
  int firstCol = block / blocksAcross * BLOCK;
  for (int col = firstCol; col < std::min(firstCol + BLOCK, nCol); col++) {
    for (int row = firstRow; row < std::min(firstRow + BLOCK, nRow); row++) {
      MineButton* cell = CellAt(col * nRow + row);
      if (cell != 0 && BlockOf(cell) == blocks[block])
        table->propagate_expose(*cell, event);
    }
  }
  return true;
}

void MineTable::ShapeBlocks() {
  if (blockCount == 0)
    return;
  FindLines();
  for (int i = 0; i < blockCount; i++) {
    int firstX = std::min(i % blocksAcross * BLOCK, lineCountX);
    int lastX = std::min(firstX + BLOCK, lineCountX);
    int firstY = std::min(i / blocksAcross * BLOCK, lineCountY);
    int lastY = std::min(firstY + BLOCK, lineCountY);
    GdkRectangle shape = {lineX[firstX], lineY[firstY], lineX[lastX] - lineX[firstX],
                          lineY[lastY] - lineY[firstY]};
    GdkRectangle& old = blockShapes[i];
    if (shape.x == old.x && shape.y == old.y && shape.width == old.width &&
        shape.height == old.height)
      continue;
    old = shape;
    gdk_window_resize(blocks[i], std::max(1, shape.x + shape.width),
                      std::max(1, shape.y + shape.height));
    GdkRegion* region = gdk_region_rectangle(&shape);
    gdk_window_shape_combine_region(blocks[i], region, 0, 0);
    gdk_region_destroy(region);
  }
}

GdkWindow* MineTable::BlockOf(const MineButton* cell) const {
  int blockAcross = cell->row / BLOCK;
  int index = cell->col / BLOCK * blocksAcross + blockAcross;
  if (cell->row < 0 || cell->col < 0 || blockAcross >= blocksAcross || index >= blockCount)
    return 0;
  return blocks[index];
}

void MineTable::LayoutChanged() {
  ShapeBlocks();
  if (!cellBox->get_mapped())
    ViewChanged();
  else if (!viewIdleLink.connected())
    viewIdleLink =
        Glib::signal_idle().connect(sigc::mem_fun(*this, &MineTable::ViewIdle), AFTER_LAYOUT);
}

bool MineTable::ViewIdle() {
  ViewChanged();
  return false;
}

void MineTable::ViewAllocated() {
  Gtk::Allocation at = scrWin->get_allocation();
  Gtk::Requisition frames = ViewFrames(), grid = cellBox->get_requisition();
  bool whole =
      at.get_width() >= frames.width + grid.width && at.get_height() >= frames.height + grid.height;
  Gtk::PolicyType across0, down0;
  scrWin->get_policy(across0, down0);
  // No bars while a fit is laid out; once it shows whole, bars come as the window gets smaller.
  if (across0 == Gtk::POLICY_NEVER)
    barsPolicy = whole ? Gtk::POLICY_AUTOMATIC : Gtk::POLICY_NEVER;
  else if (whole &&
           (scrWin->get_hscrollbar()->get_visible() || scrWin->get_vscrollbar()->get_visible()))
    barsPolicy = Gtk::POLICY_NEVER;
  else
    return;
  if (barsPolicy != across0 && !barsIdleLink.connected())
    barsIdleLink =
        Glib::signal_idle().connect(sigc::mem_fun(*this, &MineTable::BarsIdle), AFTER_LAYOUT);
}

bool MineTable::BarsIdle() {
  scrWin->set_policy(barsPolicy, barsPolicy);
  return false;
}

void MineTable::MakeGrid() {
  table = new Gtk::Table(nRow, nCol, false);
  table->set_homogeneous(false);
  allocateLink = table->signal_size_allocate().connect(
      sigc::hide(sigc::mem_fun(*this, &MineTable::LayoutChanged)));
  exposeLink =
      table->signal_expose_event().connect(sigc::mem_fun(*this, &MineTable::BlockExposed), false);
  requestLink = table->signal_size_request().connect(
      sigc::mem_fun(*this, &MineTable::SizeAllocateEvent), true);
  gridBox->put(*table, 0, 0);
}

void MineTable::LeaveGrid() {
  DropOldGrid();
  for (sigc::connection* link : {&allocateLink, &exposeLink, &requestLink})
    link->disconnect();
  table->hide();
  oldGrid = table;
  table = 0;
  // The hidden cells take no input; their handlers are cut as each goes.
  oldCount = CAPACITY;
  while (oldCount > 0 && board[oldCount - 1] == 0)
    oldCount--;
  std::copy(board, board + oldCount, oldCells);
  std::swap(cellLinks, oldLinks);
  std::fill(board, board + CAPACITY, static_cast<MineButton*>(0));
  // Redrawing runs at a higher priority than this, so the new board is drawn first.
  oldLink = Glib::signal_idle().connect(sigc::mem_fun(*this, &MineTable::DropOldCells),
                                        G_PRIORITY_DEFAULT_IDLE);
}

bool MineTable::DropOldCells() {
  // The last cells attached go first: the grid looks for the cell it loses from its most recent.
  for (int done = 0; done < OLD_SLICE && oldCount > 0; oldCount--) {
    oldLinks[oldCount - 1].Cut();
    if (MineButton* cell = oldCells[oldCount - 1]) {
      delete cell;
      done++;
    }
  }
  if (oldCount > 0)
    return true;
  delete oldGrid;
  oldGrid = 0;
  return false;
}

void MineTable::DropOldGrid() {
  if (oldGrid == 0)
    return;
  oldLink.disconnect();
  while (DropOldCells())
    continue;
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
  if (board[Num0] != cell) {
    cellLinks[Num0].Cut();
    delete board[Num0];
  }
  board[Num0] = cell;
  if (GdkWindow* block = BlockOf(cell))
    RealizeIn(cell, block);
  table->attach(*cell, cell->row, cell->row + 1, cell->col, cell->col + 1, Gtk::SHRINK, Gtk::SHRINK,
                0, 0);
  cell->show();
  // Ahead of the toggle button's own handlers, which never run since both return true.
  cellLinks[Num0].release = cell->signal_button_release_event().connect(
      sigc::bind(sigc::mem_fun(*this, &MineTable::ReleaseEvent), Num0), false);
  cellLinks[Num0].press = cell->signal_button_press_event().connect(
      sigc::bind(sigc::mem_fun(*this, &MineTable::PressEvent), Num0), false);
}

void MineTable::CellLinks::Cut() {
  press.disconnect();
  release.disconnect();
}

MineButton* MineTable::FreshCell(int Num0) {
  MineButton* cell = new MineButton(Num0 % nRow, Num0 / nRow, 0, 1, 0);
  cell->SetImage(image->CreateMark(1));
  PlaceCell(cell, Num0);
  return cell;
}

void MineTable::CountBombs() {
  nBomb = 0;
  BombCount = 0;
  MissCount = 0;
  int cells = Cells();
  for (int i = 0; i < cells; i++) {
    MineButton* cell = board[i];
    if (cell == 0)
      continue;
    if (HasBomb(cell))
      nBomb++;
    if (cell->state == 2 && HasBomb(cell))
      BombCount++;
    if (cell->state == 2 && !HasBomb(cell))
      MissCount++;
  }
}

void MineTable::CreateTable() {
  timer->Stop();
  // TRANSLATORS: the clock's label when a new game is set up, before its first tick.
  timer->timeLabel->set_text(_("time :"));
  image->SetScale(nSize, nSize);
  SetMode();
  HideCells();
  int cells = Cells();
  for (int i = 0; i < cells; i++)
    FreshCell(i);
  startFlag = 0;
  table->show();
  ShowCells(false);
}

void MineTable::KeepCreate() {
  timer->Stop();
  timer->timeLabel->set_text(_("time :"));
  SetMode();
  HideCells();
  int cells = Cells();
  bool laidOut = true;
  for (int i = 0; i < cells; i++) {
    MineButton* cell = board[i];
    // A saved game may have left the slot empty; the new game needs every cell.
    if (cell == 0) {
      cell = FreshCell(i);
      laidOut = false;
    }
    cell->col = i / nRow;
    cell->row = i % nRow;
    cell->bomb = 0;
    cell->state = 1;
    cell->num = 0;
    cell->SetUsable(true);
    cell->SetPressed(false);
    cell->SetPicture(image->Mark(1));
  }
  ShowCells(laidOut);
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
  HideCells();
  DropWindows(cellBox);
  LeaveGrid();
  pBomb = pBomb0;
  nRow = nRow0;
  nCol = nCol0;
  nSize = nSize0;
  sizeFlag = 1;
  MakeGrid();
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
  // A board that fits is laid out without bars first (see ViewAllocated).
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
    cell->SetPicture(image->Mark(cell->state));
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
    cell->SetPressed(true);
    cell->SetUsable(false);
    if (HasBomb(cell)) {
      cell->SetPicture(image->Bomb());
      GameOver();
    } else {
      cell->SetPicture(image->Number(cell->num));
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
  cell->SetPressed(true);
  cell->SetUsable(false);
  cell->SetPicture(image->Number(cell->num));
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
      cell->SetPicture(image->Mark(HasBomb(cell) ? 4 : 5));
    else if (HasBomb(cell))
      cell->SetPicture(image->Bomb());
    cell->SetUsable(false);
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
