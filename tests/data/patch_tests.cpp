#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "patch/BpsPatch.h"
#include "patch/IpsPatch.h"
#include "patch/PatchFiles.h"
#include "support/AppliedPatch.h"
#include "support/GeneratedCartridge.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Encodings written from the formats' published descriptions, independent of the code under
// test.
Bytes BigEndian(std::uint32_t value, int bytes) {
    Bytes out;
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return out;
}

Bytes IpsData(std::uint32_t offset, const Bytes& data) {
    return Concat(
        {BigEndian(offset, 3), BigEndian(static_cast<std::uint32_t>(data.size()), 2), data});
}

Bytes IpsRun(std::uint32_t offset, std::uint16_t count, std::uint8_t value) {
    return Concat({BigEndian(offset, 3), BigEndian(0, 2), BigEndian(count, 2), {value}});
}

// BPS numbers: seven bits a byte, low first, the last byte flagged with 0x80, and one taken
// off the rest after each byte so that every number has one encoding.
Bytes BpsNumber(std::uint64_t value) {
    Bytes out;
    for (;;) {
        const std::uint8_t low = value & 0x7F;
        value >>= 7;
        if (value == 0) {
            out.push_back(0x80 | low);
            return out;
        }
        out.push_back(low);
        --value;
    }
}

Bytes BpsAction(int command, std::uint64_t length) {
    return BpsNumber((length - 1) << 2 | static_cast<std::uint64_t>(command));
}

Bytes BpsOffset(std::int64_t relative) {
    const auto magnitude = static_cast<std::uint64_t>(relative < 0 ? -relative : relative);
    return BpsNumber(magnitude << 1 | (relative < 0 ? 1 : 0));
}

Bytes LittleCrc(const Bytes& bytes) {
    const auto crc =
        static_cast<std::uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
    Bytes out;
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(crc >> (8 * i)));
    return out;
}

// Header, actions and the three checksums around them.
Bytes BpsFile(const Bytes& source, const Bytes& target, const std::string& metadata,
              const Bytes& actions) {
    Bytes patch = Concat({Text("BPS1"), BpsNumber(source.size()), BpsNumber(target.size()),
                          BpsNumber(metadata.size()), Text(metadata), actions, LittleCrc(source),
                          LittleCrc(target)});
    const Bytes crc = LittleCrc(patch);
    patch.insert(patch.end(), crc.begin(), crc.end());
    return patch;
}

void ResealBps(Bytes& patch) {
    patch.resize(patch.size() - 4);
    const Bytes crc = LittleCrc(patch);
    patch.insert(patch.end(), crc.begin(), crc.end());
}

// The generated image with edits of every category that reaches the image, as a save would
// write it.
Bytes EditedGeneratedImage() {
    IniFile settings("");
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    EXPECT_TRUE(rom.LoadFromBytes(GeneratedImage(), "stage.nes").Ok);
    for (int s : {0, 7, 15}) {
        StageData& stage = rom.Stage(s);
        stage.MapSetTable[5 + s] ^= 0x5A;
        flags.SetMapSetModified(s, true);
        stage.Chip32x32Table[100 + s] ^= 0x33;
        flags.SetChip32x32Modified(s, true);
        stage.Chip16x16Table()[200 + s] ^= 0x11;
        stage.ChipPropertyTable()[17] ^= 0x42;
        flags.SetChip16x16Modified(s, true);
        EXPECT_NE(stage.AddObject(3, 0x40, 0x80, 0x21), nullptr);
        flags.SetObjectModified(s, true);
    }
    Bytes saved;
    EXPECT_TRUE(rom.ComposeSavedImage(saved).Ok);
    return saved;
}

using Maker = std::function<Bytes(const Bytes&, const Bytes&)>;
using Reader = std::function<Applied(const Bytes&, const Bytes&)>;

struct Format {
    const char* Name;
    Maker Make;
    Reader Apply;
};

const Format Formats[] = {
    {"IPS", [](const Bytes& a, const Bytes& b) { return IpsPatch::Create(a, b); },
     [](const Bytes& a, const Bytes& p) { return ApplyWith(IpsPatch::Apply, a, p); }},
    {"BPS", [](const Bytes& a, const Bytes& b) { return BpsPatch::Create(a, b); },
     [](const Bytes& a, const Bytes& p) { return ApplyWith(BpsPatch::Apply, a, p); }},
};

// Patches made by the round trips are kept as fuzz seeds when K6_PATCH_SEED_DIR names a folder.
void KeepAsSeed(const Format& format, const Bytes& patch, int number) {
    const char* folder = std::getenv("K6_PATCH_SEED_DIR");
    if (folder == nullptr || patch.size() > 8192)
        return;
    const std::string lower = format.Name == std::string("IPS") ? "ips" : "bps";
    Bytes seed = patch;
    if (lower == "bps")
        seed.insert(seed.begin(), 7); // the fuzz target's switches: checksums set, sized original
    WriteWholeFile(std::string(folder) + "/" + lower + "-seed-" + std::to_string(number), seed);
}

void ExpectRoundTrip(const Bytes& original, const Bytes& target, int seed = -1) {
    for (const Format& format : Formats) {
        const Bytes patch = format.Make(original, target);
        const Applied outcome = format.Apply(original, patch);
        ASSERT_TRUE(outcome.Ok) << format.Name << ": " << outcome.Message;
        EXPECT_TRUE(outcome.Patched == target) << format.Name;
        if (seed >= 0)
            KeepAsSeed(format, patch, seed);
    }
}

TEST(PatchRoundTrip, EditedGeneratedImageComesBackByteForByte) {
    const Bytes& original = GeneratedImage();
    const Bytes edited = EditedGeneratedImage();
    ASSERT_NE(edited, original);
    ExpectRoundTrip(original, edited, 0);
    ExpectRoundTrip(original, original, 1);
}

TEST(PatchRoundTrip, SizeChangesAndSmallBuffers) {
    const Bytes small = Text("0123456789abcdefghij");
    ExpectRoundTrip(small, Text("0123456789abcdefghijKLMNOP"), 2); // grows
    ExpectRoundTrip(small, Text("0123x5678"), 3);                  // shrinks
    ExpectRoundTrip({}, Text("zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz"), 4);
    ExpectRoundTrip(small, {}, 5);
    ExpectRoundTrip(Bytes(300, 0), Concat({Bytes(40, 0), Bytes(200, 9), Bytes(60, 1)}), 6);
}

// Records at 0x454F46 would read as "EOF"; runs longer than a record's length are split.
TEST(PatchRoundTrip, EofOffsetAndLongRunsInLargeImages) {
    constexpr std::size_t Eof = 0x454F46;
    const Bytes original(0x480000, 0);
    struct Case {
        const char* What;
        std::size_t Start;
        std::size_t Length;
        bool SameValue;
    } cases[] = {
        {"one byte at the offset", Eof, 1, true},
        {"data starting at the offset", Eof, 7, false},
        {"run starting at the offset", Eof, 40, true},
        {"run longer than a record", 0x100000, 0x23456, true},
        {"data longer than a record", 0x200000, 0x1FFFF, false},
        {"run crossing the offset", Eof - 0xFFFF, 0x20000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Bytes target = original;
        for (std::size_t i = 0; i < c.Length; ++i)
            target[c.Start + i] = c.SameValue ? 0xAB : static_cast<std::uint8_t>(i * 13 + 1);
        ExpectRoundTrip(original, target);
        // The IPS records themselves: none starts at the offset.
        const Bytes ips = IpsPatch::Create(original, target);
        std::size_t at = 5;
        while (at + 3 <= ips.size() &&
               !(ips[at] == 'E' && ips[at + 1] == 'O' && ips[at + 2] == 'F')) {
            const std::size_t offset = ips[at] << 16 | ips[at + 1] << 8 | ips[at + 2];
            const std::size_t length = ips[at + 3] << 8 | ips[at + 4];
            EXPECT_NE(offset, Eof);
            at += 5 + (length == 0 ? 3 : length);
        }
    }
}

TEST(PatchRoundTrip, OneByteEditCostsAFewDozenBytes) {
    const Bytes& original = GeneratedImage();
    Bytes edited = original;
    edited[0x40000] ^= 1;
    EXPECT_LE(IpsPatch::Create(original, edited).size(), 20u);
    EXPECT_LE(BpsPatch::Create(original, edited).size(), 48u);
}

TEST(IpsFixture, HandMadePatchIsApplied) {
    const Bytes original = Text("abcdefghij");
    const Bytes patch = Concat({Text("PATCH"), IpsData(1, Text("XY")), IpsRun(6, 3, '*'),
                                IpsData(12, Text("!")), Text("EOF")});
    const Applied outcome = ApplyWith(IpsPatch::Apply, original, patch);
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    // Bytes past the end are filled with zeros up to the last record.
    EXPECT_EQ(outcome.Patched, Concat({Text("aXYdef***j"), Bytes(2, 0), Text("!")}));

    const Bytes truncating =
        Concat({Text("PATCH"), IpsData(0, Text("A")), Text("EOF"), BigEndian(4, 3)});
    const Applied cut = ApplyWith(IpsPatch::Apply, original, truncating);
    ASSERT_TRUE(cut.Ok) << cut.Message;
    EXPECT_EQ(cut.Patched, Text("Abcd"));

    // A cut to exactly the patched size leaves it whole.
    const Bytes cutAtTheEnd =
        Concat({Text("PATCH"), IpsData(12, Text("!")), Text("EOF"), BigEndian(13, 3)});
    const Applied whole = ApplyWith(IpsPatch::Apply, original, cutAtTheEnd);
    ASSERT_TRUE(whole.Ok) << whole.Message;
    EXPECT_EQ(whole.Patched, Concat({original, Bytes(2, 0), Text("!")}));
}

TEST(BpsFixture, HandMadePatchWithEveryActionIsApplied) {
    const Bytes source = Text("ABCDEFGHIJ");
    // "AB" read from the source, "xy" from the patch, "GHI" copied from source offset 6,
    // "GHIGHI" copied from target offset 4 while it is being written, then "IJ" from source
    // offset 8 (one back from where the last source copy ended).
    const Bytes target = Text("ABxyGHIGHIGHIIJ");
    const Bytes actions =
        Concat({BpsAction(0, 2), BpsAction(1, 2), Text("xy"), BpsAction(2, 3), BpsOffset(6),
                BpsAction(3, 6), BpsOffset(4), BpsAction(2, 2), BpsOffset(-1)});
    const Bytes patch = BpsFile(source, target, "<meta/>", actions);
    const Applied outcome = ApplyWith(BpsPatch::Apply, source, patch);
    ASSERT_TRUE(outcome.Ok) << outcome.Message;
    EXPECT_EQ(outcome.Patched, target);
    EXPECT_EQ(BpsPatch::Metadata(patch), "<meta/>");
}

struct Refusal {
    const char* What;
    std::function<Applied()> Apply;
    const char* Message;
};

TEST(PatchRefusal, CorruptedPatchesAreRefusedWithTheirReason) {
    const Bytes source = Text("ABCDEFGHIJ");
    const Bytes target = Text("ABxyEFGHIJ");
    const Bytes good =
        BpsFile(source, target, "",
                Concat({BpsAction(0, 2), BpsAction(1, 2), Text("xy"), BpsAction(0, 6)}));
    const auto bps = [&](Bytes patch, Bytes original = {}) {
        return [patch, original, &source] {
            return ApplyWith(BpsPatch::Apply, original.empty() ? source : original, patch);
        };
    };
    const auto flipped = [&](std::size_t fromEnd) {
        Bytes patch = good;
        patch[patch.size() - fromEnd] ^= 0x01;
        return patch;
    };
    const auto withActions = [&](const Bytes& actions, const Bytes& declaredTarget) {
        Bytes patch = BpsFile(source, declaredTarget, "", actions);
        return patch;
    };
    Bytes targetCrcWrong = flipped(8);
    ResealBps(targetCrcWrong);
    Bytes sourceCrcWrong = flipped(12);
    ResealBps(sourceCrcWrong);
    Bytes cutInHeader = Concat({Text("BPS1"), Bytes{0x00, 0x00, 0x00, 0x00}});
    Bytes cutInHeaderSealed = Concat({cutInHeader, Bytes(8, 0)});
    ResealBps(cutInHeaderSealed);

    Bytes tooLarge = Concat({Text("BPS1"), BpsNumber(10), BpsNumber(0x1000001), BpsNumber(0),
                             LittleCrc(source), Bytes(8, 0)});
    ResealBps(tooLarge);

    const auto ips = [&](Bytes patch) {
        return [patch, &source] { return ApplyWith(IpsPatch::Apply, source, patch); };
    };
    const Bytes ipsHead = Text("PATCH");

    const Refusal cases[] = {
        {"BPS patch checksum", bps(flipped(1)), PatchMessages::PatchChecksumMismatch},
        {"BPS body changed", bps(flipped(good.size() - 6)), PatchMessages::PatchChecksumMismatch},
        {"BPS target checksum", bps(targetCrcWrong), PatchMessages::TargetChecksumMismatch},
        {"BPS source checksum in the patch", bps(sourceCrcWrong),
         PatchMessages::SourceChecksumMismatch},
        {"BPS applied to another original", bps(good, Text("ABCDEFGHIK")),
         PatchMessages::SourceChecksumMismatch},
        {"BPS applied to a shorter original", bps(good, Text("ABCDEFGHI")),
         PatchMessages::SourceSizeMismatch},
        {"BPS shorter than its footer", bps(Text("BPS1\x80\x80")), PatchMessages::Truncated},
        {"BPS source read past the source",
         bps(withActions(Concat({BpsAction(0, 11)}), Bytes(11, 'A'))), PatchMessages::OutOfRange},
        {"BPS action past the target", bps(withActions(Concat({BpsAction(0, 3)}), Text("AB"))),
         PatchMessages::OutOfRange},
        {"BPS target read past the body",
         bps(withActions(Concat({BpsAction(1, 40), Text("xy")}), Bytes(40, 'x'))),
         PatchMessages::Truncated},
        {"BPS source copy before the start",
         bps(withActions(Concat({BpsAction(2, 2), BpsOffset(-1)}), Text("AB"))),
         PatchMessages::OutOfRange},
        {"BPS source copy past the end",
         bps(withActions(Concat({BpsAction(2, 4), BpsOffset(8)}), Text("IJ??"))),
         PatchMessages::OutOfRange},
        {"BPS target copy of bytes not yet written",
         bps(withActions(Concat({BpsAction(3, 2), BpsOffset(0)}), Text("AB"))),
         PatchMessages::OutOfRange},
        {"BPS target copy ahead of the output",
         bps(withActions(Concat({BpsAction(0, 1), BpsAction(3, 1), BpsOffset(1)}), Text("AA"))),
         PatchMessages::OutOfRange},
        {"BPS actions end before the target", bps(withActions(BpsAction(0, 2), Text("ABC"))),
         PatchMessages::OutOfRange},
        {"BPS header cut short", bps(cutInHeaderSealed), PatchMessages::Truncated},
        {"BPS target over 16 MiB", bps(tooLarge), PatchMessages::TooLarge},
        {"neither format",
         [] { return ApplyWith(PatchFiles::Apply, Text("abc"), Text("PK\x03\x04")); },
         PatchMessages::UnknownFormat},
        {"IPS without trailer", ips(Concat({ipsHead, IpsData(0, Text("Z"))})),
         PatchMessages::Truncated},
        {"IPS record cut in its offset", ips(Concat({ipsHead, Bytes{0x00, 0x01}})),
         PatchMessages::Truncated},
        {"IPS record cut in its length", ips(Concat({ipsHead, Bytes{0x00, 0x00, 0x01, 0x00}})),
         PatchMessages::Truncated},
        {"IPS data past the patch's end",
         ips(Concat({ipsHead, BigEndian(0, 3), BigEndian(9, 2), Text("abc")})),
         PatchMessages::Truncated},
        {"IPS run cut short", ips(Concat({ipsHead, BigEndian(0, 3), BigEndian(0, 2), {0x01}})),
         PatchMessages::Truncated},
        {"IPS run cut right after its length",
         ips(Concat({ipsHead, BigEndian(0, 3), BigEndian(0, 2), BigEndian(3, 2)})),
         PatchMessages::Truncated},
        {"IPS run of nothing", ips(Concat({ipsHead, IpsRun(0, 0, 1), Text("EOF")})),
         PatchMessages::BrokenRecord},
        {"IPS bytes after the trailer", ips(Concat({ipsHead, Text("EOF"), Bytes{0, 0}})),
         PatchMessages::BrokenRecord},
        // The record makes the result 13 bytes long; a cut to 14 would have to invent a byte.
        {"IPS cut past the end of the result",
         ips(Concat({ipsHead, IpsData(12, Text("!")), Text("EOF"), BigEndian(14, 3)})),
         PatchMessages::BrokenRecord},
        {"IPS write past 16 MiB", ips(Concat({ipsHead, IpsRun(0xFFFFF0, 0x20, 1), Text("EOF")})),
         PatchMessages::TooLarge},
        {"IPS data past 16 MiB", ips(Concat({ipsHead, IpsData(0xFFFFFF, Text("ab")), Text("EOF")})),
         PatchMessages::TooLarge},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.What);
        const Applied outcome = c.Apply();
        EXPECT_FALSE(outcome.Ok);
        EXPECT_EQ(outcome.Message, c.Message);
        EXPECT_TRUE(outcome.Patched.empty());
    }
    ASSERT_TRUE(ApplyWith(BpsPatch::Apply, source, good).Ok);
}

TEST(PatchFilesTest, FormatFollowsTheNameAndTheFirstBytes) {
    EXPECT_EQ(PatchFiles::FormatOfName("hack.IPS"), PatchFiles::Format::Ips);
    EXPECT_EQ(PatchFiles::FormatOfName("dir.bps/hack.bps"), PatchFiles::Format::Bps);
    EXPECT_EQ(PatchFiles::FormatOfName("hack.nes"), std::nullopt);
    const Bytes original = Text("0123456789");
    const Bytes target = Text("01234x6789");
    for (const auto format : {PatchFiles::Format::Ips, PatchFiles::Format::Bps}) {
        const Applied outcome =
            ApplyWith(PatchFiles::Apply, original, PatchFiles::Create(format, original, target));
        EXPECT_TRUE(outcome.Ok && outcome.Patched == target);
    }
    TempDir folder;
    Bytes bytes = {1};
    EXPECT_FALSE(PatchFiles::ReadFile(folder.File("missing.ips"), bytes).Ok);
    EXPECT_FALSE(PatchFiles::ReadFile(folder.Path().string(), bytes).Ok);
    EXPECT_EQ(bytes, Bytes{1});
}

} // namespace
