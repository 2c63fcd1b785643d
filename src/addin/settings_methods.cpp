#include "addin/settings_methods.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <tinyxml2.h>

#include "addin/text_catalog.h"
#include "addin/xml_result.h"
#include "config/component_version.h"
#include "config/log.h"

namespace korvant {
namespace {

constexpr std::string_view kDownloadUrl = "https://korvant-engineering.example/drivers";
constexpr int32_t kDefaultMarkTimeoutSeconds = 30;
constexpr int32_t kMinimumMarkTimeoutSeconds = 5;

std::string_view caption(InterfaceText item) {
    return TextCatalog::text(item);
}

// A decimal number read the way strtoul reads it (white space, sign, digits),
// keeping its low 32 bits as a signed value.
int32_t readTimeoutSeconds(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    uint32_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + static_cast<uint32_t>(text[pos] - '0');
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}

int32_t clampedTimeoutMs(int32_t seconds) {
    if (seconds <= 0) {
        seconds = kMinimumMarkTimeoutSeconds;
    } else if (seconds > kDefaultMarkTimeoutSeconds) {
        seconds = kDefaultMarkTimeoutSeconds;
    }
    return seconds * 1000;
}

// The time-out in seconds as a text, or as any number the host stores settings
// in (1C hands back a number it stored as a number); any other type, or a
// number that is none (NaN), takes the longest time-out.
int32_t markTimeoutMs(const HostArgs& args, long index) {
    if (const auto text = args.anyText(index)) {
        return clampedTimeoutMs(readTimeoutSeconds(*text));
    }
    const double seconds = args.numeric(index).value_or(kDefaultMarkTimeoutSeconds);
    if (std::isnan(seconds)) {
        return clampedTimeoutMs(kDefaultMarkTimeoutSeconds);
    }
    // Clamped before the conversion, which is undefined beyond the int range.
    return clampedTimeoutMs(static_cast<int32_t>(std::clamp(seconds, -1.0, 31.0)));
}

} // namespace

MethodOutcome getDescription(ComponentState& state, const HostArgs& args) {
    XmlDocument document(R"(<?xml version="1.0" encoding="UTF-8"?><DriverDescription/>)");
    const bool loaded = state.library->loaded();
    document.root()
        .set("IntegrationComponent", "true")
        .set("Name", caption(InterfaceText::ModelName))
        .set("Description", caption(InterfaceText::DriverDescription))
        .set("EquipmentType", "ККТ")
        .set("MainDriverInstalled", loaded ? "true" : "false")
        .set("DriverVersion", loaded ? std::string_view(state.driverVersion) : std::string_view())
        .set("IntegrationComponentVersion", kComponentVersion)
        .set("DownloadURL", kDownloadUrl)
        .set("LogIsEnabled", state.logEnabled ? "true" : "false")
        .set("LogPath", pathToUtf8(state.logPath));
    return MethodOutcome::boolean(args.setText(0, document.text()));
}

MethodOutcome getParameters(ComponentState&, const HostArgs& args) {
    XmlDocument document(R"(<?xml version="1.0" encoding="UTF-8"?><Settings/>)");
    XmlElement page =
        document.root().append("Page").set("Caption", caption(InterfaceText::SettingsPage));
    XmlElement connection =
        page.append("Group").set("Caption", caption(InterfaceText::ConnectionGroup));
    connection.append("Parameter")
        .set("Name", "Serial")
        .set("Caption", caption(InterfaceText::SerialNumber));
    connection.append("Parameter")
        .set("Name", "Ipaddr")
        .set("Caption", caption(InterfaceText::IpAddress));
    page.append("Group")
        .set("Caption", caption(InterfaceText::MarkingGroup))
        .append("Parameter")
        .set("Name", "MarkTimeout")
        .set("Caption", caption(InterfaceText::MarkingTimeout));
    return MethodOutcome::boolean(args.setText(0, document.text()));
}

MethodOutcome setParameter(ComponentState& state, const HostArgs& args) {
    const auto name = args.anyText(0);
    if (!name || name->empty()) {
        return MethodOutcome::boolean(false);
    }
    if (*name == "Serial" || *name == "Ipaddr") {
        std::string& field = *name == "Serial" ? state.settings.serial : state.settings.ipAddress;
        field = args.anyText(1).value_or(std::string());
        KORVANT_LOG("AddInKorvant::setParameter", *name, ": ", field);
        return MethodOutcome::boolean(true);
    }
    if (*name == "MarkTimeout") {
        state.settings.markTimeoutMs = markTimeoutMs(args, 1);
        KORVANT_LOG("AddInKorvant::setParameter", "MarkTimeout", ": ",
                    state.settings.markTimeoutMs);
        return MethodOutcome::boolean(true);
    }
    return MethodOutcome::boolean(false);
}

} // namespace korvant
