// Rotations built from directions: heading about +z, then pitch about the
// horizontal axis at right angles to the direction.
#include "core/matrix.h"

#include <cmath>

static const float Pi = 3.1415927f;
static const float TwoPi = 6.2831855f;
static const float HalfPi = 1.5707964f;

static float Clamp1(float c) {
    return c > 1.0f ? 1.0f : (c < -1.0f ? -1.0f : c);
}

static Matrix3& RotationZ(Matrix3& out, float angle) {
    float c = std::cos(angle);
    float s = std::sin(angle);
    out = Matrix3{{c, -s, 0, s, c, 0, 0, 0, 1}};
    return out;
}

Matrix4& Matrix4FromDirection(const Vector3& direction, Matrix4& out) {
    const Vector3& d = direction;
    // A vertical direction has no heading; take 0 rather than normalising
    // a zero vector into NaN.
    float hx = 1.0f, hy = 0.0f;
    float hl = std::sqrt(d.x * d.x + d.y * d.y);
    if (hl >= 1e-6f) {
        hx = d.x / hl;
        hy = d.y / hl;
    }
    float heading = std::fabs(hx) > 1.0f ? 0.0f : std::acos(hx);
    if (hy < 0.0f) {
        heading = -heading;
    }
    float pc = d.x * hx + d.y * hy;
    float pitch = std::fabs(pc) > 1.0f ? 0.0f : std::acos(pc);
    if (d.z < 0.0f) {
        pitch = -pitch;
    }
    // (hy, -hx, 0) points the same way as (d.y, -d.x, 0) and stays defined
    // for a vertical direction.
    Matrix3 h, p;
    RotationZ(h, heading);
    Matrix3RotationAxis(p, Vector3{hy, -hx, 0.0f}, pitch);
    Matrix3Multiply(p, p, h);
    return Matrix4FromMatrix3(out, p);
}

struct TurnAngles {
    float azimuth;
    float elevation; // pi/2 - polar angle from -z: negative when pointing up
};

// The cosines are clamped: rounding can push x / sin p just past 1, and a
// NaN azimuth would be kept by the caller as its direction for good.
static TurnAngles DirectionAngles(const Vector3& v) {
    float p = std::acos(Clamp1(-v.z));
    float sp = std::sin(p);
    float ca = std::fabs(sp) > 0.0001f ? v.x / sp : v.x;
    TurnAngles a;
    a.azimuth = std::acos(Clamp1(ca));
    if (v.y < 0.0f) {
        a.azimuth = -a.azimuth;
    }
    a.elevation = HalfPi - p;
    return a;
}

Matrix4& Matrix4TurnToward(const Vector3& target, const Vector3& current, Matrix4& out, float dt,
                           float rate) {
    TurnAngles t = DirectionAngles(target);
    TurnAngles c = DirectionAngles(current);
    if (std::fabs(t.azimuth - c.azimuth) > Pi) {
        t.azimuth += t.azimuth < 0.0f ? TwoPi : -TwoPi;
    }
    if (std::fabs(t.elevation - c.elevation) > Pi) {
        t.elevation += t.elevation < 0.0f ? TwoPi : -TwoPi;
    }
    float step = dt * rate;
    float dh = t.azimuth - c.azimuth;
    float headingStep = std::fmin(step, std::fabs(dh));
    if (dh < 0.0f) {
        headingStep = -headingStep;
    }
    float pitchStep = std::fmin(step, std::fabs(t.elevation - c.elevation));
    if (!(t.elevation < c.elevation)) {
        pitchStep = -pitchStep;
    }
    // The pitch axis comes from the direction before the heading turn. For a
    // vertical current direction it is taken from its azimuth instead, which
    // points the same way whenever (C.y, -C.x) is defined.
    Vector3 axis{current.y, -current.x, 0.0f};
    if (current.x * current.x + current.y * current.y < 1e-12f) {
        axis = Vector3{std::sin(c.azimuth), -std::cos(c.azimuth), 0.0f};
    }
    Matrix3 h, p;
    RotationZ(h, headingStep);
    Matrix3RotationAxis(p, axis, pitchStep);
    Matrix3Multiply(p, p, h);
    return Matrix4FromMatrix3(out, p);
}
