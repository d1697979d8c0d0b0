// Hostile replies and device IDs, each ending right before a page that
// cannot be read: any read past the end faults the test.
#include <gtest/gtest.h>

#include "entry/model_table.h"
#include "fake_xk.h"
#include "guarded_buffer.h"
#include "optioninfo/reply_parser.h"

#include <random>
#include <string.h>

using namespace qv;

namespace {

const char* const kPieces[] = {"CW:", "CD:", "NA", "na", "NAVL", "navl", "MDL:", "MDL:;", ";", "1F",
                               "40", "G1", "ST010001", "LT020001", "\0", "MFG:", "mdl:", "\x82"};

// One hostile input of 0 to 300 bytes: random bytes, pieces of real blocks,
// blocks cut short, tags at the very end.
std::string Hostile(std::mt19937& rng)
{
    std::uniform_int_distribution<int> len(0, 300), kind(0, 4), byte(0, 255),
        piece(0, sizeof kPieces / sizeof kPieces[0] - 1);
    size_t target = len(rng);
    std::string s;
    switch (kind(rng)) {
    case 0:   // random bytes
        while (s.size() < target)
            s += static_cast<char>(byte(rng));
        break;
    case 1:   // pieces
    case 2:
        while (s.size() < target) {
            const char* p = kPieces[piece(rng)];
            s.append(p, p[0] == '\0' ? 1 : strlen(p));
            if (byte(rng) < 40)
                s += static_cast<char>(byte(rng));
        }
        break;
    case 3: {   // a real reply cut anywhere
        s = kStandardReply.substr(0, target % (kStandardReply.size() + 1));
        break;
    }
    case 4:   // a tag, or a tag and a few bytes, at the very end
        while (s.size() < target)
            s += static_cast<char>(byte(rng));
        s += kPieces[piece(rng) % 2];
        s.append(byte(rng) % 6, '4');
        break;
    }
    if (s.size() > 300)
        s.resize(300);
    return s;
}

TEST(HostileInput, ParserAndModelExtractionStayInsideTheBuffer)
{
    GuardedBuffer guard(1024);   // an input is at most 300 bytes and a NUL
    ASSERT_TRUE(guard.ok());
    std::mt19937 rng(20240611u);   // fixed seed: a failure is reproducible
    const int kRounds = 100000;
    DWORD start = GetTickCount();
    int answered = 0, models = 0;
    for (int round = 0; round < kRounds; round++) {
        std::string input = Hostile(rng);

        // Reply: exactly its bytes, no NUL after them.
        const BYTE* reply = guard.Place(input.data(), input.size());
        OptionInfo info;
        info.idValid = info.memoryValid = info.paperSourceValid = 1;
        info.idCount = 6;
        answered += ParseOptionReply(reply, static_cast<DWORD>(input.size()), &info);
        ASSERT_EQ(1, info.idValid);
        ASSERT_GE(info.memorySizeMB, 0);
        ASSERT_LE(info.memorySizeMB, 255);
        ASSERT_TRUE(info.paperSourceCount == 0 || info.paperSourceCount == 1);

        // Device ID: a NUL-terminated text, the NUL being the last readable
        // byte. Cut at its first NUL, as the text the device-ID read produces.
        std::string text = input.substr(0, input.find('\0'));
        const char* id = reinterpret_cast<const char*>(guard.Place(text.c_str(), text.size() + 1));
        CString model("old");
        models += ExtractModelName(id, model);
    }
    DWORD elapsed = GetTickCount() - start;
    // Both outcomes occur, so the inputs reach the interesting paths.
    EXPECT_GT(answered, 0);
    EXPECT_LT(answered, kRounds);
    EXPECT_GT(models, 0);
    EXPECT_LT(models, kRounds);
    printf("%d hostile inputs in %lu ms: %d full replies, %d model values\n", kRounds,
           (unsigned long)elapsed, answered, models);
}

// The page after a placed buffer really is inaccessible, so an overread in
// the test above ends the process (under Wine on qemu an access violation
// cannot even be caught: the process dies, which fails the test).
TEST(HostileInput, GuardPageFaults)
{
    GuardedBuffer guard(1024);
    ASSERT_TRUE(guard.ok());
    MEMORY_BASIC_INFORMATION mbi;
    ASSERT_NE(0u, VirtualQuery(guard.End(), &mbi, sizeof mbi));
    EXPECT_EQ((DWORD)PAGE_NOACCESS, mbi.Protect);
    EXPECT_EQ((DWORD)MEM_COMMIT, mbi.State);
}

}  // namespace
