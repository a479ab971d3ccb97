// Shared state of the Direct3D 9 back-end files: the device, the capability
// flags, the vertex declaration cache and the hooks the device's loss and
// reset run. Included only by render/d3d9 (and the Windows test programs).
#ifndef RENDER_D3D9_D3D_LOCAL_H
#define RENDER_D3D9_D3D_LOCAL_H

#include <windows.h>

#include <d3d9.h>

#include <string>

#include "render/d3d9/d3d_frame.h"
#include "render/resources.h"

extern IDirect3DDevice9* d3dDevice;    // null while there is no device
extern bool d3dPixelShaders;
extern bool d3d3DTextures;
extern int d3dVertexShaderMajor;

// Ready and not lost: device calls may be made.
bool DeviceUsable();
// A report naming the operation and the result code; gives false.
bool ReportD3DFailure(const char* operation, HRESULT result);

// The declaration of a layout, made on first use and kept for the run
// (declarations survive a reset); null for a layout Direct3D cannot take.
IDirect3DVertexDeclaration9* FindVertexDeclaration(const VertexLayout& layout);
// Run from the shutdown list, which the first vertex buffer or lookup joins.
void ReleaseVertexDeclarations();
int VertexDeclarationCount();

// The stream, index and declaration caches name nothing: after a reset or a
// draw from user memory, which leave the device's bindings unset.
void ForgetDeviceBindings();
// The record the back-end last set on a stream (0 to 7), or null: what its
// stream-source slots hold, for the Windows checks.
const VertexBufferRecord* GetStreamSourceRecord(int stream);
// At shutdown: the device objects of every texture and buffer still held
// are released; the records stay, empty, until their handles let go.
void ReleaseAllDeviceTextures();
void ReleaseAllDeviceBuffers();
// Device formats usable as textures (for the 16-bit choices).
bool TextureFormatSupported(D3DFORMAT format);
// CreateTexture of the seam with the kind of texture to make: 2 opaque
// (X8R8G8B8), 3 with alpha (A8R8G8B8, what the seam's form makes); any other
// kind fails. The record keeps the kind.
bool CreateTexture(CTexture& h, int width, int height, int depth, bool mipmap, int kind);

#endif
