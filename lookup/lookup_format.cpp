#include "lookup/lookup_format.h"

namespace tracewick::lookup {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The system's messages end in CR LF and some span lines: fold them into
// one line of single blanks.
std::string OneLine(std::string_view text) {
    std::string line;
    for (const char c : text) {
        if (c == '\r' || c == '\n' || IsBlank(c)) {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += c;
        }
    }
    if (!line.empty() && line.back() == ' ') line.pop_back();
    return Printable(line);
}

}  // namespace

std::string QueryFromArguments(const std::vector<std::string>& arguments) {
    if (arguments.size() != 1) return {};
    return std::string(TrimBlanks(arguments.front()));
}

std::string Printable(std::string_view text) {
    std::string printable;
    printable.reserve(text.size());
    for (const char c : text) {
        if (!IsControl(c)) {
            printable += c;
            continue;
        }
        const int code = static_cast<unsigned char>(c);
        printable += '\\';
        printable += static_cast<char>('0' + code / 100);
        printable += static_cast<char>('0' + code / 10 % 10);
        printable += static_cast<char>('0' + code % 10);
    }
    return printable;
}

std::string NameLine(std::string_view name) { return "Name:      " + Printable(name); }

std::string CanonicalLine(std::string_view name) { return "Canonical: " + Printable(name); }

std::string AddressLine(std::string_view address) { return "Address:   " + Printable(address); }

std::vector<std::string> AddressLines(const std::vector<ResolvedAddress>& addresses) {
    std::vector<std::string> lines;
    for (const AddressFamily family : {AddressFamily::kIPv4, AddressFamily::kIPv6}) {
        std::vector<std::string_view> seen;
        for (const ResolvedAddress& address : addresses) {
            if (address.family != family) continue;
            bool repeated = false;
            for (const std::string_view earlier : seen) repeated = repeated || earlier == address.text;
            if (repeated) continue;
            seen.push_back(address.text);
            lines.push_back(AddressLine(address.text));
        }
    }
    return lines;
}

std::string FailureLine(std::string_view query, std::string_view reason, int error) {
    std::string line = "lookup: cannot resolve \"" + Printable(query) + "\": ";
    const std::string text = OneLine(reason);
    if (text.empty()) return line + "error " + std::to_string(error);
    return line + text + " (error " + std::to_string(error) + ")";
}

}  // namespace tracewick::lookup
