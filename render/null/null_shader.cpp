// Headless shader programs: the stage files are read (a missing one fails
// the load as it does on a driver) and uniforms named in the sources keep
// the values last set, so tests can read them back.
#include <cctype>
#include <map>
#include <set>
#include <vector>

#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/null/null_backend.h"
#include "render/shader.h"

struct ShaderProgramRecord {
    std::string name;                         // the vertex base name, for the recorder
    std::string source;
    std::vector<std::string> names;           // index = location
    std::map<std::string, std::vector<float>> values;
    std::set<std::string> reported;
};

CShaderProgram::CShaderProgram() : record(new ShaderProgramRecord), loaded(false) {}

CShaderProgram::~CShaderProgram() {
    Release();
    delete record;
}

void CShaderProgram::Release() {
    if (GetCurrentShaderProgram() == this)
        SetCurrentShaderProgram(nullptr);
    *record = ShaderProgramRecord();
    loaded = false;
}

void CShaderProgram::Load(const std::string& vertexBase, const std::string& fragmentBase) {
    if (!ShadersAvailable())
        return;
    Release();
    if (vertexBase.empty() && fragmentBase.empty())
        return;
    std::string source = ShaderPrefixText();
    const std::string stages[2] = {vertexBase.empty() ? "" : vertexBase + ".glsl_v",
                                   fragmentBase.empty() ? "" : fragmentBase + ".glsl_f"};
    for (const std::string& stage : stages) {
        if (stage.empty())
            continue;
        std::string text = ReadShaderStage(stage);
        if (text.empty()) {
            Release();
            return;
        }
        source += "\n" + text;
    }
    record->source = source;
    record->name = vertexBase.empty() ? fragmentBase : vertexBase;
    loaded = true;
}

void CShaderProgram::Bind() {
    if (!ShadersAvailable())
        return;
    SetCurrentShaderProgram(this);
    NullRecord(loaded ? "program " + record->name : "program none");
}

static bool IsNameChar(char c) { return isalnum((unsigned char)c) || c == '_'; }

static bool SourceNames(const std::string& source, const std::string& name) {
    for (size_t at = source.find(name); at != std::string::npos; at = source.find(name, at + 1)) {
        bool before = at > 0 && IsNameChar(source[at - 1]);
        bool after = at + name.size() < source.size() && IsNameChar(source[at + name.size()]);
        if (!before && !after)
            return true;
    }
    return false;
}

int CShaderProgram::GetUniformLocation(const std::string& name) {
    if (!ShadersAvailable() || !loaded)
        return -1;
    for (size_t i = 0; i < record->names.size(); i++)
        if (record->names[i] == name)
            return int(i);
    if (!name.empty() && SourceNames(record->source, name)) {
        record->names.push_back(name);
        return int(record->names.size() - 1);
    }
    ReportUnknownUniform(record->reported, name);
    return -1;
}

static void Store(CShaderProgram& program, const std::string& name, const float* values, int count) {
    if (program.GetUniformLocation(name) == -1)
        return;
    program.GetRecord()->values[name].assign(values, values + count);
    if (name != "ModelMatrix" && name != "ViewProjectionMatrix")
        NullRecord("uniform " + name);
}

void CShaderProgram::SetMatrix4(const std::string& name, const float* v) { Store(*this, name, v, 16); }
void CShaderProgram::SetMatrix3(const std::string& name, const float* v) { Store(*this, name, v, 9); }
void CShaderProgram::SetMatrix2(const std::string& name, const float* v) { Store(*this, name, v, 4); }
void CShaderProgram::SetVector4(const std::string& name, const float* v) { Store(*this, name, v, 4); }
void CShaderProgram::SetVector3(const std::string& name, const float* v) { Store(*this, name, v, 3); }
void CShaderProgram::SetVector2(const std::string& name, const float* v) { Store(*this, name, v, 2); }
void CShaderProgram::SetFloat(const std::string& name, const float* v) { Store(*this, name, v, 1); }

void UnbindShaderProgram() {
    SetCurrentShaderProgram(nullptr);
    NullRecord("program none");
}

const std::vector<float>* NullUniformValue(const CShaderProgram& program, const std::string& name) {
    const ShaderProgramRecord* r = program.GetRecord();
    std::map<std::string, std::vector<float>>::const_iterator it = r->values.find(name);
    return it == r->values.end() ? nullptr : &it->second;
}

void WriteStandardMatrices(CShaderProgram& program, const Matrix4& world, const Matrix4& view,
                           const Matrix4& projection) {
    WriteGLSLStandardMatrices(program, world, view, projection);
}
