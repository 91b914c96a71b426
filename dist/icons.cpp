// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the game's icons from its own bomb picture, at build time: hicolor PNGs at the
// usual sizes and a scalable SVG that draws each pixel of the picture as a square.
#include "xpm/pictures.h"

#include <gdkmm/pixbuf.h>
#include <gdkmm/wrap_init.h>
#include <glibmm/init.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

std::string IconDir(const std::string& top, const std::string& size) {
  std::string dir = top + "/" + size + "/apps";
  std::filesystem::create_directories(dir);
  return dir;
}

// Runs of equal pixels along a line become one rectangle, so the file stays small; the
// picture's transparent pixels are left out.
bool WriteSvg(const Glib::RefPtr<Gdk::Pixbuf>& picture, const std::string& path) {
  const int width = picture->get_width(), height = picture->get_height();
  const int channels = picture->get_n_channels(), stride = picture->get_rowstride();
  const guint8* pixels = picture->get_pixels();
  std::ofstream svg(path);
  svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
      << "\" viewBox=\"0 0 " << width << " " << height << "\" shape-rendering=\"crispEdges\">\n";
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width;) {
      const guint8* first = pixels + y * stride + x * channels;
      int run = 1;
      while (x + run < width && std::equal(first, first + channels, first + run * channels))
        run++;
      if (channels < 4 || first[3] != 0) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02x%02x%02x", first[0], first[1], first[2]);
        svg << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << run
            << "\" height=\"1\" fill=\"" << colour << "\"";
        if (channels == 4 && first[3] != 255)
          svg << " fill-opacity=\"" << first[3] / 255.0 << "\"";
        svg << "/>\n";
      }
      x += run;
    }
  }
  svg << "</svg>\n";
  return bool(svg.flush());
}

} // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::cerr << "usage: " << argv[0] << " HICOLOR-DIRECTORY [SIZE]..." << std::endl;
    return 2;
  }
  const std::string top = argv[1];
  // Only pixel buffers are needed: no display, so no toolkit start.
  Glib::init();
  Gdk::wrap_init();
  try {
    Glib::RefPtr<Gdk::Pixbuf> bomb = Gdk::Pixbuf::create_from_xpm_data(bomb_xpm);
    for (int i = 2; i < argc; i++) {
      const int size = std::atoi(argv[i]);
      if (size < 1 || size > 1024) {
        std::cerr << argv[0] << ": not an icon size: " << argv[i] << std::endl;
        return 2;
      }
      const std::string name = std::to_string(size) + "x" + std::to_string(size);
      // Whole multiples of the picture, nearest pixel: the icon keeps the picture's sharp edges.
      bomb->scale_simple(size, size, Gdk::INTERP_NEAREST)
          ->save(IconDir(top, name) + "/velmine.png", "png");
    }
    if (!WriteSvg(bomb, IconDir(top, "scalable") + "/velmine.svg")) {
      std::cerr << argv[0] << ": cannot write the scalable icon" << std::endl;
      return 1;
    }
  } catch (const Glib::Exception& error) {
    std::cerr << argv[0] << ": " << error.what() << std::endl;
    return 1;
  } catch (const std::filesystem::filesystem_error& error) {
    std::cerr << argv[0] << ": " << error.what() << std::endl;
    return 1;
  }
  return 0;
}
