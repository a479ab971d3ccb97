// Rotation quaternions, scalar first (w, x, y, z); the product is the
// Hamilton product. Output first, except where noted.
#ifndef CORE_QUATERNION_H
#define CORE_QUATERNION_H

#include "core/matrix.h"
#include "core/vector.h"

struct Quaternion {
    float w = 1.0f, x = 0.0f, y = 0.0f, z = 0.0f;
};

static_assert(sizeof(Quaternion) == 16, "Quaternion is four packed floats");

Quaternion& QuaternionCopy(Quaternion& out, const Quaternion& q);
// No test for a zero quaternion.
Quaternion& QuaternionNormalize(Quaternion& out, const Quaternion& q);
// Conjugate divided by q.q.
Quaternion& QuaternionInverse(Quaternion& out, const Quaternion& q);
Quaternion& QuaternionMultiply(Quaternion& out, const Quaternion& a, const Quaternion& b);

// Logarithm: (x, y, z) normalised times acos(w), the half-angle rotation
// vector; zero when |(x, y, z)| < 0.00001. Note the argument order.
Vector3& QuaternionToAxisAngle(const Quaternion& q, Vector3& out);
// Exponential, the inverse of QuaternionToAxisAngle: w = cos a,
// (x, y, z) = v sin a / a with a = |v|. Note the argument order.
Quaternion& QuaternionFromRotationVector(const Vector3& v, Quaternion& out);

Quaternion& QuaternionFromMatrix3(Quaternion& out, const Matrix3& m);
// As QuaternionFromMatrix3 on the rotation part; exact ties between diagonal
// elements pick the branch differently.
Quaternion& QuaternionFromMatrix4(Quaternion& out, const Matrix4& m);

// Rotation at fraction t from 'from' to 'to'. No hemisphere test: quaternions
// of opposite sign interpolate the long way round.
Quaternion& QuaternionInterpolate(Quaternion& out, const Quaternion& from, const Quaternion& to,
                                  float t);
// QuaternionInterpolate in two halves, for callers that interpolate between
// the same pair many times: the arc (the logarithm of to * from^-1) depends
// only on the pair, and the second half gives the same result for it.
Vector3 QuaternionInterpolationArc(const Quaternion& from, const Quaternion& to);
Quaternion& QuaternionInterpolateArc(Quaternion& out, const Quaternion& from, const Vector3& arc,
                                     float t);
// As QuaternionInterpolate, after flipping 'from' into the hemisphere of 'to'.
Quaternion& QuaternionInterpolateShortest(Quaternion& out, const Quaternion& from,
                                          const Quaternion& to, float t);

#endif
