#include "platform/lzh_lh5_encoder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "platform/lzh_huffman.h"

namespace qzarn::lzh {
namespace {

// Block format constants of -lh5-.
constexpr int kLiteralCodes = 256;
constexpr int kCharCodes = kLiteralCodes + kLh5MaxMatch - kLh5MinMatch + 1;  // 510
constexpr int kCharCountBits = 9;  // bits of the char-table size field
constexpr int kLengthCodes = 19;   // codes that carry the char-code lengths
constexpr int kLengthCountBits = 5;
constexpr int kOffsetCodes = 14;  // 0..13: offset bit lengths for an 8 KiB window
constexpr int kOffsetCountBits = 4;
// One block holds at most 65535 codes (16-bit count); smaller blocks adapt
// the tables to changing data at a small cost per table.
constexpr std::size_t kBlockCodes = 32768;
constexpr std::size_t kTrailingPadding = 2;

// Match finder tuning: how many chain links to follow, when a match is good
// enough to stop looking, and how far back a three-byte match still pays.
constexpr int kMaxChain = 96;
constexpr int kNiceMatch = 128;
constexpr int kLazyLimit = 32;
constexpr int kFarShortMatch = 4096;

constexpr int kHashBits = 15;
constexpr std::size_t kHashSize = std::size_t{1} << kHashBits;
constexpr std::size_t kChainSize = 8192;  // power of two > kLh5MaxDistance

class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  // Appends the low `count` bits of `value`, most significant first.
  void Put(int count, std::uint32_t value) {
    if (count == 0) return;
    acc_ = (acc_ << count) | (value & ((std::uint64_t{1} << count) - 1));
    pending_ += count;
    while (pending_ >= 8) {
      pending_ -= 8;
      out_.push_back(static_cast<std::uint8_t>(acc_ >> pending_));
    }
  }

  void Flush() {
    if (pending_ > 0) out_.push_back(static_cast<std::uint8_t>(acc_ << (8 - pending_)));
    pending_ = 0;
    acc_ = 0;
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint64_t acc_ = 0;
  int pending_ = 0;
};

// One coded item: a literal byte (code < 256) or a match, whose code is
// 256 + length - 3 and whose offset is distance - 1.
struct Item {
  std::uint16_t code;
  std::uint16_t offset;
};

int OffsetCode(unsigned offset) {
  int bits = 0;
  while (offset != 0) {
    ++bits;
    offset >>= 1;
  }
  return bits;
}

struct Table {
  std::vector<std::uint8_t> lengths;
  std::vector<std::uint16_t> codes;
  int single = -1;  // the only used symbol when the table has one (or none: 0)

  void Build(std::span<const std::uint32_t> freq) {
    lengths = BuildCodeLengths(freq);
    codes = BuildCanonicalCodes(lengths);
    int used = 0;
    single = 0;
    for (std::size_t i = 0; i < freq.size(); ++i) {
      if (freq[i] != 0) {
        ++used;
        single = static_cast<int>(i);
      }
    }
    if (used >= 2) single = -1;
  }
  void Put(BitWriter& out, std::size_t symbol) const {
    out.Put(lengths[symbol], codes[symbol]);  // a single-symbol table costs no bits
  }
};

std::size_t UsedCount(const std::vector<std::uint8_t>& lengths) {
  std::size_t n = lengths.size();
  while (n > 0 && lengths[n - 1] == 0)
    --n;
  return n;
}

// A table of lengths written with 3-bit fields (7 and above continue in
// unary); after entry `skip_at`, a 2-bit count of following zeros.
void PutSmallTable(BitWriter& out, const std::vector<std::uint8_t>& lengths, int count_bits,
                   std::size_t skip_at) {
  const std::size_t n = UsedCount(lengths);
  out.Put(count_bits, static_cast<std::uint32_t>(n));
  for (std::size_t i = 0; i < n;) {
    const int len = lengths[i++];
    if (len <= 6) {
      out.Put(3, static_cast<std::uint32_t>(len));
    } else {
      out.Put(len - 3, (1u << (len - 3)) - 2);
    }
    if (i == skip_at) {
      std::size_t zeros = 0;
      while (zeros < 3 && i < n && lengths[i] == 0)
        ++i, ++zeros;
      out.Put(2, static_cast<std::uint32_t>(zeros));
    }
  }
}

// The char-code lengths as length-table symbols: n + 2 for a length n; 0, 1
// and 2 for runs of unused codes (one; 3..18 with 4 extra bits; 20 and more
// with 9 extra bits).
struct LengthToken {
  std::uint8_t symbol;
  std::uint8_t extra_bits;
  std::uint16_t extra;
};

std::vector<LengthToken> TokeniseCharLengths(const std::vector<std::uint8_t>& char_lengths) {
  std::vector<LengthToken> tokens;
  const std::size_t n = UsedCount(char_lengths);
  for (std::size_t i = 0; i < n;) {
    if (char_lengths[i] != 0) {
      tokens.push_back({static_cast<std::uint8_t>(char_lengths[i++] + 2), 0, 0});
      continue;
    }
    std::size_t run = 0;
    while (i < n && char_lengths[i] == 0)
      ++i, ++run;
    if (run == 19) {  // no single token covers 19: one, then 18
      tokens.push_back({0, 0, 0});
      run = 18;
    }
    if (run <= 2) {
      for (std::size_t k = 0; k < run; ++k)
        tokens.push_back({0, 0, 0});
    } else if (run <= 18) {
      tokens.push_back({1, 4, static_cast<std::uint16_t>(run - 3)});
    } else {
      tokens.push_back({2, kCharCountBits, static_cast<std::uint16_t>(run - 20)});
    }
  }
  return tokens;
}

void PutBlock(BitWriter& out, std::span<const Item> items) {
  std::array<std::uint32_t, kCharCodes> char_freq{};
  std::array<std::uint32_t, kOffsetCodes> offset_freq{};
  for (const Item& item : items) {
    ++char_freq[item.code];
    if (item.code >= kLiteralCodes)
      ++offset_freq[static_cast<std::size_t>(OffsetCode(item.offset))];
  }
  Table chars;
  chars.Build(char_freq);
  Table offsets;
  offsets.Build(offset_freq);

  out.Put(16, static_cast<std::uint32_t>(items.size()));
  if (chars.single < 0) {
    const std::vector<LengthToken> tokens = TokeniseCharLengths(chars.lengths);
    std::array<std::uint32_t, kLengthCodes> length_freq{};
    for (const LengthToken& t : tokens)
      ++length_freq[t.symbol];
    Table length_table;
    length_table.Build(length_freq);
    if (length_table.single < 0) {
      PutSmallTable(out, length_table.lengths, kLengthCountBits, 3);
    } else {
      out.Put(kLengthCountBits, 0);
      out.Put(kLengthCountBits, static_cast<std::uint32_t>(length_table.single));
    }
    out.Put(kCharCountBits, static_cast<std::uint32_t>(UsedCount(chars.lengths)));
    for (const LengthToken& t : tokens) {
      length_table.Put(out, t.symbol);
      out.Put(t.extra_bits, t.extra);
    }
  } else {
    out.Put(kLengthCountBits, 0);
    out.Put(kLengthCountBits, 0);
    out.Put(kCharCountBits, 0);
    out.Put(kCharCountBits, static_cast<std::uint32_t>(chars.single));
  }
  if (offsets.single < 0) {
    PutSmallTable(out, offsets.lengths, kOffsetCountBits, SIZE_MAX);
  } else {
    out.Put(kOffsetCountBits, 0);
    out.Put(kOffsetCountBits, static_cast<std::uint32_t>(offsets.single));
  }

  for (const Item& item : items) {
    chars.Put(out, item.code);
    if (item.code < kLiteralCodes) continue;
    const int bits = OffsetCode(item.offset);
    offsets.Put(out, static_cast<std::size_t>(bits));
    if (bits > 1) out.Put(bits - 1, item.offset & ((1u << (bits - 1)) - 1));
  }
}

struct Match {
  int length = 0;
  int distance = 0;
};

// Hash chains over the whole input: head[] holds the latest position of each
// three-byte hash, chain[] links each position to the previous one with the
// same hash (positions further back than the window are never followed).
class MatchFinder {
 public:
  explicit MatchFinder(std::span<const std::uint8_t> data)
      : data_(data), head_(kHashSize, -1), chain_(kChainSize, -1) {}

  // Records `pos` and returns the best earlier match for it.
  Match InsertAndFind(std::size_t pos) {
    if (pos + kLh5MinMatch > data_.size()) return {};
    const std::ptrdiff_t first = Insert(pos);
    return Find(pos, first);
  }

  // Records `pos` inside a match already chosen.
  void Skip(std::size_t pos) {
    if (pos + kLh5MinMatch <= data_.size()) Insert(pos);
  }

 private:
  std::ptrdiff_t Insert(std::size_t pos) {
    const std::size_t h = Hash(pos);
    const std::ptrdiff_t previous = head_[h];
    chain_[pos & (kChainSize - 1)] = previous;
    head_[h] = static_cast<std::ptrdiff_t>(pos);
    return previous;
  }

  std::size_t Hash(std::size_t pos) const {
    const std::uint32_t v =
        (std::uint32_t{data_[pos]} << 16) | (std::uint32_t{data_[pos + 1]} << 8) | data_[pos + 2];
    return (v * 2654435761u) >> (32 - kHashBits);
  }

  Match Find(std::size_t pos, std::ptrdiff_t candidate) const {
    const std::size_t limit = std::min<std::size_t>(kLh5MaxMatch, data_.size() - pos);
    const std::uint8_t* here = data_.data() + pos;
    Match best;
    best.length = kLh5MinMatch - 1;
    for (int links = kMaxChain; candidate >= 0 && links > 0; --links) {
      const std::size_t distance = pos - static_cast<std::size_t>(candidate);
      if (distance > static_cast<std::size_t>(kLh5MaxDistance)) break;
      const std::uint8_t* there = data_.data() + candidate;
      if (there[best.length] == here[best.length] && there[0] == here[0]) {
        std::size_t len = 0;
        while (len < limit && there[len] == here[len])
          ++len;
        if (static_cast<int>(len) > best.length) {
          best.length = static_cast<int>(len);
          best.distance = static_cast<int>(distance);
          if (best.length >= kNiceMatch || len == limit) break;
        }
      }
      const std::ptrdiff_t next = chain_[static_cast<std::size_t>(candidate) & (kChainSize - 1)];
      if (next >= candidate) break;
      candidate = next;
    }
    if (best.length < kLh5MinMatch ||
        (best.length == kLh5MinMatch && best.distance > kFarShortMatch))
      return {};
    return best;
  }

  std::span<const std::uint8_t> data_;
  std::vector<std::ptrdiff_t> head_;
  std::vector<std::ptrdiff_t> chain_;
};

// LZSS with one step of lazy evaluation: a match is deferred by a byte when
// the next position offers a longer one.
// Items go to `sink` in order, so that blocks can be written as they fill.
template <typename Sink>
void Parse(std::span<const std::uint8_t> data, Sink&& sink) {
  MatchFinder finder(data);
  auto literal = [&](std::size_t pos) { sink(Item{data[pos], 0}); };
  auto match = [&](const Match& m) {
    sink(Item{static_cast<std::uint16_t>(kLiteralCodes + m.length - kLh5MinMatch),
              static_cast<std::uint16_t>(m.distance - 1)});
  };

  Match pending;  // match found for pos - 1
  bool has_pending = false;
  std::size_t pos = 0;
  while (pos < data.size()) {
    Match current;
    if (has_pending && pending.length >= kLazyLimit) {
      finder.Skip(pos);
    } else {
      current = finder.InsertAndFind(pos);
    }
    if (has_pending) {
      if (pending.length >= kLh5MinMatch && current.length <= pending.length) {
        match(pending);
        const std::size_t end = pos - 1 + static_cast<std::size_t>(pending.length);
        for (std::size_t p = pos + 1; p < end; ++p)
          finder.Skip(p);
        pos = end;
        has_pending = false;
        continue;
      }
      literal(pos - 1);
    }
    pending = current;
    has_pending = true;
    ++pos;
  }
  if (has_pending) literal(pos - 1);  // a match cannot start at the last byte
}

}  // namespace

std::vector<std::uint8_t> EncodeLh5(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> out;
  if (data.empty()) return out;
  out.reserve(data.size() / 2 + 64);
  BitWriter writer(out);
  std::vector<Item> block;
  block.reserve(kBlockCodes);
  Parse(data, [&](const Item& item) {
    block.push_back(item);
    if (block.size() == kBlockCodes) {
      PutBlock(writer, block);
      block.clear();
    }
  });
  if (!block.empty()) PutBlock(writer, block);
  writer.Flush();
  // Some decoders (jlha among them) give up on the last codes when they
  // cannot fill their look-ahead from the input, though the bits they need
  // are there; two spare bytes keep them going. Every decoder stops at the
  // original size, so the spare bytes are never read as data.
  out.insert(out.end(), kTrailingPadding, 0);
  return out;
}

}  // namespace qzarn::lzh
