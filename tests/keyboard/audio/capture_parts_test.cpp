#include <gtest/gtest.h>

#include <vector>

#include "keyboard/audio/capture_mailbox.h"
#include "keyboard/audio/capture_thread.h"
#include "keyboard/audio/fix_capture_format.h"
#include "keyboard/audio/restart_backoff.h"

namespace {

using namespace tavrik::audio;

WaveFormat Extensible(SubFormat sub, std::uint16_t bits) {
    WaveFormat f = MakeWaveFormat(kWaveFormatExtensible, 44100, 6, bits);
    f.subFormat = sub;
    f.validBitsPerSample = bits;
    f.channelMask = 0x3F;
    return f;
}

struct FormatCase {
    const char* name;
    WaveFormat in;
    bool accepted;
    WaveFormat out;  // when accepted
};

WaveFormat Pcm16(std::uint16_t tag, std::uint32_t rate, std::uint16_t channels) {
    return MakeWaveFormat(tag, rate, channels, 16);
}

std::vector<FormatCase> FormatCases() {
    WaveFormat extensibleOut = Extensible(SubFormat::Pcm, 16);
    return {
        {"float stereo", MakeWaveFormat(kWaveFormatIeeeFloat, 48000, 2, 32), true, Pcm16(kWaveFormatPcm, 48000, 2)},
        {"float mono", MakeWaveFormat(kWaveFormatIeeeFloat, 22050, 1, 32), true, Pcm16(kWaveFormatPcm, 22050, 1)},
        {"extensible float", Extensible(SubFormat::IeeeFloat, 32), true, extensibleOut},
        {"extensible pcm", Extensible(SubFormat::Pcm, 24), false, {}},
        {"extensible other", Extensible(SubFormat::Other, 32), false, {}},
        {"integer pcm", MakeWaveFormat(kWaveFormatPcm, 48000, 2, 24), false, {}},
        {"no channels", MakeWaveFormat(kWaveFormatIeeeFloat, 48000, 0, 32), false, {}},
        {"no rate", MakeWaveFormat(kWaveFormatIeeeFloat, 0, 2, 32), false, {}},
    };
}

TEST(FixCaptureFormat, Table) {
    for (const FormatCase& c : FormatCases()) {
        WaveFormat f = c.in;
        EXPECT_EQ(FixCaptureFormat(f), c.accepted) << c.name;
        EXPECT_EQ(f, c.accepted ? c.out : c.in) << c.name;
        if (c.accepted) {
            EXPECT_TRUE(IsPcm16(f)) << c.name;
            EXPECT_EQ(f.avgBytesPerSec, f.samplesPerSec * f.channels * 2u) << c.name;
        }
    }
}

TEST(RestartBackoff, DoublesFromOneSecondToThirtyAndStartsOverOnReset) {
    RestartBackoff backoff(1000, 30000);
    std::vector<std::uint32_t> delays;
    for (int i = 0; i < 8; ++i) {
        delays.push_back(backoff.Next());
    }
    EXPECT_EQ(delays, (std::vector<std::uint32_t>{1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000}));
    backoff.Reset();
    EXPECT_EQ(backoff.Next(), 1000u);
    EXPECT_EQ(backoff.Next(), 2000u);
}

TEST(RestartBackoff, FirstDelayAboveTheLimitIsTheLimit) {
    RestartBackoff backoff(50, 40);
    EXPECT_EQ(backoff.Next(), 40u);
    EXPECT_EQ(backoff.Next(), 40u);
}

TEST(SameDeviceName, IgnoresCaseOnly) {
    EXPECT_TRUE(
        SameDeviceName("alsa_output.pci-0000_00_1f.3.analog-stereo", "ALSA_Output.PCI-0000_00_1F.3.Analog-Stereo"));
    EXPECT_TRUE(SameDeviceName("", ""));
    EXPECT_FALSE(SameDeviceName("Speakers", "Speakers 2"));
    EXPECT_FALSE(SameDeviceName("Speakers", "Headphones"));
}

CaptureNotice Packet(std::uint8_t tag) {
    CaptureNotice n{CaptureNotice::Kind::Data};
    n.data = {tag};
    return n;
}

TEST(CaptureMailbox, WakesOnFirstNoticeAndDropsOldestPacketsOnly) {
    CaptureMailbox mailbox(2);
    EXPECT_TRUE(mailbox.Add({CaptureNotice::Kind::Format}));
    EXPECT_FALSE(mailbox.Add(Packet(1)));
    EXPECT_FALSE(mailbox.Add(Packet(2)));
    EXPECT_FALSE(mailbox.Add({CaptureNotice::Kind::Started, 5}));
    EXPECT_FALSE(mailbox.Add(Packet(3)));  // packet 1 gives way
    EXPECT_FALSE(mailbox.Add(Packet(4)));  // packet 2 gives way
    EXPECT_EQ(mailbox.DroppedPackets(), 2u);
    auto notices = mailbox.TakeAll();
    std::vector<std::pair<CaptureNotice::Kind, int>> seen;
    for (auto& n : notices) {
        seen.emplace_back(n.kind, n.data.empty() ? -1 : n.data[0]);
    }
    using K = CaptureNotice::Kind;
    EXPECT_EQ(seen, (std::vector<std::pair<K, int>>{{K::Format, -1}, {K::Started, -1}, {K::Data, 3}, {K::Data, 4}}));
    EXPECT_TRUE(mailbox.TakeAll().empty());
    EXPECT_TRUE(mailbox.Add(Packet(5))) << "empty again: the next notice wakes the reader";
}

}  // namespace
