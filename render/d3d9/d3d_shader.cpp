// HLSL programs: a vertex and a pixel shader compiled with D3DX from
// "<base>.hlsl_v" and "<base>.hlsl_f", their constant tables, and the
// standard matrices under their "dx_" names.
#include <set>

#include <d3dx9.h>

#include "core/error.h"
#include "core/files.h"
#include "core/matrix.h"
#include "render/backend.h"
#include "render/backend_shared.h"
#include "render/d3d9/d3d_local.h"
#include "render/device_choices.h"
#include "render/shader.h"

struct ShaderProgramRecord {
    IDirect3DVertexShader9* vertexShader = nullptr;
    IDirect3DPixelShader9* pixelShader = nullptr;
    ID3DXConstantTable* vertexConstants = nullptr;
    ID3DXConstantTable* pixelConstants = nullptr;
    std::set<std::string> reported;
};

// The code and constant table of one stage, or null. A compile whose message
// text names an error has failed, whatever the result says: some runtimes
// drop the expressions they cannot build, say so only there, and return code
// without them. The text goes into a dropped report when logErrors is set or
// when it refused a compile the result called good.
static ID3DXBuffer* CompileShaderFile(const std::string& file, const std::string& source, const char* profile,
                                      bool logErrors, ID3DXConstantTable*& table) {
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* errors = nullptr;
    table = nullptr;
    HRESULT hr = D3DXCompileShader(source.data(), UINT(source.size()), nullptr, nullptr, "main", profile, 0, &code,
                                   &errors, &table);
    std::string log;
    if (errors) {
        log.assign(static_cast<const char*>(errors->GetBufferPointer()), errors->GetBufferSize());
        errors->Release();
    }
    bool reportsError = CompileLogReportsError(log);
    if (SUCCEEDED(hr) && code && !reportsError)
        return code;
    if (!log.empty() && (logErrors || (SUCCEEDED(hr) && code)))
        ReportError("Error", file + " (" + profile + "):\n" + log);
    if (code)
        code->Release();
    if (table)
        table->Release();
    table = nullptr;
    return nullptr;
}

CShaderProgram::CShaderProgram() : record(new ShaderProgramRecord), loaded(false) {}

CShaderProgram::~CShaderProgram() {
    Release();
    delete record;
}

void CShaderProgram::Release() {
    if (GetCurrentShaderProgram() == this)
        SetCurrentShaderProgram(nullptr);
    if (record->vertexShader)
        record->vertexShader->Release();
    if (record->pixelShader)
        record->pixelShader->Release();
    if (record->vertexConstants)
        record->vertexConstants->Release();
    if (record->pixelConstants)
        record->pixelConstants->Release();
    *record = ShaderProgramRecord();
    loaded = false;
}

// vs_2_0, then vs_1_1, then vs_3_0 with its errors read. A shader that needs
// shader model 3 must be paired with a ps_3_0 pixel shader; alone it is
// refused (the fixed pixel stage does not follow a vs_3_0 shader).
static bool LoadVertexStage(ShaderProgramRecord* r, const std::string& file, bool& model3) {
    std::string source = ReadShaderStage(file);
    if (source.empty() || !d3dDevice)
        return false;
    static const char* profiles[3] = {"vs_2_0", "vs_1_1", "vs_3_0"};
    for (int i = 0; i < 3; i++) {
        ID3DXBuffer* code = CompileShaderFile(file, source, profiles[i], i == 2, r->vertexConstants);
        if (!code)
            continue;
        model3 = i == 2;
        HRESULT hr = d3dDevice->CreateVertexShader(static_cast<const DWORD*>(code->GetBufferPointer()),
                                                   &r->vertexShader);
        code->Release();
        if (SUCCEEDED(hr))
            return true;
        r->vertexShader = nullptr;
        return ReportD3DFailure(("CreateVertexShader()-" + file).c_str(), hr);
    }
    return false;
}

static bool LoadPixelStage(ShaderProgramRecord* r, const std::string& file, bool model3) {
    if (!d3dPixelShaders || !d3dDevice)
        return false;
    std::string source = ReadShaderStage(file);
    if (source.empty())
        return false;
    ID3DXBuffer* code = CompileShaderFile(file, source, model3 ? "ps_3_0" : "ps_2_0", true, r->pixelConstants);
    if (!code)
        return false;
    HRESULT hr = d3dDevice->CreatePixelShader(static_cast<const DWORD*>(code->GetBufferPointer()), &r->pixelShader);
    code->Release();
    if (SUCCEEDED(hr))
        return true;
    r->pixelShader = nullptr;
    return ReportD3DFailure(("CreatePixelShader()-" + file).c_str(), hr);
}

void CShaderProgram::Load(const std::string& vertexBase, const std::string& fragmentBase) {
    Release();
    bool model3 = false;
    bool failed = false;
    if (!vertexBase.empty())
        failed = !LoadVertexStage(record, vertexBase + ".hlsl_v", model3);
    if (!failed && !fragmentBase.empty())
        failed = !LoadPixelStage(record, fragmentBase + ".hlsl_f", model3);
    if (model3 && !record->pixelShader)
        failed = true;
    if (failed || (!record->vertexShader && !record->pixelShader)) {
        Release();
        return;
    }
    loaded = true;
}

void CShaderProgram::Bind() {
    if (d3dDevice) {
        d3dDevice->SetVertexShader(loaded ? record->vertexShader : nullptr);
        d3dDevice->SetPixelShader(loaded ? record->pixelShader : nullptr);
    }
    SetCurrentShaderProgram(this);
}

// 0 when the vertex shader reads the name, 1 when only the pixel shader does.
int CShaderProgram::GetUniformLocation(const std::string& name) {
    if (!loaded)
        return -1;
    if (record->vertexConstants && record->vertexConstants->GetConstantByName(nullptr, name.c_str()))
        return 0;
    if (record->pixelConstants && record->pixelConstants->GetConstantByName(nullptr, name.c_str()))
        return 1;
    ReportUnknownUniform(record->reported, name);
    return -1;
}

// Writes into each stage that reads the name.
template <class Write>
static void SetConstant(CShaderProgram& program, const std::string& name, Write write) {
    ShaderProgramRecord* r = program.GetRecord();
    if (!d3dDevice || program.GetUniformLocation(name) == -1)
        return;
    for (ID3DXConstantTable* table : {r->vertexConstants, r->pixelConstants}) {
        if (!table)
            continue;
        D3DXHANDLE handle = table->GetConstantByName(nullptr, name.c_str());
        if (handle)
            write(table, handle);
    }
}

// Matrices are handed over transposed, so HLSL reads the game's row-major
// matrices as GLSL reads them.
static void SetMatrixRows(CShaderProgram& program, const std::string& name, const float* v, int size) {
    D3DXMATRIX m(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    for (int row = 0; row < size; row++)
        for (int col = 0; col < size; col++)
            m.m[row][col] = v[row * size + col];
    SetConstant(program, name, [&](ID3DXConstantTable* t, D3DXHANDLE h) { t->SetMatrixTranspose(d3dDevice, h, &m); });
}

void CShaderProgram::SetMatrix4(const std::string& name, const float* v) { SetMatrixRows(*this, name, v, 4); }
void CShaderProgram::SetMatrix3(const std::string& name, const float* v) { SetMatrixRows(*this, name, v, 3); }
void CShaderProgram::SetMatrix2(const std::string& name, const float* v) { SetMatrixRows(*this, name, v, 2); }

static void SetFloats(CShaderProgram& program, const std::string& name, const float* v, UINT count) {
    SetConstant(program, name, [&](ID3DXConstantTable* t, D3DXHANDLE h) { t->SetFloatArray(d3dDevice, h, v, count); });
}

void CShaderProgram::SetVector4(const std::string& name, const float* v) { SetFloats(*this, name, v, 4); }
void CShaderProgram::SetVector3(const std::string& name, const float* v) { SetFloats(*this, name, v, 3); }
void CShaderProgram::SetVector2(const std::string& name, const float* v) { SetFloats(*this, name, v, 2); }
void CShaderProgram::SetFloat(const std::string& name, const float* v) { SetFloats(*this, name, v, 1); }

void WriteStandardMatrices(CShaderProgram& program, const Matrix4& world, const Matrix4& view,
                           const Matrix4& projection) {
    StandardMatrices m;
    MakeStandardMatrices(m, world, view, projection.m);
    program.SetMatrix4("dx_ModelViewProjectionMatrix", m.modelViewProjection);
    program.SetMatrix4("dx_ViewProjectionMatrix", m.viewProjection);
    program.SetMatrix4("dx_ModelViewMatrix", m.modelView);
    program.SetMatrix4("dx_ModelMatrix", m.model);
    program.SetMatrix4("dx_ProjectionMatrix", m.projection);
}

void UnbindShaderProgram() {
    if (d3dDevice) {
        d3dDevice->SetVertexShader(nullptr);
        d3dDevice->SetPixelShader(nullptr);
    }
    SetCurrentShaderProgram(nullptr);
}
