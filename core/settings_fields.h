// A settings file's layout as one list of fields over the options it keeps:
// the list reads the file, writes it, and names the flag that the page's
// Cumulative Output box shows, so that reading and writing cannot drift
// apart and a new value is one field. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/settings_format.h"

namespace tracewick {

namespace settings_fields {

// A value's kind is its member's type: a number, a flag, a text (an empty
// line keeps it as it was), or a list of every further line to the end of
// the file (empty lines passed over). A text or entry longer than
// `max_length`, which no field could show, is passed over too.
inline void Read(SettingsReader& reader, int& value, std::size_t) { reader.Number(value); }
inline void Read(SettingsReader& reader, bool& value, std::size_t) { reader.Flag(value); }
inline void Read(SettingsReader& reader, std::string& value, std::size_t max_length) { reader.Text(value, max_length); }
inline void Read(SettingsReader& reader, std::vector<std::string>& entries, std::size_t max_length) {
    entries.clear();
    std::string line;
    while (reader.Line(line)) {
        if (!line.empty() && line.size() <= max_length) entries.push_back(line);
    }
}

inline void Write(SettingsWriter& writer, int value) { writer.Number(value); }
inline void Write(SettingsWriter& writer, bool value) { writer.Flag(value); }
inline void Write(SettingsWriter& writer, const std::string& value) { writer.Text(value); }
inline void Write(SettingsWriter& writer, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) writer.Text(entry);
}

template <class Member>
struct MemberOf;
template <class Options, class Value>
struct MemberOf<Value Options::*> {
    using Class = Options;
};

template <auto kMember>
using OptionsOf = typename MemberOf<decltype(kMember)>::Class;

template <auto kMember, std::size_t kMaxLength>
void ReadMember(SettingsReader& reader, OptionsOf<kMember>& options) {
    Read(reader, options.*kMember, kMaxLength);
}

template <auto kMember>
void WriteMember(const OptionsOf<kMember>& options, SettingsWriter& writer) {
    Write(writer, options.*kMember);
}

}  // namespace settings_fields

// One line of a file (a list: every further line), bound to one member of
// `Options` by the functions below.
template <class Options>
struct SettingsField {
    void (*read)(SettingsReader& reader, Options& options);
    void (*write)(const Options& options, SettingsWriter& writer);
    bool Options::*cumulative = nullptr;  // the flag that the Cumulative Output box shows
};

// The line of `kMember`; a text or list entry longer than `kMaxLength` is
// passed over when reading.
template <auto kMember, std::size_t kMaxLength = std::string::npos>
constexpr SettingsField<settings_fields::OptionsOf<kMember>> Field() {
    return {settings_fields::ReadMember<kMember, kMaxLength>, settings_fields::WriteMember<kMember>};
}

// The line of the flag that the page's Cumulative Output box shows.
template <auto kMember>
constexpr SettingsField<settings_fields::OptionsOf<kMember>> CumulativeField() {
    return {settings_fields::ReadMember<kMember, 0>, settings_fields::WriteMember<kMember>, kMember};
}

// A file's fields in the order of its lines. A line the file does not have
// leaves its member as it was, so the options' defaults stand.
template <class Options>
class SettingsLayout {
public:
    template <std::size_t N>
    constexpr SettingsLayout(const SettingsField<Options> (&fields)[N]) noexcept : fields_(fields), count_(N) {}

    void Read(SettingsReader& reader, Options& options) const {
        for (const SettingsField<Options>& field : *this) field.read(reader, options);
    }
    void Write(const Options& options, SettingsWriter& writer) const {
        for (const SettingsField<Options>& field : *this) field.write(options, writer);
    }
    // The flag the Cumulative Output box shows; null in a file without one.
    [[nodiscard]] bool Options::*Cumulative() const noexcept {
        for (const SettingsField<Options>& field : *this) {
            if (field.cumulative) return field.cumulative;
        }
        return nullptr;
    }

    [[nodiscard]] const SettingsField<Options>* begin() const noexcept { return fields_; }
    [[nodiscard]] const SettingsField<Options>* end() const noexcept { return fields_ + count_; }

private:
    const SettingsField<Options>* fields_;
    std::size_t count_;
};

}  // namespace tracewick
