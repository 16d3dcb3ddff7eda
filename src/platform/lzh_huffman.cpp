#include "platform/lzh_huffman.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <queue>
#include <utility>

namespace qzarn::lzh {
namespace {

// Depth of every leaf of a Huffman tree over the used symbols, listed in
// the order of `used`.
std::vector<int> HuffmanDepths(std::span<const std::uint32_t> frequencies,
                               const std::vector<std::size_t>& used) {
  // Nodes 0..used-1 are leaves; inner nodes follow. parent[node] links upward.
  std::vector<std::size_t> parent(2 * used.size(), 0);
  using Entry = std::pair<std::uint64_t, std::size_t>;  // (weight, node)
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
  for (std::size_t i = 0; i < used.size(); ++i)
    queue.emplace(frequencies[used[i]], i);
  std::size_t next = used.size();
  while (queue.size() > 1) {
    auto [w1, n1] = queue.top();
    queue.pop();
    auto [w2, n2] = queue.top();
    queue.pop();
    parent[n1] = next;
    parent[n2] = next;
    queue.emplace(w1 + w2, next++);
  }
  const std::size_t root = next - 1;
  // Inner nodes are created after their children, so walking down from the
  // root in reverse creation order sees every parent before its children.
  std::vector<int> depth(next, 0);
  for (std::size_t node = root; node-- > 0;)
    depth[node] = depth[parent[node]] + 1;
  depth.resize(used.size());
  return depth;
}

}  // namespace

std::vector<std::uint8_t> BuildCodeLengths(std::span<const std::uint32_t> frequencies,
                                           int max_length) {
  std::vector<std::uint8_t> lengths(frequencies.size(), 0);
  std::vector<std::size_t> used;
  for (std::size_t i = 0; i < frequencies.size(); ++i)
    if (frequencies[i] != 0) used.push_back(i);
  if (used.size() < 2) return lengths;

  const std::vector<int> depths = HuffmanDepths(frequencies, used);
  std::vector<std::uint32_t> count(static_cast<std::size_t>(max_length) + 1, 0);
  for (int d : depths)
    ++count[static_cast<std::size_t>(std::min(d, max_length))];

  // Clamping deep leaves overfills the code space; move leaves down from the
  // longest shorter lengths until the Kraft sum is exactly one again.
  const std::uint64_t full = std::uint64_t{1} << max_length;
  std::uint64_t kraft = 0;
  for (int len = 1; len <= max_length; ++len)
    kraft += std::uint64_t{count[static_cast<std::size_t>(len)]} << (max_length - len);
  while (kraft > full) {
    --count[static_cast<std::size_t>(max_length)];
    for (int len = max_length - 1; len > 0; --len) {
      if (count[static_cast<std::size_t>(len)] != 0) {
        --count[static_cast<std::size_t>(len)];
        count[static_cast<std::size_t>(len) + 1] += 2;
        break;
      }
    }
    --kraft;
  }

  // The most frequent symbols take the shortest lengths.
  std::vector<std::size_t> order = used;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return frequencies[a] > frequencies[b]; });
  std::size_t k = 0;
  for (int len = 1; len <= max_length; ++len)
    for (std::uint32_t n = 0; n < count[static_cast<std::size_t>(len)]; ++n)
      lengths[order[k++]] = static_cast<std::uint8_t>(len);
  return lengths;
}

std::vector<std::uint16_t> BuildCanonicalCodes(std::span<const std::uint8_t> lengths) {
  std::vector<std::uint32_t> count(kMaxCodeLength + 2, 0);
  for (std::uint8_t len : lengths)
    ++count[len];
  count[0] = 0;
  std::vector<std::uint32_t> next(kMaxCodeLength + 2, 0);
  std::uint32_t code = 0;
  for (int len = 1; len <= kMaxCodeLength; ++len) {
    code = (code + count[static_cast<std::size_t>(len) - 1]) << 1;
    next[static_cast<std::size_t>(len)] = code;
  }
  std::vector<std::uint16_t> codes(lengths.size(), 0);
  for (std::size_t i = 0; i < lengths.size(); ++i)
    if (lengths[i] != 0) codes[i] = static_cast<std::uint16_t>(next[lengths[i]]++);
  return codes;
}

}  // namespace qzarn::lzh
