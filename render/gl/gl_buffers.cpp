// Vertex and index buffers as ARB buffer objects.
#include "core/error.h"
#include "core/lock.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/gl/gl_local.h"
#include "render/render_setup.h"
#include "render/resources.h"

struct VertexBufferObject {
    GLuint name = 0;
    bool mapped = false;
};

struct IndexBufferObject {
    GLuint name = 0;
    bool mapped = false;
};

static GLenum Usage(bool dynamic, bool writeOnly) {
    if (dynamic)
        return writeOnly ? GL_DYNAMIC_DRAW_ARB : GL_DYNAMIC_COPY_ARB;
    return writeOnly ? GL_STATIC_DRAW_ARB : GL_STATIC_COPY_ARB;
}

// Nothing in this program loses its device, so the texture handlers do
// nothing; they still go on the lost and reset lists, once per run.
static void ReleaseDeviceTextures() {}
static void RestoreDeviceTextures() {}

static void RegisterDeviceCallbacks() {
    RegisterDeviceCallbacks(ReleaseDeviceTextures, RestoreDeviceTextures, RESET_HANDLER_ON_RESET_LIST);
}

static GLuint MakeBuffer(GLenum target, size_t bytes, GLenum usage, const char* report) {
    ClearGLErrors();
    GLuint name = 0;
    glGenBuffersARB_(1, &name);
    if (name == 0)
        return 0;
    glBindBufferARB_(target, name);
    glBufferDataARB_(target, GLsizeiptrARB(bytes), nullptr, usage);
    if (CheckGLError(true, report)) {
        glBindBufferARB_(target, 0);
        glDeleteBuffersARB_(1, &name);
        return 0;
    }
    return name;
}

bool CreateVertexBuffer(CVertexBuffer& h, int vertexSize, int vertexCount,
                        const VertexLayout& layout, bool dynamic, bool writeOnly) {
    RegisterDeviceCallbacks();
    CAutoLock lock(&RenderLock());
    h.DropRecord();
    if (!glGenBuffersARB_)
        return false;
    glBindBufferARB_(GL_ARRAY_BUFFER_ARB, 0);
    DisableClientArrays();
    SetCurrentVertexBuffer(nullptr);
    size_t bytes = 0;
    if (!CheckVertexBufferSize(vertexSize, vertexCount, bytes))
        return false;
    GLuint name = MakeBuffer(GL_ARRAY_BUFFER_ARB, bytes, Usage(dynamic, writeOnly),
                             "Error making Vertex Buffer:\n");
    if (name == 0)
        return false;
    VertexBufferRecord* r = NewVertexBufferRecord(h, vertexSize, vertexCount, layout, dynamic, writeOnly);
    r->object = new VertexBufferObject;
    r->object->name = name;
    return true;
}

bool CreateIndexBuffer(CIndexBuffer& h, int indexCount, bool dynamic, bool writeOnly) {
    h.DropRecord();
    if (!glGenBuffersARB_)
        return false;
    glDisableClientState(GL_INDEX_ARRAY);
    glBindBufferARB_(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    SetCurrentIndexBuffer(nullptr);
    if (!CheckIndexBufferCount(indexCount))
        return false;
    CAutoLock lock(&RenderLock());
    GLuint name = MakeBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, size_t(indexCount) * 2,
                             Usage(dynamic, writeOnly), "Error making Index Buffer:");
    if (name == 0)
        return false;
    IndexBufferRecord* r = NewIndexBufferRecord(h, indexCount, dynamic, writeOnly);
    r->object = new IndexBufferObject;
    r->object->name = name;
    return true;
}

// Both kinds of object are a buffer name and its mapped flag.
template <class Object>
static void DeleteBuffer(Object*& object) {
    if (!object)
        return;
    if (object->name != 0 && glDeleteBuffersARB_ && HasRenderContext())
        glDeleteBuffersARB_(1, &object->name);
    delete object;
    object = nullptr;
}

void CVertexBuffer::Release() {
    CAutoLock lock(&RenderLock());
    ForgetVertexBuffer(record);
    DeleteBuffer(record->object);
}

void CIndexBuffer::Release() {
    CAutoLock lock(&RenderLock());
    ForgetIndexBuffer(record);
    DeleteBuffer(record->object);
}

template <class Object>
static bool Map(GLenum target, Object* object, bool writeOnly, void*& data) {
    if (object->mapped)
        return false;
    glBindBufferARB_(target, object->name);
    data = glMapBufferARB_(target, writeOnly ? GL_WRITE_ONLY_ARB : GL_READ_WRITE_ARB);
    object->mapped = data != nullptr;
    return object->mapped;
}

template <class Object>
static void Unmap(GLenum target, Object* object) {
    glBindBufferARB_(target, object->name);
    if (!glUnmapBufferARB_(target))
        ReportError("Error", "Unlock()-buffer contents were lost");
    object->mapped = false;
}

bool MapVertexBuffer(VertexBufferRecord* r, void*& data) {
    return Map(GL_ARRAY_BUFFER_ARB, r->object, r->writeOnly, data);
}

void UnmapVertexBuffer(VertexBufferRecord* r) { Unmap(GL_ARRAY_BUFFER_ARB, r->object); }

bool MapIndexBuffer(IndexBufferRecord* r, void*& data) {
    return Map(GL_ELEMENT_ARRAY_BUFFER_ARB, r->object, r->writeOnly, data);
}

void UnmapIndexBuffer(IndexBufferRecord* r) { Unmap(GL_ELEMENT_ARRAY_BUFFER_ARB, r->object); }

void SelectVertexBuffer(const VertexBufferRecord* r) {
    glBindBufferARB_(GL_ARRAY_BUFFER_ARB, r->object->name);
    DisableClientArrays();
    size_t offset = 0;
    int unit = 0;
    for (const VertexElement& e : r->layout) {
        int size = VertexElementSize(e.type);
        GLenum type = e.type == VET_COLOUR ? GL_UNSIGNED_BYTE : GL_FLOAT;
        const GLvoid* at = reinterpret_cast<const GLvoid*>(offset);
        switch (e.usage) {
        case VU_POSITION:
            glVertexPointer(size / 4, type, r->vertexSize, at);
            glEnableClientState(GL_VERTEX_ARRAY);
            break;
        case VU_NORMAL:
            glNormalPointer(type, r->vertexSize, at);
            glEnableClientState(GL_NORMAL_ARRAY);
            break;
        case VU_COLOUR:
            glColorPointer(e.type == VET_COLOUR ? 4 : size / 4, type, r->vertexSize, at);
            glEnableClientState(GL_COLOR_ARRAY);
            break;
        case VU_TEXCOORD:
            glClientActiveTextureARB_(GL_TEXTURE0_ARB + unit++);
            glTexCoordPointer(size / 4, type, r->vertexSize, at);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            break;
        default:
            break;
        }
        offset += size_t(size);
    }
}

void SelectIndexBuffer(const IndexBufferRecord* r) {
    glBindBufferARB_(GL_ELEMENT_ARRAY_BUFFER_ARB, r->object->name);
}

// No stream sources here: a deleted buffer leaves its binding by itself.
void UnbindVertexStreams(const VertexBufferRecord*) {}

void UnbindVertexBuffer() {
    if (glBindBufferARB_)
        glBindBufferARB_(GL_ARRAY_BUFFER_ARB, 0);
    DisableClientArrays();
    SetCurrentVertexBuffer(nullptr);
}

void UnbindIndexBuffer() {
    glDisableClientState(GL_INDEX_ARRAY);
    if (glBindBufferARB_)
        glBindBufferARB_(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    SetCurrentIndexBuffer(nullptr);
}
