// Watched values: publishing, withdrawing and formatting.
#include "app/console.h"

#include <cstdio>
#include <cstring>

#include "core/value.h"

static const char* const CRASH_TEXT = "(CRASH trying to evaluate)";

CConsoleHook::CConsoleHook() : type(HOOK_BOOL), shown(0) {
    memset(&value, 0, sizeof(value));
}

static std::string FloatText(float f) {
    char buffer[64];
    snprintf(buffer, sizeof(buffer), "%f", f);
    return buffer;
}

static std::string VectorText(const float* v, int count) {
    std::string text = "(";
    for (int i = 0; i < count; i++) {
        if (i > 0) {
            text += ", ";
        }
        text += FloatText(v[i]);
    }
    return text + ")";
}

std::string CConsoleHook::FormatValue() const {
    bool isPointer = (type % 2) == 0 && type >= 0 && type <= HOOK_VECTOR4_PTR;
    // A withdrawn (or never valid) pointer cannot be read.
    if (isPointer && !value.pointer) {
        return CRASH_TEXT;
    }
    try {
        switch (type) {
        case HOOK_BOOL_PTR:
            return *(const bool*)value.pointer ? "true" : "false";
        case HOOK_BOOL:
            return value.boolValue ? "true" : "false";
        case HOOK_INT_PTR:
            return CValue(*(const int32_t*)value.pointer).AsString();
        case HOOK_INT:
            return CValue(value.intValue).AsString();
        case HOOK_FLOAT_PTR:
            return FloatText(*(const float*)value.pointer);
        case HOOK_FLOAT:
            return FloatText(value.floatValue);
        case HOOK_VECTOR3_PTR:
            return VectorText((const float*)value.pointer, 3);
        case HOOK_VECTOR3:
            return VectorText(value.vector, 3);
        case HOOK_VECTOR4_PTR:
            return VectorText((const float*)value.pointer, 4);
        case HOOK_VECTOR4:
            return VectorText(value.vector, 4);
        default:
            return "erm... oops?  bad type for hook: " + name;
        }
    } catch (...) {
        return CRASH_TEXT;
    }
}

void CDebugConsole::AddHook(const CConsoleHook& hook) {
    for (CConsoleHook& existing : hooks) {
        if (existing.name == hook.name) {
            existing.type = hook.type;
            existing.value = hook.value;
            return;
        }
    }
    hooks.push_back(hook);
    hooks.back().shown = 0;
}

const CConsoleHook* CDebugConsole::FindHook(const std::string& name) const {
    for (const CConsoleHook& hook : hooks) {
        if (hook.name == name) {
            return &hook;
        }
    }
    return nullptr;
}

void CDebugConsole::SetHookShown(const std::string& name, int shown) {
    for (CConsoleHook& hook : hooks) {
        if (hook.name == name) {
            hook.shown = shown;
            return;
        }
    }
    Print("Hook name not found: " + name, PackColour(1.0f, 0.5f, 0.5f, 1.0f));
}

void CDebugConsole::NeutraliseHooks(const void* begin, size_t size) {
    const char* first = (const char*)begin;
    for (CConsoleHook& hook : hooks) {
        bool isPointer = (hook.type % 2) == 0 && hook.type >= 0 && hook.type <= HOOK_VECTOR4_PTR;
        if (!isPointer || !hook.value.pointer) {
            continue;
        }
        const char* p = (const char*)hook.value.pointer;
        if (p >= first && p < first + size) {
            hook.value.pointer = nullptr;
        }
    }
}

void NeutraliseHookPointer(const void* pointer) {
    NeutraliseHookRange(pointer, 1);
}

void NeutraliseHookRange(const void* begin, size_t size) {
    if (g_debugConsole) {
        g_debugConsole->NeutraliseHooks(begin, size);
    }
}

static void Publish(CDebugConsole* console, const std::string& name, int type,
                    const void* pointer) {
    if (!console) {
        return;
    }
    CConsoleHook hook;
    hook.name = name;
    hook.type = type;
    hook.value.pointer = pointer;
    console->AddHook(hook);
}

static void PublishValue(CDebugConsole* console, const std::string& name, int type,
                         const void* data, size_t size) {
    if (!console) {
        return;
    }
    CConsoleHook hook;
    hook.name = name;
    hook.type = type;
    memcpy(&hook.value, data, size);
    console->AddHook(hook);
}

void HookBoolPtr(CDebugConsole* console, const std::string& name, const bool* pointer) {
    Publish(console, name, HOOK_BOOL_PTR, pointer);
}

void HookBool(CDebugConsole* console, const std::string& name, bool value) {
    PublishValue(console, name, HOOK_BOOL, &value, sizeof(value));
}

void HookIntPtr(CDebugConsole* console, const std::string& name, const int32_t* pointer) {
    Publish(console, name, HOOK_INT_PTR, pointer);
}

void HookInt(CDebugConsole* console, const std::string& name, int32_t value) {
    PublishValue(console, name, HOOK_INT, &value, sizeof(value));
}

void HookFloatPtr(CDebugConsole* console, const std::string& name, const float* pointer) {
    Publish(console, name, HOOK_FLOAT_PTR, pointer);
}

void HookFloat(CDebugConsole* console, const std::string& name, float value) {
    PublishValue(console, name, HOOK_FLOAT, &value, sizeof(value));
}

void HookVector3Ptr(CDebugConsole* console, const std::string& name, const Vector3* pointer) {
    Publish(console, name, HOOK_VECTOR3_PTR, pointer);
}

void HookVector3(CDebugConsole* console, const std::string& name, const Vector3& value) {
    PublishValue(console, name, HOOK_VECTOR3, &value, sizeof(value));
}

void HookVector4Ptr(CDebugConsole* console, const std::string& name, const Vector4* pointer) {
    Publish(console, name, HOOK_VECTOR4_PTR, pointer);
}

void HookVector4(CDebugConsole* console, const std::string& name, const Vector4& value) {
    PublishValue(console, name, HOOK_VECTOR4, &value, sizeof(value));
}
