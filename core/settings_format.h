// The settings-file line format: one value per line, every line ending in
// CR CR LF on disk; numbers in decimal, flags as "TRUE"/"FALSE", texts as
// they stand. Portable: no <windows.h>; the Win32 side only moves bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace tracewick {

// The bytes that end every line the program writes.
inline constexpr std::string_view kSettingsLineEnd = "\r\r\n";

// Builds the bytes of one settings file, line by line.
class SettingsWriter {
public:
    void Number(int value);
    void Flag(bool value);
    // A value never holds a line break: it would read back as two values.
    // Such a value is refused, and with it the whole file (Refused).
    void Text(std::string_view value);

    [[nodiscard]] const std::string& Bytes() const noexcept { return bytes_; }
    [[nodiscard]] bool Refused() const noexcept { return refused_; }

private:
    std::string bytes_;
    bool refused_ = false;
};

// Reads the lines of one settings file in order. Each call consumes one line;
// when the file has no further line the call returns false and leaves the
// value as it was, so the caller's default stands.
//
// A line ends at LF, and the CRs right before it belong to its end: the
// CR CR LF the program writes, the CR LF of a file edited by hand and a bare
// LF all give the whole value. A file without any LF was written with CR
// line ends: there each run of CRs ends a line. A CR or NUL left inside a
// line is dropped (a value never holds one), so whatever is read can be
// written back as it was read. A line of any length is one value, so an
// over-long line never shifts the values after it.
class SettingsReader {
public:
    // Reads from `bytes`, which must outlive the reader.
    // A byte order mark an editor put at the start is passed over.
    explicit SettingsReader(std::string_view bytes) noexcept;
    // A temporary string would leave the reader dangling.
    template <class T, std::enable_if_t<std::is_same_v<T, std::string>, int> = 0>
    explicit SettingsReader(T&&) = delete;

    bool Number(int& value);
    bool Flag(bool& value);
    // An empty line leaves `value` as it was (the text rule), and so does a
    // value longer than `max_length`: a field that holds fewer characters
    // could not show it.
    bool Text(std::string& value, std::size_t max_length = std::string::npos);
    // The value of the next line, empty or not.
    bool Line(std::string& value);

private:
    std::string_view rest_;
    bool cr_line_ends_;
};

}  // namespace tracewick
