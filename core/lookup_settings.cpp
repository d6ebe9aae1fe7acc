#include "core/lookup_settings.h"

#include "core/command_line.h"

namespace tracewick {

void WriteLookupSettings(const LookupSettings& settings, SettingsWriter& writer) {
    writer.Flag(settings.cumulative);
    writer.Text(settings.host);
    for (const std::string& host : settings.hosts) writer.Text(host);
}

void ReadLookupSettings(SettingsReader& reader, LookupSettings& settings) {
    reader.Flag(settings.cumulative);
    reader.Text(settings.host, kMaxCommandLength);
    settings.hosts.clear();
    std::string line;
    while (reader.Line(line)) {
        if (!line.empty() && line.size() <= kMaxCommandLength) settings.hosts.push_back(line);
    }
}

}  // namespace tracewick
