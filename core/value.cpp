#include "core/value.h"

#include <charconv>

#include "core/strings.h"

namespace {

// Integer arithmetic wraps as the machine does instead of overflowing.
int WrapAdd(int a, int b) {
    return (int)((unsigned)a + (unsigned)b);
}

}  // namespace

int CValue::TypeBit(int t) {
    switch (t) {
    case TypeInt:
        return IntCurrent;
    case TypeFloat:
        return FloatCurrent;
    default:
        return TextCurrent;
    }
}

CValue::CValue() : type(TypeText), intValue(0), floatValue(0.0f), flags(7) {
}

CValue::CValue(int i) : type(TypeInt), intValue(i), floatValue(0.0f), flags(IntCurrent) {
}

CValue::CValue(float f) : type(TypeFloat), intValue(0), floatValue(f), flags(FloatCurrent) {
}

CValue::CValue(double f) : CValue((float)f) {
}

CValue::CValue(const std::string& s)
    : type(TypeText), text(s), intValue(0), floatValue(0.0f), flags(TextCurrent) {
}

CValue::CValue(const char* s)
    : type(TypeText), text(s ? s : ""), intValue(0), floatValue(0.0f), flags(TextCurrent) {
}

CValue::CValue(const CValue& other) : type(TypeText), intValue(0), floatValue(0.0f), flags(0) {
    CopyFrom(other);
}

CValue::~CValue() {
}

void CValue::CopyFrom(const CValue& other) {
    type = other.type;
    switch (type) {
    case TypeInt:
        intValue = other.intValue;
        break;
    case TypeFloat:
        floatValue = other.floatValue;
        break;
    default:
        text = other.text;
        break;
    }
    flags = TypeBit(type);
}

CValue& CValue::operator=(int i) {
    type = TypeInt;
    intValue = i;
    flags = IntCurrent;
    return *this;
}

CValue& CValue::operator=(float f) {
    type = TypeFloat;
    floatValue = f;
    flags = FloatCurrent;
    return *this;
}

CValue& CValue::operator=(double f) {
    return *this = (float)f;
}

CValue& CValue::operator=(const std::string& s) {
    type = TypeText;
    text = s;
    flags = TextCurrent;
    return *this;
}

CValue& CValue::operator=(const char* s) {
    return *this = std::string(s ? s : "");
}

CValue& CValue::Assign(const char* first, const char* last) {
    return *this = (first && last > first) ? std::string(first, last) : std::string();
}

CValue& CValue::operator=(const CValue& other) {
    if (this != &other) {
        CopyFrom(other);
    }
    return *this;
}

int CValue::AsInt() const {
    if (!(flags & IntCurrent)) {
        if (type == TypeText) {
            intValue = TextToInt(text);
        } else {
            intValue = RoundFloatToInt(floatValue);
        }
        flags |= IntCurrent;
    }
    return intValue;
}

float CValue::AsFloat() const {
    if (!(flags & FloatCurrent)) {
        if (type == TypeText) {
            floatValue = TextToFloat(text);
        } else {
            floatValue = (float)intValue;
        }
        flags |= FloatCurrent;
    }
    return floatValue;
}

const std::string& CValue::AsString() const {
    if (!(flags & TextCurrent)) {
        if (type == TypeInt) {
            text = IntToString(intValue);
        } else {
            // "%f": six decimals. to_chars keeps '.' whatever the locale; the
            // buffer holds the longest float (3.4e38 is 46 characters).
            char buffer[64];
            std::to_chars_result r = std::to_chars(buffer, buffer + sizeof(buffer), floatValue,
                                                   std::chars_format::fixed, 6);
            text.assign(buffer, r.ptr);
        }
        flags |= TextCurrent;
    }
    return text;
}

CValue& CValue::operator+=(const CValue& other) {
    switch (type) {
    case TypeText:
        text += other.AsString();
        flags = TextCurrent;
        break;
    case TypeFloat:
        floatValue += other.AsFloat();
        flags = FloatCurrent;
        break;
    default:
        intValue = WrapAdd(intValue, other.AsInt());
        flags = IntCurrent;
        break;
    }
    return *this;
}

CValue& CValue::operator+=(const char* s) {
    return *this += CValue(s);
}

CValue& CValue::operator+=(const std::string& s) {
    return *this += CValue(s);
}

CValue CValue::operator+(const CValue& other) const {
    CValue sum(*this);
    sum += other;
    return sum;
}

CValue& CValue::operator++() {
    if (type == TypeInt) {
        intValue = WrapAdd(intValue, 1);
        flags = IntCurrent;
    } else if (type == TypeFloat) {
        floatValue += 1.0f;
        flags = FloatCurrent;
    }
    return *this;
}

CValue CValue::operator++(int) {
    CValue old(*this);
    ++*this;
    return old;
}

CValue& CValue::operator--() {
    if (type == TypeInt) {
        intValue = WrapAdd(intValue, -1);
        flags = IntCurrent;
    } else if (type == TypeFloat) {
        floatValue -= 1.0f;
        flags = FloatCurrent;
    } else if (!text.empty()) {
        text.pop_back();
        flags = TextCurrent;
    }
    return *this;
}

CValue CValue::operator--(int) {
    CValue old(*this);
    --*this;
    return old;
}
