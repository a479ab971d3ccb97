#include "render/immediate_batch.h"

#include "core/error.h"
#include "render/backend.h"

VertexLayout MakeImmediateVertexLayout() {
    return VertexLayout{{VET_FLOAT3, VU_POSITION}, {VET_FLOAT3, VU_NORMAL}, {VET_COLOUR, VU_COLOUR},
                        {VET_FLOAT4, VU_TEXCOORD}};
}

bool CImmediateBatch::Begin(int newType) {
    if (begun)
        return false;
    if (newType < PRIM_POINTS || newType > PRIM_TRIANGLE_FAN) {
        ReportError("Error", "BeginPrimitive()-unknown primitive type");
        return false;
    }
    begun = true;
    type = newType;
    store.clear();
    current = ImmediateVertex{};
    current.colour = 0xFFFFFFFFu;
    return true;
}

void CImmediateBatch::SetNormal(float x, float y, float z) {
    current.normal[0] = x;
    current.normal[1] = y;
    current.normal[2] = z;
}

void CImmediateBatch::SetTexCoord(float s, float t, float r, float q) {
    current.texCoord[0] = s;
    current.texCoord[1] = t;
    current.texCoord[2] = r;
    current.texCoord[3] = q;
}

void CImmediateBatch::Add(float x, float y, float z) {
    if (!begun)
        return;
    current.position[0] = x;
    current.position[1] = y;
    current.position[2] = z;
    store.push_back(current);
}

bool CImmediateBatch::End(int& outType, int& primitiveCount, std::vector<ImmediateVertex>& vertices) {
    if (!begun)
        return false;
    static const int perPrimitive[3] = {1, 2, 3};
    int n = int(store.size());
    primitiveCount = type == PRIM_TRIANGLE_FAN ? (n > 2 ? n - 2 : 0) : n / perPrimitive[type];
    outType = type;
    vertices.swap(store);
    store.clear();
    begun = false;
    return true;
}
