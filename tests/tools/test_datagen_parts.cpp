// Pieces of the data generator that every generated file goes through: the PNG
// writer, the number format, face winding and the mesh file's identifier.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "tools/datagen/canvas.h"
#include "tools/datagen/hash.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/png_writer.h"
#include "tools/datagen/text_format.h"

namespace {

unsigned long Big32(const std::vector<unsigned char>& b, size_t at) {
  return ((unsigned long)b[at] << 24) | ((unsigned long)b[at + 1] << 16) | ((unsigned long)b[at + 2] << 8) |
         b[at + 3];
}

// Outward normal of triangle t of the builder: (b - a) x (c - a).
Vec3 FaceNormal(const MeshBuilder& m, size_t t) {
  const std::vector<FaceVertex>& v = m.Vertices();
  const std::vector<int>& i = m.Indices();
  Vec3 a = v[i[t]].p, b = v[i[t + 1]].p, c = v[i[t + 2]].p;
  return Cross(b - a, c - a);
}

}  // namespace

TEST(DatagenParts, PngChunksCarryValidCrcsAndTheRowsInflateToThePixels) {
  std::vector<unsigned char> rgba;
  for (int i = 0; i < 3 * 2 * 4; ++i) rgba.push_back((unsigned char)(i * 11));
  std::vector<unsigned char> png = EncodePng(3, 2, rgba);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  std::vector<unsigned char> idat;
  std::vector<std::string> types;
  for (size_t at = 8; at + 12 <= png.size();) {
    size_t length = Big32(png, at);
    ASSERT_LE(at + 12 + length, png.size());
    std::string type(png.begin() + at + 4, png.begin() + at + 8);
    types.push_back(type);
    uLong crc = crc32(crc32(0L, Z_NULL, 0), png.data() + at + 4, (uInt)(length + 4));
    EXPECT_EQ(crc, Big32(png, at + 8 + length)) << type;
    if (type == "IHDR") {
      EXPECT_EQ(Big32(png, at + 8), 3u);
      EXPECT_EQ(Big32(png, at + 12), 2u);
    }
    if (type == "IDAT") idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
    at += 12 + length;
  }
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  std::vector<unsigned char> raw(2 * (1 + 3 * 4));
  uLongf rawSize = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &rawSize, idat.data(), idat.size()), Z_OK);
  ASSERT_EQ(rawSize, raw.size());
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(raw[y * 13], 0);  // filter: none
    EXPECT_TRUE(std::equal(rgba.begin() + y * 12, rgba.begin() + y * 12 + 12, raw.begin() + y * 13 + 1));
  }
}

TEST(DatagenParts, OpaqueBlackIsLiftedSoTheColourKeyLeavesItAlone) {
  Canvas img(2, 1, Colour(0, 0, 0, 1));
  img.Set(1, 0, Colour(0, 0, 0, 0));
  std::vector<unsigned char> out = img.ToRgba();
  EXPECT_EQ(std::vector<unsigned char>(out.begin(), out.begin() + 4), (std::vector<unsigned char>{1, 1, 1, 255}));
  EXPECT_EQ(std::vector<unsigned char>(out.begin() + 4, out.end()), (std::vector<unsigned char>{0, 0, 0, 0}));
}

TEST(DatagenParts, NumbersNeverPrintAsNegativeZero) {
  EXPECT_EQ(FormatFloat(-0.00001f), "0.0000");
  EXPECT_EQ(FormatFloat(-0.0f), "0.0000");
  EXPECT_EQ(FormatFloat(-1.5f), "-1.5000");
  EXPECT_EQ(FormatFloat(0.25f, 2), "0.25");
}

TEST(DatagenParts, FacesTurnOutwardWhicheverWayTheirCornersAreGiven) {
  for (int reversed = 0; reversed < 2; ++reversed) {
    MeshBuilder m("m", "t.png");
    std::vector<FaceVertex> quad(4);
    quad[0].p = Vec3(0, 0, 1);
    quad[1].p = Vec3(1, 0, 1);
    quad[2].p = Vec3(1, 1, 1);
    quad[3].p = Vec3(0, 1, 1);
    if (reversed) std::swap(quad[1], quad[3]);
    m.Polygon(quad, Vec3(0.5f, 0.5f, 0));
    ASSERT_EQ(m.Indices().size(), 6u);
    for (size_t t = 0; t < 6; t += 3) EXPECT_GT(FaceNormal(m, t).z, 0) << reversed;
    for (const FaceVertex& v : m.Vertices()) EXPECT_FLOAT_EQ(v.n.z, 1.0f);
  }
}

TEST(DatagenParts, ShapesAreClosedWithEveryFaceOutward) {
  MeshBuilder m("m", "t.png");
  m.SetPlacement(AxisAngle(Vec3(0, 0, 1), 0.7f), Vec3(3, -2, 1));
  m.Box(Vec3(), Vec3(1, 2, 0.5f), UvRect());
  m.Cylinder(Vec3(4, 0, 0), Vec3(0, 0, 2), 0.5f, 0.0f, 8, UvRect(), UvRect());
  m.Ellipsoid(Vec3(-4, 0, 0), Vec3(1, 1, 2), 5, 7, UvRect());
  const std::vector<FaceVertex>& v = m.Vertices();
  const std::vector<int>& idx = m.Indices();
  ASSERT_EQ(idx.size() % 3, 0u);
  for (size_t t = 0; t < idx.size(); t += 3) {
    Vec3 n = FaceNormal(m, t);
    EXPECT_GT(Length(n), 0) << "empty triangle " << t / 3;
    EXPECT_GT(Dot(n, v[idx[t]].n + v[idx[t + 1]].n + v[idx[t + 2]].n), 0) << "triangle " << t / 3;
  }
}

TEST(DatagenParts, AMeshFileIdentifiesItsContent) {
  auto text = [](float x) {
    MbmModel model;
    model.AddMesh("Body", "body.png").Box(Vec3(x, 0, 0), Vec3(1, 1, 1), UvRect());
    model.AddBone("Root", "", Vec3());
    model.AddBone("Body", "Root", Vec3(0, 0, 1), "Body");
    return model.Text();
  };
  std::string a = text(0), b = text(0.5f);
  EXPECT_EQ(a, text(0));
  for (const std::string& t : {a, b}) {
    size_t close = t.find(" }\n");
    ASSERT_EQ(t.compare(0, 11, "RandomID { "), 0);
    EXPECT_EQ(t.substr(11, close - 11), std::to_string(MeshCacheId(t.substr(close + 3))));
  }
  EXPECT_NE(a.substr(0, a.find('\n')), b.substr(0, b.find('\n')));
  EXPECT_NE(a.find("  Child { Body }\n"), std::string::npos);
  EXPECT_NE(a.find("Vertices { PNT2 24\n"), std::string::npos);  // shared corners per face only
  EXPECT_NE(a.find("Indices { 36\n"), std::string::npos);
}
