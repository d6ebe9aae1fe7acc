// The NetBIOS page: the workgroup and its members, the resources a computer
// shares and a computer's name table, for the computer typed or, with the
// field empty, this one as the registry names it. Several commands in one
// run, shown line by line. UI thread only.
#pragma once

#include "core/netbios_options.h"
#include "pages/options_page.h"

namespace tracewick {

class CNetbiosPage : public OptionsPage<NetbiosOptions> {
public:
    CNetbiosPage();

    // The computer field's focus-loss routine: leading blanks go, upper case.
    void CommitInput() override;

protected:
    void DoDataExchange(DataExchange& exchange) override;
    std::optional<RunPlan> PlanRun() override;
    void CommitBeforeRun() override;

private:
    // Reads this computer's name from the registry into registry_name_, in
    // upper case; false (the name as it was) when it cannot be read.
    bool ReadRegistryName();
    // Tells the user why the computer cannot be asked and gives the field
    // the focus, the caret at `caret` when there is one.
    void RefuseName(std::string_view text, std::size_t caret);

    // The last name read from the registry, for the program's life.
    std::string registry_name_;
};

}  // namespace tracewick
