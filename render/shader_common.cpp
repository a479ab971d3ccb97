// What shader programs share across back-ends: the common stage prefix,
// reading stage files, reporting unknown uniforms, and the current program
// with its standard matrices.
#include "core/error.h"
#include "core/files.h"
#include "core/matrix.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/render_maths.h"
#include "render/shader.h"

static CShaderProgram* currentProgram = nullptr;
static bool reportUnknownUniforms = true;

const std::string& ShaderPrefixText() {
    static std::string& prefix = *new std::string(ReadWholeFile(false, "data\\shaders\\glsl_base.glsl"));
    return prefix;
}

std::string ReadShaderStage(const std::string& fileName) {
    std::string text = ReadWholeFile(false, fileName);
    if (text.empty())
        ReportError("Error", "Compiling shaders:\n" + fileName + " could not be read");
    return text;
}

void ReportUnknownUniform(std::set<std::string>& reported, const std::string& name) {
    if (reportUnknownUniforms && reported.insert(name).second)
        ReportError("Error", "CShaderProgram::GetUniformLocation()-unknown uniform " + name);
}

void SetCurrentShaderProgram(CShaderProgram* program) { currentProgram = program; }
CShaderProgram* GetCurrentShaderProgram() { return currentProgram; }

void SetStandardMatrices() {
    if (!currentProgram)
        return;
    reportUnknownUniforms = false;
    Matrix4 world, view, projection;
    GetWorldMatrix(world);
    GetViewMatrix(view);
    GetProjectionMatrix(projection);
    WriteStandardMatrices(*currentProgram, world, view, projection);
    reportUnknownUniforms = true;
}

void WriteGLSLStandardMatrices(CShaderProgram& program, const Matrix4& world, const Matrix4& view,
                               const Matrix4& projection) {
    float viewGL[16], viewProjection[16];
    MatrixToGLOrder(viewGL, view);
    MultiplyGLOrder(viewProjection, projection.m, viewGL);
    program.SetMatrix4("ModelMatrix", world.m);
    program.SetMatrix4("ViewProjectionMatrix", viewProjection);
}
