#include "core/command_line.h"

namespace tracewick {

std::string CommandTemplate::With(std::string_view host) const {
    std::string line = prefix;
    line += host;
    line += suffix;
    return line;
}

std::size_t CommandTemplate::HostRoom() const noexcept {
    const std::size_t fixed = prefix.size() + suffix.size();
    return fixed >= kMaxCommandLength ? 0 : kMaxCommandLength - fixed;
}

std::optional<std::string> OptionLikeRefusal(std::string_view text, std::string_view noun) {
    if (text.empty() || (text.front() != '-' && text.front() != '/')) return std::nullopt;
    return "The " + std::string(noun) + " cannot begin with - or /: the command would take it for an option.";
}

std::optional<std::string> HostRefusal(const CommandTemplate& command, std::string_view host, std::string_view noun) {
    if (host.find('"') != std::string_view::npos) {
        return "The " + std::string(noun) + " cannot contain a double quote (\").";
    }
    if (auto refusal = OptionLikeRefusal(host, noun)) return refusal;
    const std::size_t room = command.HostRoom();
    if (host.size() > room) {
        return "The " + std::string(noun) + " is too long. With the current options it may be at most " +
               std::to_string(room) + " characters long; it has " + std::to_string(host.size()) +
               ".";
    }
    return std::nullopt;
}

CommandTemplate PingCommand(int timeout, int count, int packet_size) {
    return {"conspawn.exe \"ping -w " + std::to_string(timeout) + " -n " + std::to_string(count) +
                " -l " + std::to_string(packet_size) + " ",
            "\""};
}

CommandTemplate TracertCommand(bool resolve_names, int timeout, int maximum_hops) {
    return {std::string("conspawn.exe \"tracert ") + (resolve_names ? "-w " : "-d -w ") +
                std::to_string(timeout) + " -h " + std::to_string(maximum_hops) + " ",
            "\""};
}

CommandTemplate LookupCommand() { return {"conspawn.exe \"lookup ", "\""}; }

std::string NoOptionsText(std::string_view options) {
    std::string text = "No options were selected for this command.\r\n Please select one or more of the options:\r\n ";
    text += options;
    text += '.';
    return text;
}

}  // namespace tracewick
