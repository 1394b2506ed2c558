#include "skin/WinConvert.h"

#include <algorithm>
#include <array>
#include <vector>

#include "classlib/Gbk.h"

namespace {

constexpr int N = 4096;                      // ring buffer size
constexpr int F = 60;                        // longest match
constexpr int THRESHOLD = 2;                 // a match must be longer than this
constexpr int NIL = N;                       // no tree node
constexpr int N_CHAR = 256 - THRESHOLD + F;  // 256 literals and 58 match lengths
constexpr int T = 2 * N_CHAR - 1;            // Huffman tree nodes
constexpr int R = T - 1;                     // Huffman root
constexpr unsigned MAX_FREQ = 0x8000;        // root frequency that forces a rebuild
static_assert(N_CHAR == 314 && T == 627);

// Lengths of the position prefix code by the upper 6 bits of a position: first value
// of each length, the last row closing the table.
struct PrefixRow {
  int firstValue;
  int bits;
};
constexpr PrefixRow kPrefixRows[] = {{0, 3}, {1, 4}, {4, 5}, {12, 6}, {24, 7}, {48, 8}, {64, 0}};

struct PositionTables {
  std::array<uint8_t, 64> p_len{}, p_code{};   // encoder: value -> bits, code in a byte's top bits
  std::array<uint8_t, 256> d_code{}, d_len{};  // decoder: first code byte -> value, prefix bits
};

// The codes are canonical in order of value.
constexpr PositionTables MakePositionTables() {
  PositionTables t;
  int code = 0, bits = kPrefixRows[0].bits;
  for (int row = 0; kPrefixRows[row].bits != 0; ++row) {
    code <<= kPrefixRows[row].bits - bits;
    bits = kPrefixRows[row].bits;
    for (int v = kPrefixRows[row].firstValue; v < kPrefixRows[row + 1].firstValue; ++v, ++code) {
      t.p_len[v] = static_cast<uint8_t>(bits);
      t.p_code[v] = static_cast<uint8_t>(code << (8 - bits));
      for (int b = 0; b < (1 << (8 - bits)); ++b) {
        t.d_code[t.p_code[v] + b] = static_cast<uint8_t>(v);
        t.d_len[t.p_code[v] + b] = static_cast<uint8_t>(bits);
      }
    }
  }
  return t;
}
constexpr PositionTables kPos = MakePositionTables();
static_assert(kPos.p_code[1] == 0x20 && kPos.p_code[5] == 0x58 && kPos.p_code[13] == 0x94);
static_assert(kPos.p_code[25] == 0xC2 && kPos.p_code[48] == 0xF0 && kPos.p_code[63] == 0xFF);

// The most output one byte of bit stream can give: a 60-byte match takes at least
// 10 bits (a 1-bit length code and a 9-bit position).
constexpr int64_t kMaxExpansion = 8 * F / 10;

}  // namespace

// The work arrays, one allocation each so a stray index shows up under the sanitizers.
struct TLZH::Work {
  std::vector<uint8_t> TextBuf = std::vector<uint8_t>(N + F - 1, ' ');  // first F-1 bytes mirrored at N
  std::vector<int16_t> LSon = std::vector<int16_t>(N + 1);
  std::vector<int16_t> Dad = std::vector<int16_t>(N + 1);
  std::vector<int16_t> RSon = std::vector<int16_t>(N + 257);     // N+1..N+256: a root per first byte
  std::vector<uint16_t> Freq = std::vector<uint16_t>(T + 1);     // Freq[T] is a sentinel
  std::vector<int16_t> Prnt = std::vector<int16_t>(T + N_CHAR);  // T+symbol: the symbol's leaf
  std::vector<int16_t> Son = std::vector<int16_t>(T);            // smaller child, or T+symbol at a leaf
};

TLZH::TLZH() = default;
TLZH::~TLZH() = default;

bool TLZH::Fail(std::string text) {
  lastError_ = std::move(text);
  return false;
}

// The whole ring buffer starts as spaces, so the bytes past a short input compare as
// spaces too and an empty input codes one space.
void TLZH::InitLZH() {
  work_ = std::make_unique<Work>();
  getBuf_ = 0;
  getLen_ = 0;
  putLen_ = 0;
  putBuf_ = 0;
  textSize_ = 0;
  CodeSize = 0;
  matchPosition_ = 0;
  matchLength_ = 0;
}

void TLZH::EndLZH() {
  work_.reset();
  read_ = nullptr;
  write_ = nullptr;
}

namespace {
// Frees the work arrays when a pack or unpack ends, also when a callback throws.
template <typename End>
struct AtExit {
  End end;
  ~AtExit() { end(); }
};
template <typename End>
AtExit(End) -> AtExit<End>;
}  // namespace

void TLZH::StartHuff() {
  Work& w = *work_;
  for (int i = 0; i < N_CHAR; ++i) {
    w.Freq[i] = 1;
    w.Son[i] = static_cast<int16_t>(i + T);
    w.Prnt[i + T] = static_cast<int16_t>(i);
  }
  for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
    w.Freq[j] = static_cast<uint16_t>(w.Freq[i] + w.Freq[i + 1]);
    w.Son[j] = static_cast<int16_t>(i);
    w.Prnt[i] = w.Prnt[i + 1] = static_cast<int16_t>(j);
  }
  w.Freq[T] = 0xFFFF;
  w.Prnt[R] = 0;
}

// Halves the frequencies and rebuilds the tree once the root has reached MAX_FREQ.
void TLZH::Reconst() {
  Work& w = *work_;
  int j = 0;
  for (int i = 0; i < T; ++i) {
    if (w.Son[i] >= T) {
      w.Freq[j] = static_cast<uint16_t>((w.Freq[i] + 1) / 2);
      w.Son[j] = w.Son[i];
      ++j;
    }
  }
  for (int i = 0, node = N_CHAR; node < T; i += 2, ++node) {
    uint16_t f = static_cast<uint16_t>(w.Freq[i] + w.Freq[i + 1]);
    int k = node - 1;
    while (f < w.Freq[k]) --k;
    ++k;
    std::copy_backward(w.Freq.begin() + k, w.Freq.begin() + node, w.Freq.begin() + node + 1);
    std::copy_backward(w.Son.begin() + k, w.Son.begin() + node, w.Son.begin() + node + 1);
    w.Freq[k] = f;
    w.Son[k] = static_cast<int16_t>(i);
  }
  for (int i = 0; i < T; ++i) {
    int k = w.Son[i];
    if (k >= T) {
      w.Prnt[k] = static_cast<int16_t>(i);
    } else {
      w.Prnt[k] = w.Prnt[k + 1] = static_cast<int16_t>(i);
    }
  }
}

// Counts symbol c and restores the order of frequencies along its path to the root.
void TLZH::Update(int c) {
  Work& w = *work_;
  if (w.Freq[R] == MAX_FREQ) Reconst();
  c = w.Prnt[c + T];
  do {
    uint16_t k = ++w.Freq[c];
    if (k > w.Freq[c + 1]) {
      int l = c + 1;
      while (k > w.Freq[l + 1]) ++l;
      w.Freq[c] = w.Freq[l];
      w.Freq[l] = k;
      int i = w.Son[c];
      w.Prnt[i] = static_cast<int16_t>(l);
      if (i < T) w.Prnt[i + 1] = static_cast<int16_t>(l);
      int j = w.Son[l];
      w.Son[l] = static_cast<int16_t>(i);
      w.Prnt[j] = static_cast<int16_t>(c);
      if (j < T) w.Prnt[j + 1] = static_cast<int16_t>(c);
      w.Son[c] = static_cast<int16_t>(j);
      c = l;
    }
    c = w.Prnt[c];
  } while (c != 0);
}

void TLZH::InitTree() {
  Work& w = *work_;
  std::fill(w.RSon.begin() + N + 1, w.RSon.end(), NIL);
  std::fill(w.Dad.begin(), w.Dad.end(), NIL);
}

// Inserts the string at ring position r and finds the longest earlier match; on equal
// length the nearer string wins. A full-length match replaces the old node.
void TLZH::InsertNode(int r) {
  Work& w = *work_;
  const uint8_t* key = &w.TextBuf[r];
  int p = N + 1 + key[0];
  int cmp = 1;
  w.RSon[r] = w.LSon[r] = NIL;
  matchLength_ = 0;
  while (true) {
    std::vector<int16_t>& side = cmp >= 0 ? w.RSon : w.LSon;
    if (side[p] == NIL) {
      side[p] = static_cast<int16_t>(r);
      w.Dad[r] = static_cast<int16_t>(p);
      return;
    }
    p = side[p];
    int i = 1;
    for (; i < F; ++i) {
      cmp = key[i] - w.TextBuf[p + i];
      if (cmp != 0) break;
    }
    if (i > THRESHOLD) {
      int position = ((r - p) & (N - 1)) - 1;
      if (i > matchLength_) {
        matchPosition_ = static_cast<int16_t>(position);
        matchLength_ = static_cast<int16_t>(i);
        if (matchLength_ >= F) break;
      } else if (i == matchLength_ && position < matchPosition_) {
        matchPosition_ = static_cast<int16_t>(position);
      }
    }
  }
  w.Dad[r] = w.Dad[p];
  w.LSon[r] = w.LSon[p];
  w.RSon[r] = w.RSon[p];
  w.Dad[w.LSon[p]] = static_cast<int16_t>(r);
  w.Dad[w.RSon[p]] = static_cast<int16_t>(r);
  std::vector<int16_t>& link = w.RSon[w.Dad[p]] == p ? w.RSon : w.LSon;
  link[w.Dad[p]] = static_cast<int16_t>(r);
  w.Dad[p] = NIL;
}

void TLZH::DeleteNode(int p) {
  Work& w = *work_;
  if (w.Dad[p] == NIL) return;
  int q;
  if (w.RSon[p] == NIL) {
    q = w.LSon[p];
  } else if (w.LSon[p] == NIL) {
    q = w.RSon[p];
  } else {
    q = w.LSon[p];
    if (w.RSon[q] != NIL) {
      do q = w.RSon[q];
      while (w.RSon[q] != NIL);
      w.RSon[w.Dad[q]] = w.LSon[q];
      w.Dad[w.LSon[q]] = w.Dad[q];
      w.LSon[q] = w.LSon[p];
      w.Dad[w.LSon[p]] = static_cast<int16_t>(q);
    }
    w.RSon[q] = w.RSon[p];
    w.Dad[w.RSon[p]] = static_cast<int16_t>(q);
  }
  w.Dad[q] = w.Dad[p];
  std::vector<int16_t>& link = w.RSon[w.Dad[p]] == p ? w.RSon : w.LSon;
  link[w.Dad[p]] = static_cast<int16_t>(q);
  w.Dad[p] = NIL;
}

void TLZH::PutByte(uint8_t b) { (*write_)(&b, 1); }

// Writes the top l bits of c, most significant first.
void TLZH::Putcode(int l, uint16_t c) {
  putBuf_ = static_cast<uint16_t>(putBuf_ | (c >> putLen_));
  putLen_ = static_cast<uint8_t>(putLen_ + l);
  if (putLen_ < 8) return;
  PutByte(static_cast<uint8_t>(putBuf_ >> 8));
  putLen_ = static_cast<uint8_t>(putLen_ - 8);
  if (putLen_ >= 8) {
    PutByte(static_cast<uint8_t>(putBuf_));
    CodeSize += 2;
    putLen_ = static_cast<uint8_t>(putLen_ - 8);
    putBuf_ = static_cast<uint16_t>(c << (l - putLen_));
  } else {
    putBuf_ = static_cast<uint16_t>(putBuf_ << 8);
    ++CodeSize;
  }
}

void TLZH::EncodeChar(int c) {
  const Work& w = *work_;
  unsigned code = 0;
  int len = 0;
  for (int k = w.Prnt[c + T]; k != R; k = w.Prnt[k]) {
    code >>= 1;
    if (k & 1) code |= 0x8000;
    ++len;
  }
  Putcode(len, static_cast<uint16_t>(code));
  Code = static_cast<uint16_t>(code);
  Len = static_cast<uint16_t>(len);
  Update(c);
}

void TLZH::EncodePosition(int p) {
  int upper = p >> 6;
  Putcode(kPos.p_len[upper], static_cast<uint16_t>(kPos.p_code[upper] << 8));
  Putcode(6, static_cast<uint16_t>((p & 0x3F) << 10));
}

void TLZH::EncodeEnd() {
  if (putLen_ == 0) return;
  PutByte(static_cast<uint8_t>(putBuf_ >> 8));
  ++CodeSize;
}

// Tops the bit buffer up to more than 8 bits; missing input reads as zero bits.
void TLZH::Refill() {
  while (getLen_ <= 8) {
    uint8_t b = 0;
    if ((*read_)(&b, 1) == 0) b = 0;
    getBuf_ = static_cast<uint16_t>(getBuf_ | (b << (8 - getLen_)));
    getLen_ = static_cast<uint8_t>(getLen_ + 8);
  }
}

int TLZH::GetBit() {
  Refill();
  int bit = getBuf_ >> 15;
  getBuf_ = static_cast<uint16_t>(getBuf_ << 1);
  --getLen_;
  return bit;
}

int TLZH::GetByte() {
  Refill();
  int byte = getBuf_ >> 8;
  getBuf_ = static_cast<uint16_t>(getBuf_ << 8);
  getLen_ = static_cast<uint8_t>(getLen_ - 8);
  return byte;
}

int TLZH::DecodeChar() {
  const Work& w = *work_;
  int c = w.Son[R];
  while (c < T) c = w.Son[c + GetBit()];
  c -= T;
  Update(c);
  return c;
}

int TLZH::DecodePosition() {
  int i = GetByte();
  int c = kPos.d_code[i] << 6;
  for (int j = kPos.d_len[i] - 2; j > 0; --j) i = (i << 1) + GetBit();
  return c | (i & 0x3F);
}

void TLZH::LZHPack(int32_t& bytesRead, const TReadProc& read, const TWriteProc& write) {
  read_ = &read;
  write_ = &write;
  InitLZH();
  AtExit release{[this] { EndLZH(); }};
  StartHuff();
  InitTree();
  Work& w = *work_;
  int s = 0, r = N - F;
  auto next = [&](uint8_t& c) { return read(&c, 1) != 0; };
  int len = 0;
  for (uint8_t c; len < F && next(c); ++len) w.TextBuf[r + len] = c;
  textSize_ = len;
  for (int i = 1; i <= F; ++i) InsertNode(r - i);
  InsertNode(r);
  do {
    if (matchLength_ > len) matchLength_ = static_cast<int16_t>(len);
    if (matchLength_ <= THRESHOLD) {
      matchLength_ = 1;
      EncodeChar(w.TextBuf[r]);
    } else {
      EncodeChar(255 - THRESHOLD + matchLength_);
      EncodePosition(matchPosition_);
    }
    int last = matchLength_, i = 0;
    for (uint8_t c; i < last && next(c); ++i) {
      DeleteNode(s);
      w.TextBuf[s] = c;
      if (s < F - 1) w.TextBuf[s + N] = c;
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      InsertNode(r);
    }
    textSize_ += i;
    for (; i < last; ++i) {
      DeleteNode(s);
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      if (--len != 0) InsertNode(r);
    }
  } while (len > 0);
  EncodeEnd();
  bytesRead = textSize_;
}

void TLZH::LZHUnpack(int32_t size, const TReadProc& read, const TWriteProc& write) {
  read_ = &read;
  write_ = &write;
  InitLZH();
  AtExit release{[this] { EndLZH(); }};
  StartHuff();
  Work& w = *work_;
  int r = N - F;
  auto emit = [&](uint8_t b) {
    PutByte(b);
    w.TextBuf[r] = b;
    r = (r + 1) & (N - 1);
  };
  for (int64_t count = 0; count < size;) {
    int c = DecodeChar();
    if (c < 256) {
      emit(static_cast<uint8_t>(c));
      ++count;
      continue;
    }
    int from = (r - DecodePosition() - 1) & (N - 1);
    int length = c - 255 + THRESHOLD;
    for (int k = 0; k < length; ++k) emit(w.TextBuf[(from + k) & (N - 1)]);
    count += length;
  }
}

uint16_t TLZH::GetBlockStream(uint8_t* dta, uint16_t count) {
  const int64_t left = InStream->Size() - InStream->Position();
  const uint16_t actual = static_cast<uint16_t>(std::clamp<int64_t>(left, 0, count));
  InStream->ReadBuffer(dta, actual);
  return actual;
}

uint16_t TLZH::PutBlockStream(const uint8_t* dta, uint16_t count) {
  OutStream->WriteBuffer(dta, count);
  return count;
}

void TLZH::CompressStream() {
  InStream->SetPosition(0);
  OutStream->SetPosition(0);
  OutStream->SetSize(0);
  const uint32_t size = static_cast<uint32_t>(InStream->Size());
  uint8_t head[4];
  for (int i = 0; i < 4; ++i) head[i] = static_cast<uint8_t>(size >> (8 * i));
  OutStream->WriteBuffer(head, 4);
  TReadProc read = [this](uint8_t* dta, uint16_t n) { return GetBlockStream(dta, n); };
  TWriteProc write = [this](const uint8_t* dta, uint16_t n) { return PutBlockStream(dta, n); };
  int32_t bytesRead = 0;
  LZHPack(bytesRead, read, write);
}

void TLZH::DecompressStream() {
  InStream->SetPosition(0);
  OutStream->SetPosition(0);
  OutStream->SetSize(0);
  uint8_t head[4] = {};
  if (InStream->Read(head, 4) != 4) throw ElzhException(gbk::FromUtf8("压缩数据不完整"));
  uint32_t size = 0;
  for (int i = 0; i < 4; ++i) size |= static_cast<uint32_t>(head[i]) << (8 * i);
  const int64_t bits = InStream->Size() - 4;
  if (size > static_cast<uint32_t>(kMaxUnpacked) || size > kMaxExpansion * bits) {
    throw ElzhException(gbk::FromUtf8("压缩数据的长度不对"));
  }
  TReadProc read = [this](uint8_t* dta, uint16_t n) { return GetBlockStream(dta, n); };
  TWriteProc write = [this](const uint8_t* dta, uint16_t n) { return PutBlockStream(dta, n); };
  LZHUnpack(static_cast<int32_t>(size), read, write);
  // A corrupt stream can end in a match that runs past the stated size.
  OutStream->SetSize(size);
}

void TLZH::Compress(std::string_view src, std::string& dst) {
  TMemoryStream in{std::string(src)}, out;
  TLZH lzh;
  lzh.InStream = &in;
  lzh.OutStream = &out;
  lzh.CompressStream();
  dst = out.Data();
}

bool TLZH::Decompress(std::string_view src, std::string& dst) {
  dst.clear();
  TMemoryStream in{std::string(src)}, out;
  InStream = &in;
  OutStream = &out;
  try {
    DecompressStream();
  } catch (const ElzhException& e) {
    InStream = OutStream = nullptr;
    return Fail(e.what());
  }
  InStream = OutStream = nullptr;
  dst = out.Data();
  lastError_.clear();
  return true;
}
