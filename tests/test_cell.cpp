// The cell widget and the picture set: a cell's fields and pressed-in look, the replacement of
// its picture, and the pictures scaled to the cell size. Needs a display.
#include "support.h"

#include "minebutton.h"
#include "xpm/image.h"

#include <gtkmm/image.h>

#include <set>

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

class CellTest : public ::testing::Test {};

TEST_F(CellTest, ConstructorTakesRowColumnBombStateCount) {
  MineButton cell(3, 7, 1, 2, 5);
  EXPECT_EQ(cell.row, 3);
  EXPECT_EQ(cell.col, 7);
  EXPECT_EQ(cell.bomb, 1);
  EXPECT_EQ(cell.state, 2);
  EXPECT_EQ(cell.num, 5);
  EXPECT_EQ(cell.image, nullptr);
  EXPECT_TRUE(cell.get_inconsistent());
  EXPECT_TRUE(cell.get_focus_on_click());
}

TEST_F(CellTest, CoveredOrMarkedCellNeverStaysPressedIn) {
  for (int state = 1; state <= 2; state++) {
    MineButton cell(0, 0, 0, state, 0);
    // What a keyboard activation does.
    cell.clicked();
    EXPECT_FALSE(cell.get_active()) << "state " << state;
    cell.set_active(true);
    EXPECT_FALSE(cell.get_active()) << "state " << state;
    EXPECT_EQ(cell.state, state);
  }
}

TEST_F(CellTest, OpenCellKeepsItsPressedInLook) {
  MineButton cell(0, 0, 0, 0, 0);
  cell.set_active(true);
  EXPECT_TRUE(cell.get_active());
}

TEST_F(CellTest, SetImageReplacesAndDestroysThePreviousPicture) {
  bool firstGone = false;
  bool secondGone = false;
  MineButton* cell = new MineButton(0, 0, 0, 1, 0);
  TrackedImage* first = new TrackedImage(&firstGone);
  cell->SetImage(first);
  EXPECT_EQ(cell->image, first);
  EXPECT_EQ(cell->get_child(), first);
  EXPECT_TRUE(first->get_visible());

  TrackedImage* second = new TrackedImage(&secondGone);
  cell->SetImage(second);
  EXPECT_TRUE(firstGone);
  EXPECT_EQ(cell->get_child(), second);

  delete cell;
  EXPECT_TRUE(secondGone);
}

// Every pixel of a picture, as RGBA.
std::vector<unsigned> Pixels(const Glib::RefPtr<Gdk::Pixbuf>& pix) {
  std::vector<unsigned> out;
  const guint8* data = pix->get_pixels();
  int channels = pix->get_n_channels();
  for (int y = 0; y < pix->get_height(); y++) {
    for (int x = 0; x < pix->get_width(); x++) {
      const guint8* p = data + y * pix->get_rowstride() + x * channels;
      unsigned alpha = channels == 4 ? p[3] : 255;
      out.push_back(unsigned(p[0]) << 24 | unsigned(p[1]) << 16 | unsigned(p[2]) << 8 | alpha);
    }
  }
  return out;
}

bool HasPartialAlpha(const Glib::RefPtr<Gdk::Pixbuf>& pix) {
  for (unsigned p : Pixels(pix)) {
    unsigned alpha = p & 0xff;
    if (alpha != 0 && alpha != 255)
      return true;
  }
  return false;
}

class PictureTest : public ::testing::Test {
protected:
  void SetUp() override {
    image.SetScale(24, 24);
  }

  Glib::RefPtr<Gdk::Pixbuf> Shown(Gtk::Image* widget) {
    Glib::RefPtr<Gdk::Pixbuf> pix = widget->get_pixbuf();
    delete widget;
    return pix;
  }

  MineImage image;
};

TEST_F(PictureTest, EveryPictureMadeHasTheCellSize) {
  std::vector<Glib::RefPtr<Gdk::Pixbuf>> made;
  for (int i = 0; i <= 8; i++)
    made.push_back(Shown(image.CreateNumber(i)));
  for (int i = 0; i <= 5; i++)
    made.push_back(Shown(image.CreateMark(i)));
  made.push_back(Shown(image.CreateBomb()));
  for (size_t i = 0; i < made.size(); i++) {
    ASSERT_TRUE(made[i]) << "picture " << i;
    EXPECT_EQ(made[i]->get_width(), 24) << "picture " << i;
    EXPECT_EQ(made[i]->get_height(), 24) << "picture " << i;
  }
}

TEST_F(PictureTest, RescalingLeavesPicturesAlreadyMadeAlone) {
  Gtk::Image* before = image.CreateNumber(2);
  image.SetScale(9, 9);
  EXPECT_EQ(before->get_pixbuf()->get_width(), 24);
  EXPECT_EQ(Shown(image.CreateNumber(2))->get_width(), 9);
  delete before;
}

TEST_F(PictureTest, BombKeepsHardEdgesWhileNumbersAndMarksAreSmoothed) {
  // At one and a half times the source size only interpolation can produce in-between alpha.
  std::set<unsigned> bombColours;
  for (unsigned p : Pixels(image.TbombPix))
    bombColours.insert(p);
  std::set<unsigned> allowed = {0x000000ffu, 0x000088ffu};
  for (unsigned p : bombColours) {
    bool transparent = (p & 0xff) == 0;
    EXPECT_TRUE(transparent || allowed.count(p)) << std::hex << p;
  }
  EXPECT_TRUE(HasPartialAlpha(image.TnumPix[1]));
  EXPECT_TRUE(HasPartialAlpha(image.TmarkPix[2]));
  EXPECT_TRUE(HasPartialAlpha(image.TmarkPix[4]));
}

TEST_F(PictureTest, TheCoverIsFullyTransparentInBothMarkEntries) {
  for (int entry = 0; entry <= 1; entry++) {
    ASSERT_TRUE(image.TmarkPix[entry]->get_has_alpha());
    for (unsigned p : Pixels(image.TmarkPix[entry]))
      ASSERT_EQ(p & 0xff, 0u) << "entry " << entry;
  }
}

TEST_F(PictureTest, WidgetsShareTheScaledBuffers) {
  EXPECT_EQ(Shown(image.CreateNumber(3)), image.TnumPix[3]);
  EXPECT_EQ(Shown(image.CreateNumber(3)), image.TnumPix[3]);
  EXPECT_EQ(Shown(image.CreateMark(5)), image.TmarkPix[5]);
  EXPECT_EQ(Shown(image.CreateBomb()), image.TbombPix);
}

TEST_F(PictureTest, IndicesOutsideTheLoadedRangeShowTheNearestPicture) {
  EXPECT_EQ(Shown(image.CreateNumber(9)), image.TnumPix[8]);
  EXPECT_EQ(Shown(image.CreateNumber(-1)), image.TnumPix[0]);
  EXPECT_EQ(Shown(image.CreateMark(6)), image.TmarkPix[5]);
  EXPECT_EQ(Shown(image.CreateMark(-3)), image.TmarkPix[0]);
}

} // namespace
