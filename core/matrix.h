// Row-major 3x3 and 4x4 float matrices. Element index = row * n + column.
// A point transforms as M.(p, 1) (column vector on the right); an affine
// Matrix4 keeps its translation in elements 3, 7 and 11. A node's world
// matrix is parent world x local.
//
// Output first; every product computes into a temporary, so the output may
// be one of the inputs.
#ifndef CORE_MATRIX_H
#define CORE_MATRIX_H

#include "core/vector.h"

struct Matrix3 {
    float m[9] = {};
};

struct Matrix4 {
    float m[16] = {};
};

static_assert(sizeof(Matrix3) == 36, "Matrix3 is nine packed floats");
static_assert(sizeof(Matrix4) == 64, "Matrix4 is sixteen packed floats");

Matrix3& Matrix3Identity(Matrix3& m);
Matrix3& Matrix3Copy(Matrix3& out, const Matrix3& m);
Matrix3& Matrix3Transpose(Matrix3& out, const Matrix3& m);
Matrix3& Matrix3Multiply(Matrix3& out, const Matrix3& a, const Matrix3& b);
Vector3& Matrix3TransformVector3(Vector3& out, const Matrix3& m, const Vector3& v);
// Gauss-Jordan elimination without row swaps; a singular matrix gives
// non-finite entries (only transforms are inverted).
Matrix3& Matrix3Inverse(Matrix3& out, const Matrix3& m);
float Matrix3Determinant(const Matrix3& m);
// Right-handed rotation about an axis (normalised here) by an angle.
Matrix3& Matrix3RotationAxis(Matrix3& out, const Vector3& axis, float angle);
// Rows (c, 0, -s), (0, 1, 0), (s, 0, c): the opposite sense to
// Matrix3RotationAxis about +y.
Matrix3& Matrix3RotationY(Matrix3& out, float angle);
Matrix3& Matrix3FromMatrix4(Matrix3& out, const Matrix4& m);
// Eigenvalues and eigenvectors of a symmetric matrix (Householder reduction
// then QL). Eigenvector i is column i of vectors. False when the iteration
// did not converge.
bool EigenSymmetric3(const Matrix3& m, Vector3& values, Matrix3& vectors);

Matrix4& Matrix4Identity(Matrix4& m);
Matrix4& Matrix4Copy(Matrix4& out, const Matrix4& m);
Matrix4& Matrix4FromMatrix3(Matrix4& out, const Matrix3& m);
Vector3& Matrix4GetTranslation(Vector3& out, const Matrix4& m);
Matrix4& Matrix4Multiply(Matrix4& out, const Matrix4& a, const Matrix4& b);
// Rows 0-2 only (the affine part); the bottom row is not used.
Vector3& Matrix4TransformPoint(Vector3& out, const Matrix4& m, const Vector3& p);
Vector4& Matrix4TransformVector4(Vector4& out, const Matrix4& m, const Vector4& v);
Matrix4& Matrix4Transpose(Matrix4& out, const Matrix4& m);
Matrix4& Matrix4Inverse(Matrix4& out, const Matrix4& m);
float Matrix4Determinant(const Matrix4& m);

// Rotation that turns +x onto a unit direction with no roll. Note the
// argument order: direction first, output second.
Matrix4& Matrix4FromDirection(const Vector3& direction, Matrix4& out);
// Rotation that turns the current direction toward the target by at most
// dt * rate radians in heading and in pitch. Apply it to current with
// Matrix4TransformPoint. Note the argument order.
Matrix4& Matrix4TurnToward(const Vector3& target, const Vector3& current, Matrix4& out, float dt,
                           float rate);

#endif
