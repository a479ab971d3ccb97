#ifndef DATAGEN_MESH_BUILDER_H
#define DATAGEN_MESH_BUILDER_H

#include <map>
#include <string>
#include <vector>

#include "tools/datagen/geometry.h"

// A region of a texture atlas in texture coordinates (v = 0 is the image's top row).
struct UvRect {
  float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};

// Cell (column, row) of a grid of cells x cells over a square atlas, inset by
// 'inset' of a cell on each side so that filtering does not bleed between cells.
UvRect AtlasCell(int column, int row, int cells, float inset = 0.08f);

struct FaceVertex {
  Vec3 p;
  float u = 0, v = 0;
  Vec3 n;  // zero: the face's own normal (flat shading)
};

// One mesh of a model: a name, one colour texture and textured triangles
// ("PNT2" vertices). Every face is wound so that it is a front face seen from
// outside: with a, b, c in order, (b - a) x (c - a) points away from the solid.
class MeshBuilder {
 public:
  MeshBuilder(const std::string& name, const std::string& texture) : name_(name), texture_(texture) {}

  const std::string& Name() const { return name_; }
  size_t VertexCount() const { return vertices_.size(); }

  // Later shapes are placed by this rotation and offset (model-space parts).
  void SetPlacement(Quat rotation, Vec3 offset) {
    rotation_ = rotation;
    offset_ = offset;
  }
  void ResetPlacement() { SetPlacement(Quat(), Vec3()); }

  // A convex planar polygon, fanned from its first corner; 'inside' is any point
  // of the solid it bounds, used to orient it outward.
  void Polygon(std::vector<FaceVertex> corners, Vec3 inside);

  // Eight corners indexed by bits: 1 = +x side, 2 = +y side, 4 = +z side. Faces
  // +x, -x, +y, -y, +z, -z take rects[0..5].
  void Block(const Vec3 corners[8], const UvRect rects[6]);
  void Box(Vec3 centre, Vec3 half, const UvRect& rect);
  void Box(Vec3 centre, Vec3 half, const UvRect rects[6]);
  // A box whose -z end has half sizes (bx, by) around 'bottom' and whose +z end
  // has (tx, ty) around 'top' (limbs, torsos).
  void Taper(Vec3 bottom, float bx, float by, Vec3 top, float tx, float ty, const UvRect& rect);
  void Taper(Vec3 bottom, float bx, float by, Vec3 top, float tx, float ty, const UvRect rects[6]);
  // A block from 'start' to 'end' (end further along +x) with half sizes (hy, hz)
  // at each end: stocks, blades, tapered barrels and hulls.
  void Beam(Vec3 start, float hy0, float hz0, Vec3 end, float hy1, float hz1, const UvRect& rect);
  // A round prism from 'base' along 'axis' (whose length is the height), radii at
  // both ends, smooth sides, flat caps.
  void Cylinder(Vec3 base, Vec3 axis, float radius0, float radius1, int segments,
                const UvRect& side, const UvRect& cap, bool caps = true);
  // An ellipsoid with smooth normals.
  void Ellipsoid(Vec3 centre, Vec3 radii, int rings, int segments, const UvRect& rect);

  // The "Mesh" group of a mesh file.
  std::string MeshText() const;

  // The vertices (as written) and the triangles' vertex numbers, for pictures.
  const std::vector<FaceVertex>& Vertices() const { return raw_; }
  const std::vector<int>& Indices() const { return indices_; }

 private:
  void AddTriangle(const FaceVertex& a, const FaceVertex& b, const FaceVertex& c);
  Vec3 Place(Vec3 p) const { return Rotate(rotation_, p) + offset_; }

  std::string name_, texture_;
  Quat rotation_;
  Vec3 offset_;
  std::vector<std::string> vertices_;  // formatted "x y z nx ny nz u v"
  std::vector<FaceVertex> raw_;
  std::map<std::string, int> vertexIndex_;
  std::vector<int> indices_;
};

// A model: meshes and a tree of bones, written as one ".mbm" text that begins
// with its "RandomID" group.
class MbmModel {
 public:
  MeshBuilder& AddMesh(const std::string& name, const std::string& texture);
  // A bone placed at 'position' in its parent's frame, with the identity rotation.
  // An empty parent makes the root; an empty mesh name leaves the bone without one.
  void AddBone(const std::string& name, const std::string& parent, Vec3 position,
               const std::string& mesh = std::string());

  std::string Text() const;

 private:
  struct Bone {
    std::string name, mesh;
    std::vector<std::string> children;
    Vec3 position;
  };
  std::vector<MeshBuilder*> order_;
  std::map<std::string, MeshBuilder> meshes_;
  std::vector<Bone> bones_;
};

#endif
