// The cell widget's pressed-in look, and the pictures it shows; needs a display.
#include "support.h"

#include "minebutton.h"
#include "xpm/image.h"

TEST(CellTest, OnlyAnOpenCellStaysPressedInAndANewPictureDestroysTheOld) {
  for (int state = 0; state <= 2; state++) {
    MineButton cell(0, 0, 0, state, 0);
    cell.clicked(); // what a keyboard activation does
    EXPECT_TRUE(cell.get_active() == (state == 0) && cell.state == state) << state;
  }
  MineImage image;
  image.SetScale(24, 24);
  MineButton* cell = new MineButton(0, 0, 0, 1, 0);
  // Indices past either end show the nearest picture.
  Gtk::Image* images[] = {image.CreateNumber(9), image.CreateMark(-3)};
  EXPECT_TRUE(images[0]->get_pixbuf() == image.TnumPix[8] &&
              images[1]->get_pixbuf() == image.TmarkPix[0]);
  gpointer alive[] = {images[0]->gobj(), images[1]->gobj()};
  for (int i = 0; i < 2; i++) {
    g_object_add_weak_pointer(G_OBJECT(alive[i]), &alive[i]);
    cell->SetImage(images[i]);
  }
  EXPECT_TRUE(alive[0] == nullptr && cell->get_child() == images[1] && images[1]->get_visible());
  delete cell;
  EXPECT_EQ(alive[1], nullptr);
}
