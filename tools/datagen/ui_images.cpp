// The screen images: the cursor, the console pane, and the heads-up display's
// radar, dots, avatar, dialogue box and icons.
#include <cmath>
#include <string>

#include "tools/datagen/canvas.h"
#include "tools/datagen/content.h"
#include "tools/datagen/geometry.h"

namespace {

// The aiming cursor: a ring with four ticks and a centre dot, dark-edged so it
// shows against sky and ground alike.
Canvas Target() {
  Canvas img(32, 32);
  Colour edge(0.05f, 0.05f, 0.05f, 0.6f), line(0.95f, 0.95f, 0.9f, 0.95f);
  img.Ring(16, 16, 9, 3.2f, edge);
  img.Ring(16, 16, 9, 1.5f, line);
  const float ticks[4][4] = {{16, 1, 16, 9}, {16, 23, 16, 31}, {1, 16, 9, 16}, {23, 16, 31, 16}};
  for (const auto& t : ticks) img.Line(t[0], t[1], t[2], t[3], 3.2f, edge);
  for (const auto& t : ticks) img.Line(t[0], t[1], t[2], t[3], 1.5f, line);
  img.FillCircle(16, 16, 2.0f, edge);
  img.FillCircle(16, 16, 1.2f, Colour(1.0f, 0.25f, 0.2f, 1.0f));
  return img;
}

// The console pane: a dark panel over the top of the screen with the input
// line's strip at the bottom and the scroll bar's track on the right.
Canvas PaneBackground() {
  Rng rng(3);
  Canvas img(1024, 256);
  img.VerticalGradient(0, 0, 1024, 256, Hex(0x101820, 0.92f), Hex(0x1c2a38, 0.92f));
  for (int y = 0; y < 256; y += 2) img.FillRect(0, (float)y, 1024, (float)y + 1, Hex(0x000000, 0.12f));
  img.FillRect(0, 226, 1024, 228, Hex(0x5a7a9a, 0.9f));
  img.FillRect(0, 228, 1024, 256, Hex(0x0a1016, 0.95f));
  img.FillRect(20, 234, 28, 250, Hex(0x9ac0e0));  // prompt mark before the input
  img.FillRoundRect(782, 5, 794, 221, 5, Hex(0x304050, 0.9f));
  img.FillRect(0, 254, 1024, 256, Hex(0x5a7a9a, 0.9f));
  return img;
}

Canvas PaneDot() {
  Canvas img(16, 16);
  img.FillCircle(8, 8, 7, Hex(0x203040));
  img.FillCircle(8, 8, 5.8f, Hex(0xa8c8e8));
  img.FillCircle(6.5f, 6.5f, 2.2f, Hex(0xe8f4ff, 0.8f));
  return img;
}

// The enemy commander who speaks in the dialogue box: helmet, red goggles, scar.
Canvas Avatar() {
  Rng rng(5);
  Canvas img(128, 128);
  img.VerticalGradient(0, 0, 128, 128, Hex(0x30343c), Hex(0x14161a));
  img.Grain(0, 0, 128, 128, 0.05f, rng);
  // Shoulders and collar.
  img.FillPolygon({{8, 128}, {22, 100}, {50, 92}, {78, 92}, {106, 100}, {120, 128}}, Hex(0x3a3f4a));
  img.FillPolygon({{48, 92}, {64, 112}, {80, 92}}, Hex(0x24262c));
  img.FillRect(18, 112, 40, 118, Hex(0xb01e1e));
  // Neck and face.
  img.FillRect(52, 76, 76, 96, Hex(0x9a7458));
  img.FillRoundRect(38, 34, 90, 88, 16, Hex(0xb08868));
  img.FillRoundRect(38, 70, 90, 88, 14, Hex(0x9a7458));
  // Helmet with its red band.
  img.FillEllipse(64, 36, 34, 24, Hex(0x2c2f36));
  img.FillRect(30, 36, 98, 46, Hex(0x2c2f36));
  img.FillRect(30, 40, 98, 45, Hex(0xa01c1c));
  img.FillEllipse(56, 22, 12, 5, Hex(0x4a4e58, 0.7f));
  // Goggles.
  img.FillRoundRect(38, 50, 90, 63, 5, Hex(0x18181a));
  img.FillEllipse(51, 56.5f, 9, 5, Hex(0xd02a1a));
  img.FillEllipse(77, 56.5f, 9, 5, Hex(0xd02a1a));
  img.FillEllipse(48, 55, 3, 1.5f, Hex(0xffb0a0, 0.8f));
  img.FillEllipse(74, 55, 3, 1.5f, Hex(0xffb0a0, 0.8f));
  // Nose, mouth and a scar.
  img.FillPolygon({{64, 62}, {59, 74}, {69, 74}}, Hex(0x8a6448));
  img.FillRect(55, 79, 73, 81.5f, Hex(0x5a3a2a));
  img.Line(82, 66, 88, 80, 1.5f, Hex(0x7a4a3a));
  img.FillRect(0, 0, 128, 2, Hex(0x8a9098));
  img.FillRect(0, 126, 128, 128, Hex(0x8a9098));
  img.FillRect(0, 0, 2, 128, Hex(0x8a9098));
  img.FillRect(126, 0, 128, 128, Hex(0x8a9098));
  return img;
}

// The radar: a green disc of 60 pixels' radius with range rings and a cross.
Canvas Radar() {
  Canvas img(128, 128);
  img.FillCircle(64, 64, 62, Hex(0x0a2a14, 0.55f));
  img.Ring(64, 64, 62, 2.5f, Hex(0x6ad080, 0.9f));
  img.Ring(64, 64, 40, 1, Hex(0x4aa060, 0.5f));
  img.Ring(64, 64, 20, 1, Hex(0x4aa060, 0.5f));
  img.Line(64, 4, 64, 124, 1, Hex(0x4aa060, 0.4f));
  img.Line(4, 64, 124, 64, 1, Hex(0x4aa060, 0.4f));
  for (int i = 0; i < 12; ++i) {
    float a = i * Pi / 6;
    img.Line(64 + 56 * std::cos(a), 64 + 56 * std::sin(a), 64 + 61 * std::cos(a), 64 + 61 * std::sin(a),
             1.5f, Hex(0x6ad080, 0.8f));
  }
  return img;
}

Canvas Dot(unsigned colour) {
  Canvas img(32, 32);
  img.FillCircle(16, 16, 14, Hex(colour, 0.35f));
  img.FillCircle(16, 16, 10, Hex(colour));
  img.FillCircle(13, 13, 4, Hex(0xffffff, 0.6f));
  return img;
}

Canvas HealthBar() {
  Canvas img(128, 16);
  img.FillRoundRect(0, 0, 128, 16, 4, Hex(0x101010, 0.8f));
  img.VerticalGradient(3, 3, 125, 13, Hex(0xe0e0e0), Hex(0xc8c800));
  for (int x = 15; x < 125; x += 12) img.FillRect((float)x, 3, (float)x + 1, 13, Hex(0x101010, 0.4f));
  return img;
}

// An ammunition crate, the picture for items to pick up.
Canvas ItemBlock() {
  Rng rng(9);
  Canvas img(64, 64);
  img.FillPolygon({{8, 22}, {32, 10}, {56, 22}, {32, 34}}, Hex(0x7a8a4a));
  img.FillPolygon({{8, 22}, {32, 34}, {32, 58}, {8, 46}}, Hex(0x56603a));
  img.FillPolygon({{56, 22}, {32, 34}, {32, 58}, {56, 46}}, Hex(0x414a2a));
  img.Grain(6, 8, 58, 60, 0.08f, rng);
  img.Line(8, 30, 32, 42, 2, Hex(0xd8b020));
  img.Line(32, 42, 56, 30, 2, Hex(0xb09018));
  img.FillPolygon({{14, 34}, {26, 40}, {26, 48}, {14, 42}}, Hex(0x2a2a2a, 0.7f));
  img.Line(8, 22, 32, 10, 1, Hex(0x202818));
  img.Line(32, 10, 56, 22, 1, Hex(0x202818));
  img.Line(32, 34, 32, 58, 1, Hex(0x202818));
  return img;
}

// A squad: three helmeted heads and shoulders.
Canvas GroupIcon() {
  Canvas img(64, 64);
  img.FillCircle(32, 32, 30, Hex(0x10201a, 0.6f));
  img.Ring(32, 32, 30, 2, Hex(0x6ad080, 0.9f));
  const float xs[3] = {17, 47, 32}, ys[3] = {27, 27, 33};
  for (int i = 0; i < 3; ++i) {
    Colour c = i == 2 ? Hex(0xd0e8c0) : Hex(0x90b080);
    img.FillEllipse(xs[i], ys[i] + 15, 9, 7, Hex(0x10201a));
    img.FillEllipse(xs[i], ys[i] + 15, 8, 6, c);
    img.FillCircle(xs[i], ys[i], 6.5f, Hex(0x10201a));
    img.FillCircle(xs[i], ys[i], 5.5f, c);
    img.FillEllipse(xs[i], ys[i] - 3, 7.5f, 4, Scale(c, 0.7f));
  }
  return img;
}

// A loading spinner: eight bars fading round the circle.
Canvas Spinner() {
  Canvas img(64, 64);
  for (int i = 0; i < 8; ++i) {
    float a = i * Pi / 4 - Pi / 2;
    img.Line(32 + 12 * std::cos(a), 32 + 12 * std::sin(a), 32 + 26 * std::cos(a), 32 + 26 * std::sin(a),
             6, Colour(0.9f, 0.9f, 0.85f, 1.0f - i * 0.11f));
  }
  return img;
}

// The dialogue box: 450 pixels wide, the width the heads-up display lays out
// its text and avatar by.
Canvas DialogBox() {
  Canvas img(450, 128);
  img.FillRoundRect(0, 0, 450, 128, 10, Hex(0x8a9098, 0.9f));
  img.FillRoundRect(3, 3, 447, 125, 8, Hex(0x1a1e24, 0.85f));
  img.FillRect(14, 26, 436, 27, Hex(0x8a9098, 0.6f));
  return img;
}

}  // namespace

void WriteUiImages(OutputFolder& out) {
  out.Write("ui\\target.png", Target().ToPng());
  out.Write("debug\\paneBG.png", PaneBackground().ToPng());
  out.Write("debug\\paneDot.png", PaneDot().ToPng());
  out.Write("ui\\avatar.png", Avatar().ToPng());
  out.Write("ui\\radar.png", Radar().ToPng());
  out.Write("ui\\red_dot.png", Dot(0xe02a20).ToPng());
  out.Write("ui\\yellow_dot.png", Dot(0xf0d020).ToPng());
  out.Write("ui\\green_dot.png", Dot(0x30d040).ToPng());
  out.Write("ui\\health_bar.png", HealthBar().ToPng());
  out.Write("ui\\item_block.png", ItemBlock().ToPng());
  out.Write("ui\\group_icon.png", GroupIcon().ToPng());
  out.Write("ui\\spin0.png", Spinner().ToPng());
  out.Write("ui\\dialog_box.png", DialogBox().ToPng());
}
