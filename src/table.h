// SPDX-License-Identifier: GPL-3.0-or-later
// The board: the grid of cells, the picture set, the counters of the game in progress and
// the rules of play.
#ifndef VELMINE_TABLE_H
#define VELMINE_TABLE_H

#include <gdk/gdk.h>
#include <gtkmm/adjustment.h>
#include <gtkmm/eventbox.h>
#include <gtkmm/fixed.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/table.h>

class MineButton;
class MineImage;
class MineTimer;
class MineWindow;
class ScoreFile;

class MineTable {
public:
  enum { CAPACITY = 10000 };

  Gtk::ScrolledWindow* scrWin;
  MineWindow* window;
  ScoreFile* scoreFile;
  Gtk::Table* table;
  MineImage* image;
  MineButton* board[CAPACITY];
  MineTimer* timer;
  int sizeFlag;
  int startFlag;
  int nRow;
  int nCol;
  int nSize;
  int pBomb;
  int nBomb;
  int BombCount;
  int MissCount;
  int mode;

  // The top-level window's size after a fit, the largest size it may be given, and whether the
  // board scrolls, for a grid that requests gridWidth x gridHeight pixels.
  struct WindowFit {
    int width;
    int height;
    int maxWidth;
    int maxHeight;
    bool scrolls;
  };
  WindowFit FitWindow(int gridWidth, int gridHeight);
  // The window's size for a board widget of the given size, with what the layout puts around
  // it; set by the layout that holds the board. Unset, the board is all the window holds.
  sigc::slot<Gtk::Requisition, const Gtk::Requisition&> windowFor;
  // Whether a board of nRow0 x nCol0 cells can be played: at least two each way (every cell then
  // has a neighbourhood the visit knows), at most CAPACITY cells.
  static bool BoardFits(int nRow0, int nCol0);

  MineTable(MineWindow* window0, MineTimer* timer0, ScoreFile* scoreFile0);
  ~MineTable();
  MineTable(const MineTable&) = delete;
  MineTable& operator=(const MineTable&) = delete;

  Gtk::ScrolledWindow* Show();
  void CreateTable();
  void KeepCreate();
  void ReCreate(int nRow0, int nCol0, int pBomb0, int nSize0);
  void SizeAllocateEvent(GtkRequisition* req);
  void SetMode();

  // Number of slots in use, never beyond the capacity whatever nRow and nCol hold.
  int Cells() const;

  // Stores a new cell in its slot, attaches it to the grid, shows it and connects its mouse
  // handlers: shared by a build and the saved-game loader.
  void PlaceCell(MineButton* cell, int Num0);
  // A covered cell without a bomb, showing the blank cover, placed in slot Num0.
  MineButton* FreshCell(int Num0);
  // Takes nBomb, BombCount and MissCount from the cells.
  void CountBombs();

  // Play rules.
  bool PressEvent(GdkEventButton* event, int Num0);
  bool ReleaseEvent(GdkEventButton* event, int Num0);
  void ButtonHit(int Num0);
  void GameOver();

  // Bomb drawing and the neighbourhood visit.
  int SetBomb(int i, int j, int num, int times);
  void CreateValue(int Num0);
  void SetNum();
  void BlankButton(void (MineTable::*func)(int), int Num0);
  void BlankALL(void (MineTable::*func)(int), int Num0);
  void BlankUp(void (MineTable::*func)(int), int Num0);
  void BlankLeft(void (MineTable::*func)(int), int Num0);
  void BlankUpLeft(void (MineTable::*func)(int), int Num0);
  void BlankDown(void (MineTable::*func)(int), int Num0);
  void BlankDownLeft(void (MineTable::*func)(int), int Num0);
  void BlankRight(void (MineTable::*func)(int), int Num0);
  void BlankUpRight(void (MineTable::*func)(int), int Num0);
  void BlankDownRight(void (MineTable::*func)(int), int Num0);
  void BlankERROR(void (MineTable::*func)(int), int Num0);
  void DecreaseBomb(int Num0);
  void DecreaseAround(int Num0);
  void AroundZERO(int Num0);

private:
  // Holds the grid inside the scrolled window, with a window of its own that holds the cells'
  // block windows (below): while it is unmapped, cells can be removed, created and laid out
  // without the toolkit redrawing or re-clipping the shown board once per cell.
  Gtk::EventBox* cellBox;

  // Unmaps the cells' parent window for a change to many cells at once; do nothing while the
  // board is not realized.
  void HideCells();
  // Maps the hidden cells again; unless they kept their places (laidOut), lays them out first, so
  // each cell's window is made at its place.
  void ShowCells(bool laidOut);

  // Only the cells in the visible part of the scrolled window are child-visible: the others are
  // laid out, so every cell keeps its place and size, but never realized, mapped or drawn.
  // Called whenever the view or the grid's layout changes; brings the cells that came into view
  // up to date and takes those that left it out.
  void ViewChanged();
  // The layout changed: before the cells are mapped the view is settled at once, else once the
  // layout pass is over and before anything is drawn.
  void LayoutChanged();
  bool ViewIdle();

  // The scrolled window's scroll bars come and go with the room it is given, but once shown
  // they stay as long as they still find use, so a board that fits could be left cut by them:
  // after a layout at the window's size before a fit, or after the player shrank the window and
  // made it large again. Such bars are taken away by a layout with none.
  void ViewAllocated();
  bool BarsIdle();
  Gtk::PolicyType barsPolicy;
  // What the scrolled window and its viewport put around the grid: borders and frames.
  Gtk::Requisition ViewFrames();

  // The scrolled window's adjustments, which it owns.
  Gtk::Adjustment* across;
  Gtk::Adjustment* down;
  // What follows the view, cut before the board goes.
  sigc::connection acrossLink;
  sigc::connection downLink;
  sigc::connection acrossLayoutLink;
  sigc::connection downLayoutLink;
  sigc::connection viewIdleLink;
  sigc::connection viewAllocateLink;
  sigc::connection barsIdleLink;
  sigc::connection realizeLink;
  sigc::connection unrealizeLink;

  // Makes the grid for a new board, in gridBox, its layout and drawing followed.
  void MakeGrid();
  sigc::connection allocateLink;
  sigc::connection exposeLink;
  sigc::connection requestLink;

  // The mouse handlers of the cell in each slot, cut before the cell goes. The board is not
  // trackable: each slot bound to it would then be looked up in one list as its cell goes, and
  // deleting the 5,000 cells of the largest board, last first, took 0.9 to 2 s instead of 27 ms.
  // Two sets, so that a board left keeps its cells' handlers until they go in idle time.
  struct CellLinks {
    sigc::connection press;
    sigc::connection release;
    void Cut();
  };
  CellLinks linkSets[2][CAPACITY];
  CellLinks* cellLinks;
  // Deleting thousands of cells takes the toolkit longer than building a board, and so does
  // taking them out of the window, so a board being left leaves its grid, with its cells,
  // hidden in gridBox, beside the new board's grid: hidden, it is neither laid out, realized nor
  // drawn, and it takes no input. Nothing outside the board holds its cells, and they are
  // deleted a slice at a time in idle time, once the new board is drawn, so a click waits for
  // one slice at most.
  Gtk::Fixed* gridBox;
  enum { OLD_SLICE = 500 };
  Gtk::Table* oldGrid;
  // The old grid's cells and their handlers, by slot; those below oldCount are still to go.
  MineButton* oldCells[CAPACITY];
  CellLinks* oldLinks;
  int oldCount;
  sigc::connection oldLink;
  void LeaveGrid();
  bool DropOldCells();
  // Deletes what is left of the old grid at once.
  void DropOldGrid();

  // The toolkit re-clips every sibling of a window as the window is made, shown, hidden or
  // destroyed, so cells whose input windows all share one parent cost the square of their number
  // to come into view. Each block of BLOCK x BLOCK cells therefore has a parent window of its own
  // inside the box's: it lies at the box's corner, as large as the grid, so the cells draw in it
  // at their places, and it is shaped to its block, so it shows and takes input there alone. The
  // blocks live while the box is realized.
  enum { BLOCK = 8, BLOCKS = CAPACITY / 16 };
  GdkWindow* blocks[BLOCKS];
  GdkRectangle blockShapes[BLOCKS];
  int blockCount;
  int blocksAcross;
  void MakeBlocks();
  void DropBlocks();
  // Draws a block's cells only, not looking at every other cell of the grid for each block.
  bool BlockExposed(GdkEventExpose* event);
  // Fits each block's window and shape to the grid as laid out.
  void ShapeBlocks();
  // The block window a cell realizes in, or null for the box's own.
  GdkWindow* BlockOf(const MineButton* cell) const;

  // Where each grid line starts in the box's window as last laid out, taken from the cells'
  // places: lineX[i] for the cells at horizontal position i, lineY[j] for those at vertical
  // position j; lineX[lineCountX] and lineY[lineCountY] are where the last lines end.
  int lineX[CAPACITY + 1];
  int lineY[CAPACITY + 1];
  int lineCountX;
  int lineCountY;
  void FindLines();
  // The cell in slot Num0, or null when the slot lies outside the board or is empty (a saved
  // game can leave a slot empty).
  MineButton* CellAt(int Num0) const;

  // Work list of the flood fill: opened cells with a count of 0 whose neighbours are still to
  // be visited. Each cell enters once, when it opens, so the capacity bounds it.
  int fillList[CAPACITY];
  int fillCount;
  bool filling;
};

#endif
