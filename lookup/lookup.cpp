// lookup.exe: Tracewick's name-lookup command, which the Lookup page runs
// through conspawn.exe. Given a name it prints the addresses the system's
// resolver gives for it; given an address, the name registered for it.
// Single-threaded; every line is written through at once, so the page's
// pane shows each as it comes.
//
//   lookup NAME-OR-ADDRESS
//
// Exit code: kExitFound; kExitNotFound when the resolver could not answer
// (one line on standard output says why, so the pane shows it); kExitUsage
// when there is not exactly one name or address (the usage on standard error).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/system_error.h"
#include "lookup/lookup_format.h"
#include "spawner/contract.h"

namespace {

using tracewick::lookup::AddressFamily;
using tracewick::lookup::ResolvedAddress;

constexpr int kExitFound = 0;
constexpr int kExitNotFound = 1;
constexpr int kExitUsage = 2;

// In the console's code page, as every command writes: names and the
// system's words come in the program's own.
void WriteLine(DWORD which, const std::string& line) {
    const HANDLE stream = GetStdHandle(which);
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE) return;
    const std::string text = tracewick::ToOutputText(line) + "\r\n";
    const char* next = text.data();
    DWORD left = static_cast<DWORD>(text.size());
    // A pipe may take less than the whole line; unbuffered, so nothing waits.
    while (left > 0) {
        DWORD written = 0;
        if (!WriteFile(stream, next, left, &written, nullptr) || written == 0) return;
        next += written;
        left -= written;
    }
}

void WriteOutput(const std::string& line) { WriteLine(STD_OUTPUT_HANDLE, line); }

int ReportFailure(const std::string& query, int error) {
    // The system's reason as the sentence it gives.
    std::string reason = tracewick::SystemErrorText(static_cast<DWORD>(error));
    if (!reason.empty()) reason += '.';
    WriteOutput(tracewick::lookup::FailureLine(query, reason, error));
    return kExitNotFound;
}

// Winsock for the life of the program; WSACleanup only after a start that
// succeeded.
class WinsockSession {
public:
    WinsockSession() {
        WSADATA data;
        error_ = WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockSession() {
        if (error_ == 0) WSACleanup();
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;

    int error() const { return error_; }

private:
    int error_ = 0;
};

// Owns a resolver result list.
class AddressList {
public:
    AddressList() = default;
    ~AddressList() {
        if (head_ != nullptr) freeaddrinfo(head_);
    }
    AddressList(const AddressList&) = delete;
    AddressList& operator=(const AddressList&) = delete;

    // 0 or the resolver's error; on an error the list stays empty.
    [[nodiscard]] int Resolve(const std::string& node, int flags) {
        ADDRINFOA hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_flags = flags;
        ADDRINFOA* head = nullptr;
        const int error = getaddrinfo(node.c_str(), nullptr, &hints, &head);
        if (error == 0) head_ = head;
        return error;
    }
    const ADDRINFOA* head() const { return head_; }

private:
    ADDRINFOA* head_ = nullptr;
};

// The numeric text of one address; 0 or the resolver's error.
[[nodiscard]] int NumericText(const ADDRINFOA& entry, std::string& text) {
    char host[NI_MAXHOST] = {};
    const int error = getnameinfo(entry.ai_addr, static_cast<socklen_t>(entry.ai_addrlen), host, sizeof host, nullptr,
                                  0, NI_NUMERICHOST);
    if (error == 0) text = host;
    return error;
}

// The Address line first, then the slower reverse lookup.
int LookUpAddress(const std::string& query, const ADDRINFOA& address) {
    std::string numeric;
    if (NumericText(address, numeric) != 0) numeric = query;
    WriteOutput(tracewick::lookup::AddressLine(numeric));

    char name[NI_MAXHOST] = {};
    const int error = getnameinfo(address.ai_addr, static_cast<socklen_t>(address.ai_addrlen), name, sizeof name,
                                  nullptr, 0, NI_NAMEREQD);
    if (error != 0) return ReportFailure(query, error);
    WriteOutput(tracewick::lookup::NameLine(name));
    return kExitFound;
}

// Everything is printed after the one resolver call, so a failure stays a
// single line.
int LookUpName(const std::string& query) {
    AddressList list;
    const int error = list.Resolve(query, AI_CANONNAME);
    if (error != 0) return ReportFailure(query, error);

    std::vector<ResolvedAddress> addresses;
    for (const ADDRINFOA* entry = list.head(); entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET && entry->ai_family != AF_INET6) continue;
        std::string text;
        const int text_error = NumericText(*entry, text);
        if (text_error != 0) return ReportFailure(query, text_error);
        addresses.push_back({entry->ai_family == AF_INET ? AddressFamily::kIPv4 : AddressFamily::kIPv6, text});
    }
    // A name with no address we can show is not found, not a success with
    // nothing under it.
    if (addresses.empty()) return ReportFailure(query, WSANO_DATA);

    WriteOutput(tracewick::lookup::NameLine(query));
    const char* canonical = list.head()->ai_canonname;
    if (canonical != nullptr && *canonical != '\0') WriteOutput(tracewick::lookup::CanonicalLine(canonical));
    for (const std::string& line : tracewick::lookup::AddressLines(addresses)) WriteOutput(line);
    return kExitFound;
}

int Run(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const std::string query = tracewick::lookup::QueryFromArguments(arguments);
    if (query.empty()) {
        WriteLine(STD_ERROR_HANDLE, tracewick::lookup::kUsageLine);
        return kExitUsage;
    }

    const WinsockSession winsock;
    if (winsock.error() != 0) return ReportFailure(query, winsock.error());

    AddressList numeric;
    if (numeric.Resolve(query, AI_NUMERICHOST) == 0 && numeric.head() != nullptr)
        return LookUpAddress(query, *numeric.head());
    return LookUpName(query);
}

}  // namespace

int main(int argc, char** argv) { return Run(argc, argv); }
