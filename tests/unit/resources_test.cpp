// Reads the resources back from the built module, in both languages, and
// compares them with what the dialog and the messages must show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_under_test.h"

namespace {

const WORD kItalian = MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN);              // 1040
const WORD kItalianSwiss = MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN_SWISS);   // 2064

std::vector<BYTE> ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name, WORD language)
{
    HRSRC found = FindResourceExA(module, type, name, language);
    if (found == NULL)
        return std::vector<BYTE>();
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    return std::vector<BYTE>(data, data + SizeofResource(module, found));
}

// A DIALOGEX template, parsed.
struct Reader {
    const std::vector<BYTE>& bytes;
    size_t at;
    WORD Word() { WORD w = bytes.at(at) | bytes.at(at + 1) << 8; at += 2; return w; }
    DWORD Dword() { DWORD lo = Word(); return lo | (DWORD)Word() << 16; }
    short Short() { return (short)Word(); }
    std::string Text()   // UTF-16 to code page 1252 for the comparison
    {
        std::wstring wide;
        for (WORD w; (w = Word()) != 0;)
            wide += (wchar_t)w;
        char out[512];
        int n = WideCharToMultiByte(1252, 0, wide.c_str(), (int)wide.size(), out, sizeof out, NULL, NULL);
        return std::string(out, n);
    }
    // A name or an ordinal (0xFFFF, ordinal).
    std::string NameOrOrdinal()
    {
        if (bytes.at(at) == 0xFF && bytes.at(at + 1) == 0xFF) {
            Word();
            char text[16];
            wsprintfA(text, "#0x%04x", Word());
            return text;
        }
        return Text();
    }
    void Align() { at = (at + 3) & ~(size_t)3; }
    // The help context, the extended style and the style.
    template <typename Item>
    void Styles(Item& item)
    {
        item.helpId = Dword(), item.exStyle = Dword(), item.style = Dword();
    }
    // A rectangle in dialog units: x, y, cx, cy.
    template <typename Item>
    void Rect(Item& item)
    {
        item.x = Short(), item.y = Short(), item.cx = Short(), item.cy = Short();
    }
};

struct Control {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    std::string cls, text;
};

struct Dialog {
    WORD version, signature;
    DWORD helpId, exStyle, style;
    WORD count;
    short x, y, cx, cy;
    std::string menu, cls, caption, font;
    WORD pointSize, weight;
    BYTE italic, charset;
    std::vector<Control> controls;
};

Dialog ParseDialogEx(const std::vector<BYTE>& bytes)
{
    Reader r{bytes, 0};
    Dialog d;
    d.version = r.Word();
    d.signature = r.Word();
    r.Styles(d);
    d.count = r.Word();
    r.Rect(d);
    d.menu = r.NameOrOrdinal();
    d.cls = r.NameOrOrdinal();
    d.caption = r.Text();
    d.pointSize = r.Word();
    d.weight = r.Word();
    d.italic = bytes.at(r.at++);
    d.charset = bytes.at(r.at++);
    d.font = r.Text();
    for (int i = 0; i < d.count; i++) {
        r.Align();
        Control c;
        r.Styles(c);
        r.Rect(c);
        c.id = r.Dword();
        c.cls = r.NameOrOrdinal();
        c.text = r.NameOrOrdinal();
        WORD extra = r.Word();
        r.at += extra;
        d.controls.push_back(c);
    }
    return d;
}

struct ExpectedControl {
    DWORD id;
    const char* cls;
    const char* text;
    DWORD style;
    short x, y, cx, cy;
};

const ExpectedControl kControls[26] = {
    {1010, "#0x0080", "Origine carta opzionale:", 0x50000007, 7, 2, 215, 41},
    {1007, "#0x0083", "", 0x50A10181, 33, 14, 170, 23},
    {1011, "#0x0080", "&Memoria:", 0x50000007, 7, 49, 157, 33},
    {1012, "#0x0082", "Memoria installata", 0x50020001, 12, 64, 57, 12},
    {1000, "#0x0085", "", 0x50210003, 70, 63, 48, 62},
    {1013, "#0x0082", "MB", 0x50020001, 118, 64, 40, 12},
    {1014, "#0x0080", "&ID stampante:", 0x50000007, 7, 87, 215, 37},
    {1015, "#0x0082", "ID", 0x50020001, 12, 102, 21, 12},
    {1001, "#0x0081", "", 0x50812080, 37, 101, 21, 14},
    {1002, "#0x0081", "", 0x50812080, 68, 101, 21, 14},
    {1003, "#0x0081", "", 0x50812080, 99, 101, 21, 14},
    {1004, "#0x0081", "", 0x50812080, 130, 101, 21, 14},
    {1005, "#0x0081", "", 0x50812080, 161, 101, 21, 14},
    {1006, "#0x0081", "", 0x50812080, 192, 101, 21, 14},
    {1016, "#0x0082", "-", 0x50020001, 59, 103, 8, 12},
    {1017, "#0x0082", "-", 0x50020001, 90, 103, 8, 12},
    {1018, "#0x0082", "-", 0x50020001, 121, 103, 8, 12},
    {1019, "#0x0082", "-", 0x50020001, 152, 103, 8, 12},
    {1020, "#0x0082", "-", 0x50020001, 183, 103, 8, 12},
    {1008, "#0x0080", "Foglio impos&tazioni...", 0x50010000, 135, 131, 87, 15},
    {0xFFFFFFFF, "#0x0082", "Impostazioni correnti", 0x50020000, 7, 148, 96, 13},
    {0xFFFFFFFF, "#0x0080", "", 0x50000007, 7, 157, 215, 61},
    {1009, "#0x0082", "", 0x50020000, 15, 166, 200, 50},
    {1, "#0x0080", "OK", 0x50010001, 63, 229, 50, 14},
    {2, "#0x0080", "Annulla", 0x50010000, 117, 229, 50, 14},
    {57670, "#0x0080", "?", 0x50010000, 171, 229, 51, 14},
};

class ResourcesTest : public ::testing::TestWithParam<WORD> {
protected:
    ModuleUnderTest module;
};

TEST_P(ResourcesTest, DialogTemplateIsAsTabulated)
{
    ASSERT_NE((HMODULE)NULL, module.module());
    std::vector<BYTE> bytes = ResourceBytes(module.module(), (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(103), GetParam());
    ASSERT_FALSE(bytes.empty()) << "no template 103 in language " << GetParam();
    Dialog d = ParseDialogEx(bytes);
    EXPECT_EQ(1, d.version);
    EXPECT_EQ(0xFFFF, d.signature);
    EXPECT_EQ(0u, d.helpId);
    EXPECT_EQ(0x90C800C0u, d.style);
    EXPECT_EQ(0x00040000u, d.exStyle);
    EXPECT_EQ(0, d.x); EXPECT_EQ(0, d.y); EXPECT_EQ(230, d.cx); EXPECT_EQ(250, d.cy);
    EXPECT_EQ("", d.menu);
    EXPECT_EQ("", d.cls);
    EXPECT_EQ("Informazioni su stampante e opzioni", d.caption);
    EXPECT_EQ(9, d.pointSize);
    EXPECT_EQ(0, d.weight);
    EXPECT_EQ(0, d.italic);
    EXPECT_EQ(1, d.charset);
    EXPECT_EQ("MS Sans Serif", d.font);
    ASSERT_EQ(26, d.count);
    for (int i = 0; i < 26; i++) {
        const ExpectedControl& e = kControls[i];
        const Control& c = d.controls[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " id " + std::to_string(e.id));
        EXPECT_EQ(e.id, c.id);
        EXPECT_EQ(e.cls, c.cls);
        EXPECT_EQ(e.text, c.text);
        EXPECT_EQ(e.style, c.style);
        EXPECT_EQ(0u, c.exStyle);
        EXPECT_EQ(0u, c.helpId);
        EXPECT_EQ(e.x, c.x); EXPECT_EQ(e.y, c.y); EXPECT_EQ(e.cx, c.cx); EXPECT_EQ(e.cy, c.cy);
    }
}

// The module's strings, decoded from the string table of one language.
std::string StringOf(HMODULE module, UINT id, WORD language)
{
    std::vector<BYTE> block = ResourceBytes(module, (LPCSTR)RT_STRING, MAKEINTRESOURCEA(id / 16 + 1), language);
    Reader r{block, 0};
    if (block.empty())
        return "<no block>";
    for (UINT i = 0; i < id % 16; i++)
        { WORD skip = r.Word(); r.at += 2 * (size_t)skip; }
    WORD length = r.Word();
    std::wstring wide;
    for (WORD i = 0; i < length; i++)
        wide += (wchar_t)r.Word();
    char out[512];
    int n = WideCharToMultiByte(1252, 0, wide.c_str(), (int)wide.size(), out, sizeof out, NULL, NULL);
    return std::string(out, n);
}

struct ExpectedString {
    UINT id;
    const char* text;
};

const ExpectedString kStrings[] = {
    {100, "Errore"},
    {101, "Inserite i dati relativi alle opzioni dopo aver stampato i fogli di informazioni."},
    {102, "I dati relativi alle opzioni sono gi\xE0 salvati, perci\xF2 non dovete inserire alcuna informazione."},
    {200, "           0"},
    {201, "          32"},
    {202, "          64"},
    {203, "          96"},
    {300, "Nessun alimentatore opzionale di carta installato(K)\t0"},
    {301, "Vassoio carta (inferiore)\t1"},
    {50000, "E' collegata una stampante incompatibile.\r\nCollegate la stampante appropriata e riprovate."},
    {50100, "L' ID deve essere un numero pari tra %1 e %2."},
    {51000, "30"},
    {51001, "70"},
};

TEST_P(ResourcesTest, StringTableIsAsTabulated)
{
    ASSERT_NE((HMODULE)NULL, module.module());
    for (const ExpectedString& s : kStrings)
        EXPECT_EQ(s.text, StringOf(module.module(), s.id, GetParam())) << "string " << s.id;
}

INSTANTIATE_TEST_SUITE_P(Languages, ResourcesTest, ::testing::Values(kItalian, kItalianSwiss));

TEST(Resources, BothLanguageCopiesAreIdentical)
{
    ModuleUnderTest module;
    ASSERT_NE((HMODULE)NULL, module.module());
    EXPECT_EQ(ResourceBytes(module.module(), (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(103), kItalian),
              ResourceBytes(module.module(), (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(103), kItalianSwiss));
    for (UINT block : {100u / 16 + 1, 200u / 16 + 1, 300u / 16 + 1, 50000u / 16 + 1, 50100u / 16 + 1, 51000u / 16 + 1}) {
        std::vector<BYTE> italian = ResourceBytes(module.module(), (LPCSTR)RT_STRING, MAKEINTRESOURCEA(block), kItalian);
        EXPECT_FALSE(italian.empty()) << "block " << block;
        EXPECT_EQ(italian, ResourceBytes(module.module(), (LPCSTR)RT_STRING, MAKEINTRESOURCEA(block), kItalianSwiss))
            << "block " << block;
    }
}

TEST(Resources, FrameworkStringsAreItalian)
{
    ModuleUnderTest module;
    ASSERT_NE((HMODULE)NULL, module.module());
    EXPECT_EQ("Errore interno dell'applicazione.", StringOf(module.module(), 61704, kItalian));
    EXPECT_EQ("Digitare un numero intero compreso tra %1 e %2.", StringOf(module.module(), 61714, kItalian));
    EXPECT_EQ("Digitare un numero intero positivo.", StringOf(module.module(), 61719, kItalian));
}

TEST(Resources, AccentedTextsReachCallersAsCodePage1252Bytes)
{
    ModuleUnderTest module;
    ASSERT_NE((HMODULE)NULL, module.module());
    ASSERT_EQ(1252u, GetACP());
    char text[256];
    int n = LoadStringA(module.module(), 102, text, sizeof text);
    std::string s(text, n);
    EXPECT_NE(std::string::npos, s.find("gi\xE0 salvati")) << s;
    EXPECT_NE(std::string::npos, s.find("perci\xF2 non")) << s;
    WCHAR wide[256];
    n = LoadStringW(module.module(), 102, wide, 256);
    EXPECT_NE(std::wstring::npos, std::wstring(wide, n).find(L"gi\u00E0")) ;
}

TEST(Module, ExportsTheEntryByNameAtOrdinalOne)
{
    ModuleUnderTest module;
    ASSERT_NE((HMODULE)NULL, module.module());
    FARPROC byName = GetProcAddress(module.module(), "QVOpenPrinterInf");
    ASSERT_NE((FARPROC)NULL, byName);
    EXPECT_EQ(byName, GetProcAddress(module.module(), MAKEINTRESOURCEA(1)));
    EXPECT_EQ((FARPROC)NULL, GetProcAddress(module.module(), "QVOpenPrinterInf@28"));
    EXPECT_EQ((FARPROC)NULL, GetProcAddress(module.module(), "_QVOpenPrinterInf@28"));
}

}  // namespace
