#include "render/render_maths.h"

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "core/matrix.h"

void MatrixToGLOrder(float out[16], const Matrix4& m) {
    float t[16];
    for (int row = 0; row < 4; row++)
        for (int col = 0; col < 4; col++)
            t[col * 4 + row] = m.m[row * 4 + col];
    memcpy(out, t, sizeof(t));
}

void MatrixFromGLOrder(Matrix4& out, const float in[16]) {
    float t[16];
    for (int row = 0; row < 4; row++)
        for (int col = 0; col < 4; col++)
            t[row * 4 + col] = in[col * 4 + row];
    memcpy(out.m, t, sizeof(t));
}

void MultiplyGLOrder(float out[16], const float a[16], const float b[16]) {
    float t[16];
    for (int col = 0; col < 4; col++) {
        for (int row = 0; row < 4; row++) {
            float sum = 0.0f;
            for (int k = 0; k < 4; k++)
                sum += a[k * 4 + row] * b[col * 4 + k];
            t[col * 4 + row] = sum;
        }
    }
    memcpy(out, t, sizeof(t));
}

void MakeModelView(float out[16], const float viewGL[16], const float worldGL[16]) {
    MultiplyGLOrder(out, viewGL, worldGL);
}

void MakeScreenProjection(float out[16], int width, int height) {
    memset(out, 0, 16 * sizeof(float));
    out[0] = 2.0f / float(width);
    out[5] = -2.0f / float(height);
    out[10] = -1.0f;
    out[12] = -1.0f;
    out[13] = 1.0f;
    out[15] = 1.0f;
}

void MakePerspectiveMatrix(Matrix4& out, float fieldOfView, float heightOverWidth,
                           float nearPlane, float farPlane) {
    float f = 1.0f / tanf(fieldOfView * 0.5f);
    Matrix4 m;
    m.m[0] = heightOverWidth * f;
    m.m[5] = f;
    m.m[10] = farPlane / (farPlane - nearPlane);
    m.m[11] = 1.0f;
    m.m[14] = nearPlane * farPlane / (nearPlane - farPlane);
    out = m;
}

ViewportRect FlipViewport(const ViewportRect& rect, int setupHeight) {
    ViewportRect gl = rect;
    gl.y = setupHeight - rect.y - rect.height;
    return gl;
}

void UnpackColour(uint32_t colour, float rgba[4]) {
    for (int i = 0; i < 4; i++)
        rgba[i] = float((colour >> (i * 8)) & 0xFF) / 255.0f;
}

uint32_t AlphaToWhite(float alpha) {
    if (!(alpha > 0.0f))   // also NaN
        alpha = 0.0f;
    if (alpha > 1.0f)
        alpha = 1.0f;
    return (uint32_t(alpha * 255.0f) << 24) | 0xFFFFFFu;
}

uint32_t AverageColour(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t sum = ((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + ((c >> shift) & 0xFF) +
                       ((d >> shift) & 0xFF);
        out |= (sum / 4) << shift;
    }
    return out;
}

void SpriteCorners(float out[8], float textureWidth, float textureHeight, float x, float y,
                   float angle, float scale) {
    float hw = textureWidth * 0.5f * scale;
    float hh = textureHeight * 0.5f * scale;
    const float corners[8] = {-hw, -hh, hw, -hh, hw, hh, -hw, hh};
    float c = cosf(angle), s = sinf(angle);
    for (int i = 0; i < 4; i++) {
        float cx = corners[i * 2], cy = corners[i * 2 + 1];
        if (angle != 0.0f) {
            float rx = c * cx - s * cy;
            float ry = c * cy + s * cx;
            cx = rx;
            cy = ry;
        }
        out[i * 2] = cx + x;
        out[i * 2 + 1] = cy + y;
    }
}

void RectCorners(float out[8], float x0, float y0, float x1, float y1) {
    const float corners[8] = {x0, y0, x1, y0, x1, y1, x0, y1};
    for (int i = 0; i < 8; i++)
        out[i] = corners[i] + 0.5f;
}

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

bool CheckedSize(size_t& out, int64_t a, int64_t b, int64_t c, int64_t bytesPerItem, size_t limit) {
    out = 0;
    const int64_t factors[4] = {a, b, c, bytesPerItem};
    uint64_t total = 1;
    for (int64_t f : factors) {
        if (f < 0)
            return false;
        if (f != 0 && total > uint64_t(limit) / uint64_t(f))
            return false;
        total *= uint64_t(f);
    }
    if (total > limit)
        return false;
    out = size_t(total);
    return true;
}

int PrefixLineCount(const std::string& prefix) {
    int lines = 1;
    for (char ch : prefix)
        if (ch == '\n')
            lines++;
    return lines;
}

static std::string RewriteLogLine(const std::string& line, int lineOffset) {
    // Find the word holding the number: the first when the line starts with
    // '(', else the second. Lines of one word stay as they are.
    std::vector<std::pair<size_t, size_t>> words;
    size_t i = 0;
    while (i < line.size() && words.size() < 2) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            i++;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            i++;
        if (i > start)
            words.push_back(std::make_pair(start, i));
    }
    if (words.size() < 2)
        return line;
    std::pair<size_t, size_t> w = (!line.empty() && line[0] == '(') ? words[0] : words[1];
    size_t firstDigit = std::string::npos, lastDigit = 0;
    long number = 0;
    for (size_t k = w.first; k < w.second; k++) {
        if (line[k] >= '0' && line[k] <= '9') {
            if (firstDigit == std::string::npos)
                firstDigit = k;
            lastDigit = k;
            if (number < 100000000)
                number = number * 10 + (line[k] - '0');
        }
    }
    if (firstDigit == std::string::npos)
        return line;
    return line.substr(0, firstDigit) + std::to_string(number - lineOffset) +
           line.substr(lastDigit + 1);
}

std::string RewriteShaderLog(const std::string& log, int lineOffset) {
    std::string out;
    size_t start = 0;
    while (start <= log.size()) {
        size_t end = log.find('\n', start);
        bool last = end == std::string::npos;
        if (last)
            end = log.size();
        out += RewriteLogLine(log.substr(start, end - start), lineOffset);
        if (last)
            break;
        out += '\n';
        start = end + 1;
    }
    return out;
}
