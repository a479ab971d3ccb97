#include "tools/datagen/mesh_builder.h"

#include <cmath>

#include "tools/datagen/hash.h"
#include "tools/datagen/text_format.h"

UvRect AtlasCell(int column, int row, int cells, float inset) {
  float size = 1.0f / cells;
  UvRect r;
  r.u0 = (column + inset) * size;
  r.u1 = (column + 1 - inset) * size;
  r.v0 = (row + inset) * size;
  r.v1 = (row + 1 - inset) * size;
  return r;
}

void MeshBuilder::AddTriangle(const FaceVertex& a, const FaceVertex& b, const FaceVertex& c) {
  const FaceVertex* corners[3] = {&a, &b, &c};
  for (const FaceVertex* v : corners) {
    std::string key = FormatFloat(v->p.x) + " " + FormatFloat(v->p.y) + " " + FormatFloat(v->p.z) +
                      " " + FormatFloat(v->n.x) + " " + FormatFloat(v->n.y) + " " +
                      FormatFloat(v->n.z) + " " + FormatFloat(v->u) + " " + FormatFloat(v->v);
    auto found = vertexIndex_.find(key);
    if (found == vertexIndex_.end()) {
      found = vertexIndex_.emplace(key, (int)vertices_.size()).first;
      vertices_.push_back(key);
      raw_.push_back(*v);
    }
    indices_.push_back(found->second);
  }
}

void MeshBuilder::Polygon(std::vector<FaceVertex> corners, Vec3 inside) {
  if (corners.size() < 3) return;
  inside = Place(inside);
  Vec3 centroid;
  for (FaceVertex& v : corners) {
    v.p = Place(v.p);
    v.n = Rotate(rotation_, v.n);
    centroid = centroid + v.p;
  }
  centroid = centroid * (1.0f / corners.size());
  // Newell's normal copes with a repeated corner.
  Vec3 normal;
  for (size_t i = 0; i < corners.size(); ++i) {
    Vec3 p = corners[i].p, q = corners[(i + 1) % corners.size()].p;
    normal = normal + Vec3((p.y - q.y) * (p.z + q.z), (p.z - q.z) * (p.x + q.x),
                           (p.x - q.x) * (p.y + q.y));
  }
  if (Length(normal) < 1e-9f) return;
  if (Dot(normal, centroid - inside) < 0) {
    std::vector<FaceVertex> reversed(corners.rbegin(), corners.rend());
    corners.swap(reversed);
    normal = -normal;
  }
  Vec3 flat = Normalize(normal);
  for (FaceVertex& v : corners) v.n = Length(v.n) < 1e-6f ? flat : Normalize(v.n);
  for (size_t i = 1; i + 1 < corners.size(); ++i) {
    // A cone's tip or a pole repeats a corner: leave out the empty triangle.
    Vec3 n = Cross(corners[i].p - corners[0].p, corners[i + 1].p - corners[0].p);
    if (Length(n) > 1e-10f) AddTriangle(corners[0], corners[i], corners[i + 1]);
  }
}

void MeshBuilder::Block(const Vec3 c[8], const UvRect rects[6]) {
  // Per face: bottom-left, bottom-right, top-right, top-left as seen from outside.
  static const int faces[6][4] = {{3, 1, 5, 7}, {0, 2, 6, 4}, {2, 3, 7, 6},
                                  {1, 0, 4, 5}, {4, 6, 7, 5}, {2, 0, 1, 3}};
  Vec3 inside;
  for (int i = 0; i < 8; ++i) inside = inside + c[i];
  inside = inside * 0.125f;
  for (int f = 0; f < 6; ++f) {
    const UvRect& r = rects[f];
    std::vector<FaceVertex> quad(4);
    float us[4] = {r.u0, r.u1, r.u1, r.u0}, vs[4] = {r.v1, r.v1, r.v0, r.v0};
    for (int k = 0; k < 4; ++k) {
      quad[k].p = c[faces[f][k]];
      quad[k].u = us[k];
      quad[k].v = vs[k];
    }
    Polygon(quad, inside);
  }
}

void MeshBuilder::Box(Vec3 centre, Vec3 half, const UvRect rects[6]) {
  Vec3 c[8];
  for (int i = 0; i < 8; ++i)
    c[i] = centre + Vec3(i & 1 ? half.x : -half.x, i & 2 ? half.y : -half.y, i & 4 ? half.z : -half.z);
  Block(c, rects);
}

void MeshBuilder::Box(Vec3 centre, Vec3 half, const UvRect& rect) {
  UvRect rects[6] = {rect, rect, rect, rect, rect, rect};
  Box(centre, half, rects);
}

void MeshBuilder::Taper(Vec3 bottom, float bx, float by, Vec3 top, float tx, float ty,
                        const UvRect rects[6]) {
  Vec3 c[8];
  for (int i = 0; i < 8; ++i) {
    bool up = i & 4;
    float hx = up ? tx : bx, hy = up ? ty : by;
    c[i] = (up ? top : bottom) + Vec3(i & 1 ? hx : -hx, i & 2 ? hy : -hy, 0);
  }
  Block(c, rects);
}

void MeshBuilder::Taper(Vec3 bottom, float bx, float by, Vec3 top, float tx, float ty,
                        const UvRect& rect) {
  UvRect rects[6] = {rect, rect, rect, rect, rect, rect};
  Taper(bottom, bx, by, top, tx, ty, rects);
}

void MeshBuilder::Beam(Vec3 start, float hy0, float hz0, Vec3 end, float hy1, float hz1,
                       const UvRect& rect) {
  Vec3 c[8];
  for (int i = 0; i < 8; ++i) {
    bool far = i & 1;
    float hy = far ? hy1 : hy0, hz = far ? hz1 : hz0;
    c[i] = (far ? end : start) + Vec3(0, i & 2 ? hy : -hy, i & 4 ? hz : -hz);
  }
  UvRect rects[6] = {rect, rect, rect, rect, rect, rect};
  Block(c, rects);
}

// Two unit vectors at right angles to the axis.
static void AxisFrame(Vec3 axis, Vec3& u, Vec3& w) {
  Vec3 a = Normalize(axis);
  Vec3 helper = std::fabs(a.z) < 0.9f ? Vec3(0, 0, 1) : Vec3(1, 0, 0);
  u = Normalize(Cross(helper, a));
  w = Cross(a, u);
}

void MeshBuilder::Cylinder(Vec3 base, Vec3 axis, float r0, float r1, int segments,
                           const UvRect& side, const UvRect& cap, bool caps) {
  Vec3 u, w, a = Normalize(axis);
  AxisFrame(axis, u, w);
  float height = Length(axis);
  Vec3 inside = base + axis * 0.5f;
  // Side normals lean toward the narrow end by the taper.
  float lean = height > 0 ? (r0 - r1) / height : 0;
  std::vector<FaceVertex> bottom(segments), top(segments);
  for (int i = 0; i < segments; ++i) {
    float t0 = 2 * Pi * i / segments, t1 = 2 * Pi * (i + 1) / segments;
    Vec3 d0 = u * std::cos(t0) + w * std::sin(t0), d1 = u * std::cos(t1) + w * std::sin(t1);
    FaceVertex q[4];
    q[0].p = base + d0 * r0;
    q[1].p = base + d1 * r0;
    q[2].p = base + axis + d1 * r1;
    q[3].p = base + axis + d0 * r1;
    q[0].n = q[3].n = Normalize(d0 + a * lean);
    q[1].n = q[2].n = Normalize(d1 + a * lean);
    float su0 = side.u0 + (side.u1 - side.u0) * i / segments;
    float su1 = side.u0 + (side.u1 - side.u0) * (i + 1) / segments;
    q[0].u = q[3].u = su0;
    q[1].u = q[2].u = su1;
    q[0].v = q[1].v = side.v1;
    q[2].v = q[3].v = side.v0;
    Polygon({q[0], q[1], q[2], q[3]}, inside);
    bottom[i].p = q[0].p;
    top[i].p = q[3].p;
    float cu = (cap.u0 + cap.u1) * 0.5f, cv = (cap.v0 + cap.v1) * 0.5f;
    float hu = (cap.u1 - cap.u0) * 0.5f, hv = (cap.v1 - cap.v0) * 0.5f;
    bottom[i].u = top[i].u = cu + std::cos(t0) * hu;
    bottom[i].v = top[i].v = cv + std::sin(t0) * hv;
  }
  if (caps) {
    if (r0 > 0) Polygon(bottom, inside);
    if (r1 > 0) Polygon(top, inside);
  }
}

void MeshBuilder::Ellipsoid(Vec3 centre, Vec3 radii, int rings, int segments, const UvRect& rect) {
  auto point = [&](int ring, int seg) {
    float lat = Pi * ring / rings - Pi * 0.5f;  // -pi/2 (bottom) .. pi/2 (top)
    float lon = 2 * Pi * seg / segments;
    Vec3 d(std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat));
    FaceVertex v;
    v.p = centre + Vec3(d.x * radii.x, d.y * radii.y, d.z * radii.z);
    v.n = Normalize(Vec3(d.x / radii.x, d.y / radii.y, d.z / radii.z));
    v.u = rect.u0 + (rect.u1 - rect.u0) * seg / segments;
    v.v = rect.v1 - (rect.v1 - rect.v0) * ring / rings;
    return v;
  };
  for (int ring = 0; ring < rings; ++ring)
    for (int seg = 0; seg < segments; ++seg) {
      FaceVertex a = point(ring, seg), b = point(ring, seg + 1);
      FaceVertex c = point(ring + 1, seg + 1), d = point(ring + 1, seg);
      if (ring == 0)
        Polygon({a, c, d}, centre);
      else if (ring == rings - 1)
        Polygon({a, b, d}, centre);
      else
        Polygon({a, b, c, d}, centre);
    }
}

std::string MeshBuilder::MeshText() const {
  std::string t = "Mesh {\n  Name { " + name_ + " }\n  Chunk {\n";
  t += "    TextureC { 0 " + texture_ + " }\n";
  t += "    Vertices { PNT2 " + std::to_string(vertices_.size()) + "\n";
  for (const std::string& v : vertices_) t += "      " + v + "\n";
  t += "    }\n    Indices { " + std::to_string(indices_.size()) + "\n";
  for (size_t i = 0; i < indices_.size(); i += 3)
    t += "      " + std::to_string(indices_[i]) + " " + std::to_string(indices_[i + 1]) + " " +
         std::to_string(indices_[i + 2]) + "\n";
  t += "    }\n  }\n}\n";
  return t;
}

MeshBuilder& MbmModel::AddMesh(const std::string& name, const std::string& texture) {
  auto it = meshes_.emplace(name, MeshBuilder(name, texture)).first;
  order_.push_back(&it->second);
  return it->second;
}

void MbmModel::AddBone(const std::string& name, const std::string& parent, Vec3 position,
                       const std::string& mesh) {
  if (!parent.empty())
    for (Bone& b : bones_)
      if (b.name == parent) b.children.push_back(name);
  Bone bone;
  bone.name = name;
  bone.mesh = mesh;
  bone.position = position;
  bones_.push_back(bone);
}

std::string MbmModel::Text() const {
  std::string rest;
  for (const MeshBuilder* m : order_) rest += m->MeshText();
  for (const Bone& b : bones_) {
    rest += "Bone {\n  Name { " + b.name + " }\n";
    if (!b.mesh.empty()) rest += "  Mesh { " + b.mesh + " }\n";
    for (const std::string& c : b.children) rest += "  Child { " + c + " }\n";
    rest += "  ConnectPos { " + FormatFloat(b.position.x) + " " + FormatFloat(b.position.y) + " " +
            FormatFloat(b.position.z) + " }\n";
    rest += "  ConnectRot { 1 0 0 0 1 0 0 0 1 }\n}\n";
  }
  return "RandomID { " + std::to_string(MeshCacheId(rest)) + " }\n" + rest;
}
