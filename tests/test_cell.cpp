// The cell widget and its pictures: the pressed-in look, picture replacement, and pictures
// scaled to the cell size. Needs a display.
#include "support.h"

#include "minebutton.h"
#include "xpm/image.h"

namespace {

TEST(CellTest, OnlyAnOpenCellStaysPressedInAndANewPictureDestroysTheOld) {
  for (int state = 0; state <= 2; state++) {
    MineButton cell(0, 0, 0, state, 0);
    cell.clicked(); // what a keyboard activation does
    EXPECT_TRUE(cell.get_active() == (state == 0) && cell.state == state) << state;
  }
  MineButton* cell = new MineButton(0, 0, 0, 1, 0);
  Gtk::Image* images[] = {new Gtk::Image(), new Gtk::Image()};
  gpointer alive[] = {images[0]->gobj(), images[1]->gobj()};
  for (int i = 0; i < 2; i++) {
    g_object_add_weak_pointer(G_OBJECT(alive[i]), &alive[i]);
    cell->SetImage(images[i]);
  }
  EXPECT_TRUE(alive[0] == nullptr && cell->get_child() == images[1] && images[1]->get_visible());
  delete cell;
  EXPECT_EQ(alive[1], nullptr);
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
