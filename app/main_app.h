// The application object: start-up, the splash decision, the main sheet's
// modal run. UI thread only.
#pragma once

#include <windows.h>

namespace tracewick {

class MainApp {
public:
    // Runs the whole program; always FALSE, so nothing follows it.
    BOOL InitInstance();
};

}  // namespace tracewick
