#include "render/resources.h"

#include <cstring>

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

void ConvertVertexColours(void* vertices, int count, int size, const VertexLayout& layout,
                          uint32_t (*convert)(uint32_t)) {
    uint8_t* base = static_cast<uint8_t*>(vertices);
    int offset = 0;
    for (const VertexElement& e : layout) {
        int elementSize = VertexElementSize(e.type);
        if (e.type == VET_COLOUR && offset + 4 <= size) {
            for (int i = 0; i < count; i++) {
                uint8_t* at = base + size_t(i) * size_t(size) + size_t(offset);
                uint32_t c;
                memcpy(&c, at, 4);
                c = convert(c);
                memcpy(at, &c, 4);
            }
        }
        offset += elementSize;
    }
}
