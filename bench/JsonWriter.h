// A small JSON writer for the benchmark's figures: objects, arrays, numbers, strings, written
// straight to a stream with the commas and indentation done for the caller. One thread.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class TJsonWriter {
public:
    explicit TJsonWriter(std::ostream& Out)
        : FOut(Out)
    {
    }

    void BeginObject(const char* Key = nullptr) { Open(Key, '{'); }
    void EndObject() { Close('}'); }
    void BeginArray(const char* Key = nullptr) { Open(Key, '['); }
    void EndArray() { Close(']'); }

    void Value(const char* Key, double Number);
    void Value(const char* Key, int64_t Number);
    void Value(const char* Key, int Number) { Value(Key, static_cast<int64_t>(Number)); }
    void Value(const char* Key, bool Flag);
    void Value(const char* Key, const std::string& Text);
    void Value(const char* Key, const char* Text) { Value(Key, std::string(Text)); }
    void Numbers(const char* Key, const std::vector<double>& Values);

private:
    void Open(const char* Key, char Bracket);
    void Close(char Bracket);
    // Writes the separator, the indentation and the key (when given) of the next member.
    void Member(const char* Key);
    static std::string Quoted(const std::string& Text);
    static std::string Number(double Value);

    std::ostream& FOut;
    std::vector<bool> FHasMembers; // one per open object or array
};
