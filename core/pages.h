// The sheet's page indices: the tab order, which other modules and the
// actpage.dat file rely on. Portable: no <windows.h>.
#pragma once

#include <array>

namespace tracewick {

enum PageIndex : int {
    kPingPage = 0,
    kTracertPage = 1,
    kLookupPage = 2,
    kRoutesPage = 3,
    kArpPage = 4,
    kNetbiosPage = 5,
    kConnectionsPage = 6,
    kStatisticsPage = 7,
    kAboutPage = 8,
    kPageCount = 9,
};

// The order the sheet reads the diagnostic pages' settings in at start.
inline constexpr std::array<int, 8> kSettingsReadOrder = {1, 3, 2, 4, 6, 5, 7, 0};

}  // namespace tracewick
