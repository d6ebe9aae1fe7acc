#include "pages/netbios_page.h"

#include "core/text.h"
#include "framework/data_exchange.h"
#include "framework/message_box.h"
#include "res/resource.h"

namespace tracewick {

namespace {

constexpr UINT_PTR kCancelTimer = 12;
constexpr int kHeaderMargin = 13;
constexpr int kMargin = 14;
// The registry's value is read into a buffer of this size, terminator included.
constexpr DWORD kRegistryNameBytes = 50;

constexpr CommandPageTraits kNetbiosTraits{IDD_NETBIOS_PAGE,
                                          IDC_NET_PANE,
                                          0,
                                          RunnerTraits{"NetBIOS cancelled", "\r\n"},
                                          RunCycleTraits{"NetBIOS", true, false},
                                          kCancelTimer,
                                          0,
                                          kMargin,
                                          kHeaderMargin,
                                          "Tracewick NetBIOS Output",
                                          &kNetbiosLineRules};

// Upper case as the system's locale has it, as the field shows it.
std::string Upper(std::string text) {
    if (!text.empty()) ::CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

CNetbiosPage::CNetbiosPage() : OptionsPage(kNetbiosTraits, nullptr, kNetbiosFields) {}

void CNetbiosPage::DoDataExchange(DataExchange& exchange) {
    exchange.Check(IDC_NAME_TABLE, options_.name_table);
    exchange.Check(IDC_RESOURCES, options_.resources);
    exchange.Check(IDC_WORKGROUP, options_.workgroup);
    exchange.Text(IDC_TEXT_FIELD, options_.computer, kMaxComputerName);
    AsyncCommandPage::DoDataExchange(exchange);
}

void CNetbiosPage::CommitInput() {
    CommitField([this] { options_.computer = Upper(StripLeadingBlanks(options_.computer)); });
}

// Only Resources and Name Table name a computer: Workgroup alone neither
// reads nor changes the field.
void CNetbiosPage::CommitBeforeRun() {
    if (options_.NamesComputer()) CommitInput();
}

bool CNetbiosPage::ReadRegistryName() {
    char name[kRegistryNameBytes] = {};
    DWORD size = sizeof name;
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\control\\ComputerName\\ComputerName",
                       "ComputerName", RRF_RT_REG_SZ, nullptr, name, &size) != ERROR_SUCCESS ||
        name[0] == '\0') {
        return false;
    }
    registry_name_ = Upper(name);
    return true;
}

void CNetbiosPage::RefuseName(std::string_view text, std::size_t caret) {
    AppMessageBox(Hwnd(), std::string(text));
    HWND field = Item(IDC_TEXT_FIELD);
    ::SetFocus(field);
    if (caret == std::string::npos) return;
    ::SendMessageA(field, EM_SETSEL, caret, caret);
    ::SendMessageA(field, EM_SCROLLCARET, 0, 0);
}

std::optional<RunPlan> CNetbiosPage::PlanRun() {
    if (!options_.workgroup && !options_.resources && !options_.name_table) {
        AppMessageBox(Hwnd(), NoOptionsText("Workgroup, Resources, Name Table"));
        return std::nullopt;
    }
    // Only Resources and Name Table name a computer; Workgroup alone leaves
    // the field as it is.
    if (options_.NamesComputer()) {
        if (!options_.computer.empty()) {
            if (const auto refusal = OptionLikeRefusal(options_.computer, "computer name")) {
                RefuseName(*refusal, 0);
                return std::nullopt;
            }
            if (const std::size_t bad = ForbiddenNameCharacter(options_.computer); bad != std::string::npos) {
                RefuseName(kTypedNameInvalidText, bad);
                return std::nullopt;
            }
            // Only to tell whether the typed name is this computer.
            if (options_.name_table) ReadRegistryName();
        } else if (!ReadRegistryName()) {
            RefuseName(kRegistryNameUnreadableText, std::string::npos);
            return std::nullopt;
        } else if (ForbiddenNameCharacter(registry_name_) != std::string::npos) {
            RefuseName(kRegistryNameInvalidText, std::string::npos);
            return std::nullopt;
        }
    }
    RunPlan plan{NetbiosRun(options_, registry_name_)};
    if (options_.NamesComputer()) {
        plan.subject = options_.computer.empty() ? registry_name_ : options_.computer;
    }
    return plan;
}

}  // namespace tracewick
