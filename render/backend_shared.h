// What every render back-end shares about textures, buffers and shader
// programs: the checks and record set-up they call, and the few hooks each
// back-end provides for the bodies kept here (locks, binds). Included only
// by the back-ends and the neutral files that serve them.
#ifndef RENDER_BACKEND_SHARED_H
#define RENDER_BACKEND_SHARED_H

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "render/resources.h"

class CShaderProgram;
struct Matrix4;

// ---- textures (render/texture_records.cpp) -------------------------------------

// CreateTexture's checks: drops h's record, then refuses sides that are not
// powers of two, a depth without 3D textures, and a size over the limit
// (reported). bytes is then the size of the pixel copy.
bool CheckTextureRequest(CTexture& h, int width, int height, int depth, size_t& bytes);
// A new record on h for a made texture (kind 3, made as asked); the back-end
// attaches its object.
TextureRecord* NewTextureRecord(CTexture& h, int width, int height, int depth, bool mipmap);

// Back-end hook: LoadTexture once the name was not settled by sharing or a
// slice list. LoadTextureThroughImage is the body for back-ends that decode
// with CImage and fill through CTextureLock.
bool LoadTextureFile(CTexture& h, const std::string& fileName, bool colourKey, int kind, bool mipmap,
                     bool filtered);
bool LoadTextureThroughImage(CTexture& h, const std::string& fileName, bool colourKey, bool mipmap);

// Back-end hook: the device-loss callbacks of its textures, registered
// before LoadTextureClamped and LoadTextureWithCallbacks load.
void RegisterTextureCallbacks();

// Back-end hooks around LoadTexture's write of the decoded pixels: set-up
// before it, and whether it failed (reported) after it.
void BeginTextureUpload();
bool TextureUploadFailed();

// Back-end hooks for CTextureLock: the CPU copy it hands out, and the upload
// after a write-back unlock.
uint32_t* TexturePixels(TextureRecord* r);
void UploadTexturePixels(TextureRecord* r);

// ---- vertex and index buffers (render/buffer_records.cpp) --------------------------

// The create checks (reported): vertexSize x vertexCount within the size
// limit, giving bytes; index counts within 16 bits.
bool CheckVertexBufferSize(int vertexSize, int vertexCount, size_t& bytes);
bool CheckIndexBufferCount(int indexCount);
// New records on h as asked; the back-end attaches its object.
VertexBufferRecord* NewVertexBufferRecord(CVertexBuffer& h, int vertexSize, int vertexCount,
                                          const VertexLayout& layout, bool dynamic, bool writeOnly);
IndexBufferRecord* NewIndexBufferRecord(CIndexBuffer& h, int indexCount, bool dynamic, bool writeOnly);

// The bound-buffer cache behind GetCurrentVertexBuffer and GetCurrentIndexBuffer.
void SetCurrentVertexBuffer(const VertexBufferRecord* r);
void SetCurrentIndexBuffer(const IndexBufferRecord* r);
// Clears the cache when it holds r (r is being released).
void ForgetVertexBuffer(const VertexBufferRecord* r);
void ForgetIndexBuffer(const IndexBufferRecord* r);

// Back-end hooks for the locks and binds. Map gives true when the buffer is
// now mapped (data may still be null for an empty one); a buffer already
// mapped gives false, as mapping twice does in a driver.
bool MapVertexBuffer(VertexBufferRecord* r, void*& data);
void UnmapVertexBuffer(VertexBufferRecord* r);
bool MapIndexBuffer(IndexBufferRecord* r, void*& data);
void UnmapIndexBuffer(IndexBufferRecord* r);
// Makes a live buffer (object present) the one drawn from.
void SelectVertexBuffer(const VertexBufferRecord* r);
void SelectIndexBuffer(const IndexBufferRecord* r);
// Clears the device's vertex streams that still hold the buffer whose record
// was r (it may be freed: r is only compared).
void UnbindVertexStreams(const VertexBufferRecord* r);

// ---- shader programs (render/shader_common.cpp) ------------------------------------

// "data\shaders\glsl_base.glsl", read once: the prefix of every GLSL stage.
const std::string& ShaderPrefixText();
// A stage file's text; a missing or empty file is reported and gives "".
std::string ReadShaderStage(const std::string& fileName);
// Once per name and program: a missing uniform is looked up every frame.
// Silent while SetStandardMatrices sets the matrices a program may not use.
void ReportUnknownUniform(std::set<std::string>& reported, const std::string& name);
// Back-end hook of SetStandardMatrices: writes the matrices under the names
// its shaders read. WriteGLSLStandardMatrices sets "ModelMatrix" and
// "ViewProjectionMatrix" for the GLSL back-ends.
void WriteStandardMatrices(CShaderProgram& program, const Matrix4& world, const Matrix4& view,
                           const Matrix4& projection);
void WriteGLSLStandardMatrices(CShaderProgram& program, const Matrix4& world, const Matrix4& view,
                               const Matrix4& projection);
// The program GetCurrentShaderProgram and SetStandardMatrices use.
void SetCurrentShaderProgram(CShaderProgram* program);

#endif
