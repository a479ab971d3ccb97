// A shader program: an optional vertex and an optional fragment stage loaded
// by base name ("data\\shaders\\name" + the back-end's extensions). Without
// shader support every operation does nothing and drawing uses the fixed
// pipeline. Not shared, not copied.
#ifndef RENDER_SHADER_H
#define RENDER_SHADER_H

#include <string>

struct ShaderProgramRecord;   // defined by the back-end

class CShaderProgram {
public:
    CShaderProgram();
    ~CShaderProgram();   // clears the current program when it is this one

    // Either name may be empty; IsLoaded tells the result.
    void Load(const std::string& vertexBase, const std::string& fragmentBase);
    // Makes this program current (no program when not loaded).
    void Bind();
    void Release();
    bool IsLoaded() const { return loaded; }

    // -1 without shader support, without a program or for an unknown name.
    int GetUniformLocation(const std::string& name);
    // Write into this program; bind it first. Unknown names do nothing.
    void SetMatrix4(const std::string& name, const float* values);   // row-major, as given
    void SetMatrix3(const std::string& name, const float* values);
    void SetMatrix2(const std::string& name, const float* values);
    void SetVector4(const std::string& name, const float* values);
    void SetVector3(const std::string& name, const float* values);
    void SetVector2(const std::string& name, const float* values);
    void SetFloat(const std::string& name, const float* value);

    ShaderProgramRecord* GetRecord() const { return record; }

private:
    CShaderProgram(const CShaderProgram&) = delete;
    CShaderProgram& operator=(const CShaderProgram&) = delete;

    ShaderProgramRecord* record;
    bool loaded;
};

// Sets "ModelMatrix" (the world matrix) and "ViewProjectionMatrix" on the
// current program; nothing when none is current.
void SetStandardMatrices();
void UnbindShaderProgram();
CShaderProgram* GetCurrentShaderProgram();

#endif
