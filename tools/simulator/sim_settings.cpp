#include "sim_settings.h"

#include <string.h>

namespace {

#define QV_SIM_TEXT(x) QV_SIM_TEXT2(x)
#define QV_SIM_TEXT2(x) #x
#define QV_SIM_MAX_DELAY_MS 2000   // one call at most 2 s: a whole query then stays under half a minute

typedef bool (*ParseValue)(const std::string& value, SimSettings& settings);

std::string Lower(std::string text)
{
    for (size_t i = 0; i < text.size(); i++)
        if (text[i] >= 'A' && text[i] <= 'Z')
            text[i] = char(text[i] - 'A' + 'a');
    return text;
}

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return std::string();
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

// Decimal digits only, up to limit; "NA" in any case where allowed.
bool ParseNumber(const std::string& value, int limit, bool naAllowed, int* out)
{
    if (naAllowed && Lower(value) == "na") {
        *out = kNotAvailable;
        return true;
    }
    if (value.empty() || value.size() > 5)
        return false;
    int n = 0;
    for (size_t i = 0; i < value.size(); i++) {
        if (value[i] < '0' || value[i] > '9')
            return false;
        n = n * 10 + (value[i] - '0');
    }
    if (n > limit)
        return false;
    *out = n;
    return true;
}

// One of the words, in any case; its position in the list.
bool ParseWord(const std::string& value, const char* const* words, int count, int* out)
{
    std::string lower = Lower(value);
    for (int i = 0; i < count; i++) {
        if (lower == words[i]) {
            *out = i;
            return true;
        }
    }
    return false;
}

// A name for the device ID: its fields end at ';' and the text at a control
// character, so neither may appear in it.
bool ParseName(const std::string& value, std::string* out)
{
    if (value.empty() || value.size() > 63)
        return false;
    for (size_t i = 0; i < value.size(); i++)
        if ((unsigned char)value[i] < 0x20 || value[i] == ';')
            return false;
    *out = value;
    return true;
}

bool Model(const std::string& value, SimSettings& s) { return ParseName(value, &s.model); }

bool Manufacturer(const std::string& value, SimSettings& s) { return ParseName(value, &s.manufacturer); }

bool Id(const std::string& value, SimSettings& s)
{
    int id[6];
    if (Lower(value) == "na") {
        for (int i = 0; i < 6; i++)
            id[i] = kNotAvailable;
    } else {
        size_t start = 0;
        for (int i = 0; i < 6; i++) {
            size_t comma = value.find(',', start);
            bool last = i == 5;
            if (last != (comma == std::string::npos))
                return false;
            std::string item = Trim(value.substr(start, last ? std::string::npos : comma - start));
            if (!ParseNumber(item, 255, true, &id[i]))
                return false;
            start = comma + 1;
        }
    }
    memcpy(s.id, id, sizeof id);
    return true;
}

bool Memory(const std::string& value, SimSettings& s) { return ParseNumber(value, 255, true, &s.memoryMB); }

bool LowerTray(const std::string& value, SimSettings& s) { return ParseNumber(value, 1, true, &s.lowerTray); }

bool Answers(const std::string& value, SimSettings& s)
{
    static const char* const kWords[] = {"no", "yes"};
    int word;
    if (!ParseWord(value, kWords, 2, &word))
        return false;
    s.answers = word == 1;
    return true;
}

bool Initialise(const std::string& value, SimSettings& s)
{
    static const char* const kWords[] = {"ok", "refuse"};
    int word;
    if (!ParseWord(value, kWords, 2, &word))
        return false;
    s.refusesToStart = word == 1;
    return true;
}

bool Channels(const std::string& value, SimSettings& s)
{
    static const char* const kWords[] = {"none", "preferred", "basic", "both"};
    int word;
    if (!ParseWord(value, kWords, 4, &word))
        return false;
    s.offersPreferred = word == 1 || word == 3;
    s.offersBasic = word == 2 || word == 3;
    return true;
}

bool Status(const std::string& value, SimSettings& s)
{
    static const char* const kWords[] = {"ok", "fail"};
    int word;
    if (!ParseWord(value, kWords, 2, &word))
        return false;
    s.statusFails = word == 1;
    return true;
}

bool Delay(const std::string& value, SimSettings& s)
{
    return ParseNumber(value, QV_SIM_MAX_DELAY_MS, false, &s.delayMs);
}

struct Key {
    const char* section;
    const char* name;
    const char* builtIn;    // also what BuiltInSettings starts from
    const char* expected;   // for the report of a bad value
    ParseValue parse;
};

const Key kKeys[] = {
    {"printer", "model", "Marlow Wide 900", "a name of 1 to 63 characters without ';'", Model},
    {"printer", "manufacturer", "Simulated", "a name of 1 to 63 characters without ';'", Manufacturer},
    {"printer", "id", "30,42,48,56,64,70", "six numbers from 0 to 255 or NA, separated by commas, or NA",
     Id},
    {"printer", "memory", "64", "a number from 0 to 255, or NA", Memory},
    {"printer", "lowertray", "1", "1, 0 or NA", LowerTray},
    {"behaviour", "answers", "yes", "yes or no", Answers},
    {"behaviour", "initialise", "ok", "ok or refuse", Initialise},
    {"behaviour", "channels", "both", "both, preferred, basic or none", Channels},
    {"behaviour", "status", "ok", "ok or fail", Status},
    {"behaviour", "delay_ms", "0", "a number from 0 to " QV_SIM_TEXT(QV_SIM_MAX_DELAY_MS), Delay},
};
const int kKeyCount = sizeof kKeys / sizeof kKeys[0];

// A value as the report shows it: a very long one is cut short.
std::string Shown(const std::string& value)
{
    if (value.size() <= 40)
        return value;
    return value.substr(0, 32) + "... (" + std::to_string(value.size()) + " characters)";
}

}  // namespace

SimSettings BuiltInSettings()
{
    SimSettings settings = SimSettings();
    for (int k = 0; k < kKeyCount; k++)
        kKeys[k].parse(kKeys[k].builtIn, settings);
    return settings;
}

void ApplySettingsText(const std::string& text, SimSettings& settings,
                       void (*report)(const std::string& line))
{
    bool set[kKeyCount] = {};
    std::string section;
    bool sectionKnown = true;   // keys before any section are reported one by one
    size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (int lineNumber = 1; pos < text.size(); lineNumber++) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        std::string where = "xkapi-sim.ini line " + std::to_string(lineNumber) + ": ";

        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            section = Lower(Trim(line.substr(1, line.size() - 2)));
            sectionKnown = line[line.size() - 1] == ']' && (section == "printer" || section == "behaviour");
            if (!sectionKnown)
                report(where + "unknown section " + Shown(line) + "; its keys are ignored");
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos) {
            report(where + "not key=value: " + Shown(line) + "; ignored");
            continue;
        }
        if (!sectionKnown)
            continue;
        std::string name = Lower(Trim(line.substr(0, equals)));
        std::string value = Trim(line.substr(equals + 1));
        int k = 0;
        while (k < kKeyCount && (section != kKeys[k].section || name != kKeys[k].name))
            k++;
        if (k == kKeyCount) {
            report(where + "unknown key " + Shown(name) + "=" + Shown(value) +
                   (section.empty() ? " outside a section" : " in [" + section + "]") + "; ignored");
        } else if (!kKeys[k].parse(value, settings)) {
            report(where + name + "=" + Shown(value) + " is not " + kKeys[k].expected +
                   (set[k] ? "; the earlier line's value stays" : "; using the built-in " + std::string(kKeys[k].builtIn)));
        } else {
            set[k] = true;
        }
    }
}
