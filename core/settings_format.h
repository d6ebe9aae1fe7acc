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
// A line ends at LF; the CR CR LF the program writes and the single CR LF of
// a file edited by hand both give the whole value. A line of any length is
// one value, so an over-long line never shifts the values after it.
class SettingsReader {
public:
    // Reads from `bytes`, which must outlive the reader.
    explicit SettingsReader(std::string_view bytes) noexcept : rest_(bytes) {}
    // A temporary string would leave the reader dangling.
    template <class T, std::enable_if_t<std::is_same_v<T, std::string>, int> = 0>
    explicit SettingsReader(T&&) = delete;

    bool Number(int& value);
    bool Flag(bool& value);
    // An empty line leaves `value` as it was (the text rule).
    bool Text(std::string& value);
    // The raw value of the next line, empty or not.
    bool Line(std::string& value);

private:
    bool NextLine(std::string_view& line) noexcept;

    std::string_view rest_;
};

}  // namespace tracewick
