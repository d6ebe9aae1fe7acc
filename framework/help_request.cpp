#include "framework/help_request.h"

#include <utility>

namespace tracewick {

namespace {

HelpShower g_shower;

}  // namespace

void SetHelpShower(HelpShower shower) { g_shower = std::move(shower); }

void ShowHelpTopic(std::string_view topic) {
    if (g_shower) g_shower(topic);
}

}  // namespace tracewick
