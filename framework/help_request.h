// Help asked for by any dialog. The application names what shows it (its
// help window), so that the dialogs below it need not know that window.
// UI thread only.
#pragma once

#include <functional>
#include <string_view>

namespace tracewick {

// Shows the program's help at a topic.
using HelpShower = std::function<void(std::string_view topic)>;

// From now on help is shown by `shower`; empty: by nobody.
void SetHelpShower(HelpShower shower);

// Opens the program's help at `topic`; nothing while nobody shows help.
void ShowHelpTopic(std::string_view topic);

}  // namespace tracewick
