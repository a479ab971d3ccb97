// The vehicle: an open four-wheeled buggy facing +x with its wheels on the ground
// at z = 0. Its four wheel bones carry the wheel meshes (the game steers and
// turns them) and its seat bones mark where the riders stand.
#include <string>

#include "tools/datagen/canvas.h"
#include "tools/datagen/content.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/vehicle_names.h"

namespace {

const int Cells = 4;
const int CellPixels = 32;

enum Cell { BodyPaint, Marking, Metal, Tyre, Hub, SeatCloth, Glass, Light, Grille, Chrome, Dark };

UvRect Rect(Cell c) { return AtlasCell(c % Cells, c / Cells, Cells); }

void Origin(Cell c, float& x, float& y) {
  x = (float)((c % Cells) * CellPixels);
  y = (float)((c / Cells) * CellPixels);
}

Canvas PaintAtlas() {
  Rng rng(31);
  Canvas img(Cells * CellPixels, Cells * CellPixels, Hex(0x808080));
  auto plain = [&](Cell c, unsigned colour, float grain) {
    float x, y;
    Origin(c, x, y);
    img.FillRect(x, y, x + CellPixels, y + CellPixels, Hex(colour));
    img.Grain((int)x, (int)y, (int)x + CellPixels, (int)y + CellPixels, grain, rng);
  };
  plain(BodyPaint, 0x56603a, 0.06f);
  plain(Metal, 0x3a3c3e, 0.08f);
  plain(Hub, 0x4a4e44, 0.05f);
  plain(SeatCloth, 0x7a6e4e, 0.08f);
  plain(Light, 0xf0e8b0, 0.02f);
  plain(Chrome, 0xb0b4b8, 0.04f);
  plain(Dark, 0x1a1a1a, 0.03f);
  float x, y;
  // Body paint with dirt towards the bottom.
  Origin(BodyPaint, x, y);
  img.Blotches((int)x, (int)y + 18, (int)x + CellPixels, (int)y + CellPixels,
               {Hex(0x6a5a3e, 0.5f), Hex(0x4a4030, 0.4f)}, 10, 2, 5, rng);
  // Marking: a white star in a circle on the body colour.
  Origin(Marking, x, y);
  img.FillRect(x, y, x + CellPixels, y + CellPixels, Hex(0x56603a));
  img.Ring(x + 16, y + 16, 12, 2, Hex(0xe8e8e0));
  std::vector<Point> star;
  for (int i = 0; i < 10; ++i) {
    float a = -Pi / 2 + i * Pi / 5, r = i % 2 ? 4.2f : 10.5f;
    star.push_back({x + 16 + r * std::cos(a), y + 16 + r * std::sin(a)});
  }
  img.FillPolygon(star, Hex(0xe8e8e0));
  // Tyre: tread blocks across the width.
  Origin(Tyre, x, y);
  img.FillRect(x, y, x + CellPixels, y + CellPixels, Hex(0x202020));
  for (int i = 0; i < 8; ++i) img.FillRect(x + i * 4.0f, y, x + i * 4.0f + 2, y + CellPixels, Hex(0x343434));
  // Windscreen glass: blue-grey with a glint.
  Origin(Glass, x, y);
  img.VerticalGradient(x, y, x + CellPixels, y + CellPixels, Hex(0x8aa8c0, 0.55f), Hex(0x50687a, 0.55f));
  img.Line(x + 6, y + 26, x + 20, y + 4, 2, Hex(0xffffff, 0.5f));
  // Grille: vertical slots.
  Origin(Grille, x, y);
  img.FillRect(x, y, x + CellPixels, y + CellPixels, Hex(0x56603a));
  for (int i = 0; i < 7; ++i) img.FillRect(x + 3 + i * 4.0f, y + 4, x + 5 + i * 4.0f, y + 28, Hex(0x151515));
  return img;
}

void BuildBody(MeshBuilder& m) {
  // Frame of the body bone: 0.6 m above the ground, x forward, y right.
  UvRect paint = Rect(BodyPaint), metal = Rect(Metal), seat = Rect(SeatCloth);
  UvRect sides[6] = {paint, paint, paint, paint, paint, metal};
  m.Box(Vec3(-0.15f, 0, 0.05f), Vec3(1.55f, 0.62f, 0.22f), sides);  // tub
  UvRect badge[6] = {paint, paint, Rect(Marking), Rect(Marking), paint, paint};
  m.Box(Vec3(-0.45f, 0, 0.05f), Vec3(0.2f, 0.63f, 0.17f), badge);  // doors with the star
  UvRect hood[6] = {Rect(Grille), paint, paint, paint, Rect(Marking), metal};
  m.Box(Vec3(1.05f, 0, 0.12f), Vec3(0.62f, 0.62f, 0.23f), hood);
  for (int s = -1; s <= 1; s += 2) {
    // Fenders over the wheels, headlights on the front ones.
    m.Box(Vec3(1.30f, s * 0.80f, 0.26f), Vec3(0.42f, 0.18f, 0.04f), paint);
    m.Box(Vec3(-1.20f, s * 0.80f, 0.26f), Vec3(0.42f, 0.18f, 0.04f), paint);
    m.Cylinder(Vec3(1.66f, s * 0.45f, 0.22f), Vec3(0.05f, 0, 0), 0.08f, 0.08f, 8, Rect(Chrome),
               Rect(Light));
    // Seat backs and cushions.
    m.Box(Vec3(-0.05f, s * 0.32f, 0.33f), Vec3(0.20f, 0.22f, 0.06f), seat);
    m.Box(Vec3(-0.27f, s * 0.32f, 0.55f), Vec3(0.05f, 0.22f, 0.26f), seat);
    // Windscreen posts.
    m.Box(Vec3(0.45f, s * 0.60f, 0.65f), Vec3(0.03f, 0.03f, 0.30f), metal);
  }
  // Windscreen and its frame.
  m.Box(Vec3(0.45f, 0, 0.95f), Vec3(0.03f, 0.63f, 0.03f), metal);
  m.Box(Vec3(0.45f, 0, 0.65f), Vec3(0.01f, 0.57f, 0.27f), Rect(Glass));
  // Steering wheel in front of the driver (left seat).
  m.Cylinder(Vec3(0.25f, -0.32f, 0.55f), Vec3(-0.04f, 0, 0.03f), 0.17f, 0.17f, 10, Rect(Dark),
             Rect(Dark));
  // Roll bar, spare wheel, and the gunner's post with its machine gun.
  m.Box(Vec3(-0.95f, 0.58f, 0.65f), Vec3(0.04f, 0.04f, 0.40f), metal);
  m.Box(Vec3(-0.95f, -0.58f, 0.65f), Vec3(0.04f, 0.04f, 0.40f), metal);
  m.Box(Vec3(-0.95f, 0, 1.05f), Vec3(0.04f, 0.62f, 0.04f), metal);
  m.Cylinder(Vec3(-1.73f, 0, 0.25f), Vec3(-0.2f, 0, 0), 0.34f, 0.34f, 12, Rect(Tyre), Rect(Hub));
  m.Cylinder(Vec3(-1.25f, 0, 0.27f), Vec3(0, 0, 0.85f), 0.04f, 0.04f, 8, metal, metal);
  m.Box(Vec3(-1.15f, 0, 1.16f), Vec3(0.25f, 0.05f, 0.06f), metal);
  m.Cylinder(Vec3(-0.90f, 0, 1.17f), Vec3(0.55f, 0, 0), 0.02f, 0.02f, 8, metal, metal);
}

void BuildWheel(MeshBuilder& m) {
  m.Cylinder(Vec3(0, -0.14f, 0), Vec3(0, 0.28f, 0), 0.40f, 0.40f, 14, Rect(Tyre), Rect(Hub));
  m.Cylinder(Vec3(0, -0.16f, 0), Vec3(0, 0.32f, 0), 0.17f, 0.17f, 8, Rect(Hub), Rect(Hub));
}

}  // namespace

void WriteVehicleModels(OutputFolder& out) {
  const std::string folder = "models\\vehicles\\";
  const std::string texture = std::string(BuggyModel) + ".png";
  MbmModel model;
  BuildBody(model.AddMesh("BuggyBody", texture));
  static const char* const wheels[4] = {"Bone_F_R_Wheel_2", "Bone_F_L_Wheel_2", "Bone_B_R_Wheel_2",
                                        "Bone_B_L_Wheel_2"};
  static const Vec3 wheelPlaces[4] = {Vec3(1.30f, 0.80f, -0.20f), Vec3(1.30f, -0.80f, -0.20f),
                                      Vec3(-1.20f, 0.80f, -0.20f), Vec3(-1.20f, -0.80f, -0.20f)};
  for (int i = 0; i < 4; ++i) BuildWheel(model.AddMesh(std::string(wheels[i]) + "_mesh", texture));

  // The root has no mesh and one child, so the body's sphere centres on the tub.
  model.AddBone(BuggyModel, "", Vec3());
  model.AddBone("Bone_Body", BuggyModel, Vec3(0, 0, 0.60f), "BuggyBody");
  for (int i = 0; i < 4; ++i)
    model.AddBone(wheels[i], "Bone_Body", wheelPlaces[i], std::string(wheels[i]) + "_mesh");
  // Riders stand on the floor of the tub: the driver on the left, the gunner at
  // the machine gun behind the seats.
  static const Vec3 seatPlaces[BuggySeatCount] = {Vec3(-0.05f, -0.32f, -0.15f),
                                                 Vec3(-1.45f, 0, -0.15f)};
  for (int i = 0; i < BuggySeatCount; ++i) model.AddBone(BuggySeats[i], "Bone_Body", seatPlaces[i]);
  out.Write(folder + BuggyModel + ".mbm", model.Text());
  out.Write(folder + texture, PaintAtlas().ToPng());
}
