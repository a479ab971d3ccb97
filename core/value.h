#ifndef CORE_VALUE_H
#define CORE_VALUE_H

#include <string>

// A value that is an integer, a float or a text, and converts to the other two
// on demand. The conversions are cached until the value changes; the flags say
// which forms are current.
class CValue {
public:
    enum { TypeInt = 0, TypeFloat = 1, TypeText = 2 };
    enum { TextCurrent = 1, FloatCurrent = 2, IntCurrent = 4 };

    CValue();
    CValue(int i);       // without it CValue(0) would be ambiguous
    CValue(float f);
    CValue(double f);    // stored as a float; lets 2.5 pick a constructor
    CValue(const std::string& s);
    CValue(const char* s);  // null is taken as empty text
    CValue(const CValue& other);
    ~CValue();

    CValue& operator=(int i);
    CValue& operator=(float f);
    CValue& operator=(double f);
    CValue& operator=(const std::string& s);
    CValue& operator=(const char* s);
    CValue& operator=(const CValue& other);
    CValue& Assign(const char* first, const char* last);  // text from a character range

    int AsInt() const;
    float AsFloat() const;
    const std::string& AsString() const;

    CValue& operator+=(const CValue& other);
    CValue& operator+=(const char* s);
    CValue& operator+=(const std::string& s);
    CValue operator+(const CValue& other) const;

    CValue& operator++();
    CValue operator++(int);
    CValue& operator--();
    CValue operator--(int);

    int GetType() const { return type; }
    int GetFlags() const { return flags; }

private:
    static int TypeBit(int type);
    void CopyFrom(const CValue& other);

    int type;
    // Caches of the other forms, filled by the const accessors.
    mutable std::string text;
    mutable int intValue;
    mutable float floatValue;
    mutable int flags;
};

#endif
