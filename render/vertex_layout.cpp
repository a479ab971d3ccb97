#include "render/resources.h"

int VertexElementSize(int type) {
    switch (type) {
    case VET_FLOAT1: return 4;
    case VET_FLOAT2: return 8;
    case VET_FLOAT3: return 12;
    case VET_FLOAT4: return 16;
    case VET_COLOUR: return 4;
    default: return 0;
    }
}

int VertexLayoutSize(const VertexLayout& layout) {
    int size = 0;
    for (const VertexElement& e : layout)
        size += VertexElementSize(e.type);
    return size;
}

bool VertexLayoutsEqual(const VertexLayout& a, const VertexLayout& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++) {
        if (a[i].type != b[i].type || a[i].usage != b[i].usage)
            return false;
    }
    return true;
}

VertexLayout MakeTextVertexLayout() {
    VertexLayout layout;
    layout.push_back({VET_FLOAT2, VU_POSITION});
    layout.push_back({VET_COLOUR, VU_COLOUR});
    layout.push_back({VET_FLOAT2, VU_TEXCOORD});
    return layout;
}
