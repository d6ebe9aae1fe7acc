// The Modify Host List dialog: deletes entries or goes back to the default
// list, then writes the result to every host combo on OK. UI thread only.
#pragma once

#include "framework/dialog.h"
#include "framework/message_map.h"
#include "hostlist/host_list.h"

namespace tracewick {

class HostListDialog : public WithMessageMap<HostListDialog, Dialog> {
public:
    explicit HostListDialog(HostList& hosts);

    static const MessageEntry<HostListDialog> kMessageMap[];

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    INT_PTR OnSelectionChange(WPARAM, LPARAM);
    INT_PTR OnDelete(WPARAM, LPARAM);
    INT_PTR OnDefault(WPARAM, LPARAM);
    INT_PTR OnHelp(WPARAM, LPARAM);

    HostList& hosts_;
};

}  // namespace tracewick
