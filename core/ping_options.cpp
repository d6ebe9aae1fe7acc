#include "core/ping_options.h"

namespace tracewick {

void WritePingSettings(const PingOptions& options, SettingsWriter& writer) {
    writer.Number(options.count);
    writer.Number(options.timeout);
    writer.Number(options.repeat);
    writer.Number(options.packet_size);
    writer.Flag(options.cumulative);
}

void ReadPingSettings(SettingsReader& reader, PingOptions& options) {
    reader.Number(options.count);
    reader.Number(options.timeout);
    reader.Number(options.repeat);
    reader.Number(options.packet_size);
    reader.Flag(options.cumulative);
}

}  // namespace tracewick
