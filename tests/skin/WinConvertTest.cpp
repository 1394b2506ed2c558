#include "skin/WinConvert.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <random>
#include <stdexcept>

#include "PackageBuilder.h"

namespace {

std::string Hex(const std::string& s) {
  static const char* digits = "0123456789ABCDEF";
  std::string h;
  for (unsigned char c : s) h += {digits[c >> 4], digits[c & 15]};
  return h;
}

std::string Random(size_t n, unsigned seed, int alphabet) {
  std::mt19937 g(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(g() % alphabet);
  return s;
}

// Streams worked out by hand from the starting tree: a space is leaf 32 and codes as
// 110101100, 'A' as 111001101; after 'A' is counted, 'B' codes as 111001110; 'a', 'b'
// and 'c' code as 111101101, 111101110 and 111101111.
TEST(TLZH, PacksKnownStreams) {
  struct Case {
    const char* name;
    std::string input;
    const char* packed;
  };
  const Case cases[] = {
      {"empty input codes one space", "", "00000000D600"},
      {"two literals", "AB", "02000000E6F380"},
      {"three literals, then length 3 (symbol 256: 10001100) at position 2 (000 000010)", "abcabc",
       "06000000F6FBBDF18020"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string packed;
    TLZH::Compress(c.input, packed);
    EXPECT_EQ(Hex(packed), c.packed);
  }
}

TEST(TLZH, RoundTripsEveryShapeOfInput) {
  struct Case {
    const char* name;
    std::string input;
  };
  // 32454 symbols take the root frequency from 314 to 0x8000: the next one rebuilds.
  const Case cases[] = {
      {"empty", ""},
      {"one byte", "x"},
      {"two equal bytes", "qq"},
      {"three equal bytes", "qqq"},
      {"run of 61", std::string(61, 'a')},
      {"run of 62", std::string(62, 'a')},
      {"long run", std::string(100000, '\0')},
      {"spaces like the empty ring", std::string(5000, ' ')},
      {"window less one", Random(4095, 1, 4)},
      {"window", Random(4096, 2, 4)},
      {"window plus one", Random(4097, 3, 4)},
      {"ring with mirror", Random(4155, 4, 4)},
      {"before the rebuild", Random(32454, 5, 256)},
      {"at the rebuild", Random(32455, 6, 256)},
      {"after the rebuild", Random(32456, 7, 256)},
      {"several rebuilds", Random(200000, 8, 256)},
      {"matches of every length", Random(300000, 9, 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string packed, back;
    TLZH::Compress(c.input, packed);
    TLZH lzh;
    ASSERT_TRUE(lzh.Decompress(packed, back)) << lzh.LastError();
    EXPECT_TRUE(back == c.input) << "sizes " << back.size() << " and " << c.input.size();
  }
}

TEST(TLZH, CodesRunsAsLongMatches) {
  std::string packed;
  TLZH::Compress(std::string(61, 'a'), packed);
  EXPECT_EQ(packed.size(), 4u + 4u) << "one literal and one match of 60: at most 32 bits";
  TLZH::Compress(std::string(60000, 'a'), packed);
  EXPECT_LT(packed.size(), 4u + 60000 / 60 * 2) << "about a byte a 60-byte match";
}

TEST(TLZH, PackReportsBytesConsumed) {
  std::string input = Random(7000, 10, 256), out;
  size_t at = 0;
  TLZH::TReadProc read = [&](uint8_t* dta, uint16_t n) -> uint16_t {
    if (at == input.size()) return 0;
    EXPECT_EQ(n, 1);
    *dta = static_cast<uint8_t>(input[at++]);
    return 1;
  };
  TLZH::TWriteProc write = [&](const uint8_t* dta, uint16_t n) -> uint16_t {
    out.append(reinterpret_cast<const char*>(dta), n);
    return n;
  };
  int32_t consumed = -1;
  TLZH().LZHPack(consumed, read, write);
  EXPECT_EQ(consumed, 7000);
}

TEST(TLZH, UnpackOfNothingTouchesNoCallback) {
  int calls = 0;
  TLZH::TReadProc read = [&](uint8_t*, uint16_t) -> uint16_t { return ++calls, 0; };
  TLZH::TWriteProc write = [&](const uint8_t*, uint16_t n) -> uint16_t { return ++calls, n; };
  TLZH().LZHUnpack(0, read, write);
  EXPECT_EQ(calls, 0);
}

TEST(TLZH, AFailingWritePassesToTheCallerAndTheCoderStaysUsable) {
  std::string input = Random(5000, 11, 256);
  size_t at = 0, written = 0;
  TLZH::TReadProc read = [&](uint8_t* dta, uint16_t) -> uint16_t {
    return at < input.size() ? (*dta = static_cast<uint8_t>(input[at++]), 1) : 0;
  };
  TLZH::TWriteProc full = [&](const uint8_t*, uint16_t n) -> uint16_t {
    if (++written > 100) throw std::runtime_error("disk full");
    return n;
  };
  TLZH lzh;
  int32_t consumed = 0;
  EXPECT_THROW(lzh.LZHPack(consumed, read, full), std::runtime_error);
  std::string packed, back;
  TLZH::Compress(input, packed);
  ASSERT_TRUE(lzh.Decompress(packed, back));
  EXPECT_TRUE(back == input);
}

TEST(TLZH, MissingBitsReadAsZeros) {
  std::string packed, back;
  TLZH::Compress("AB", packed);
  packed.replace(0, 4, skintest::Le32(40));
  TLZH lzh;
  ASSERT_TRUE(lzh.Decompress(packed, back)) << lzh.LastError();
  EXPECT_EQ(back.size(), 40u);
  EXPECT_EQ(back.substr(0, 2), "AB");
  std::string again;
  ASSERT_TRUE(lzh.Decompress(packed, again));
  EXPECT_EQ(again, back) << "zero bits decode the same every time";
}

TEST(TLZH, AMatchPastTheStatedSizeIsCut) {
  std::string packed, back;
  TLZH::Compress("abcabc", packed);
  packed.replace(0, 4, skintest::Le32(4));
  TLZH lzh;
  ASSERT_TRUE(lzh.Decompress(packed, back));
  EXPECT_EQ(back, "abca") << "the last match is decoded whole but not handed on";
}

TEST(TLZH, RefusesStreamsThatCannotHoldTheirSize) {
  std::string bits(100, '\x55');
  struct Case {
    const char* name;
    std::string stream;
    bool ok;
  };
  const Case cases[] = {
      {"no size field", "\x01\x00", false},
      {"size field only, size 0", skintest::Le32(0), true},
      {"size field only, size 1", skintest::Le32(1), false},
      {"48 bytes a stream byte", skintest::Le32(4800) + bits, true},
      {"more than 48 bytes a stream byte", skintest::Le32(4801) + bits, false},
      {"negative as signed", skintest::Le32(0xFFFFFFF0u) + bits, false},
      {"above the cap", skintest::Le32(TLZH::kMaxUnpacked + 1u) + std::string(2000000, '\0'), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string out = "stale";
    TLZH lzh;
    EXPECT_EQ(lzh.Decompress(c.stream, out), c.ok);
    if (c.ok) {
      EXPECT_EQ(out.size(),
                static_cast<size_t>(static_cast<uint8_t>(c.stream[0]) | static_cast<uint8_t>(c.stream[1]) << 8));
    } else {
      EXPECT_TRUE(out.empty());
      EXPECT_FALSE(lzh.LastError().empty());
    }
  }
}

// A stream that takes only so many bytes, as a full disk would.
class TCappedStream : public TMemoryStream {
 public:
  explicit TCappedStream(int32_t cap) : cap_(cap) {}
  int32_t Write(const void* buffer, int32_t count) override {
    count = std::min(count, cap_ - static_cast<int32_t>(Position()));
    return count > 0 ? TMemoryStream::Write(buffer, count) : 0;
  }

 private:
  int32_t cap_;
};

TEST(TLZH, StreamsRoundTripThroughTheirAdapters) {
  const std::string inputs[] = {"", "x", Random(20000, 7, 4), Random(5000, 8, 256), std::string(3000, 'q')};
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input.size());
    TMemoryStream source(input), packed("stale bytes from an earlier use, longer than some outputs"), back("old");
    source.SetPosition(input.size() / 2);  // both operations rewind first
    TLZH lzh;
    lzh.InStream = &source;
    lzh.OutStream = &packed;
    lzh.CompressStream();
    std::string whole;
    TLZH::Compress(input, whole);
    EXPECT_EQ(packed.Data(), whole) << "the stream and buffer forms write the same layout";
    EXPECT_EQ(lzh.CodeSize, static_cast<int32_t>(packed.Data().size()) - 4) << "every byte after the size field";
    EXPECT_GT(lzh.Len, 0);

    TLZH unpack;
    unpack.InStream = &packed;
    unpack.OutStream = &back;
    unpack.DecompressStream();
    EXPECT_TRUE(back.Data() == input);
  }
}

TEST(TLZH, TheLastCodeIsKept) {
  TMemoryStream source("A"), packed;
  TLZH lzh;
  lzh.InStream = &source;
  lzh.OutStream = &packed;
  lzh.CompressStream();
  // 'A' codes as 111001101 from the starting tree.
  EXPECT_EQ(lzh.Len, 9);
  EXPECT_EQ(lzh.Code, 0xE680);
  EXPECT_EQ(lzh.CodeSize, 2);
}

TEST(TLZH, BlockAdaptersMoveWhatTheStreamsHold) {
  TMemoryStream in("abc"), out;
  TLZH lzh;
  lzh.InStream = &in;
  lzh.OutStream = &out;
  uint8_t buf[8] = {};
  in.SetPosition(1);
  EXPECT_EQ(lzh.GetBlockStream(buf, 8), 2) << "lowered to what is left";
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 2), "bc");
  EXPECT_EQ(lzh.GetBlockStream(buf, 1), 0) << "exhausted";
  EXPECT_EQ(lzh.PutBlockStream(buf, 2), 2);
  EXPECT_EQ(out.Data(), "bc");

  TCappedStream full(1);
  lzh.OutStream = &full;
  EXPECT_THROW(lzh.PutBlockStream(buf, 2), EWriteError);
}

TEST(TLZH, DamagedStreamsRaiseAndReleaseTheCodec) {
  std::string good;
  TLZH::Compress(Random(4000, 3, 16), good);
  const std::string damaged[] = {
      "",
      "\x05\x00",
      skintest::Le32(1),
      skintest::Le32(0x7FFFFFFF) + good.substr(4),
      skintest::Le32(TLZH::kMaxUnpacked + 1u) + std::string(2000000, '\0'),
  };
  TLZH lzh;
  for (const std::string& stream : damaged) {
    SCOPED_TRACE(stream.size());
    TMemoryStream in(stream), out("previous");
    lzh.InStream = &in;
    lzh.OutStream = &out;
    EXPECT_THROW(lzh.DecompressStream(), ElzhException);
  }
  // Flipped bits are not detected, but decode to the stated size without a fault.
  for (size_t at = 4; at < good.size(); at += 97) {
    std::string flipped = good;
    flipped[at] = static_cast<char>(flipped[at] ^ 0x5A);
    TMemoryStream in(flipped), out;
    lzh.InStream = &in;
    lzh.OutStream = &out;
    lzh.DecompressStream();
    EXPECT_EQ(out.Data().size(), 4000u);
  }
  // A failing write leaves the codec usable.
  TMemoryStream in(good);
  TCappedStream capped(100);
  lzh.InStream = &in;
  lzh.OutStream = &capped;
  EXPECT_THROW(lzh.DecompressStream(), EWriteError);
  TMemoryStream out;
  lzh.OutStream = &out;
  lzh.DecompressStream();
  EXPECT_EQ(out.Data().size(), 4000u);
}

}  // namespace
