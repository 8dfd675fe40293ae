#include "agenda_db/odbc/odbc_connection_string.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "core/case_fold.h"
#include "core/error.h"

namespace infotrakon::agenda_db {
namespace {

std::string OdbcValue(const std::string& value) {
    // A value with a separator or a brace goes in braces, a closing brace doubled.
    if (value.find_first_of(";{}") == std::string::npos) return value;
    std::string braced = "{";
    for (const char c : value) {
        braced += c;
        if (c == '}') braced += '}';
    }
    return braced + "}";
}

// An ODBC connection string: "key=value;" pairs, a value in {braces} may hold anything, "}}"
// standing for "}". The braces are taken off.
std::vector<ConnectionProperty> ParseOdbcConnectionString(const std::string& text) {
    std::vector<ConnectionProperty> properties;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t equals = text.find('=', i);
        const std::size_t semicolon = text.find(';', i);
        if (equals == std::string::npos || (semicolon != std::string::npos && semicolon < equals)) {
            if (semicolon == std::string::npos) break;
            i = semicolon + 1;  // a piece without a value is skipped, as drivers do
            continue;
        }
        std::string key = text.substr(i, equals - i);
        while (!key.empty() && key.front() == ' ') key.erase(key.begin());
        while (!key.empty() && key.back() == ' ') key.pop_back();
        i = equals + 1;
        std::string value;
        if (i < text.size() && text[i] == '{') {
            ++i;
            TakeToSingle(text, i, '}', value);
            const std::size_t end = text.find(';', i);
            i = end == std::string::npos ? text.size() : end + 1;
        } else {
            const std::size_t end = text.find(';', i);
            value = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? text.size() : end + 1;
        }
        if (!key.empty()) properties.push_back({key, value});
    }
    return properties;
}

[[noreturn]] void RefuseKey(const std::string& key, const std::string& origin) {
    std::string allowed;
    for (const char* name : kAllowedOdbcKeys)
        allowed += std::string(allowed.empty() ? "" : ", ") + name;
    throw Error(error_number::kConnectionKeyNotAllowed,
                origin + " holds the ODBC key '" + key +
                    "', which the panel never passes to a driver; a data link may hold " + allowed);
}

// A driver given by a path would be loaded from there: refused before anything is asked.
void RefuseDriverPath(const std::string& driver, const std::string& origin) {
    if (driver.find_first_of("/\\") != std::string::npos)
        throw Error(error_number::kProviderNotSupported,
                    origin + " names the ODBC driver '" + driver +
                        "' by a path; the panel loads only drivers installed under a name");
}

// The driver's name as the driver manager has it installed. A name it does not know, which it
// would try to load as a library, is refused.
std::string InstalledDriverName(const std::string& driver, const std::string& origin,
                                const std::vector<std::string>& installed) {
    const auto found = std::find_if(installed.begin(), installed.end(), [&](const auto& name) {
        return EqualsIgnoringCase(name, driver);
    });
    if (found != installed.end()) return *found;
    std::string names;
    for (const std::string& name : installed) names += (names.empty() ? "" : ", ") + name;
    throw Error(error_number::kProviderNotSupported,
                origin + " names the ODBC driver '" + driver +
                    "', which is not installed (installed: " +
                    (names.empty() ? std::string("none") : names) + ")");
}

}  // namespace

std::vector<ConnectionProperty> AllowedOdbcProperties(
    std::vector<ConnectionProperty> odbc, const std::string& origin,
    const std::function<std::vector<std::string>()>& installedDrivers) {
    std::optional<std::vector<std::string>> installed;
    for (ConnectionProperty& property : odbc) {
        const bool allowed =
            std::any_of(std::begin(kAllowedOdbcKeys), std::end(kAllowedOdbcKeys),
                        [&](const char* key) { return EqualsIgnoringCase(property.key, key); });
        if (!allowed) RefuseKey(property.key, origin);
        if (!EqualsIgnoringCase(property.key, "DRIVER")) continue;
        RefuseDriverPath(property.value, origin);
        if (!installed) installed = installedDrivers();
        property.value = InstalledDriverName(property.value, origin, *installed);
    }
    return odbc;
}

std::vector<ConnectionProperty> OdbcProperties(const std::vector<ConnectionProperty>& properties) {
    std::vector<ConnectionProperty> odbc;
    if (const auto extended = FindProperty(properties, "Extended Properties"))
        odbc = ParseOdbcConnectionString(*extended);
    // Keys outside Extended Properties, in their ODBC names; those inside win.
    const std::pair<const char*, const char*> outside[] = {
        {"DSN", "DSN"},           {"DRIVER", "DRIVER"},
        {"SERVER", "SERVER"},     {"PORT", "PORT"},
        {"DATABASE", "DATABASE"}, {"UID", "UID"},
        {"PWD", "PWD"},           {"User ID", "UID"},
        {"Password", "PWD"},      {"Initial Catalog", "DATABASE"},
        {"Data Source", "DSN"}};
    for (const auto& [oleDbKey, odbcKey] : outside)
        if (!FindProperty(odbc, odbcKey))
            if (const auto value = FindProperty(properties, oleDbKey))
                odbc.push_back({odbcKey, *value});
    return odbc;
}

bool NamesOdbcSource(const std::vector<ConnectionProperty>& properties) {
    const auto provider = FindProperty(properties, "Provider");
    if (provider &&
        (EqualsIgnoringCase(*provider, "MSDASQL") || EqualsIgnoringCase(*provider, "MSDASQL.1")))
        return true;
    if (FindProperty(properties, "DSN")) return true;
    if (const auto extended = FindProperty(properties, "Extended Properties"))
        return FindProperty(ParseOdbcConnectionString(*extended), "DSN").has_value();
    return false;
}

std::string OdbcConnectionString(const std::vector<ConnectionProperty>& odbc) {
    std::string text;
    for (const ConnectionProperty& property : odbc)
        text += property.key + "=" + OdbcValue(property.value) + ";";
    // Booleans as booleans and rows read through a cursor, so that running a statement does
    // not pull a whole table before its filter is known; 8000 rows a fetch, a few hundred
    // kilobytes, for a walk of a large table waits on fewer round trips. The driver's logs
    // off: Debian registers it with CommLog=1, which writes a file into /tmp for every
    // connection.
    text += "BoolsAsChar=0;UseDeclareFetch=1;Fetch=8000;CommLog=0;Debug=0;";
    return text;
}

}  // namespace infotrakon::agenda_db
