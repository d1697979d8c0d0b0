#include "sim_settings.h"

#include <stdio.h>
#include <string.h>

namespace {

#define QV_SIM_TEXT(x) QV_SIM_TEXT2(x)
#define QV_SIM_TEXT2(x) #x
#define QV_SIM_MAX_DELAY_MS 2000   // one call at most 2 s: a whole query then stays under half a minute

// A piece of the file's text, not NUL-terminated.
struct Text {
    const char* begin;
    size_t length;
};

Text Trim(Text t)
{
    while (t.length > 0 && (*t.begin == ' ' || *t.begin == '\t' || *t.begin == '\r')) {
        t.begin++;
        t.length--;
    }
    while (t.length > 0 && (t.begin[t.length - 1] == ' ' || t.begin[t.length - 1] == '\t' ||
                            t.begin[t.length - 1] == '\r'))
        t.length--;
    return t;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// The text is the word, in any case.
bool Is(Text t, const char* word)
{
    size_t n = strlen(word);
    if (t.length != n)
        return false;
    for (size_t i = 0; i < n; i++)
        if (Lower(t.begin[i]) != word[i])
            return false;
    return true;
}

// Decimal digits only, up to limit; "NA" in any case where allowed.
bool ParseNumber(Text value, int limit, bool naAllowed, int* out)
{
    if (naAllowed && Is(value, "na")) {
        *out = kNotAvailable;
        return true;
    }
    if (value.length == 0 || value.length > 5)
        return false;
    int n = 0;
    for (size_t i = 0; i < value.length; i++) {
        if (value.begin[i] < '0' || value.begin[i] > '9')
            return false;
        n = n * 10 + (value.begin[i] - '0');
    }
    if (n > limit)
        return false;
    *out = n;
    return true;
}

// One of the words, in any case; its position in the list.
bool ParseWord(Text value, const char* const* words, int count, int* out)
{
    for (int i = 0; i < count; i++) {
        if (Is(value, words[i])) {
            *out = i;
            return true;
        }
    }
    return false;
}

// A name for the device ID: its fields end at ';' and the text at a control
// character, so neither may appear in it.
bool ParseName(Text value, char (&out)[64])
{
    if (value.length == 0 || value.length >= sizeof out)
        return false;
    for (size_t i = 0; i < value.length; i++)
        if ((unsigned char)value.begin[i] < 0x20 || value.begin[i] == ';')
            return false;
    memcpy(out, value.begin, value.length);
    out[value.length] = '\0';
    return true;
}

bool Model(Text value, SimSettings& s) { return ParseName(value, s.model); }

bool Manufacturer(Text value, SimSettings& s) { return ParseName(value, s.manufacturer); }

bool Id(Text value, SimSettings& s)
{
    int id[6];
    if (Is(value, "na")) {
        for (int i = 0; i < 6; i++)
            id[i] = kNotAvailable;
    } else {
        const char* end = value.begin + value.length;
        const char* item = value.begin;
        for (int i = 0; i < 6; i++) {
            const char* comma = (const char*)memchr(item, ',', end - item);
            bool last = i == 5;
            if (last != (comma == NULL))
                return false;
            Text t = {item, size_t((last ? end : comma) - item)};
            if (!ParseNumber(Trim(t), 255, true, &id[i]))
                return false;
            item = comma + 1;
        }
    }
    memcpy(s.id, id, sizeof id);
    return true;
}

bool Memory(Text value, SimSettings& s) { return ParseNumber(value, 255, true, &s.memoryMB); }

bool LowerTray(Text value, SimSettings& s) { return ParseNumber(value, 1, true, &s.lowerTray); }

// A key of two words: the first leaves the switch off, the second turns it on.
bool ParseSwitch(Text value, const char* off, const char* on, bool* out)
{
    const char* const words[] = {off, on};
    int word;
    if (!ParseWord(value, words, 2, &word))
        return false;
    *out = word == 1;
    return true;
}

bool Answers(Text value, SimSettings& s) { return ParseSwitch(value, "no", "yes", &s.answers); }

bool Initialise(Text value, SimSettings& s)
{
    return ParseSwitch(value, "ok", "refuse", &s.refusesToStart);
}

bool Channels(Text value, SimSettings& s)
{
    static const char* const kWords[] = {"none", "preferred", "basic", "both"};
    int word;
    if (!ParseWord(value, kWords, 4, &word))
        return false;
    s.offersPreferred = word == 1 || word == 3;
    s.offersBasic = word == 2 || word == 3;
    return true;
}

bool Status(Text value, SimSettings& s) { return ParseSwitch(value, "ok", "fail", &s.statusFails); }

bool Delay(Text value, SimSettings& s) { return ParseNumber(value, QV_SIM_MAX_DELAY_MS, false, &s.delayMs); }

struct Key {
    const char* section;
    const char* name;
    const char* builtIn;    // also what SetBuiltInSettings starts from
    const char* expected;   // for the report of a bad value
    bool (*parse)(Text value, SimSettings& settings);
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

// A piece of text as the report shows it: a very long one is cut short.
// Returns buffer.
const char* Shown(Text t, char (&buffer)[80])
{
    if (t.length <= 40)
        _snprintf(buffer, sizeof buffer, "%.*s", (int)t.length, t.begin);
    else
        _snprintf(buffer, sizeof buffer, "%.32s... (%u characters)", t.begin, (unsigned)t.length);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

// _snprintf leaves a text that fills the buffer unterminated.
void Report(void (*report)(const char* line), char (&line)[400])
{
    line[sizeof line - 1] = '\0';
    report(line);
}

}  // namespace

void SetBuiltInSettings(SimSettings& settings)
{
    memset(&settings, 0, sizeof settings);
    for (int k = 0; k < kKeyCount; k++) {
        Text t = {kKeys[k].builtIn, strlen(kKeys[k].builtIn)};
        kKeys[k].parse(t, settings);
    }
}

void ApplySettingsText(const char* text, size_t length, SimSettings& settings,
                       void (*report)(const char* line))
{
    bool set[kKeyCount] = {};
    char section[16] = "";   // lower case; longer names are unknown anyway
    bool sectionKnown = true;   // keys before any section are reported one by one
    char line[400], shown[80], shown2[80];
    const char* end = text + length;
    const char* pos = text;
    if (length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0)
        pos += 3;
    for (int number = 1; pos < end; number++) {
        const char* newline = (const char*)memchr(pos, '\n', end - pos);
        if (newline == NULL)
            newline = end;
        Text t = {pos, size_t(newline - pos)};
        t = Trim(t);
        pos = newline + 1;

        if (t.length == 0 || t.begin[0] == ';' || t.begin[0] == '#')
            continue;
        if (t.begin[0] == '[') {
            Text name = {t.begin + 1, t.length - 1};
            sectionKnown = t.begin[t.length - 1] == ']';
            if (sectionKnown)
                name.length--;
            name = Trim(name);
            sectionKnown = sectionKnown && (Is(name, "printer") || Is(name, "behaviour"));
            if (sectionKnown) {
                for (size_t i = 0; i <= name.length; i++)
                    section[i] = i < name.length ? Lower(name.begin[i]) : '\0';
            } else {
                _snprintf(line, sizeof line, "xkapi-sim.ini line %d: unknown section %s; its keys are ignored",
                          number, Shown(t, shown));
                Report(report, line);
            }
            continue;
        }
        const char* equals = (const char*)memchr(t.begin, '=', t.length);
        if (equals == NULL) {
            _snprintf(line, sizeof line, "xkapi-sim.ini line %d: not key=value: %s; ignored", number,
                      Shown(t, shown));
            Report(report, line);
            continue;
        }
        if (!sectionKnown)
            continue;
        Text name = {t.begin, size_t(equals - t.begin)};
        Text value = {equals + 1, size_t(t.begin + t.length - equals - 1)};
        name = Trim(name);
        value = Trim(value);
        int k = 0;
        while (k < kKeyCount && !(strcmp(section, kKeys[k].section) == 0 && Is(name, kKeys[k].name)))
            k++;
        if (k == kKeyCount) {
            if (section[0] == '\0')
                _snprintf(line, sizeof line, "xkapi-sim.ini line %d: unknown key %s=%s outside a section; ignored",
                          number, Shown(name, shown), Shown(value, shown2));
            else
                _snprintf(line, sizeof line, "xkapi-sim.ini line %d: unknown key %s=%s in [%s]; ignored",
                          number, Shown(name, shown), Shown(value, shown2), section);
        } else if (!kKeys[k].parse(value, settings)) {
            if (set[k])
                _snprintf(line, sizeof line, "xkapi-sim.ini line %d: %s=%s is not %s; the earlier line's value stays",
                          number, kKeys[k].name, Shown(value, shown), kKeys[k].expected);
            else
                _snprintf(line, sizeof line, "xkapi-sim.ini line %d: %s=%s is not %s; using the built-in %s",
                          number, kKeys[k].name, Shown(value, shown), kKeys[k].expected, kKeys[k].builtIn);
        } else {
            set[k] = true;
            continue;
        }
        Report(report, line);
    }
}
