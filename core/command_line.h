// Building the spawner command lines and checking that a host fits them.
// Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tracewick {

// The longest command line the spawner is started with.
inline constexpr std::size_t kMaxCommandLength = 119;

// A command line with the host still to be placed: prefix + host + suffix.
struct CommandTemplate {
    std::string prefix;
    std::string suffix;

    [[nodiscard]] std::string With(std::string_view host) const;
    // How many characters a host may have so that the line fits.
    [[nodiscard]] std::size_t HostRoom() const noexcept;
};

// Why `host` cannot go into the command line, or nothing when it can: a
// host that would make the line too long, that holds a double quote (it
// would end the quoted command early), or that begins with - or / (the
// command would take it for options). `noun` is what the page asks for.
[[nodiscard]] std::optional<std::string> HostRefusal(const CommandTemplate& command, std::string_view host,
                                                     std::string_view noun = "host name");

// Why `text` cannot stand where a command takes a name, or nothing: it
// begins with - or /, so the command would take it for an option.
[[nodiscard]] std::optional<std::string> OptionLikeRefusal(std::string_view text, std::string_view noun);

// conspawn.exe "ping -w T -n N -l S HOST"
[[nodiscard]] CommandTemplate PingCommand(int timeout, int count, int packet_size);

// conspawn.exe "tracert [-d ]-w T -h H HOST": -d unless names are resolved.
[[nodiscard]] CommandTemplate TracertCommand(bool resolve_names, int timeout, int maximum_hops);

// conspawn.exe "lookup HOST"
[[nodiscard]] CommandTemplate LookupCommand();

// One command of a run of several, and the text shown just before it starts
// (empty for none).
struct RunStep {
    std::string command;
    std::string heading = {};
};

// What the end line of a run that was not cancelled says.
inline constexpr char kEndOfDataText[] = "End of Data";

// "No options were selected for this command." and the options to choose
// from, e.g. "TCP, UDP, NetBIOS".
[[nodiscard]] std::string NoOptionsText(std::string_view options);

}  // namespace tracewick
