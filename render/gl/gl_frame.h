// The OpenGL program's answers to the device and texture questions the
// Direct3D program asks of its own device (render/d3d9/d3d_frame.h). An
// OpenGL context is never refused, lost or reset here and its textures are
// plain 32-bit images, so every answer is a constant. Nothing in the game
// asks them. Free of platform headers.
#ifndef RENDER_GL_GL_FRAME_H
#define RENDER_GL_GL_FRAME_H

class CTexture;

// A failed start-up may be tried again: false.
bool IsInitialisationRefused();
// There is no scene to open before drawing: true.
bool IsSceneOpen();

// No mip levels are ever made: 1.
int TextureLevelCount(const CTexture& h);
// Every texture keeps 32-bit pixels: 32.
int TextureBitsPerPixel(const CTexture& h);
// Textures live as long as the context: false.
bool IsTextureLost(const CTexture& h);
// Compressed images are uploaded as plain ones: false.
bool SupportsCompressedTextures();

#endif
