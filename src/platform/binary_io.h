#pragma once
// Little-endian reading and writing of byte buffers held in memory. The reader
// checks every read against the bytes that remain, so a truncated or hostile
// buffer makes a read fail instead of running past the end, and a length read
// from the data is never trusted to size an allocation before it was checked
// against what is actually left.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace qzarn {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return data_.size() - pos_; }
  bool at_end() const { return pos_ == data_.size(); }

  // Each read returns false (and consumes nothing) when fewer bytes remain than it needs.
  [[nodiscard]] bool ReadI32(std::int32_t& v);
  [[nodiscard]] bool ReadU32(std::uint32_t& v);
  [[nodiscard]] bool ReadU16(std::uint16_t& v);
  [[nodiscard]] bool ReadI16(std::int16_t& v);
  [[nodiscard]] bool ReadU8(std::uint8_t& v);
  [[nodiscard]] bool ReadF32(float& v);
  [[nodiscard]] bool ReadF64(double& v);
  [[nodiscard]] bool ReadBytes(void* out, std::size_t n);
  // A view of the next n bytes without copying them.
  [[nodiscard]] bool ReadSpan(std::size_t n, std::span<const std::uint8_t>& out);
  // Appends n bytes to out; n is checked against what remains before anything grows.
  [[nodiscard]] bool ReadInto(std::size_t n, std::vector<std::uint8_t>& out);
  [[nodiscard]] bool Skip(std::size_t n);
  // Moves to an absolute position inside the buffer.
  [[nodiscard]] bool Seek(std::size_t pos);

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

class ByteWriter {
 public:
  ByteWriter() = default;

  void Reserve(std::size_t n) { bytes_.reserve(n); }
  void WriteI32(std::int32_t v);
  void WriteU32(std::uint32_t v);
  void WriteU16(std::uint16_t v);
  void WriteI16(std::int16_t v);
  void WriteU8(std::uint8_t v);
  void WriteF32(float v);
  void WriteF64(double v);
  void WriteBytes(const void* data, std::size_t n);
  void WriteBytes(std::span<const std::uint8_t> data) { WriteBytes(data.data(), data.size()); }
  void WriteZeros(std::size_t n);
  // Overwrites 4 bytes at an earlier position (sizes known only after the body is written).
  void PatchU32(std::size_t pos, std::uint32_t v);

  std::size_t size() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Little-endian access to fields inside a fixed byte block (records, headers).
std::int32_t LoadI32(const std::uint8_t* p);
std::uint32_t LoadU32(const std::uint8_t* p);
std::uint16_t LoadU16(const std::uint8_t* p);
double LoadF64(const std::uint8_t* p);
float LoadF32(const std::uint8_t* p);
void StoreI32(std::uint8_t* p, std::int32_t v);
void StoreU32(std::uint8_t* p, std::uint32_t v);
void StoreU16(std::uint8_t* p, std::uint16_t v);
void StoreF64(std::uint8_t* p, double v);
void StoreF32(std::uint8_t* p, float v);

// Looks at the first bytes of a file or archive member before the rest is read; false stops.
struct HeadCheck {
  std::size_t size = 0;  // how many bytes it wants (fewer when there are not that many)
  std::function<bool(std::span<const std::uint8_t> head)> accept;
};

// Whole-file helpers. ReadFileBytes refuses files larger than max_size (no unbounded
// allocation from a hostile path) and, given a head check, reads nothing past the first bytes
// of a file the check refuses; errors are returned as text.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::string& error,
                   std::size_t max_size = std::size_t{1} << 30, const HeadCheck& head = {});
struct AtomicWriteOptions {
  // Tests: a write failure after this many bytes.
  std::size_t fail_after_bytes = SIZE_MAX;
  // Tests: sees the temporary file as soon as it exists, before anything is written to it.
  std::function<void(const std::string& temporary)> on_temporary;
};
// Writes the bytes to a temporary file in the target's folder, flushes it to disk and renames
// it over the target, so a failure at any point leaves the previous file as it was. A target
// that is a symbolic link is followed: the file it points to is replaced, the link stays. The
// temporary file is private to the user (mode 0600) until it is complete; only then does it get
// the replaced file's mode, or for a new file the mode the umask allows.
// Temporary files of a save that was killed are removed by the next save into the same
// folder (DeleteStaleSaveFiles), never while their maker may still be writing them.
// A replaced file's owner and group are kept where the user may set them; when they cannot
// be, the save still succeeds and `notice` says what changed.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string& error, const AtomicWriteOptions& options = {},
                         std::string* notice = nullptr);

// Deletes in `folder` the temporary files of saves whose process has ended (made on this host
// by this user, under the names only WriteFileAtomically makes); returns how many.
int DeleteStaleSaveFiles(const std::string& folder);

}  // namespace qzarn
