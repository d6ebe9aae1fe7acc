#include "core/routes_options.h"

namespace tracewick {

CommandTemplate RoutesCommand() { return {"conspawn.exe \"route print ", "\""}; }

}  // namespace tracewick
