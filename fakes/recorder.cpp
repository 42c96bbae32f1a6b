#include "recorder.h"
#include "win32.h"

#include <charconv>
#include <cstdio>

namespace fake {
namespace {

struct State {
    Settings settings;
    Win32Settings win32;
    std::vector<Call> calls;
};

State& Get() {
    static State state;
    return state;
}

}  // namespace

std::string Call::Text() const {
    std::string text = name + "(";
    for (std::size_t i = 0; i < args.size(); ++i) text += (i ? "," : "") + args[i];
    return text + ")";
}

void Reset() {
    Get().settings = Settings{};
    Get().win32 = Win32Settings{};
    Get().calls.clear();
}

Settings& Set() { return Get().settings; }
Win32Settings& Win32() { return Get().win32; }
const std::vector<Call>& Calls() { return Get().calls; }

std::vector<std::string> Texts() { return Texts(""); }

std::vector<std::string> Texts(const std::string& prefix) {
    std::vector<std::string> texts;
    for (const Call& call : Get().calls)
        if (call.name.compare(0, prefix.size(), prefix) == 0) texts.push_back(call.Text());
    return texts;
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Call& call : Get().calls) names.push_back(call.name);
    return names;
}

void Record(std::string name, std::vector<std::string> args) {
    Get().calls.push_back(Call{std::move(name), std::move(args)});
}

std::string Hex(const void* pointer) { return Hex(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer))); }

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
    return text;
}

std::string Num(double value) {
    char text[40];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string NumF(float value) {
    char text[40];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string Quote(const char* text) {
    if (!text) return "null";
    std::string quoted(1, '"');   // appended, not concatenated: GCC 12 warns wrongly about overlap
    return quoted.append(text).append(1, '"');
}

}  // namespace fake
