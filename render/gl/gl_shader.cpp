// GLSL programs through the ARB shader objects, each stage compiled behind
// the common prefix "data\shaders\glsl_base.glsl".
#include <set>
#include <vector>

#include "core/error.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/gl/gl_local.h"
#include "render/render_maths.h"
#include "render/shader.h"

struct ShaderProgramRecord {
    GLhandleARB program = 0;
    GLhandleARB vertexStage = 0;
    GLhandleARB fragmentStage = 0;
    uint32_t unused = 0;
    std::set<std::string> reported;
};

static std::string InfoLog(GLhandleARB object) {
    GLint length = 0;
    glGetObjectParameterivARB_(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    if (length < 2)
        return std::string();
    std::vector<char> text(size_t(length) + 1, 0);
    GLsizei got = 0;
    glGetInfoLogARB_(object, length, &got, text.data());
    return std::string(text.data());
}

static GLhandleARB CompileShaderStage(const std::string& fileName, GLenum stageType) {
    const std::string& prefix = ShaderPrefixText();
    std::string text = ReadShaderStage(fileName);
    if (text.empty())
        return 0;
    std::string source = prefix + "\n" + text;
    GLhandleARB stage = glCreateShaderObjectARB_(stageType);
    if (stage == 0)
        return 0;
    const GLcharARB* strings[1] = {source.c_str()};
    glShaderSourceARB_(stage, 1, strings, nullptr);
    glCompileShaderARB_(stage);
    GLint compiled = 0;
    glGetObjectParameterivARB_(stage, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
    std::string log = InfoLog(stage);
    if (!log.empty())
        ReportError("Error", fileName + ":\n" + RewriteShaderLog(log, PrefixLineCount(prefix)));
    if (!compiled) {
        glDeleteObjectARB_(stage);
        return 0;
    }
    return stage;
}

CShaderProgram::CShaderProgram() : record(new ShaderProgramRecord), loaded(false) {}

CShaderProgram::~CShaderProgram() {
    Release();
    delete record;
}

void CShaderProgram::Release() {
    if (GetCurrentShaderProgram() == this)
        SetCurrentShaderProgram(nullptr);
    if (glShadersAvailable && HasRenderContext()) {
        if (record->vertexStage)
            glDeleteObjectARB_(record->vertexStage);
        if (record->fragmentStage)
            glDeleteObjectARB_(record->fragmentStage);
        if (record->program)
            glDeleteObjectARB_(record->program);
    }
    *record = ShaderProgramRecord();
    loaded = false;
}

void CShaderProgram::Load(const std::string& vertexBase, const std::string& fragmentBase) {
    if (!glShadersAvailable)
        return;
    Release();
    ClearGLErrors();
    std::string vertexFile = vertexBase.empty() ? "" : vertexBase + ".glsl_v";
    std::string fragmentFile = fragmentBase.empty() ? "" : fragmentBase + ".glsl_f";
    if (!vertexFile.empty())
        record->vertexStage = CompileShaderStage(vertexFile, GL_VERTEX_SHADER_ARB);
    if (!fragmentFile.empty())
        record->fragmentStage = CompileShaderStage(fragmentFile, GL_FRAGMENT_SHADER_ARB);
    CheckGLError(true, "Compiling shaders:\n");
    bool failed = (!vertexFile.empty() && !record->vertexStage) ||
                  (!fragmentFile.empty() && !record->fragmentStage);
    if (failed || (!record->vertexStage && !record->fragmentStage)) {
        Release();
        return;
    }

    GLhandleARB program = glCreateProgramObjectARB_();
    if (record->vertexStage)
        glAttachObjectARB_(program, record->vertexStage);
    if (record->fragmentStage)
        glAttachObjectARB_(program, record->fragmentStage);
    glLinkProgramARB_(program);
    GLint linked = 0;
    glGetObjectParameterivARB_(program, GL_OBJECT_LINK_STATUS_ARB, &linked);
    std::string log = InfoLog(program);
    std::string names = vertexFile.empty() ? fragmentFile
                        : fragmentFile.empty() ? vertexFile : vertexFile + " and " + fragmentFile;
    if (!log.empty() || !linked)
        ReportError("Error", "Linking Shaders:\n" + names + "\n" + log);
    if (!linked) {
        glDeleteObjectARB_(program);
        program = 0;
    }
    CheckGLError(true, "Linking Shaders:\n");
    record->program = program;
    if (program)
        loaded = true;
    else
        Release();
}

void CShaderProgram::Bind() {
    if (!glShadersAvailable)
        return;
    glUseProgramObjectARB_(loaded ? record->program : 0);
    SetCurrentShaderProgram(this);
}

int CShaderProgram::GetUniformLocation(const std::string& name) {
    if (!glShadersAvailable || !record->program)
        return -1;
    int location = glGetUniformLocationARB_(record->program, name.c_str());
    if (location == -1)
        ReportUnknownUniform(record->reported, name);
    return location;
}

void CShaderProgram::SetMatrix4(const std::string& name, const float* v) {
    int at = GetUniformLocation(name);
    if (at != -1)
        glUniformMatrix4fvARB_(at, 1, GL_FALSE, v);
}

void CShaderProgram::SetMatrix3(const std::string& name, const float* v) {
    int at = GetUniformLocation(name);
    if (at != -1)
        glUniformMatrix3fvARB_(at, 1, GL_FALSE, v);
}

void CShaderProgram::SetMatrix2(const std::string& name, const float* v) {
    int at = GetUniformLocation(name);
    if (at != -1)
        glUniformMatrix2fvARB_(at, 1, GL_FALSE, v);
}

void CShaderProgram::SetVector4(const std::string& name, const float* v) {
    int at = GetUniformLocation(name);
    if (at != -1)
        glUniform4fvARB_(at, 1, v);
}

void CShaderProgram::SetVector3(const std::string& name, const float* v) {
    int at = GetUniformLocation(name);
    if (at != -1)
        glUniform3fvARB_(at, 1, v);
}

void CShaderProgram::SetVector2(const std::string& name, const float* v) {
    int at = GetUniformLocation(name);
    if (at != -1)
        glUniform2fvARB_(at, 1, v);
}

void CShaderProgram::SetFloat(const std::string& name, const float* v) {
    int at = GetUniformLocation(name);
    if (at != -1)
        glUniform1fvARB_(at, 1, v);
}

void UnbindShaderProgram() {
    if (glShadersAvailable && HasRenderContext())
        glUseProgramObjectARB_(0);
    SetCurrentShaderProgram(nullptr);
}

void WriteStandardMatrices(CShaderProgram& program, const Matrix4& world, const Matrix4& view,
                           const Matrix4& projection) {
    WriteGLSLStandardMatrices(program, world, view, projection);
}
