// The sheet's page indices: the tab order, which other modules and the
// actpage.dat file rely on. Portable: no <windows.h>.
#pragma once

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

}  // namespace tracewick
