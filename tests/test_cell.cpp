// The cell widget and its pictures: the pressed-in look, picture replacement, and pictures
// scaled to the cell size. Needs a display.
#include "support.h"

#include "minebutton.h"
#include "xpm/image.h"

namespace {

// A picture widget that reports its destruction.
struct TrackedImage : Gtk::Image {
  explicit TrackedImage(bool* gone0) : gone(gone0) {}
  ~TrackedImage() {
    *gone = true;
  }
  bool* gone;
};

TEST(CellTest, OnlyAnOpenCellStaysPressedInAndSetImageDestroysTheOldPicture) {
  for (int state = 0; state <= 2; state++) {
    MineButton cell(0, 0, 0, state, 0);
    cell.clicked(); // what a keyboard activation does
    EXPECT_TRUE(cell.get_active() == (state == 0) && cell.state == state) << state;
  }
  bool firstGone = false, secondGone = false;
  MineButton* cell = new MineButton(0, 0, 0, 1, 0);
  TrackedImage* second = new TrackedImage(&secondGone);
  cell->SetImage(new TrackedImage(&firstGone));
  cell->SetImage(second);
  EXPECT_TRUE(firstGone && cell->get_child() == second && second->get_visible());
  delete cell;
  EXPECT_TRUE(secondGone);
}

TEST(PictureTest, PicturesHaveTheCellSizeAndOutOfRangeIndicesShowTheNearest) {
  MineImage image;
  image.SetScale(24, 24);
  const std::pair<Gtk::Image*, Glib::RefPtr<Gdk::Pixbuf>> cases[] = {
      {image.CreateNumber(3), image.TnumPix[3]},  {image.CreateNumber(9), image.TnumPix[8]},
      {image.CreateNumber(-1), image.TnumPix[0]}, {image.CreateMark(2), image.TmarkPix[2]},
      {image.CreateMark(6), image.TmarkPix[5]},   {image.CreateMark(-3), image.TmarkPix[0]},
      {image.CreateBomb(), image.TbombPix}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.first->get_pixbuf(), c.second);
    EXPECT_TRUE(c.second->get_width() == 24 && c.second->get_height() == 24);
    delete c.first;
  }
}

} // namespace
