// The cell widget and the picture set: a cell's pressed-in look, the replacement of its picture,
// and the pictures scaled to the cell size. Needs a display.
#include "support.h"

#include "minebutton.h"
#include "xpm/image.h"

#include <gtkmm/image.h>

#include <set>
#include <vector>

namespace {

// A picture widget that reports its destruction.
class TrackedImage : public Gtk::Image {
public:
  explicit TrackedImage(bool* gone0) : gone(gone0) {}
  ~TrackedImage() {
    *gone = true;
  }

private:
  bool* gone;
};

TEST(CellTest, OnlyAnOpenCellStaysPressedIn) {
  for (int state = 0; state <= 2; state++) {
    MineButton cell(0, 0, 0, state, 0);
    // What a keyboard activation does.
    cell.clicked();
    EXPECT_EQ(cell.get_active(), state == 0) << "state " << state;
    EXPECT_EQ(cell.state, state);
  }
}

TEST(CellTest, SetImageReplacesAndDestroysThePreviousPicture) {
  bool firstGone = false, secondGone = false;
  MineButton* cell = new MineButton(0, 0, 0, 1, 0);
  TrackedImage* second = new TrackedImage(&secondGone);
  cell->SetImage(new TrackedImage(&firstGone));
  cell->SetImage(second);
  EXPECT_TRUE(firstGone);
  EXPECT_EQ(cell->get_child(), second);
  EXPECT_TRUE(second->get_visible());
  delete cell;
  EXPECT_TRUE(secondGone);
}

// The alpha values a picture uses, and whether it uses a colour outside the given ones.
std::set<int> Alphas(const Glib::RefPtr<Gdk::Pixbuf>& pix, const std::set<unsigned>& colours,
                     bool* foreign) {
  std::set<int> alphas;
  *foreign = false;
  for (int y = 0; y < pix->get_height(); y++) {
    for (int x = 0; x < pix->get_width(); x++) {
      int channels = pix->get_n_channels();
      const guint8* p = pix->get_pixels() + y * pix->get_rowstride() + x * channels;
      int alpha = channels == 4 ? p[3] : 255;
      alphas.insert(alpha);
      if (alpha != 0 && !colours.count(unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2]))
        *foreign = true;
    }
  }
  return alphas;
}

TEST(PictureTest, ScaledPicturesHaveTheCellSizeAndOnlyTheBombKeepsHardEdges) {
  MineImage image;
  image.SetScale(24, 24);
  std::vector<Gtk::Image*> made;
  for (int i = 0; i <= 8; i++)
    made.push_back(image.CreateNumber(i));
  for (int i = 0; i <= 5; i++)
    made.push_back(image.CreateMark(i));
  made.push_back(image.CreateBomb());
  for (Gtk::Image* widget : made) {
    EXPECT_EQ(widget->get_pixbuf()->get_width(), 24);
    EXPECT_EQ(widget->get_pixbuf()->get_height(), 24);
    delete widget;
  }

  // At one and a half times the source size only smoothing produces in-between alpha or colours.
  bool foreign = false;
  std::set<int> alphas = Alphas(image.TbombPix, {0x000000, 0x000088}, &foreign);
  EXPECT_FALSE(foreign);
  EXPECT_EQ(alphas, std::set<int>({0, 255}));
  EXPECT_GT(Alphas(image.TnumPix[1], {}, &foreign).size(), 2u);
  EXPECT_GT(Alphas(image.TmarkPix[2], {}, &foreign).size(), 2u);
  for (int entry = 0; entry <= 1; entry++)
    EXPECT_EQ(Alphas(image.TmarkPix[entry], {}, &foreign), std::set<int>({0}));
}

TEST(PictureTest, IndicesOutsideTheLoadedRangeShowTheNearestPicture) {
  MineImage image;
  image.SetScale(9, 9);
  const struct {
    Gtk::Image* widget;
    Glib::RefPtr<Gdk::Pixbuf> expected;
  } cases[] = {{image.CreateNumber(9), image.TnumPix[8]},
               {image.CreateNumber(-1), image.TnumPix[0]},
               {image.CreateMark(6), image.TmarkPix[5]},
               {image.CreateMark(-3), image.TmarkPix[0]}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.widget->get_pixbuf(), c.expected);
    delete c.widget;
  }
}

} // namespace
