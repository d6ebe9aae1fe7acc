#include "core/routes_options.h"

namespace tracewick {

void WriteRoutesSettings(const RoutesOptions& options, SettingsWriter& writer) {
    writer.Text(options.address);
    writer.Flag(options.cumulative);
}

void ReadRoutesSettings(SettingsReader& reader, RoutesOptions& options) {
    reader.Text(options.address, kMaxRouteAddress);
    reader.Flag(options.cumulative);
}

CommandTemplate RoutesCommand() { return {"conspawn.exe \"route print ", "\""}; }

}  // namespace tracewick
