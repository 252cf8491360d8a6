#include "JsonWriter.h"

#include <cmath>
#include <cstdio>

void TJsonWriter::Member(const char* Key)
{
    if (!FHasMembers.empty()) {
        if (FHasMembers.back())
            FOut << ',';
        FHasMembers.back() = true;
        FOut << '\n' << std::string(2 * FHasMembers.size(), ' ');
    }
    if (Key)
        FOut << Quoted(Key) << ": ";
}

void TJsonWriter::Open(const char* Key, char Bracket)
{
    Member(Key);
    FOut << Bracket;
    FHasMembers.push_back(false);
}

void TJsonWriter::Close(char Bracket)
{
    const bool HadMembers = FHasMembers.back();
    FHasMembers.pop_back();
    if (HadMembers)
        FOut << '\n' << std::string(2 * FHasMembers.size(), ' ');
    FOut << Bracket;
    if (FHasMembers.empty())
        FOut << '\n';
}

void TJsonWriter::Value(const char* Key, double Number)
{
    Member(Key);
    FOut << TJsonWriter::Number(Number);
}

void TJsonWriter::Value(const char* Key, int64_t Number)
{
    Member(Key);
    FOut << Number;
}

void TJsonWriter::Value(const char* Key, bool Flag)
{
    Member(Key);
    FOut << (Flag ? "true" : "false");
}

void TJsonWriter::Value(const char* Key, const std::string& Text)
{
    Member(Key);
    FOut << Quoted(Text);
}

void TJsonWriter::Numbers(const char* Key, const std::vector<double>& Values)
{
    Member(Key);
    FOut << '[';
    for (size_t I = 0; I < Values.size(); ++I)
        FOut << (I ? ", " : "") << Number(Values[I]);
    FOut << ']';
}

std::string TJsonWriter::Quoted(const std::string& Text)
{
    std::string Out = "\"";
    for (const char C : Text) {
        if (C == '"' || C == '\\') {
            Out += '\\';
            Out += C;
        } else if (static_cast<unsigned char>(C) < 0x20) {
            char Escape[8];
            std::snprintf(Escape, sizeof Escape, "\\u%04x", C);
            Out += Escape;
        } else {
            Out += C;
        }
    }
    return Out + '"';
}

std::string TJsonWriter::Number(double Value)
{
    // JSON has no infinities or NaN: a figure that could not be measured is null.
    if (!std::isfinite(Value))
        return "null";
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.6g", Value);
    return Text;
}
